// Materials drawn from their textures where this engine cannot run their programs.
#include "Tarnel/Media/TarnelProgramless.h"

#include <OgreGpuProgram.h>
#include <OgreHighLevelGpuProgramManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreLogManager.h>
#include <OgreMaterial.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>

#include <algorithm>
#include <map>

using namespace Ogre;

namespace Tarnel
{
    namespace Programless
    {
        namespace
        {
            const GpuProgramType PROGRAM_TYPES[] = {GPT_VERTEX_PROGRAM, GPT_FRAGMENT_PROGRAM, GPT_GEOMETRY_PROGRAM,
                                                    GPT_DOMAIN_PROGRAM, GPT_HULL_PROGRAM, GPT_COMPUTE_PROGRAM};

            /// A program's language as a designer knows it.
            String LanguageName(const GpuProgram& program)
            {
                String language = program.getLanguage();
                // The engine makes a program of a language it lacks a "null" one; its source says which.
                if (language == "null" || language.empty())
                {
                    String base;
                    StringUtil::splitBaseFilename(program.getSourceFile(), base, language);
                }
                StringUtil::toLowerCase(language);
                if (language == "cg")
                    return "Cg";
                if (language == "hlsl" || language == "fx")
                    return "HLSL";
                if (language == "asm")
                    return "assembler";
                return language.empty() ? String("unknown") : language;
            }

            /// The first program of the technique this engine cannot use; null when none.
            const GpuProgram* FirstUnusableIn(Technique& technique)
            {
                for (Pass* pass : technique.getPasses())
                    for (GpuProgramType type : PROGRAM_TYPES)
                        if (pass->hasGpuProgram(type) && pass->getGpuProgram(type) &&
                            !pass->getGpuProgram(type)->isSupported())
                            return pass->getGpuProgram(type).get();
                return nullptr;
            }

            /// Of the material's first technique.
            const GpuProgram* FirstUnusable(Material& material)
            {
                return material.getNumTechniques() ? FirstUnusableIn(*material.getTechnique(0)) : nullptr;
            }

            /// The language of the first program of the technique this engine cannot use; empty when none.
            String UnusableIn(Technique& technique)
            {
                for (Pass* pass : technique.getPasses())
                {
                    for (GpuProgramType type : PROGRAM_TYPES)
                    {
                        if (!pass->hasGpuProgram(type))
                            continue;
                        const GpuProgramPtr& program = pass->getGpuProgram(type);
                        if (program && !program->isSupported())
                            return LanguageName(*program);
                    }
                }
                return String();
            }

// The shadow passes' programs are still set through this engine's deprecated calls.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
            void ClearShadowPrograms(Pass& pass)
            {
                pass.setShadowCasterVertexProgram(String());
                pass.setShadowCasterFragmentProgram(String());
                pass.setShadowReceiverVertexProgram(String());
                pass.setShadowReceiverFragmentProgram(String());
            }
#pragma GCC diagnostic pop

            const size_t NAMES_IN_WARNING = 8;

            /// "A, B, C", or the first `most` of them and how many more.
            String Names(const std::vector<String>& names, size_t most)
            {
                String text;
                for (size_t i = 0; i < names.size() && i < most; ++i)
                    text += (text.empty() ? "" : ", ") + names[i];
                if (names.size() > most)
                    text += ", ... +" + std::to_string(names.size() - most) + " (all of them in the next line)";
                return text;
            }
        }

        String UnusableLanguage(const Material& material)
        {
            String language;
            for (Technique* technique : material.getTechniques())
            {
                String unusable = UnusableIn(*technique);
                if (unusable.empty())
                    return String();
                if (language.empty())
                    language = unusable;
            }
            return language;
        }

        void AddTechniqueWithoutPrograms(Material& material)
        {
            Technique* source = material.getNumTechniques() ? material.getTechnique(0) : nullptr;
            if (!source || !source->getNumPasses())
                return;
            Technique* technique = material.createTechnique();
            technique->setName("Tarnel/WithoutPrograms");
            Pass* pass = technique->createPass();
            *pass = *source->getPass(0);
            for (GpuProgramType type : PROGRAM_TYPES)
                pass->setGpuProgram(type, GpuProgramPtr());
            ClearShadowPrograms(*pass);
            // Further layers feed the programs (normal and specular maps): drawn as they are they
            // would tint the image. The image of the first layer is what the material looks like.
            while (pass->getNumTextureUnitStates() > 1)
                pass->removeTextureUnitState(1);
            pass->setLightingEnabled(true);
        }

        namespace
        {
            const char* const SET_ASIDE = "Tarnel/Unusable";

            /// The material's own techniques are never chosen again; the one without programs is.
            void SetAsideItsTechniques(Material& material)
            {
                for (Technique* technique : material.getTechniques())
                    if (technique->getName() != "Tarnel/WithoutPrograms")
                        technique->setSchemeName(SET_ASIDE);
                bool added = false;
                for (Technique* technique : material.getTechniques())
                    added = added || technique->getName() == "Tarnel/WithoutPrograms";
                if (!added)
                    AddTechniqueWithoutPrograms(material);
                const bool loaded = material.isLoaded();
                material.compile();
                if (loaded)
                {
                    material.unload();
                    material.load();
                }
            }

            /// "8 materials call programs that no script declares (a, b); drawn from their textures ...: A, B"
            void WarnOf(const std::vector<String>& materials, const String& reason, const std::vector<String>& programs)
            {
                if (materials.empty())
                    return;
                const size_t number = materials.size();
                // "call programs ..." of many, "calls programs ..." of one.
                const size_t verb = reason.find(' ');
                const String said = number == 1 ? reason.substr(0, verb) + "s" + reason.substr(verb) : reason;
                LogManager::getSingleton().logWarning(
                    "Tarnel: " + std::to_string(number) + (number == 1 ? " material " : " materials ") + said +
                    " (" + Names(programs, NAMES_IN_WARNING) + "); drawn from " +
                    (number == 1 ? "its texture" : "their textures") + " without " + (number == 1 ? "its" : "their") +
                    " programs: " + Names(materials, NAMES_IN_WARNING));
                if (number > NAMES_IN_WARNING)
                    LogManager::getSingleton().logMessage("Tarnel: the materials that " + reason + ": " +
                                                          Names(materials, number));
            }

            void AddOnce(std::vector<String>& names, const String& name)
            {
                if (std::find(names.begin(), names.end(), name) == names.end())
                    names.push_back(name);
            }
        }

        size_t DrawWithoutUndeclaredPrograms(const std::map<std::pair<String, String>, std::vector<String>>& materials)
        {
            std::vector<String> names, programs;
            for (const auto& entry : materials)
            {
                MaterialPtr material = MaterialManager::getSingleton().getByName(entry.first.first, entry.first.second);
                if (!material)
                    continue;
                SetAsideItsTechniques(*material);
                names.push_back(material->getName());
                for (const String& program : entry.second)
                    AddOnce(programs, program);
            }
            // "call": the verb of the reason, as the warning reads.
            WarnOf(names, "call programs that no script declares", programs);
            return names.size();
        }

        size_t DrawBrokenWithoutPrograms()
        {
            std::vector<String> missing, failed, missingSources, failedPrograms;
            std::vector<MaterialPtr> broken;
            ResourceManager::ResourceMapIterator all = MaterialManager::getSingleton().getResourceIterator();
            while (all.hasMoreElements())
            {
                MaterialPtr material = static_pointer_cast<Material>(all.getNext());
                if (!material->isLoaded() || material->getSupportedTechniques().empty())
                    continue;
                String source, program;
                bool usable = false;
                for (Technique* technique : material->getSupportedTechniques())
                {
                    bool fine = true;
                    for (Pass* pass : technique->getPasses())
                        for (GpuProgramType type : PROGRAM_TYPES)
                        {
                            if (!pass->hasGpuProgram(type))
                                continue;
                            const GpuProgramPtr& used = pass->getGpuProgram(type);
                            if (!used || !used->hasCompileError())
                                continue;
                            fine = false;
                            program = used->getName();
                            const String& file = used->getSourceFile();
                            if (!file.empty() && !ResourceGroupManager::getSingleton().resourceExistsInAnyGroup(file))
                                source = file;
                        }
                    usable = usable || fine;
                }
                if (usable)
                    continue;
                broken.push_back(material);
                if (!source.empty())
                    missing.push_back(material->getName()), AddOnce(missingSources, source);
                else
                    failed.push_back(material->getName()), AddOnce(failedPrograms, program);
            }
            for (const MaterialPtr& material : broken)
                SetAsideItsTechniques(*material);
            WarnOf(missing, "use programs whose source is missing", missingSources);
            WarnOf(failed, "use programs that fail to compile", failedPrograms);
            return broken.size();
        }

        size_t DrawWithoutPrograms(const std::vector<std::pair<String, String>>& materials)
        {
            std::map<String, std::vector<String>> byLanguage;
            std::vector<String> missing, failed, sources, programs;
            size_t count = 0;
            for (const auto& entry : materials)
            {
                MaterialPtr material = MaterialManager::getSingleton().getByName(entry.first, entry.second);
                if (!material)
                    continue;
                String language = UnusableLanguage(*material);
                if (language.empty())
                    continue;
                AddTechniqueWithoutPrograms(*material);
                ++count;
                // A language the engine runs: its program did not compile, or has no source.
                const GpuProgram* program = FirstUnusable(*material);
                if (!program || !program->hasCompileError() || program->getLanguage() == "null" ||
                    !HighLevelGpuProgramManager::getSingleton().isLanguageSupported(program->getLanguage()))
                    byLanguage[language].push_back(material->getName());
                else if (!program->getSourceFile().empty() &&
                         !ResourceGroupManager::getSingleton().resourceExistsInAnyGroup(program->getSourceFile()))
                    missing.push_back(material->getName()), AddOnce(sources, program->getSourceFile());
                else
                    failed.push_back(material->getName()), AddOnce(programs, program->getName());
            }
            WarnOf(missing, "use programs whose source is missing", sources);
            WarnOf(failed, "use programs that fail to compile", programs);
            for (const auto& language : byLanguage)
            {
                const size_t number = language.second.size();
                LogManager::getSingleton().logWarning(
                    "Tarnel: " + std::to_string(number) + (number == 1 ? " material uses " : " materials use ") +
                    language.first + " programs, which this build of the engine cannot compile; drawn from " +
                    (number == 1 ? "its texture" : "their textures") + " without " + (number == 1 ? "its" : "their") +
                    " programs: " + Names(language.second, NAMES_IN_WARNING));
                // A game may have hundreds: the warning stays a line, and the log has them all.
                if (number > NAMES_IN_WARNING)
                    LogManager::getSingleton().logMessage("Tarnel: the materials drawn without their " +
                                                          language.first + " programs: " +
                                                          Names(language.second, number));
            }
            return count;
        }
    }
}
