#include "support/SceneTest.h"

#include <OgreResourceGroupManager.h>

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

void SceneTest::CopyMesh(const std::string& meshName, const std::string& relativePath)
{
    fs::path target = fs::path(directory) / relativePath;
    fs::create_directories(target.parent_path());
    fs::copy_file(fs::path(TestEngine::GeneratedMediaDir()) / meshName, target,
                  fs::copy_options::overwrite_existing);
}

void SceneTest::LoadText(const std::string& text)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    LoadFile(WriteFile(std::string(test->name()) + ".scene", text));
}

void SceneTest::LoadFile(const std::string& fileName)
{
    scene.Load(fileName, TestEngine::Window(), sceneManager, TestEngine::RESOURCE_GROUP);
}

std::string SceneTest::NodesScene(const std::string& nodes, const std::string& sections)
{
    return "<scene><nodes>" + nodes + "</nodes>" + sections + "</scene>";
}
