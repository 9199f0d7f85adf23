// Materials drawn from their textures where this engine cannot run their programs.
#include "Tarnel/Media/TarnelProgramless.h"

#include <OgreGpuProgram.h>
#include <OgreLogManager.h>
#include <OgreMaterial.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>

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

        size_t DrawWithoutPrograms(const std::vector<std::pair<String, String>>& materials)
        {
            std::map<String, std::vector<String>> byLanguage;
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
                byLanguage[language].push_back(material->getName());
                ++count;
            }
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
