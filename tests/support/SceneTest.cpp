#include "support/SceneTest.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

void SceneTest::SetUp()
{
    EngineTest::SetUp();
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    directory = (fs::temp_directory_path() / "tarnel-tests" / test->test_suite_name() / test->name()).string();
    fs::remove_all(directory);
    fs::create_directories(directory);
}

void SceneTest::TearDown()
{
    scene.Destroy();
    fs::remove_all(directory);
}

std::string SceneTest::WriteFile(const std::string& relativePath, const std::string& text)
{
    fs::path path = fs::path(directory) / relativePath;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
    return path.string();
}

void SceneTest::LoadFile(const std::string& path)
{
    scene.Load(path, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP);
}

void SceneTest::LoadText(const std::string& text)
{
    LoadFile(WriteFile(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".scene", text));
}

std::string SceneTest::NodesScene(const std::string& nodes, const std::string& sections)
{
    return "<scene><nodes>" + nodes + "</nodes>" + sections + "</scene>";
}

void SceneTest::LoadFresh(const std::string& text)
{
    scene.Destroy();
    sceneManager = TestEngine::NewSceneManager();
    LoadText(text);
}
