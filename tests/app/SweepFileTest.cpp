#include "SweepFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace
{
    std::string Write(const std::string& name, const std::string& text)
    {
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarnel-sweep-file";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / name) << text;
        return (folder / name).string();
    }

    std::string Sample(const char* at, const char* looking, int triangles)
    {
        return std::string("{\"at\":") + at + ",\"looking\":\"" + looking +
               "\",\"direction\":[0,0,-1],\"zone\":\"Hall_PCZone\",\"camera\":null,\"zones\":1,\"objects\":3,"
               "\"triangles\":" + std::to_string(triangles) + ",\"batches\":4}";
    }

    std::string Level(const std::string& file, const std::string& samples)
    {
        return "{\"file\":\"" + file + "\",\"sweep\":{\"step\":1,\"ms\":1,\"levelZones\":1,\"levelObjects\":9,"
               "\"samples\":[" + samples + "]}}";
    }
}

TEST(SweepFile, TheLevelsHeaviestPlacesFirstEachOnce)
{
    const std::string a = "/levels/a.scene", b = "/levels/b.scene";
    const std::string samples = Sample("[0,1,0]", "north", 100) + "," + Sample("[0,1,0]", "east", 300) + "," +
                                Sample("[5,1,0]", "west", 200);
    const std::string both = Write("both.json", "{\"levels\":[" + Level(a, Sample("[9,9,9]", "south", 999)) + "," +
                                                    Level(b, samples) + "]}");
    const std::vector<HeavyPlace> places = ReadSweepFile(both, b);
    ASSERT_EQ(2u, places.size()) << "a place once, with its heaviest direction";
    EXPECT_EQ(300u, places[0].triangles);
    EXPECT_EQ("300 triangles, 4 batches, 3 objects, looking east in zone Hall_PCZone", places[0].text);
    EXPECT_EQ(Ogre::Vector3(5, 1, 0), places[1].position);
    // A document of one swept level serves whatever level is open.
    const std::string one = Write("one.json", "{\"levels\":[" + Level(a, samples) + "]}");
    EXPECT_EQ(2u, ReadSweepFile(one, b).size());

    const struct
    {
        const char* what;
        std::string file;
        const char* said;
    } refused[] = {
        {"no file", "/no/such/sweep.json", "cannot be read"},
        {"not JSON", Write("page.html", "<html></html>"), "is not JSON"},
        {"not swept", Write("unswept.json", "{\"levels\":[{\"file\":\"/levels/b.scene\",\"sweep\":null}]}"),
         "holds no sweep of /levels/b.scene"},
        {"another level's, among others", both, "holds no sweep of /levels/c.scene"},
        {"a sample without its counts", Write("cut.json", "{\"levels\":[" + Level(b, "{\"at\":[0,0,0]}") + "]}"),
         "is not the checker's sweep"},
    };
    for (const auto& row : refused)
    {
        try
        {
            ReadSweepFile(row.file, row.what == std::string("another level's, among others") ? "/levels/c.scene" : b);
            ADD_FAILURE() << row.what << ": read";
        }
        catch (const std::invalid_argument& error)
        {
            EXPECT_NE(std::string::npos, std::string(error.what()).find(row.said)) << row.what << ": " << error.what();
            EXPECT_EQ(0u, std::string(error.what()).find("--sweep-file ")) << error.what();
        }
    }
}
