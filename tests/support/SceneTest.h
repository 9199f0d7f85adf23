#ifndef TARNEL_TESTS_SCENE_TEST_H
#define TARNEL_TESTS_SCENE_TEST_H

#include "Tarnel/Scene/TarnelScene.h"
#include "support/Engine.h"

#include <OgreEntity.h>
#include <OgreSceneNode.h>

/** A test that loads levels from files it writes into a directory of its own,
    into a fresh zone scene manager, with "Tests" as the level's default group. */
class SceneTest : public EngineTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Writes a file below the test's directory; returns its absolute path.
    std::string WriteFile(const std::string& relativePath, const std::string& text);
    void LoadFile(const std::string& path);
    /// Writes the level as "<test name>.scene" and loads it.
    void LoadText(const std::string& text);
    /// A level whose nodes section holds the given text, followed by other sections.
    static std::string NodesScene(const std::string& nodes, const std::string& sections = "");
    void LoadNodes(const std::string& nodes, const std::string& sections = "") { LoadText(NodesScene(nodes, sections)); }
    /// Empties the scene and loads the level into a new scene manager.
    void LoadFresh(const std::string& text);

    template <typename T = Ogre::Entity> T* Get(const std::string& name)
    {
        return dynamic_cast<T*>(scene.GetObject(name));
    }

    Tarnel::TarnelScene scene;
    std::string directory; ///< absolute, without a trailing separator
};

#endif
