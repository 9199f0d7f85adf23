// Levels made from the format's grammar and edge values, for the structure-aware fuzzer.
#include "LevelGrammar.h"

#include <map>
#include <vector>

namespace LevelGrammar
{
    namespace
    {
        typedef std::vector<const char*> Values;

        /// The edge sets values are drawn from, by kind.
        const std::map<std::string, Values>& Kinds()
        {
            static const std::map<std::string, Values> kinds = {
                {"real", {"0", "-0", "1", "-1", "0.5", "2", "90", "180", "360", "1e9", "-1e9", "1e38", "1e-30", "nan",
                          "inf", "-inf", "3.1415927", "1.5707964", "abc", "", "100"}},
                {"int", {"0", "1", "-1", "2", "20", "21", "100", "16384", "16385", "65535", "65536", "2147483647",
                         "-2147483648", "x", ""}},
                {"bool", {"true", "false", "TRUE", "1", "0", "yes", ""}},
                {"name", {"A", "B", "A", "", "Caf\xe9", "N\xc3\xa9", "Node #1", "C:\\Levels\\Door",
                          "AVeryLongNameThatGoesOnAndOnAndOnForMoreThanSixtyFourCharactersInAllXX"}},
                {"mesh", {"Crate.mesh", "Block.mesh", "Lantern.mesh", "Walker.mesh", "TwoPart.mesh", "Missing.mesh",
                          "C:\\Levels\\Crate.mesh", "", "Crate"}},
                {"material", {"Level/Wood", "Test/Red", "BaseWhite", "Missing/Material", "", "Level/Mirror"}},
                {"particle", {"Level/Sparks", "Missing/Sparks", ""}},
                {"model", {"Missing.model", "", "LampPost.model", "input.model", "input.model", "INPUT.model"}},
                // Folders beside the level only: a location names what the engine indexes at every load.
                {"location", {".", "./", "", "missing", "C:\\Levels\\media", "input.scene", ".\\"}},
                {"archive", {"FileSystem", "filesystem", "Zip", "EmbeddedZip", "", "Folder"}},
                {"text", {"", "a note", "Caf\xe9", "x=1;y=2", "  spaced  ", "&#1;"}},
                {"dataFile", {"", "terrain.cfg", "Missing.cfg", "C:\\Levels\\terrain.cfg"}},
                {"volumeType", {"none", "sphere", "box", "mesh", "cube", ""}},
                {"lightType", {"point", "directional", "spot", "spotlight", "radpoint", "Spott", ""}},
                {"fogMode", {"none", "exp", "exp2", "linear", "lineer", ""}},
                {"shadowTechnique", {"none", "stencilModulative", "stencilAdditive", "textureModulative",
                                     "textureAdditive", "textureModulativeIntegrated", "textureAdditiveIntegrated",
                                     "texturemodulativ"}},
                {"cameraSetup", {"uniform", "uniformFocused", "lispsm", "planeOptimal", "plane"}},
                {"textureType", {"2d", "cubic", "1d", "3d", "cube"}},
                {"upAxis", {"y", "z", "x", "Y"}},
                {"visibility", {"visible", "hidden", "treeVisible", "treeHidden", "default", "bogus"}},
                {"interpolation", {"linear", "spline", "spherical", "lin"}},
                {"rotationType", {"vertex", "texcoord", "vertx"}},
                {"space", {"local", "parent", "world", "bogus"}},
                {"portalType", {"quad", "aabb", "sphere", "QUAD", "cone"}},
                {"renderQueue", {"background", "main", "overlay", "5", "105", "200", "skiesLate"}},
            };
            return kinds;
        }

        /// An element of the format: its attributes with the kind of their values, and the children it may hold.
        struct Rule
        {
            std::vector<std::pair<const char*, const char*>> attributes;
            std::vector<const char*> children;
            const char* text = nullptr; ///< the kind of its text, when it holds text
        };

        const std::map<std::string, Rule>& Rules()
        {
            static const Rule colour = {{{"r", "real"}, {"g", "real"}, {"b", "real"}, {"a", "real"}}, {}};
            static const Rule xyz = {{{"x", "real"}, {"y", "real"}, {"z", "real"}}, {}};
            static const Rule node = {{{"name", "name"}, {"visibility", "visibility"}, {"modelFile", "model"}},
                                      {"position", "rotation", "scale", "entity", "light", "camera", "particleSystem",
                                       "billboardSet", "plane", "animations", "portal", "lookTarget", "trackTarget",
                                       "node", "userData", "userDataReference"}};
            static const std::map<std::string, Rule> rules = {
                {"scene", {{{"formatVersion", "real"}, {"upAxis", "upAxis"}, {"unitsPerMeter", "real"}},
                           {"environment", "renderTextures", "nodes", "light", "camera", "staticGeometries",
                            "instancedGeometries", "resourceLocations", "externals", "terrain", "userData",
                            "userDataReference"}}},
                {"model", {{}, {"node", "entity", "light", "camera", "particleSystem", "billboardSet", "plane",
                                "animations", "userData"}}},
                {"resourceLocations", {{}, {"resourceLocation", "resourceLocation"}}},
                {"resourceLocation", {{{"name", "location"}, {"type", "archive"}, {"recursive", "bool"}}, {}}},
                {"externals", {{}, {"item", "item"}}},
                {"item", {{{"name", "name"}, {"type", "name"}},
                          {"file", "position", "rotation", "scale", "boundingVolume", "userData", "userDataReference",
                           "noteTracks"}}},
                {"noteTracks", {{}, {"noteTrack"}}},
                {"noteTrack", {{{"name", "name"}}, {"note", "note"}}},
                {"note", {{{"time", "real"}}, {}, "text"}},
                {"file", {{{"name", "mesh"}}, {}}},
                {"boundingVolume", {{{"type", "volumeType"}, {"radius", "real"}, {"faceCount", "int"}}, {"size", "faces"}}},
                {"size", xyz},
                {"faces", {{}, {"face", "face"}}},
                {"face", {{}, {"vertex", "vertex", "vertex"}}},
                {"vertex", xyz},
                {"terrain", {{{"dataFile", "dataFile"}, {"renderQueue", "renderQueue"}},
                             {"rotation", "userData", "userDataReference"}}},
                {"userData", {{}, {}, "text"}},
                {"userDataReference", {{{"id", "name"}}, {}}},
                {"environment", {{}, {"colourAmbient", "colourBackground", "fog", "skyBox", "skyDome", "skyPlane",
                                      "shadows", "clipping"}}},
                {"colourAmbient", colour},
                {"colourBackground", colour},
                {"colourDiffuse", colour},
                {"colourSpecular", colour},
                {"colourShadow", colour},
                {"fog", {{{"mode", "fogMode"}, {"expDensity", "real"}, {"linearStart", "real"}, {"linearEnd", "real"}},
                         {"colourDiffuse"}}},
                {"skyBox", {{{"material", "material"}, {"distance", "real"}, {"drawFirst", "bool"}, {"enable", "bool"}},
                            {"rotation"}}},
                {"skyDome", {{{"material", "material"}, {"curvature", "real"}, {"tiling", "real"}, {"distance", "real"},
                              {"xSegments", "int"}, {"ySegments", "int"}, {"enable", "bool"}},
                             {"rotation"}}},
                {"skyPlane", {{{"material", "material"}, {"planeX", "real"}, {"planeY", "real"}, {"planeZ", "real"},
                               {"planeD", "real"}, {"scale", "real"}, {"tiling", "real"}, {"bow", "real"},
                               {"xSegments", "int"}, {"ySegments", "int"}, {"enable", "bool"}},
                              {}}},
                {"shadows", {{{"technique", "shadowTechnique"}, {"selfShadow", "bool"}, {"farDistance", "real"},
                              {"planeX", "real"}, {"planeY", "real"}, {"planeZ", "real"}, {"planeD", "real"}},
                             {"shadowTextures", "colourShadow", "shadowCameraSetup"}}},
                {"shadowTextures", {{{"size", "int"}, {"count", "int"}, {"offset", "real"}, {"fadeStart", "real"},
                                     {"fadeEnd", "real"}},
                                    {}}},
                {"shadowCameraSetup", {{{"type", "cameraSetup"}}, {}}},
                {"clipping", {{{"near", "real"}, {"far", "real"}}, {}}},
                {"renderTextures", {{}, {"renderTexture"}}},
                {"renderTexture", {{{"name", "name"}, {"width", "int"}, {"height", "int"}, {"textureType", "textureType"},
                                    {"camera", "name"}, {"renderObjectName", "name"}, {"clearEveryFrame", "bool"},
                                    {"autoUpdate", "bool"}, {"hideRenderObject", "bool"}},
                                   {}}},
                {"nodes", {{}, {"node", "node", "node", "modelInstance"}}},
                {"node", node},
                {"modelInstance", node},
                {"position", xyz},
                {"scale", xyz},
                {"normal", xyz},
                {"upVector", xyz},
                {"offset", xyz},
                {"localDirection", xyz},
                {"translation", xyz},
                {"rotation", {{{"qw", "real"}, {"qx", "real"}, {"qy", "real"}, {"qz", "real"}, {"angleX", "real"},
                               {"angleY", "real"}, {"angleZ", "real"}, {"axisX", "real"}, {"axisY", "real"},
                               {"axisZ", "real"}, {"angle", "real"}},
                              {}}},
                {"entity", {{{"name", "name"}, {"meshFile", "mesh"}, {"materialFile", "material"},
                             {"castShadows", "bool"}, {"renderQueue", "renderQueue"}, {"visible", "bool"}},
                            {"subentities", "boneAttachments", "userData"}}},
                {"subentities", {{}, {"subentity"}}},
                {"subentity", {{{"index", "int"}, {"materialName", "material"}}, {}}},
                {"boneAttachments", {{}, {"boneAttachment"}}},
                {"boneAttachment", {{{"name", "name"}, {"bone", "name"}},
                                    {"position", "rotation", "scale", "entity", "light", "camera", "particleSystem"}}},
                {"light", {{{"name", "name"}, {"type", "lightType"}, {"castShadows", "bool"}, {"visible", "bool"},
                            {"power", "real"}},
                           {"colourDiffuse", "colourSpecular", "lightRange", "lightAttenuation", "normal", "position"}}},
                {"lightRange", {{{"inner", "real"}, {"outer", "real"}, {"falloff", "real"}}, {}}},
                {"lightAttenuation", {{{"range", "real"}, {"constant", "real"}, {"linear", "real"},
                                       {"quadric", "real"}},
                                      {}}},
                {"camera", {{{"name", "name"}, {"fov", "real"}, {"aspectRatio", "real"}},
                            {"clipping", "normal", "position", "rotation", "lookTarget", "trackTarget"}}},
                {"lookTarget", {{{"nodeName", "name"}, {"relativeTo", "space"}}, {"position", "localDirection"}}},
                {"trackTarget", {{{"nodeName", "name"}}, {"offset", "localDirection"}}},
                {"particleSystem", {{{"name", "name"}, {"file", "particle"}, {"renderQueue", "renderQueue"}}, {}}},
                {"billboardSet", {{{"name", "name"}, {"material", "material"}, {"width", "real"}, {"height", "real"},
                                   {"poolSize", "int"}, {"autoExtendPool", "bool"}, {"rotationType", "rotationType"},
                                   {"sort", "bool"}, {"cullIndividual", "bool"}, {"accurateFacing", "bool"}},
                                  {"billboard", "billboard", "billboard"}}},
                {"billboard", {{{"width", "real"}, {"height", "real"}},
                               {"position", "rotation", "colourDiffuse", "texCoordRectangle"}}},
                {"texCoordRectangle", {{{"left", "real"}, {"top", "real"}, {"right", "real"}, {"bottom", "real"}}, {}}},
                {"plane", {{{"name", "name"}, {"width", "real"}, {"height", "real"}, {"xSegments", "int"},
                            {"ySegments", "int"}, {"numTexCoordSets", "int"}, {"uTile", "real"}, {"vTile", "real"},
                            {"normals", "bool"}, {"movablePlane", "bool"}, {"material", "material"},
                            {"distance", "real"}, {"castShadows", "bool"}},
                           {"normal", "upVector"}}},
                {"animations", {{}, {"animation"}}},
                {"animation", {{{"name", "name"}, {"length", "real"}, {"loop", "bool"}, {"enable", "bool"},
                                {"interpolationMode", "interpolation"}, {"rotationInterpolationMode", "interpolation"}},
                               {"keyframe", "keyframe"}}},
                {"keyframe", {{{"time", "real"}}, {"translation", "rotation", "scale"}}},
                {"portal", {{{"name", "name"}, {"type", "portalType"}, {"x0", "real"}, {"y0", "real"}, {"z0", "real"},
                             {"x1", "real"}, {"y1", "real"}, {"z1", "real"}, {"x2", "real"}, {"y2", "real"},
                             {"z2", "real"}, {"x3", "real"}, {"y3", "real"}, {"z3", "real"}},
                            {}}},
                {"staticGeometries", {{}, {"staticGeometry"}}},
                {"staticGeometry", {{{"name", "name"}, {"castShadows", "bool"}, {"visible", "bool"},
                                     {"renderingDistance", "real"}},
                                    {"dimensions", "origin", "entities"}}},
                {"instancedGeometries", {{}, {"instancedGeometry"}}},
                {"instancedGeometry", {{{"name", "name"}, {"castShadows", "bool"}, {"visible", "bool"},
                                        {"batchCount", "int"}, {"renderingDistance", "real"}},
                                       {"dimensions", "origin", "entities"}}},
                {"dimensions", xyz},
                {"origin", xyz},
                {"entities", {{}, {"entity", "entity"}}},
            };
            return rules;
        }

        /// The fuzzer's bytes as choices; past the end every choice is the first.
        class Choices
        {
        public:
            Choices(const uint8_t* data, size_t size) : data(data), size(size) {}
            size_t Pick(size_t count) { return count ? (at < size ? data[at++] : 0) % count : 0; }
            bool Exhausted() const { return at >= size; }

        private:
            const uint8_t* data;
            size_t size;
            size_t at = 0;
        };

        std::string Escaped(const std::string& text)
        {
            std::string escaped;
            for (char c : text)
            {
                switch (c)
                {
                case '&': escaped += "&amp;"; break;
                case '<': escaped += "&lt;"; break;
                case '"': escaped += "&quot;"; break;
                default: escaped += c;
                }
            }
            return escaped;
        }

        const size_t MAX_ELEMENTS = 160;
        const int MAX_DEPTH = 7;

        void Write(const std::string& name, int depth, Choices& choices, size_t& elements, std::string& out)
        {
            const Rule& rule = Rules().at(name);
            out += "<" + name;
            // Each attribute in turn: left out, or given a value of its kind.
            for (const auto& attribute : rule.attributes)
            {
                if (choices.Pick(3) == 0)
                    continue;
                const Values& values = Kinds().at(attribute.second);
                out += std::string(" ") + attribute.first + "=\"" + Escaped(values[choices.Pick(values.size())]) + "\"";
            }
            if (rule.text)
            {
                const Values& values = Kinds().at(rule.text);
                out += ">" + Escaped(values[choices.Pick(values.size())]) + "</" + name + ">";
                return;
            }
            if (rule.children.empty() || depth >= MAX_DEPTH || choices.Exhausted())
            {
                out += "/>";
                return;
            }
            out += ">";
            for (size_t count = choices.Pick(5); count > 0 && elements < MAX_ELEMENTS; --count)
            {
                ++elements;
                Write(rule.children[choices.Pick(rule.children.size())], depth + 1, choices, elements, out);
            }
            out += "</" + name + ">";
        }
    }

    Level Generate(const uint8_t* data, size_t size)
    {
        Choices choices(data, size);
        Level level;
        size_t elements = 0;
        Write("scene", 0, choices, elements, level.scene);
        elements = 0;
        Write("model", 0, choices, elements, level.model);
        return level;
    }
}
