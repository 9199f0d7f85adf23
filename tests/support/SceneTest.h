#ifndef TARNEL_TESTS_SCENE_TEST_H
#define TARNEL_TESTS_SCENE_TEST_H

#include "Tarnel/TarnelScene.h"
#include "support/Engine.h"

#include <OgrePCZSceneManager.h>

#include <string>

/** A test that loads scene documents from files it writes into a directory of
    its own, into a fresh portal-connected-zone scene manager, with the
    resource group "Tests" as the scene's default group. */
class SceneTest : public EngineTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Writes a file below the test's directory; returns its absolute path.
    std::string WriteFile(const std::string& relativePath, const std::string& text);
    /// Copies one of the generated test meshes below the test's directory under another name.
    void CopyMesh(const std::string& meshName, const std::string& relativePath);

    /// Writes the document as "<test name>.scene" and loads it.
    void LoadText(const std::string& text);
    void LoadFile(const std::string& fileName);

    /// A document whose nodes section holds the given text, followed by other sections.
    static std::string NodesScene(const std::string& nodes, const std::string& sections = "");

    Tarnel::TarnelScene scene;
    std::string directory; ///< absolute, without a trailing separator
};

#endif
