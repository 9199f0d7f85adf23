#ifndef TARNEL_PROGRAMLESS_H
#define TARNEL_PROGRAMLESS_H

#include <OgrePrerequisites.h>

#include <map>
#include <utility>
#include <vector>

namespace Tarnel
{
    /** Materials whose every technique needs a GPU program this build of the engine cannot
        use (Cg above all: the engine here has no Cg; HLSL and assembler under OpenGL) would
        draw blank. Such a material gets one more technique, its last, made from its first
        technique's first pass without programs: that pass's first texture layer (image and
        coordinate set), its colours, lighting, culling, alpha rejection and scene blending.
        The engine's own rules choose techniques as before; this one is chosen only where no
        other can be. */
    namespace Programless
    {
        /** The language of the programs that keep every technique of the material from
            being drawn ("Cg", "HLSL", "assembler" or the engine's word), or empty when a
            technique needs none that this engine lacks, or when it has no technique. The
            engine names every language it lacks "null": the source file's extension tells. */
        Ogre::String UnusableLanguage(const Ogre::Material& material);

        /// Adds the technique made from the material's first pass without programs.
        void AddTechniqueWithoutPrograms(Ogre::Material& material);

        /** Gives each of the materials (name and group) that needs it the technique
            without programs, and logs one warning for each language, naming them:
            "30 materials use Cg programs, which this build of the engine cannot compile;
            drawn from their textures without their programs: A, B, ...". Returns how
            many materials got one. Needs the render system to be running. */
        size_t DrawWithoutPrograms(const std::vector<std::pair<Ogre::String, Ogre::String>>& materials);

        /** Draws each of the materials (name and group) from its first pass without programs, its
            own techniques set aside: they call programs (named) that no script declares, which
            the compiler left out of their passes. One warning names them. */
        size_t DrawWithoutUndeclaredPrograms(
            const std::map<std::pair<Ogre::String, Ogre::String>, std::vector<Ogre::String>>& materials);

        /** Of the materials loaded, those whose every usable technique has a program that did
            not compile, or whose source is missing, are drawn from their first pass without
            programs; one warning for each reason names them. Run once a level's materials are
            loaded: programs are compiled only then. Returns how many were. */
        size_t DrawBrokenWithoutPrograms();
    }
}

#endif
