#ifndef TARNEL_FUZZ_ENGINE_H
#define TARNEL_FUZZ_ENGINE_H

#include <OgrePrerequisites.h>

#include <cstddef>
#include <cstdint>
#include <string>

/** One engine for the whole fuzzing process: the OpenGL render system with a small
    window in the virtual display, the viewer's rules for faulty media, and a
    directory of the process's own, its working directory, where inputs are written. */
namespace FuzzEngine
{
    /// The model fuzzer's resource group: the sample level's and the tests' media, and the input's directory.
    const char* const GROUP = "Fuzz";

    /// The engine and the group of media for the model fuzzer.
    void Start();
    /** The engine and one viewer, as the program starts it, with the sample level's and the
        tests' media as the game's media, on an empty level "input.scene". */
    void StartViewer();
    Ogre::RenderWindow* Window();
    /// Writes the input as this file in the process's directory; returns its path.
    std::string WriteInput(const std::string& fileName, const uint8_t* data, size_t size);
    /** Every few hundred inputs, drops the meshes and skeletons no object uses: the engine
        keeps an entry for every name it was asked for, found or not, and fuzzed levels ask
        for new names all the time. */
    void ForgetUnusedResources();
    /** Reloads the viewer's level, "input.scene" as written, by the path a user's F5 takes:
        read and checked, built beside the level on screen into a resource group and scene
        manager of its own, and shown in its place; then draws it from the first view the viewer
        chooses and through each of its cameras. A clear
        error, with the level on screen kept, is the expected end of a broken level. Counts the
        levels reloaded and drawn. */
    void ReloadAndDraw();
    /// Levels reloaded and drawn so far.
    unsigned long Drawn();

    /** Whether the input names a resource location, which would make the engine index
        whatever directory it names (the root of the file system, say) at every run. */
    bool NamesResourceLocations(const uint8_t* data, size_t size);
}

#endif
