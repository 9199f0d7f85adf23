// The resources a level names, checked against what the engine's resource groups hold.
#include "Tarnel/Check/TarnelLevelReferences.h"
#include "Tarnel/Engine/TarnelPlatform.h"
#include "Tarnel/Read/TarnelDocuments.h"
#include "Tarnel/Read/TarnelPaths.h"
#include "Tarnel/Read/TarnelReaders.h"
#include "Tarnel/Read/TarnelDomains.h"
#include "Tarnel/Read/TarnelEnvironment.h"
#include "Tarnel/Read/TarnelLevel.h"
#include "Tarnel/Read/TarnelModelFiles.h"
#include "Tarnel/Read/TarnelObjects.h"

#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreParticleSystemManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreTimer.h>
#include <OgreStringConverter.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
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
            /// Where the level names a resource: its line and its element, as "entity "Door"".
            struct Place
            {
                int row = 0;
                String who;
            };

            static Place At(const TiXmlElement* element)
            {
                if (!element)
                    return Place();
                const char* name = element->Attribute("name");
                return {element->Row(), element->ValueStr() + (name ? String(" \"") + name + "\"" : String())};
            }

            void Add(const String& kind, const String& name, const String& user, const TiXmlElement* element = nullptr)
            {
                Add(kind, name, user, At(element));
            }

            void Add(const String& kind, const String& name, const String& user, const Place& place)
            {
                if (name.empty())
                    return;
                Key key{kind, name};
                // Thousands of props may name one mesh: whether a user is listed is looked up, not searched.
                if (seenUsers[key].insert(user).second)
                    found[key].push_back(user);
                if (order.insert(key).second)
                    sequence.push_back(key);
                // Where the level first names it: a model file's parts give the line that instances them.
                if (place.row > 0 && !firstUse.count(key))
                    firstUse[key] = place;
            }

            /// The level's names, from its description when there is one, else from its document.
            void ReadFile(const TiXmlElement* root, const LevelDescription* described)
            {
                level = described;
                if (!described)
                    Read(root, "", Objects::Rules::SCENE);
                else
                    AddLevel(*described);
            }

            /// What the description names, as the load takes it: batched geometry's copies last.
            void AddLevel(const LevelDescription& level)
            {
                if (level.environment)
                    for (const Types::SkyParameters& sky : level.environment->skies)
                        Add("material", sky.material, "", Place{sky.line, SkyElement(sky.kind)});
                for (const RenderTextureDescription& texture : level.renderTextures)
                {
                    renderTextures.insert(texture.name);
                    for (const RenderTextureDescription::MaterialLayer& layer : texture.materials)
                        Add("material", layer.name, texture.name,
                            Place{texture.line, "renderTexture \"" + texture.name + "\""});
                }
                for (const LevelSection& section : level.sections)
                {
                    if (section.kind == LevelSection::OBJECT)
                        AddObject(*section.object, "", PlaceOf(*section.object));
                    else if (section.kind == LevelSection::NODES)
                        AddNode(section.nodes, "");
                }
                for (const auto* geometries : {&level.instancedGeometries, &level.staticGeometries})
                    for (const GeometryDescription& geometry : *geometries)
                        for (const GeometryEntity& entity : geometry.entities)
                        {
                            Add("mesh", entity.meshFile, geometry.name, Place{entity.line, "entity"});
                            for (const String& material : entity.subentities)
                                Add("material", material, geometry.name, Place{entity.line, "entity"});
                        }
            }

            static String SkyElement(Types::SkyParameters::Kind kind)
            {
                return kind == Types::SkyParameters::DOME ? "skyDome"
                       : kind == Types::SkyParameters::PLANE ? "skyPlane"
                                                             : "skyBox";
            }

            explicit References(const ScriptNames* scripts = nullptr,
                                const String& loadedGroup = ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME)
                : scripts(scripts), loadedGroup(loadedGroup)
            {
            }

            double meshesMs = 0; ///< the time reading the meshes took, before a load

            std::vector<MissingResource> Missing(bool openMedia)
            {
                if (scripts)
                {
                    Timer meshes;
                    if (openMedia)
                        CheckMeshes();
                    meshesMs = meshes.getMicroseconds() / 1000.0;
                    CheckScriptTextures();
                }
                else if (openMedia)
                {
                    CheckMeshes();
                    CheckMaterials();
                }
                std::vector<MissingResource> missing;
                for (const auto& key : sequence)
                {
                    auto broken = unreadable.find(key);
                    if (broken == unreadable.end() && Exists(key.first, key.second))
                        continue;
                    MissingResource resource{key.first, key.second, found[key], 0, "", ""};
                    if (broken != unreadable.end())
                        resource.unreadable = broken->second;
                    auto first = firstUse.find(key);
                    if (first != firstUse.end())
                    {
                        resource.row = first->second.row;
                        resource.firstUser = first->second.who;
                    }
                    missing.push_back(std::move(resource));
                }
                return missing;
            }

        private:
            typedef std::pair<String, String> Key;

            void Read(const TiXmlElement* element, const String& owner, const Objects::Rules& rules)
            {
                for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
                    ReadChild(child, owner, rules);
            }

            void ReadChild(const TiXmlElement* child, const String& owner, const Objects::Rules& rules)
            {
                String name = TarnelUtilities::GetStringAttribute(child, "name");
                String user = name.empty() ? owner : name;
                const String& kind = child->ValueStr();
                if (Objects::IsObject(child))
                    ReadObject(child, owner, rules);
                else if (Environment::IsSky(child))
                    ReadSky(child, user);
                else if (kind == "renderTexture")
                    ReadRenderTexture(child, user);
                else if (kind == "node" || kind == "modelInstance")
                {
                    ReadModel(Objects::ReadNodeAttributes(child).modelFile, user, At(child));
                    Read(child, user, rules);
                }
                else
                    Read(child, user, rules);
            }

            static Place PlaceOf(const Types::ObjectParameters& object)
            {
                static const char* const elements[] = {"object",         "entity",       "light", "camera",
                                                       "particleSystem", "billboardSet", "plane"};
                const char* element = elements[object.objectType <= Types::PLANE ? object.objectType : 0];
                return {object.line,
                        element + (object.namedByNode ? String() : String(" \"") + object.name + "\"")};
            }

            /// A described node's model file and objects, and its child nodes', in document order.
            void AddNode(const NodeDescription& node, const String& owner)
            {
                for (const NodeDescription::Part& part : node.order)
                {
                    if (part.kind == NodeDescription::Part::OBJECT)
                        AddObject(*node.objects[part.index], owner, PlaceOf(*node.objects[part.index]));
                    else if (part.kind == NodeDescription::Part::NODE)
                    {
                        const NodeDescription& child = node.childNodes[part.index];
                        const String& user = child.name.empty() ? owner : child.name;
                        ReadModel(child.modelFile, user,
                                  {child.line, child.element + (child.name.empty() ? String()
                                                                                   : " \"" + child.name + "\"")});
                        AddNode(child, user);
                    }
                }
            }

            /// What an object's description names; one its reader refuses is the load's error.
            void ReadObject(const TiXmlElement* element, const String& owner, const Objects::Rules& rules)
            {
                std::unique_ptr<Types::ObjectParameters> object;
                try
                {
                    object = Objects::ReadObject(element, rules);
                }
                catch (const Exception&)
                {
                    return;
                }
                AddObject(*object, owner, At(element));
            }

            void AddObject(const Types::ObjectParameters& object, const String& owner, const Place& element)
            {
                const String& user = object.name.empty() ? owner : object.name;
                switch (object.objectType)
                {
                case Types::ENTITY:
                {
                    const auto& entity = static_cast<const Types::EntityParameters&>(object);
                    Add("mesh", entity.meshFile, user, element);
                    Add("material", entity.materialFile, user, element);
                    for (const String& material : entity.subentities)
                        Add("material", material, user, element);
                    for (const Types::BoneAttachment& attachment : entity.boneAttachments)
                        if (attachment.object)
                            AddObject(*attachment.object, user, Place());
                    break;
                }
                case Types::PLANE:
                    Add("material", static_cast<const Types::PlaneParameters&>(object).material, user, element);
                    break;
                case Types::BILLBOARD_SET:
                    Add("material", static_cast<const Types::BillboardSetParameters&>(object).material, user, element);
                    break;
                case Types::PARTICLE_SYSTEM:
                    Add("particle template", static_cast<const Types::ParticleSystemParameters&>(object).file, user,
                        element);
                    break;
                default: break;
                }
            }

            void ReadSky(const TiXmlElement* element, const String& user)
            {
                try
                {
                    Add("material", Environment::ReadSky(element).material, user, element);
                }
                catch (const Exception&)
                {
                }
            }

            void ReadRenderTexture(const TiXmlElement* element, const String& user)
            {
                RenderTextureDescription texture;
                try
                {
                    texture = Sections::ReadRenderTexture(element);
                }
                catch (const Exception&)
                {
                    return;
                }
                renderTextures.insert(texture.name);
                for (const RenderTextureDescription::MaterialLayer& layer : texture.materials)
                    Add("material", layer.name, user, element);
            }

            /** A model file's names, from its description: the level's when it has one, else read
                here as the load reads it. Each file once: one that names itself ends here. */
            void ReadModel(const String& file, const String& user, const Place& element)
            {
                if (file.empty())
                    return;
                Add("model file", file, user, element);
                if (!readModels.insert(file).second || !Exists("model file", file))
                    return;
                std::shared_ptr<const ModelDescription> model;
                if (level && level->models.count(file))
                    model = level->models.at(file);
                else
                {
                    Domains::QuietLog quiet;
                    model = ReadModelFile(file, OpenModelsFrom(ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME));
                }
                // A model that does not read is the load's error to report, not a missing file.
                if (model->fault)
                    return;
                ReadModel(model->rootNode.modelFile, user, element);
                AddModelNode(*model, model->rootNode, user, element.row);
            }

            /// What a model file's node names, placed at the level's line that instances it.
            void AddModelNode(const ModelDescription& model, const NodeDescription& node, const String& owner, int row)
            {
                const String& user = node.name.empty() ? owner : node.name;
                for (const auto& object : node.objects)
                {
                    Place place = PlaceOf(*object);
                    place.row = row;
                    place.who += " of model file \"" + model.file + "\" (its line " + std::to_string(object->line) + ")";
                    AddObject(*object, user, place);
                }
                for (const NodeDescription& child : node.childNodes)
                {
                    const String& childUser = child.name.empty() ? user : child.name;
                    ReadModel(child.modelFile, childUser,
                              {row, "node of model file \"" + model.file + "\" (its line " + std::to_string(child.line) + ")"});
                    AddModelNode(model, child, childUser, row);
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
                    // The scripts' group when checking before the load, else the group that has the file.
                    const String group = scripts ? scripts->group
                                                 : ResourceGroupManager::getSingleton().findGroupContainingResource(
                                                       key.second);
                    try
                    {
                        // Already loaded by the level, or read now.
                        mesh = meshes.getByName(key.second, scripts ? group
                                                                    : ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
                        if (!mesh)
                            mesh = meshes.load(key.second, group);
                        mesh->load();
                    }
                    catch (const Exception& error)
                    {
                        // There, but not a mesh the engine reads: the load leaves its entities out.
                        unreadable[key] = error.getDescription();
                        meshes.remove(key.second, group);
                        continue;
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
                    MaterialPtr material = MaterialManager::getSingleton().getByName(key.second, loadedGroup);
                    if (!material)
                        continue;
                    for (const Technique* technique : material->getTechniques())
                        for (const Pass* pass : technique->getPasses())
                            for (const TextureUnitState* layer : pass->getTextureUnitStates())
                                for (unsigned int frame = 0; frame < layer->getNumFrames(); ++frame)
                                {
                                    const String& texture = layer->getFrameTextureName(frame);
                                    // Six faces given apart become one texture the engine names itself.
                                    if (layer->getTextureType() == TEX_TYPE_CUBE_MAP && StringUtil::startsWith(texture, "CubeTex_", false))
                                        continue;
                                    if (!renderTextures.count(texture))
                                        for (const String& user : std::vector<String>(found[key]))
                                            Add("texture", texture, user);
                                }
                }
            }

            /// A material's images as its script names them.
            void CheckScriptTextures()
            {
                for (const auto& key : std::vector<Key>(sequence))
                {
                    auto material = key.first == "material" ? scripts->materials.find(key.second)
                                                            : scripts->materials.end();
                    if (material == scripts->materials.end())
                        continue;
                    for (const String& texture : material->second)
                        if (!renderTextures.count(texture))
                            for (const String& user : std::vector<String>(found[key]))
                                Add("texture", texture, user);
                }
            }

            bool Exists(const String& kind, const String& name) const
            {
                ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
                if (scripts)
                {
                    // The engine makes its own two materials as it starts its render system, not from scripts.
                    if (kind == "material")
                        return scripts->materials.count(name) != 0 || name == "BaseWhite" ||
                               name == "BaseWhiteNoLighting";
                    if (kind == "particle template")
                        return scripts->particleTemplates.count(name) != 0;
                    return resources.resourceExists(
                        scripts->group, kind == "model file" ? TarnelUtilities::NativeSeparators(name) : name);
                }
                if (kind == "material")
                    return bool(MaterialManager::getSingleton().getByName(name, loadedGroup));
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
            std::map<Key, Place> firstUse;
            std::map<Key, String> unreadable;
            const LevelDescription* level = nullptr;
            const ScriptNames* scripts;
            /// Where the level's materials were made, and the engine's own: another level's are not its.
            String loadedGroup;

        };

        /// A script's words, with quoted names as one word without their quotes and comments left out.
        std::vector<String> ScriptWords(const String& text)
        {
            std::vector<String> words;
            size_t at = 0;
            while (at < text.size())
            {
                char c = text[at];
                if (std::isspace(static_cast<unsigned char>(c)) || c == '{' || c == '}')
                    ++at;
                else if (text.compare(at, 2, "//") == 0)
                    at = std::min(text.find('\n', at), text.size());
                else if (text.compare(at, 2, "/*") == 0)
                    at = std::min(text.find("*/", at + 2), text.size() - 2) + 2;
                else if (c == '"')
                {
                    size_t end = std::min(text.find('"', at + 1), text.size());
                    words.push_back(text.substr(at + 1, end - at - 1));
                    at = end + 1;
                }
                else
                {
                    size_t end = at;
                    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) &&
                           text[end] != '{' && text[end] != '}')
                        ++end;
                    words.push_back(text.substr(at, end - at));
                    at = end;
                }
            }
            return words;
        }
    }

    namespace
    {
        bool IsNumber(const String& word)
        {
            return !word.empty() && word.find_first_not_of("0123456789.") == String::npos;
        }

        /** The images a texture unit's line at `at` names: "texture", "cubic_texture" (one
            image, or six with separateUV), "anim_texture" (its frames, or a base name and a
            count, which the engine numbers base_0 onwards). "$name" is a variable an
            inheriting material sets. */
        void AddScriptImages(const std::vector<String>& words, size_t at, std::vector<String>& images)
        {
            const String& word = words[at];
            auto add = [&images](const String& image) {
                if (!image.empty() && image[0] != '$')
                    images.push_back(image);
            };
            if (word == "texture")
                add(words[at + 1]);
            else if (word == "cubic_texture")
            {
                const bool six = at + 7 < words.size() && words[at + 7] == "separateUV";
                for (size_t face = 1; face <= (six ? 6u : 1u); ++face)
                    add(words[at + face]);
            }
            else if (word == "anim_texture")
            {
                if (at + 3 < words.size() && IsNumber(words[at + 2]) && IsNumber(words[at + 3]))
                {
                    String base, extension;
                    StringUtil::splitBaseFilename(words[at + 1], base, extension);
                    const int frames = std::min(StringConverter::parseInt(words[at + 2]), 1000);
                    for (int frame = 0; frame < frames; ++frame)
                        add(base + "_" + std::to_string(frame) + (extension.empty() ? "" : "." + extension));
                }
                else
                    for (size_t frame = at + 1; frame < words.size() && !IsNumber(words[frame]); ++frame)
                        add(words[frame]);
            }
        }
    }

    ScriptNames ScriptNames::Read(const String& group)
    {
        ScriptNames names;
        names.group = group;
        ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
        for (const char* pattern : {"*.material", "*.particle"})
        {
            const bool materials = pattern[2] == 'm';
            StringVectorPtr scripts = resources.findResourceNames(group, pattern);
            for (const String& script : *scripts)
            {
                std::vector<String> words;
                try
                {
                    words = ScriptWords(resources.openResource(script, group)->getAsString());
                }
                catch (const Exception&)
                {
                    continue; // what cannot be read defines nothing
                }
                std::vector<String>* textures = nullptr;
                for (size_t i = 0; i + 1 < words.size(); ++i)
                {
                    if (!materials && words[i] == "particle_system")
                        names.particleTemplates.insert(words[i + 1]);
                    else if (materials && words[i] == "material")
                        textures = &names.materials[words[i + 1]];
                    else if (materials && textures)
                        AddScriptImages(words, i, *textures);
                }
            }
        }
        return names;
    }

    std::vector<MissingResource> FindMissingResources(const String& levelFile, bool openMedia)
    {
        TiXmlDocument document;
        if (!TarnelUtilities::LoadXmlFile(levelFile, document))
            return {};
        return FindMissingResources(document, openMedia);
    }

    std::vector<MissingResource> FindMissingResources(const TiXmlDocument& level, bool openMedia,
                                                      const LevelDescription* described, const String& group)
    {
        if (!level.FirstChildElement())
            return {};
        Domains::QuietLog quiet;
        References references(nullptr, group);
        references.ReadFile(level.FirstChildElement(), described);
        return references.Missing(openMedia);
    }

    std::vector<MissingResource> FindMissingResources(const TiXmlDocument& level, const ScriptNames& media,
                                                      const LevelDescription* described, bool openMeshes,
                                                      double* meshesMs)
    {
        if (!level.FirstChildElement())
            return {};
        Domains::QuietLog quiet;
        References references(&media);
        references.ReadFile(level.FirstChildElement(), described);
        std::vector<MissingResource> missing = references.Missing(openMeshes);
        if (meshesMs)
            *meshesMs = references.meshesMs;
        return missing;
    }
}
