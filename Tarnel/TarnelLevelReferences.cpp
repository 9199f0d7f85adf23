// The resources a level names, checked against what the engine's resource groups hold.
#include "Tarnel/TarnelLevelReferences.h"
#include "Tarnel/TarnelPlatform.h"
#include "Tarnel/TarnelDocuments.h"
#include "Tarnel/TarnelPaths.h"
#include "Tarnel/TarnelReaders.h"

#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreParticleSystemManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>

#include <tinyxml.h>

#include <algorithm>
#include <map>
#include <set>
#include <unordered_set>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        /// What a level names, by kind and name, with who names it.
        class References
        {
        public:
            void Add(const String& kind, const String& name, const String& user)
            {
                if (name.empty())
                    return;
                Key key{kind, name};
                // Thousands of props may name one mesh: whether a user is listed is looked up, not searched.
                if (seenUsers[key].insert(user).second)
                    found[key].push_back(user);
                if (order.insert({kind, name}).second)
                    sequence.push_back({kind, name});
            }

            void ReadFile(const TiXmlElement* root, const String& owner)
            {
                Read(root, owner);
            }

            std::vector<MissingResource> Missing(bool openMedia)
            {
                if (openMedia)
                {
                    CheckMeshes();
                    CheckMaterials();
                }
                std::vector<MissingResource> missing;
                for (const auto& key : sequence)
                {
                    if (!Exists(key.first, key.second))
                        missing.push_back({key.first, key.second, found[key]});
                }
                return missing;
            }

        private:
            typedef std::pair<String, String> Key;

            void Read(const TiXmlElement* element, const String& owner)
            {
                for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
                {
                    String name = TarnelUtilities::GetStringAttribute(child, "name");
                    String user = name.empty() ? owner : name;
                    const String& kind = child->ValueStr();
                    if (kind == "entity")
                    {
                        Add("mesh", TarnelUtilities::GetStringAttribute(child, "meshFile"), user);
                        Add("material", TarnelUtilities::GetStringAttribute(child, "materialFile"), user);
                    }
                    else if (kind == "subentity")
                        Add("material", TarnelUtilities::GetStringAttribute(child, "materialName"), owner);
                    else if (kind == "plane" || kind == "billboardSet" || kind == "skyBox" || kind == "skyDome" ||
                             kind == "skyPlane")
                        Add("material", TarnelUtilities::GetStringAttribute(child, "material"), user);
                    else if (kind == "particleSystem")
                        Add("particle template", TarnelUtilities::GetStringAttribute(child, "file"), user);
                    else if (kind == "renderTexture")
                        renderTextures.insert(name);
                    else if (kind == "material" && element->ValueStr() == "materials")
                        Add("material", name, owner);
                    else if (kind == "node" || kind == "modelInstance")
                        ReadModel(child, user);
                    Read(child, kind == "subentities" || kind == "materials" ? owner : user);
                }
            }

            void ReadModel(const TiXmlElement* node, const String& user)
            {
                String file = TarnelUtilities::GetStringAttribute(node, "modelFile");
                if (file.empty())
                    file = TarnelUtilities::GetStringAttribute(node, "modelName");
                if (file.empty())
                    return;
                Add("model file", file, user);
                String native = TarnelUtilities::NativeSeparators(file);
                // Each file once: a model that names itself, directly or not, ends here.
                if (!readModels.insert(native).second || !Exists("model file", file))
                    return;
                try
                {
                    TiXmlDocument document;
                    TarnelUtilities::LoadXmlDocument(native, document,
                                                     ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
                    if (const TiXmlElement* root = document.FirstChildElement())
                        Read(root, user);
                }
                catch (const Exception&)
                {
                    // A model that does not read is the load's error to report, not a missing file.
                }
            }

            /// A mesh that exists names its skeleton and its sub-meshes' materials.
            void CheckMeshes()
            {
                for (const auto& key : std::vector<Key>(sequence))
                {
                    if (key.first != "mesh" || !Exists("mesh", key.second))
                        continue;
                    MeshManager& meshes = MeshManager::getSingleton();
                    MeshPtr mesh;
                    try
                    {
                        // Already loaded by the level, or read now from the group that has the file.
                        mesh = meshes.getByName(key.second, ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
                        if (!mesh)
                            mesh = meshes.load(key.second, ResourceGroupManager::getSingleton().findGroupContainingResource(
                                                               key.second));
                        mesh->load();
                    }
                    catch (const Exception&)
                    {
                        continue; // a broken mesh file is the load's error
                    }
                    for (const String& user : std::vector<String>(found[key]))
                    {
                        Add("skeleton", mesh->getSkeletonName(), user);
                        for (const SubMesh* subMesh : mesh->getSubMeshes())
                            Add("material", subMesh->getMaterialName(), user);
                    }
                }
            }

            /** A material that exists names its textures, except the level's own render
                textures. A texture counts as there only as a file: the stand-in drawn
                for a missing one is not. */
            void CheckMaterials()
            {
                for (const auto& key : std::vector<Key>(sequence))
                {
                    if (key.first != "material")
                        continue;
                    MaterialPtr material = MaterialManager::getSingleton().getByName(key.second);
                    if (!material)
                        continue;
                    for (const Technique* technique : material->getTechniques())
                        for (const Pass* pass : technique->getPasses())
                            for (const TextureUnitState* layer : pass->getTextureUnitStates())
                                for (unsigned int frame = 0; frame < layer->getNumFrames(); ++frame)
                                {
                                    const String& texture = layer->getFrameTextureName(frame);
                                    if (!renderTextures.count(texture))
                                        for (const String& user : std::vector<String>(found[key]))
                                            Add("texture", texture, user);
                                }
                }
            }

            static bool Exists(const String& kind, const String& name)
            {
                ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
                if (kind == "material")
                    return bool(MaterialManager::getSingleton().getByName(name));
                if (kind == "particle template")
                    return ParticleSystemManager::getSingleton().getTemplate(name) != nullptr;
                return resources.resourceExistsInAnyGroup(kind == "model file" ? TarnelUtilities::NativeSeparators(name) : name);
            }

            std::map<Key, std::vector<String>> found;
            std::map<Key, std::unordered_set<String>> seenUsers;
            std::set<Key> order;
            std::vector<Key> sequence;
            std::set<String> renderTextures;
            std::set<String> readModels;
        };
    }

    std::vector<MissingResource> FindMissingResources(const String& levelFile, bool openMedia)
    {
        TiXmlDocument document;
        if (!TarnelUtilities::LoadXmlFile(levelFile, document))
            return {};
        return FindMissingResources(document, openMedia);
    }

    std::vector<MissingResource> FindMissingResources(const TiXmlDocument& level, bool openMedia)
    {
        if (!level.FirstChildElement())
            return {};
        References references;
        references.ReadFile(level.FirstChildElement(), "");
        return references.Missing(openMedia);
    }
}
