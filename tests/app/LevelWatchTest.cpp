#include "LevelWatch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace
{
    /// Asks, as the viewer does every frame, then again once the settling time has passed.
    bool SettledAfterQuiet(LevelWatch& watch)
    {
        bool early = watch.ChangesSettled();
        std::this_thread::sleep_for(LevelWatch::SETTLE + std::chrono::milliseconds(200));
        return !early && watch.ChangesSettled();
    }
}

TEST(LevelWatch, ABurstOfWritesCountsOnceWhenItSettles)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarnel-level-watch";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    LevelWatch watch;
    std::filesystem::create_directories(folder / "media" / "materials");
    std::filesystem::create_directories(folder / "flat" / "below");
    watch.Watch({{folder.string(), false},
                 {(folder / "not-there").string(), true},
                 {(folder / "media").string(), true},
                 {(folder / "flat").string(), false}});
    EXPECT_FALSE(SettledAfterQuiet(watch)) << "nothing changed";

    for (int piece = 0; piece < 3; ++piece) // an exporter writing in pieces
        std::ofstream(folder / "level.scene", std::ios::app) << "<scene/>\n";
    EXPECT_FALSE(watch.ChangesSettled()) << "not while the writes go on";
    EXPECT_TRUE(SettledAfterQuiet(watch));
    EXPECT_FALSE(watch.ChangesSettled()) << "once for the burst";

    // The viewer's own files in the folder are not the level's.
    std::ofstream(folder / "Ogre.log") << "line\n";
    std::ofstream(folder / "screenshot_3.png") << "picture";
    EXPECT_FALSE(SettledAfterQuiet(watch));

    // A game's media are searched with their subfolders, and watched so.
    std::ofstream(folder / "media" / "materials" / "wall.material") << "material Wall {}";
    EXPECT_TRUE(SettledAfterQuiet(watch)) << "a change in a subfolder of a folder watched with them";
    std::ofstream(folder / "flat" / "below" / "wall.material") << "material Wall {}";
    EXPECT_FALSE(SettledAfterQuiet(watch)) << "not below a folder watched alone";

    std::filesystem::rename(folder / "level.scene", folder / "renamed.scene");
    EXPECT_TRUE(SettledAfterQuiet(watch)) << "a file moved counts";
    watch.Watch({});
    std::ofstream(folder / "renamed.scene") << "<scene/>";
    EXPECT_FALSE(SettledAfterQuiet(watch)) << "folders no longer watched";
    std::filesystem::remove_all(folder);
}
