#include "LevelExtent.h"
#include "LevelFraming.h"
#include "MediaSources.h"

#include <OgreMath.h>

#include <gtest/gtest.h>

#include <algorithm>
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
    // A folder named twice, once with a trailing separator, is one folder.
    EXPECT_EQ(3u, Sources({"--media", (root / "game/media").string(), "--media", (root / "game/media/").string()})
                      .Locations()
                      .size());

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

namespace
{
    /// A box between those corners, named.
    LevelExtent::Item Box(const char* name, Vector3 low, Vector3 high)
    {
        return {name, AxisAlignedBox(low, high), nullptr, {}};
    }

    /// A cube of that size about the centre, named.
    LevelExtent::Item Cube(const char* name, Vector3 centre, Real size)
    {
        return Box(name, centre - size / 2, centre + size / 2);
    }

    /// Eight props in a room 100 units across, then the extra objects.
    std::vector<LevelExtent::Item> Room(std::vector<LevelExtent::Item> extra)
    {
        std::vector<LevelExtent::Item> items;
        for (int i = 0; i < 8; ++i)
            items.push_back(Cube("Prop", Vector3(Real(i % 4) * 30 - 45, 5, Real(i / 4) * 60 - 30), 10));
        items.insert(items.end(), extra.begin(), extra.end());
        return items;
    }
}

TEST(LevelExtent, BackdropsAndLoneFarObjectsDoNotSetTheFrame)
{
    const struct
    {
        const char* what;
        std::vector<LevelExtent::Item> items;
        const char* described;
        Real largestSide; ///< of the bounds kept
    } rows[] = {
        {"a room", Room({}), "framed on 8 of 8 drawn objects", 100},
        {"a backdrop box thousands of units across", Room({Cube("Backdrop", Vector3::ZERO, 17842)}),
         "framed on 8 of 9 drawn objects; left out: Backdrop (encloses 100 % of the level)", 100},
        {"a sky dome and a backdrop", Room({Cube("Dome", Vector3(0, 500, 0), 9000), Cube("Box", Vector3::ZERO, 3000)}),
         "framed on 8 of 10 drawn objects; left out: Dome (encloses 100 % of the level), Box (encloses 100 % of the "
         "level)", 100},
        {"one item 50,000 units away", Room({Cube("Far", Vector3(50000, 0, 0), 10)}),
         "framed on 8 of 9 drawn objects; left out: Far (49,950 units from the rest)", 100},
        {"a hall about the size of its props is the level",
         Room({Box("Hall", Vector3(-55, -1, -40), Vector3(55, 40, 40))}), "framed on 9 of 9 drawn objects", 110},
        {"a dome twice the size of the level under it does not set the frame",
         Room({Cube("Dome", Vector3(0, 20, 0), 250)}),
         "framed on 8 of 9 drawn objects; left out: Dome (encloses 100 % of the level)", 100},
        {"nor does a flat ground far larger than what stands on it",
         Room({Box("Ground", Vector3(-1200, -1, -1200), Vector3(1200, 0, 1200))}),
         "framed on 8 of 9 drawn objects; left out: Ground (a ground 27.7 times the size of what stands on it)", 100},
        {"a ground left 3,000 units from a camp of many pieces", [] {
             std::vector<LevelExtent::Item> items;
             for (int i = 0; i < 24; ++i)
                 items.push_back(Cube("Crate", Vector3(Real(i % 6) * 20, 5, Real(i / 6) * 20), 10));
             items.push_back(Box("Ground", Vector3(2800, -1, 2800), Vector3(3200, 0, 3200)));
             return items;
         }(), "framed on 24 of 25 drawn objects; left out: Ground (3,861 units from the rest)", 110},
        {"a long corridor of props", [] {
             std::vector<LevelExtent::Item> items;
             for (int i = 0; i < 40; ++i)
                 items.push_back(Cube("Step", Vector3(Real(i) * 100, 0, 0), 10));
             return items;
         }(), "framed on 40 of 40 drawn objects", 3910},
        {"two objects far apart are too few to tell", {Cube("A", Vector3::ZERO, 1), Cube("B", Vector3(9e4f, 0, 0), 1)},
         "framed on 2 of 2 drawn objects", 90001},
        {"nothing drawn", {}, "framed on 0 of 0 drawn objects", 0},
    };
    for (const auto& row : rows)
    {
        LevelExtent extent = LevelExtent::Choose(row.items);
        EXPECT_EQ(row.described, extent.Describe()) << row.what;
        Vector3 size = extent.bounds.isFinite() ? extent.bounds.getSize() : Vector3::ZERO;
        Real largest = std::max({size.x, size.y, size.z});
        EXPECT_NEAR(row.largestSide, largest, 1) << row.what;
        EXPECT_EQ(extent.kept * 8, extent.corners.size()) << row.what;
    }
}
