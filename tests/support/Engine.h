#ifndef TARNEL_TESTS_ENGINE_H
#define TARNEL_TESTS_ENGINE_H

#include <OgrePrerequisites.h>
#include <gtest/gtest.h>

namespace Ogre
{
    class PCZSceneManager;
}

/** The real engine, shared by every test of one test program: a Root with the
    tests' own plugins.cfg, the OpenGL render system, a small window on the X
    display the test command started, and the resource group "Tests" holding the
    generated test meshes and the data files. Created on first use, shut down
    when the program ends. */
namespace TestEngine
{
    Ogre::Root& Root();
    Ogre::RenderWindow* Window();

    /// A new portal-connected-zone scene manager; the previous one is destroyed.
    Ogre::PCZSceneManager* NewSceneManager();

    /** Destroys a scene manager the test made itself. This engine's zone manager
        does not index its nodes by name, so static geometry, which finds its
        nodes by name when it is destroyed, cannot be destroyed with it: tests of
        static geometry use the generic scene manager. */
    void DestroySceneManager(Ogre::SceneManager* sceneManager);

    const char* const RESOURCE_GROUP = "Tests";

    /// Directory of the data files (also in the resource group "Tests").
    std::string DataDir();
    /// Directory of the generated test meshes (also in the resource group "Tests").
    std::string GeneratedMediaDir();
}

/// A test that works on a fresh PCZ scene manager.
class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override;

    Ogre::PCZSceneManager* sceneManager = nullptr;
};

#endif
