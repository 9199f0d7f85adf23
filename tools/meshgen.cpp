// Writes the text sources (.mesh.xml, .skeleton.xml) of the simple meshes that the
// tests and the sample level use; OgreXMLConverter turns them into binary meshes.
//
//   meshgen box NAME SX SY SZ MATERIAL...   a box centred on the origin, faces split
//                                           evenly into one submesh per material
//   meshgen room NAME SX SY SZ MATERIAL...  the same box seen from inside
//   meshgen skinned NAME MATERIAL           a box of height 2 on two bones, with its skeleton
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
    struct Vertex
    {
        float position[3];
        float normal[3];
        float uv[2];
        int bone;
    };

    struct Face
    {
        int v[3];
    };

    /// Each side is a grid of this many cells a way: lights are computed at the vertices,
    /// so a lamp in a room needs more than a side's four corners to show on a wall.
    const int TILES = 6;

    struct Box
    {
        std::vector<Vertex> vertices;
        std::vector<Face> faces; // sides in order +x -x +y -y +z -z, FACES_PER_SIDE each
        static const size_t FACES_PER_SIDE = 2 * TILES * TILES;
    };

    Box MakeBox(float sx, float sy, float sz, bool inward)
    {
        static const float axes[6][3][3] = {
            // normal, u direction, v direction
            {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
            {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
            {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},   {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
        };
        const float half[3] = {sx / 2, sy / 2, sz / 2};
        Box box;
        for (int side = 0; side < 6; ++side)
        {
            const float(&n)[3] = axes[side][0];
            const float(&u)[3] = axes[side][1];
            const float(&v)[3] = axes[side][2];
            int first = int(box.vertices.size());
            for (int row = 0; row <= TILES; ++row)
            {
                for (int column = 0; column <= TILES; ++column)
                {
                    float s = -1 + 2.0f * column / TILES, t = -1 + 2.0f * row / TILES;
                    Vertex vertex{};
                    for (int i = 0; i < 3; ++i)
                    {
                        vertex.position[i] = (n[i] + s * u[i] + t * v[i]) * half[i];
                        vertex.normal[i] = inward ? -n[i] : n[i];
                    }
                    vertex.uv[0] = (s + 1) / 2;
                    vertex.uv[1] = (1 - t) / 2;
                    vertex.bone = vertex.position[1] > 0 ? 1 : 0;
                    box.vertices.push_back(vertex);
                }
            }
            for (int row = 0; row < TILES; ++row)
            {
                for (int column = 0; column < TILES; ++column)
                {
                    int a = first + row * (TILES + 1) + column, b = a + 1, c = b + TILES + 1, d = a + TILES + 1;
                    if (inward)
                    {
                        box.faces.push_back({{a, c, b}});
                        box.faces.push_back({{a, d, c}});
                    }
                    else
                    {
                        box.faces.push_back({{a, b, c}});
                        box.faces.push_back({{a, c, d}});
                    }
                }
            }
        }
        return box;
    }

    void WriteSubmesh(FILE* out, const Box& box, size_t firstFace, size_t faceCount,
                      const std::string& material, bool skinned)
    {
        // Each submesh keeps its own copy of the vertices it uses, renumbered.
        std::vector<int> remap(box.vertices.size(), -1);
        std::vector<int> used;
        for (size_t f = firstFace; f < firstFace + faceCount; ++f)
            for (int index : box.faces[f].v)
                if (remap[index] < 0)
                {
                    remap[index] = int(used.size());
                    used.push_back(index);
                }

        std::fprintf(out, "    <submesh material=\"%s\" usesharedvertices=\"false\" use32bitindexes=\"false\" "
                          "operationtype=\"triangle_list\">\n", material.c_str());
        std::fprintf(out, "      <faces count=\"%zu\">\n", faceCount);
        for (size_t f = firstFace; f < firstFace + faceCount; ++f)
        {
            const Face& face = box.faces[f];
            std::fprintf(out, "        <face v1=\"%d\" v2=\"%d\" v3=\"%d\"/>\n", remap[face.v[0]],
                         remap[face.v[1]], remap[face.v[2]]);
        }
        std::fprintf(out, "      </faces>\n      <geometry vertexcount=\"%zu\">\n", used.size());
        std::fprintf(out, "        <vertexbuffer positions=\"true\" normals=\"true\" texture_coords=\"1\" "
                          "texture_coord_dimensions_0=\"2\">\n");
        for (int index : used)
        {
            const Vertex& v = box.vertices[index];
            std::fprintf(out, "          <vertex><position x=\"%g\" y=\"%g\" z=\"%g\"/>"
                              "<normal x=\"%g\" y=\"%g\" z=\"%g\"/><texcoord u=\"%g\" v=\"%g\"/></vertex>\n",
                         v.position[0], v.position[1], v.position[2], v.normal[0], v.normal[1], v.normal[2],
                         v.uv[0], v.uv[1]);
        }
        std::fprintf(out, "        </vertexbuffer>\n      </geometry>\n");
        if (skinned)
        {
            std::fprintf(out, "      <boneassignments>\n");
            for (size_t i = 0; i < used.size(); ++i)
                std::fprintf(out, "        <vertexboneassignment vertexindex=\"%zu\" boneindex=\"%d\" "
                                  "weight=\"1\"/>\n", i, box.vertices[used[i]].bone);
            std::fprintf(out, "      </boneassignments>\n");
        }
        std::fprintf(out, "    </submesh>\n");
    }

    bool WriteMesh(const std::string& name, const Box& box, const std::vector<std::string>& materials,
                   bool skinned)
    {
        FILE* out = std::fopen((name + ".mesh.xml").c_str(), "w");
        if (!out)
            return false;
        std::fprintf(out, "<mesh>\n  <submeshes>\n");
        size_t sides = 6, count = materials.size(), first = 0;
        for (size_t i = 0; i < count; ++i)
        {
            size_t mySides = sides / count + (i < sides % count ? 1 : 0);
            WriteSubmesh(out, box, first * Box::FACES_PER_SIDE, mySides * Box::FACES_PER_SIDE, materials[i], skinned);
            first += mySides;
        }
        std::fprintf(out, "  </submeshes>\n");
        if (skinned)
            std::fprintf(out, "  <skeletonlink name=\"%s.skeleton\"/>\n", name.c_str());
        std::fprintf(out, "</mesh>\n");
        return std::fclose(out) == 0;
    }

    bool WriteSkeleton(const std::string& name)
    {
        FILE* out = std::fopen((name + ".skeleton.xml").c_str(), "w");
        if (!out)
            return false;
        std::fprintf(out,
                     "<skeleton>\n  <bones>\n"
                     "    <bone id=\"0\" name=\"Root\"><position x=\"0\" y=\"-0.5\" z=\"0\"/>"
                     "<rotation angle=\"0\"><axis x=\"1\" y=\"0\" z=\"0\"/></rotation></bone>\n"
                     "    <bone id=\"1\" name=\"Head\"><position x=\"0\" y=\"1\" z=\"0\"/>"
                     "<rotation angle=\"0\"><axis x=\"1\" y=\"0\" z=\"0\"/></rotation></bone>\n"
                     "  </bones>\n  <bonehierarchy>\n"
                     "    <boneparent bone=\"Head\" parent=\"Root\"/>\n"
                     "  </bonehierarchy>\n</skeleton>\n");
        return std::fclose(out) == 0;
    }

    int Usage()
    {
        std::fprintf(stderr, "usage: meshgen box|room NAME SX SY SZ MATERIAL... | meshgen skinned NAME MATERIAL\n");
        return 2;
    }
}

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    std::string kind = argv[1], name = argv[2];
    bool ok = false;
    if ((kind == "box" || kind == "room") && argc >= 7)
    {
        std::vector<std::string> materials(argv + 6, argv + argc);
        if (materials.size() > 6)
            return Usage();
        Box box = MakeBox(float(std::atof(argv[3])), float(std::atof(argv[4])), float(std::atof(argv[5])),
                          kind == "room");
        ok = WriteMesh(name, box, materials, false);
    }
    else if (kind == "skinned" && argc == 4)
    {
        ok = WriteMesh(name, MakeBox(0.5f, 2, 0.5f, false), {argv[3]}, true) && WriteSkeleton(name);
    }
    else
    {
        return Usage();
    }
    if (!ok)
        std::perror(name.c_str());
    return ok ? 0 : 1;
}
