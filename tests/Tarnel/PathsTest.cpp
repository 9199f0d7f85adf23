#include "Tarnel/TarnelUtilities.h"

#include <gtest/gtest.h>

#include <filesystem>

using Tarnel::TarnelUtilities;

namespace
{
    std::string WorkingDirectory()
    {
        return std::filesystem::current_path().string();
    }
}

TEST(Paths, AbsoluteForms)
{
    EXPECT_FALSE(TarnelUtilities::IsAbsolutePath(""));
    EXPECT_FALSE(TarnelUtilities::IsAbsolutePath("a"));
    EXPECT_FALSE(TarnelUtilities::IsAbsolutePath("levels/a.scene"));
    EXPECT_FALSE(TarnelUtilities::IsAbsolutePath("\\levels"));
    EXPECT_FALSE(TarnelUtilities::IsAbsolutePath("./a"));
    EXPECT_TRUE(TarnelUtilities::IsAbsolutePath("C:/levels"));
    EXPECT_TRUE(TarnelUtilities::IsAbsolutePath("d:"));
    EXPECT_TRUE(TarnelUtilities::IsAbsolutePath("\\\\server\\share"));
    EXPECT_TRUE(TarnelUtilities::IsAbsolutePath("/"));
    EXPECT_TRUE(TarnelUtilities::IsAbsolutePath("/srv/levels"));
}

TEST(Paths, FullPathResolvesWithoutTheFileExisting)
{
    std::string path = "missing/../levels/./a.scene";
    TarnelUtilities::MakeFullPath(path);
    EXPECT_EQ(WorkingDirectory() + "/levels/a.scene", path);

    std::string windows = "levels\\sub\\..\\a.scene";
    TarnelUtilities::MakeFullPath(windows);
    EXPECT_EQ(WorkingDirectory() + "/levels/a.scene", windows);

    std::string empty;
    TarnelUtilities::MakeFullPath(empty);
    EXPECT_EQ(WorkingDirectory(), empty);

    std::string absolute = "/srv//levels/../media";
    TarnelUtilities::MakeFullPath(absolute);
    EXPECT_EQ("/srv/media", absolute);
}

TEST(Paths, JoinStripsLeadingSeparatorsOfRelativePaths)
{
    EXPECT_EQ("/srv/levels/scenes/a.scene", TarnelUtilities::JoinPath("/srv/levels", "\\scenes\\a.scene"));
    EXPECT_EQ("/srv/levels/a.scene", TarnelUtilities::JoinPath("/srv/levels/", "a.scene"));
    EXPECT_EQ("/srv/levels/a.scene", TarnelUtilities::JoinPath("/srv/levels\\", "a.scene"));
    EXPECT_EQ("/srv/media/", TarnelUtilities::JoinPath("/srv/levels", "../media/"));
    EXPECT_EQ(WorkingDirectory() + "/a.scene", TarnelUtilities::JoinPath("", "a.scene"));
    EXPECT_EQ(WorkingDirectory() + "/levels/a.scene", TarnelUtilities::JoinPath("levels", "a.scene"));
}

TEST(Paths, JoinKeepsAbsolutePathsAsTheyAre)
{
    EXPECT_EQ("D:/x.scene", TarnelUtilities::JoinPath("/srv/levels", "D:/x.scene"));
    EXPECT_EQ("/srv/other/../x.scene", TarnelUtilities::JoinPath("/srv/levels", "/srv/other/../x.scene"));
}
