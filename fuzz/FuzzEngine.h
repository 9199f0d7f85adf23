#ifndef TARNEL_FUZZ_ENGINE_H
#define TARNEL_FUZZ_ENGINE_H

#include <OgrePrerequisites.h>

#include <cstddef>
#include <cstdint>
#include <string>

/** One engine for the whole fuzzing process: the OpenGL render system with a small
    window in the virtual display, the viewer's rules for faulty media, and a
    resource group "Fuzz" holding the sample level's and the tests' media and a
    directory of the process's own where inputs are written. */
namespace FuzzEngine
{
    const char* const GROUP = "Fuzz";

    void Start();
    Ogre::RenderWindow* Window();
    /// Writes the input as this file in the process's directory; returns its path.
    std::string WriteInput(const std::string& fileName, const uint8_t* data, size_t size);
    /** Every few hundred inputs, drops the meshes and skeletons no object uses: the engine
        keeps an entry for every name it was asked for, found or not, and fuzzed levels ask
        for new names all the time. */
    void ForgetUnusedResources();
    /** Loads the level file into a fresh zone scene manager and, when it loads, draws it as
        the viewer and the checker would: portals connected, then through every view. A clear
        error is the expected end of a broken level. Counts the levels drawn. */
    void LoadAndDraw(const std::string& path);
    /// Levels loaded and drawn so far.
    unsigned long Drawn();

    /** Whether the input names a resource location, which would make the engine index
        whatever directory it names (the root of the file system, say) at every run. */
    bool NamesResourceLocations(const uint8_t* data, size_t size);
}

#endif
