#include "LevelFraming.h"
#include "MediaSources.h"

#include <OgreMath.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

using namespace Ogre;

namespace
{
    /// Parses the options as the programs do.
    MediaSources Sources(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), "program");
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(&argument[0]);
        MediaSources sources;
        for (int i = 1; i < int(argv.size()); ++i)
            EXPECT_TRUE(sources.TakeOption(int(argv.size()), argv.data(), i)) << argv[i];
        return sources;
    }

    std::vector<std::string> Described(const std::vector<MediaSources::Location>& locations, const std::string& root)
    {
        std::vector<std::string> described;
        for (const auto& location : locations)
            described.push_back(location.group + " " + location.type + " " +
                                std::filesystem::path(location.path).lexically_relative(root).string());
        return described;
    }
}

TEST(MediaSources, ResourceListsAndFolders)
{
    const std::filesystem::path root = std::filesystem::temp_directory_path() / "tarnel-media-sources";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "game/media/meshes/props");
    std::filesystem::create_directories(root / "game/media/.git");
    std::filesystem::create_directories(root / "game/textures");
    // Relative paths from the list's own folder, any separator the engine reads, a location twice.
    std::ofstream(root / "game/resources.cfg") << "# the game's list\n[General]\nFileSystem=media/meshes\n"
                                                  "FileSystem:textures\n[Fonts]\nZip\t/abs/fonts.zip\n"
                                                  "[General]\nFileSystem=media/meshes\n";
    const std::string list = (root / "game/resources.cfg").string();
    // Sections by name, as the engine's reader keeps them.
    EXPECT_EQ((std::vector<std::string>{"Fonts Zip ../../abs/fonts.zip", "General FileSystem game/media/meshes",
                                        "General FileSystem game/textures"}),
              Described(Sources({"--resources", list}).Locations(), root.string()));
    // A folder and each folder below it on its own, hidden ones left out, in order; once with the list.
    EXPECT_EQ((std::vector<std::string>{"General FileSystem game/media", "General FileSystem game/media/meshes",
                                        "General FileSystem game/media/meshes/props"}),
              Described(Sources({"--media", (root / "game/media").string()}).Locations(), root.string()));
    EXPECT_EQ(5u, Sources({"--resources", list, "--media", (root / "game/media").string()}).Locations().size());

    struct Refusal
    {
        std::vector<std::string> arguments;
        std::string message;
    } refusals[] = {
        {{"--media", (root / "nowhere").string()}, "--media " + (root / "nowhere").string() + ": no such folder"},
        {{"--resources", (root / "game").string()}, "--resources " + (root / "game").string() + ": no such file"},
    };
    for (const Refusal& refusal : refusals)
    {
        try
        {
            Sources(refusal.arguments).Locations();
            ADD_FAILURE() << refusal.message;
        }
        catch (const std::invalid_argument& error)
        {
            EXPECT_EQ(refusal.message, error.what());
        }
    }
    MediaSources sources;
    char program[] = "program", option[] = "--media", other[] = "--camera";
    char* withoutValue[] = {program, option};
    int index = 1;
    EXPECT_THROW(sources.TakeOption(2, withoutValue, index), std::invalid_argument);
    char* notOurs[] = {program, other};
    EXPECT_FALSE(sources.TakeOption(2, notOurs, index));
    std::filesystem::remove_all(root);
}

TEST(LevelFraming, EveryCornerInViewAboutTheUpAxis)
{
    struct Row
    {
        AxisAlignedBox bounds;
        Vector3 up;
        Real aspect;
    } rows[] = {
        {AxisAlignedBox(Vector3(4800, -20, -3300), Vector3(5300, 240, -2700)), Vector3::UNIT_Y, 1.6f},
        {AxisAlignedBox(Vector3(-950, 750, 0), Vector3(-650, 1050, 240)), Vector3::UNIT_Z, 1.33f},
        {AxisAlignedBox(Vector3(-1, -1, -1), Vector3(1, 1, 1)), Vector3::UNIT_Y, 0.5f},
        {AxisAlignedBox(), Vector3::UNIT_Y, 1}, // nothing drawn: the origin
    };
    const Radian fovY(Math::HALF_PI);
    for (const Row& row : rows)
    {
        LevelFraming framing = LevelFraming::Of(row.bounds, {}, row.up, fovY, row.aspect);
        AxisAlignedBox seen = row.bounds.isFinite() ? row.bounds : AxisAlignedBox(-Vector3::UNIT_SCALE, Vector3::UNIT_SCALE);
        EXPECT_TRUE(framing.target.positionEquals(seen.getCenter())) << framing.target;
        Vector3 back = framing.position - framing.target;
        EXPECT_GT(back.dotProduct(row.up), 0) << "raised";
        // Looking at the target with the up axis up: every corner projects inside the view.
        Vector3 forward = -back.normalisedCopy();
        Vector3 right = forward.crossProduct(row.up).normalisedCopy();
        Vector3 upward = right.crossProduct(forward);
        for (const Vector3& corner : seen.getAllCorners())
        {
            Vector3 offset = corner - framing.position;
            Real depth = offset.dotProduct(forward);
            ASSERT_GT(depth, framing.nearClip);
            EXPECT_LE(std::abs(offset.dotProduct(right)) / depth, Math::Tan(fovY / 2) * row.aspect * 1.001f);
            EXPECT_LE(std::abs(offset.dotProduct(upward)) / depth, Math::Tan(fovY / 2) * 1.001f);
            EXPECT_LT(depth, framing.farClip);
        }
        // Sized to the level: crossed in a few seconds, lit to its far side.
        Real size = seen.getSize().length();
        EXPECT_LE(size / framing.moveSpeed, 5);
        EXPECT_GE(framing.lightRange, back.length());
    }
}

TEST(LevelFraming, InsideAZoneStaysInItsWalls)
{
    AxisAlignedBox hall(Vector3(-10, 0, -10), Vector3(10, 5, 10));
    LevelFraming framing = LevelFraming::Within(hall, AxisAlignedBox(Vector3(-30, 0, -10), Vector3(10, 5, 30)),
                                                Vector3::UNIT_Y);
    EXPECT_TRUE(hall.contains(framing.position)) << framing.position;
    EXPECT_GT(framing.position.y, hall.getCenter().y) << "raised";
    EXPECT_TRUE(framing.target.positionEquals(hall.getCenter()));
}
