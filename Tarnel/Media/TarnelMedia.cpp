// A level's own media: its scripts, and the faults of exported media that must not end the program.
#include "Tarnel/Media/TarnelMedia.h"
#include "Tarnel/Read/TarnelPaths.h"
#include "Tarnel/Media/TarnelProgramless.h"
#include "Tarnel/Media/TarnelStandInImages.h"

#include <OgreArchive.h>
#include <OgreArchiveManager.h>
#include <OgreGpuProgramManager.h>
#include <OgreHighLevelGpuProgram.h>
#include <OgreHighLevelGpuProgramManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreParticleSystem.h>
#include <OgreParticleSystemManager.h>
#include <OgreRenderSystem.h>
#include <OgreRoot.h>
#include <OgreResourceManager.h>
#include <OgreScriptLoader.h>
#include <OgreTechnique.h>
#include <OgreTexture.h>

#include <algorithm>
#include <cstring>
#include <map>

using namespace Ogre;

// The compiler still raises its older event for programs in a shading language.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace Tarnel
{
    namespace
    {
        /** The fonts a font definition file defines: "font NAME" at the top, or a bare name
            in the older form. */
        std::vector<String> FontNames(DataStream& stream)
        {
            std::vector<String> names;
            int depth = 0;
            while (!stream.eof())
            {
                String line = stream.getLine();
                if (line.empty() || StringUtil::startsWith(line, "//"))
                    continue;
                if (line == "{" || line == "}")
                {
                    depth += line == "{" ? 1 : -1;
                    continue;
                }
                if (depth > 0)
                    continue;
                const bool opens = StringUtil::endsWith(line, "{");
                if (opens)
                    line.pop_back();
                if (StringUtil::startsWith(line, "font "))
                    line = line.substr(5);
                StringUtil::trim(line);
                if (!line.empty())
                    names.push_back(line);
                depth += opens;
            }
            return names;
        }

        /** Whether a font definition file defines a font the group has already, which the
            engine would refuse by ending the whole group's reading; said once when it does. */
        bool DefinesAFontAgain(const String& script, DataStream& stream, const String& group)
        {
            // Programs without the engine's overlays have no fonts, and read no font files.
            const auto& managers = ResourceGroupManager::getSingleton().getResourceManagers();
            const auto found = managers.find("Font");
            if (found == managers.end() || !StringUtil::endsWith(script, ".fontdef"))
                return false;
            ResourceManager* fonts = found->second;
            for (const String& font : FontNames(stream))
            {
                if (!fonts->getResourceByName(font, group))
                    continue;
                LogManager::getSingleton().logError("Tarnel: the font '" + font + "' is defined again in " + script +
                                                    "; its first definition stays, and " + script + " is not read");
                return true;
            }
            return false;
        }
    }

    namespace
    {
        /// The names of the materials with a layer that shows the texture, quoted, or empty.
        String MaterialsUsing(const String& textureName)
        {
            String names;
            std::set<const Material*> named;
            for (const auto& layer : TarnelMedia::LayersShowing(textureName))
            {
                const Material* material = layer.first->getParent()->getParent()->getParent();
                if (named.insert(material).second)
                    names += (names.empty() ? "'" : ", '") + material->getName() + "'";
            }
            return names;
        }
    }

    namespace
    {
        /// The folder's full path without a closing separator: "/a/b/" and "/a/b" are one folder.
        String FolderPath(const String& path)
        {
            String full = TarnelUtilities::FullPath(path);
            while (full.size() > 1 && full.back() == '/')
                full.pop_back();
            return full;
        }
    }

    TarnelMedia::TarnelMedia()
    {
        images = std::make_unique<StandInImages>();
        ScriptCompilerManager::getSingleton().setListener(this);
        ResourceGroupManager::getSingleton().setLoadingListener(this);
        ResourceGroupManager::getSingleton().addResourceGroupListener(this);
    }

    TarnelMedia::~TarnelMedia()
    {
        if (ScriptCompilerManager::getSingleton().getListener() == this)
            ScriptCompilerManager::getSingleton().setListener(nullptr);
        if (ResourceGroupManager::getSingleton().getLoadingListener() == this)
            ResourceGroupManager::getSingleton().setLoadingListener(nullptr);
        ResourceGroupManager::getSingleton().removeResourceGroupListener(this);
        KeepReplacedTemplates(false);
    }

    TarnelMedia::LevelOwnScripts::LevelOwnScripts(bool readBefore)
    {
        if (TarnelMedia* media = Instance())
            media->levelOwn = true, media->levelReadBefore = readBefore;
    }

    TarnelMedia::LevelOwnScripts::~LevelOwnScripts()
    {
        if (TarnelMedia* media = Instance())
            media->levelOwn = media->levelReadBefore = false;
    }

    bool TarnelMedia::IsLevelMaterial(const String& name) const
    {
        auto found = levelMaterials.lower_bound({name, String()});
        return found != levelMaterials.end() && found->first == name;
    }

    TarnelMedia* TarnelMedia::Instance()
    {
        return dynamic_cast<TarnelMedia*>(ScriptCompilerManager::getSingleton().getListener());
    }

    void TarnelMedia::KeepReplacedTemplates(bool keep)
    {
        ParticleSystemManager& particles = ParticleSystemManager::getSingleton();
        for (const auto& replaced : replacedTemplates)
        {
            if (keep)
            {
                if (particles.getTemplate(replaced.first))
                    particles.removeTemplate(replaced.first);
                particles.addTemplate(replaced.first, replaced.second);
            }
            else
                OGRE_DELETE replaced.second;
        }
        replacedTemplates.clear();
    }

    void TarnelMedia::resourceGroupScriptingEnded(const String&)
    {
        ScriptsRead();
    }

    void TarnelMedia::resourceGroupScriptingStarted(const String& group, size_t)
    {
        scriptingGroup = group;
    }

    void TarnelMedia::scriptParseStarted(const String& script, bool& skip)
    {
        if (!StringUtil::endsWith(script, ".fontdef"))
            return;
        try
        {
            DataStreamPtr stream = ResourceGroupManager::getSingleton().openResource(script, scriptingGroup);
            skip = DefinesAFontAgain(script, *stream, scriptingGroup);
        }
        catch (const Exception&)
        {
            // The engine says why when it reads it.
        }
    }

    void TarnelMedia::ScriptsRead()
    {
        for (const GpuProgramPtr& program : discardedPrograms)
        {
            GpuProgramManager::getSingleton().remove(program);
            HighLevelGpuProgramManager::getSingleton().remove(program);
        }
        discardedPrograms.clear();

        // Which programs the engine can run is known once its render system runs.
        RenderSystem* renderSystem = Root::getSingleton().getRenderSystem();
        if (!renderSystem || !renderSystem->getCapabilities())
            return;
        std::vector<std::pair<String, String>> materials;
        materials.swap(newMaterials);
        Programless::DrawWithoutPrograms(materials);
        std::map<std::pair<String, String>, std::vector<String>> undeclared;
        undeclared.swap(undeclaredPrograms);
        Programless::DrawWithoutUndeclaredPrograms(undeclared);
        compilingMaterial = {};
        compilingFile.clear();
    }

    std::vector<std::pair<TextureUnitState*, unsigned int>> TarnelMedia::LayersShowing(const String& textureName,
                                                                                     const String& group)
    {
        std::vector<std::pair<TextureUnitState*, unsigned int>> layers;
        ResourceManager::ResourceMapIterator materials = MaterialManager::getSingleton().getResourceIterator();
        while (materials.hasMoreElements())
        {
            Material* material = static_cast<Material*>(materials.getNext().get());
            if (!group.empty() && material->getGroup() != group)
                continue;
            for (Technique* technique : material->getTechniques())
                for (Pass* pass : technique->getPasses())
                    for (TextureUnitState* layer : pass->getTextureUnitStates())
                        for (unsigned int frame = 0; frame < layer->getNumFrames(); ++frame)
                            if (layer->getFrameTextureName(frame) == textureName)
                                layers.emplace_back(layer, frame);
        }
        return layers;
    }

    void TarnelMedia::ParseScripts(const Locations& locations, const String& group)
    {
        // The loaders that take a file of these locations, in the order the engine runs them.
        ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
        std::multimap<Real, ScriptLoader*> loaders;
        for (const auto& location : locations)
        {
            StringVectorPtr files = location.first->list(location.second);
            for (const String& file : *files)
            {
                String base, extension;
                StringUtil::splitBaseFilename(file, base, extension);
                ScriptLoader* loader = resources._findScriptLoader("*." + extension);
                bool known = false;
                for (const auto& entry : loaders)
                    known = known || entry.second == loader;
                if (loader && !known)
                    loaders.emplace(loader->getLoadingOrder(), loader);
            }
        }

        for (const auto& entry : loaders)
        {
            for (const String& pattern : entry.second->getScriptPatterns())
            {
                for (const auto& location : locations)
                {
                    StringVectorPtr scripts = location.first->find(pattern, location.second);
                    for (const String& script : *scripts)
                    {
                        LogManager::getSingleton().logMessage("Parsing script " + script);
                        if (DefinesAFontAgain(script, *location.first->open(script), group))
                            continue;
                        DataStreamPtr stream = location.first->open(script);
                        entry.second->parseScript(stream, group);
                    }
                }
            }
        }
        // The engine's own parsing of a group says when it ends; this one, here.
        if (TarnelMedia* media = Instance())
            media->ScriptsRead();
    }

    bool TarnelMedia::IsRegistered(const String& location, const String& group)
    {
        ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
        if (!resources.resourceGroupExists(group))
            return false;
        const String fullPath = FolderPath(location);
        for (const ResourceGroupManager::ResourceLocation& registered : resources.getResourceLocationList(group))
        {
            const String registeredPath = FolderPath(registered.archive->getName());
            if (registeredPath == fullPath)
                return true;
            // A folder searched with its subfolders holds theirs already: scripts read twice would clash.
            if (registered.recursive && fullPath.size() > registeredPath.size() &&
                fullPath.compare(0, registeredPath.size(), registeredPath) == 0 &&
                fullPath[registeredPath.size()] == '/')
                return true;
        }
        return false;
    }

    bool TarnelMedia::handleEvent(ScriptCompiler*, ScriptCompilerEvent* event, void* result)
    {
        if (event->mType == CreateGpuProgramScriptCompilerEvent::eventType ||
            event->mType == CreateHighLevelGpuProgramScriptCompilerEvent::eventType)
            return KeepFirstProgram(static_cast<CreateGpuProgramScriptCompilerEvent*>(event), result);
        if (event->mType == CreateParticleSystemScriptCompilerEvent::eventType)
            return KeepFirstParticleTemplate(static_cast<CreateParticleSystemScriptCompilerEvent*>(event), result);
        if (event->mType != CreateMaterialScriptCompilerEvent::eventType)
            return false;
        const CreateMaterialScriptCompilerEvent* create = static_cast<CreateMaterialScriptCompilerEvent*>(event);
        compilingMaterial = {create->mName, create->mResourceGroup};
        compilingFile = create->mFile;
        MaterialManager& materials = MaterialManager::getSingleton();
        MaterialPtr first = materials.getByName(create->mName, create->mResourceGroup);
        const std::pair<String, String> key(create->mName, create->mResourceGroup);
        // A group of its own (a level reloaded beside the one on screen) defines its own.
        if (!first || first->getGroup() != create->mResourceGroup)
        {
            if (levelOwn)
                levelMaterials.insert(key);
            newMaterials.emplace_back(create->mName, create->mResourceGroup);
            return false;
        }
        // A level's own material stands for it, whatever the game's media define of that name.
        if (levelOwn && levelMaterials.insert(key).second)
        {
            LogManager::getSingleton().logMessage("Tarnel: the level's material '" + create->mName + "', in " +
                                                      create->mFile + ", is used instead of the one in " +
                                                      first->getOrigin(),
                                                  levelReadBefore ? LML_NORMAL : LML_WARNING);
            materials.remove(first);
            newMaterials.emplace_back(create->mName, create->mResourceGroup);
            return false;
        }

        LogManager::getSingleton().logError("Tarnel: the material '" + create->mName + "' is defined again in " +
                                            create->mFile + "; its first definition, in " + first->getOrigin() +
                                            ", stays");
        // The compiler reads the second definition into a material that nothing can find.
        discardedMaterials.push_back(
            std::make_shared<Material>(&materials, create->mName, 0, create->mResourceGroup));
        *static_cast<Material**>(result) = discardedMaterials.back().get();
        return true;
    }

    bool TarnelMedia::KeepFirstProgram(CreateGpuProgramScriptCompilerEvent* create, void* result)
    {
        GpuProgramPtr first = GpuProgramManager::getSingleton().getByName(create->mName, create->mResourceGroup);
        if (!first || first->getGroup() != create->mResourceGroup)
            return false;
        // Read again as the level's own, a level's first is its own: nothing to say.
        if (!levelReadBefore)
            LogManager::getSingleton().logError("Tarnel: the GPU program '" + create->mName + "' is defined again in " +
                                                create->mFile + "; its first definition, in " + first->getOrigin() +
                                                ", stays");
        // The compiler reads the second definition into a program of a name that nothing uses.
        String name = "Tarnel/Discarded/" + std::to_string(discardedPrograms.size()) + "/" + create->mName;
        // Of a language no engine has: it takes any setting and compiles nothing, and it leaves the
        // manager once the scripts are read, before a group's loading could try to build it.
        GpuProgramPtr program = HighLevelGpuProgramManager::getSingleton().createProgram(
            name, create->mResourceGroup, "tarnel-discarded", create->mProgramType);
        // The engine sets the source of the programs it makes itself; a group's loading still reads it.
        program->setSourceFile(create->mSource);
        discardedPrograms.push_back(program);
        *static_cast<GpuProgram**>(result) = program.get();
        return true;
    }

    bool TarnelMedia::KeepFirstParticleTemplate(CreateParticleSystemScriptCompilerEvent* create, void* result)
    {
        ParticleSystemManager& particles = ParticleSystemManager::getSingleton();
        ParticleSystem* first = particles.getTemplate(create->mName);
        if (!first)
            return false;
        // Templates have one name space: a level reloaded into a group of its own brings the
        // template anew. The systems made from the old one are copies and stay as they are.
        if (first->getResourceGroupName() != create->mResourceGroup)
        {
            // Kept aside until the reload is whole: a reload that fails gives it back.
            particles.removeTemplate(create->mName, false);
            replacedTemplates.emplace_back(create->mName, first);
            return false;
        }
        // Read again as the level's own, a level's first is its own: nothing to say.
        if (!levelReadBefore)
            LogManager::getSingleton().logError("Tarnel: the particle template '" + create->mName + "' is defined again in " +
                                                create->mFile + "; its first definition, in " + first->getOrigin() +
                                                ", stays");
        String name = "Tarnel/Discarded/" + std::to_string(discardedTemplates++) + "/" + create->mName;
        *static_cast<ParticleSystem**>(result) = particles.createTemplate(name, create->mResourceGroup);
        return true;
    }

    void TarnelMedia::handleError(ScriptCompiler* compiler, uint32 code, const String& file, int line,
                                  const String& message)
    {
        ScriptCompilerListener::handleError(compiler, code, file, line, message);
        // The compiler leaves the pass without the program: drawn so, the pass would be plain white.
        if (code != ScriptCompiler::CE_REFERENCETOANONEXISTINGOBJECT || file != compilingFile ||
            compilingMaterial.first.empty() || GpuProgramManager::getSingleton().getByName(message, compilingMaterial.second))
            return;
        std::vector<String>& programs = undeclaredPrograms[compilingMaterial];
        if (std::find(programs.begin(), programs.end(), message) == programs.end())
            programs.push_back(message);
    }

    DataStreamPtr TarnelMedia::UnshippedProgramSource(const String& name, const GpuProgram* program)
    {
        if (missingProgramSources.insert(name).second)
            LogManager::getSingleton().logError("Tarnel: the source '" + name + "' of the GPU program '" +
                                                program->getName() +
                                                "' cannot be found; the materials that use it fall back");
        // A source that does not compile: the program is unsupported and its techniques are passed over.
        static const char NOT_A_PROGRAM[] = "#error the source of this program was never shipped\n";
        auto stream = std::make_shared<MemoryDataStream>(name, sizeof NOT_A_PROGRAM - 1);
        std::memcpy(stream->getPtr(), NOT_A_PROGRAM, sizeof NOT_A_PROGRAM - 1);
        return stream;
    }

    DataStreamPtr TarnelMedia::resourceLoading(const String& name, const String& group, Resource* resource)
    {
        // Only textures and program sources: a missing mesh still ends the load.
        if (ResourceGroupManager::getSingleton().resourceExists(group, name))
            return DataStreamPtr();
        if (auto* program = dynamic_cast<GpuProgram*>(resource))
            return UnshippedProgramSource(name, program);
        if (!dynamic_cast<Texture*>(resource))
            return DataStreamPtr();
        if (missingTextures.insert(name).second)
        {
            String materials = MaterialsUsing(name);
            LogManager::getSingleton().logError("Tarnel: the texture '" + name + "'" +
                                                (materials.empty() ? "" : " of the material " + materials) +
                                                " cannot be found; it is drawn blank");
            images->AlreadyReported(name);
        }
        return images->Readable(name, DataStreamPtr());
    }

    void TarnelMedia::resourceStreamOpened(const String& name, const String&, Resource* resource, DataStreamPtr& stream)
    {
        if (dynamic_cast<Texture*>(resource))
            stream = images->Readable(name, stream);
    }
}
