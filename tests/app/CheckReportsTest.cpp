#include "CheckReports.h"
#include "SweepReports.h"
#include "ZoneGraphPage.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include <sstream>

using Ogre::String;

TEST(CheckReports, WarningsAlikeButForTheirNamesAreGrouped)
{
    std::vector<String> warnings = {
        "WARNING: Mesh 'a.mesh' uses an old format", "Warning: Tarnel: camera \"Wide\" has fov=\"100\"",
        "WARNING: Mesh 'b.mesh' uses an old format", "WARNING: Mesh 'a.mesh' uses an old format",
        "Error: ScriptCompiler - invalid parameters in x.material(3)",
    };
    std::vector<WarningGroup> groups = GroupWarnings(warnings);
    struct Row
    {
        String severity, kind;
        size_t count;
        std::vector<String> subjects;
    } rows[] = {
        {"warning", "engine", 3, {"a.mesh", "b.mesh"}},
        {"warning", "loader", 1, {"Wide"}},
        {"error", "script", 1, {"x.material"}},
    };
    ASSERT_EQ(3u, groups.size());
    for (size_t i = 0; i < groups.size(); ++i)
    {
        EXPECT_EQ(rows[i].severity, groups[i].severity) << i;
        EXPECT_EQ(rows[i].kind, groups[i].kind) << i;
        EXPECT_EQ(rows[i].count, groups[i].count) << i;
        EXPECT_EQ(rows[i].subjects, groups[i].subjects) << i;
    }
    EXPECT_EQ(warnings[0], groups[0].message) << "said as the first of them said it";
}

TEST(CheckReports, NamesNumbersAndQuotedValuesMakeNoNewGroup)
{
    const std::vector<String> warnings = {
        "WARNING: Carpark.mesh uses an old format [MeshSerializer_v1.40]; upgrade with the OgreMeshUpgrader tool",
        "WARNING: fence01.mesh uses an old format [MeshSerializer_v1.30]; upgrade with the OgreMeshUpgrader tool",
        "WARNING: Props/fence02.mesh uses an old format [MeshSerializer_v1.40]; upgrade with the OgreMeshUpgrader tool",
        "Error: Tarnel: the texture 'a.png' of the material 'Wall' cannot be found; it is drawn blank.",
        "Error: Tarnel: the texture 'b.png' of the material 'Door' cannot be found; it is drawn blank.",
        "Warning: the light has 3 lamps", "Warning: the light has no lamps",
    };
    std::vector<WarningGroup> groups = GroupWarnings(warnings);
    ASSERT_EQ(4u, groups.size());
    EXPECT_EQ((std::vector<String>{"Carpark.mesh", "fence01.mesh", "Props/fence02.mesh"}), groups[0].subjects);
    EXPECT_EQ((std::vector<String>{"a.png", "b.png"}), groups[1].subjects);
    EXPECT_EQ(warnings[0] + " (3 times: Carpark.mesh, fence01.mesh, Props/fence02.mesh)", DescribeGroup(groups[0]));
    EXPECT_EQ(warnings[5], DescribeGroup(groups[2])) << "a number is no name of its own";
    groups[1].count = 9;
    EXPECT_EQ(warnings[3] + " (9 times: a.png, b.png, ... +7)", DescribeGroup(groups[1]));
}

TEST(CheckReports, AListOfNamesIsOneNameAndAMissingResourceIsSaidOnce)
{
    const std::vector<String> lines = {
        "Warning: Tarnel: missing texture 'cg0.tga', used by E0, E70, E30, E100",
        "Warning: Tarnel: missing texture 'cg10.tga', used by E10, E80",
        "Error: Tarnel: the texture 'cg0.tga' of the material 'Game/Cg0' cannot be found; it is drawn blank",
        "Warning: Can't assign material 'Gone' to SubMesh of 'a.mesh'",
        "Warning: Tarnel: missing material 'Gone', used by E1",
        "Error: Tarnel: the texture 'other.tga' of the material 'Wall' cannot be found; it is drawn blank",
    };
    const std::vector<String> kept = WithoutRepeatsOfMissing(lines);
    EXPECT_EQ((std::vector<String>{lines[0], lines[1], lines[4], lines[5]}), kept);
    const std::vector<WarningGroup> groups = GroupWarnings(kept);
    ASSERT_EQ(3u, groups.size()) << "lists of users of different lengths make one group";
    EXPECT_EQ(2u, groups[0].count);
    EXPECT_EQ((std::vector<String>{"cg0.tga", "cg10.tga"}), groups[0].subjects);
}

TEST(CheckReports, StatusesAndTheirWeight)
{
    LevelCheck fine;
    fine.loaded = fine.drawn = true;
    LevelCheck incomplete = fine;
    incomplete.missing.push_back({"mesh", "Statue.mesh", {"Statue"}, 0, "", ""});
    LevelCheck different = fine;
    different.pictures.push_back({"first view", "a.png", "ref/a.png", "a-difference.png", 0.2, false});
    LevelCheck failed = fine;
    failed.error = "InvalidStateException: broken";
    struct Row
    {
        std::vector<LevelCheck> checks;
        LevelCheck::Status overall;
    } rows[] = {
        {{fine}, LevelCheck::FINE},
        {{fine, incomplete}, LevelCheck::INCOMPLETE},
        {{incomplete, different}, LevelCheck::LOOKS_DIFFERENT},
        {{different, incomplete}, LevelCheck::LOOKS_DIFFERENT},
        {{different, failed, incomplete}, LevelCheck::FAILED},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.overall, OverallStatus(row.checks)) << row.checks.size();
}

TEST(CheckReports, JUnitIsWellFormedWhateverTheMessages)
{
    LevelCheck fine;
    fine.file = "/game/levels/fine/a.scene";
    fine.loaded = fine.drawn = true;
    fine.checkMs = 12.6;
    LevelCheck failed;
    failed.file = "/game/levels/b <&> \"odd\".scene";
    failed.error = "Exception: <node> & \"quotes\" 'too' \x01\xe9";
    std::ostringstream out;
    WriteJUnit(out, {fine, failed});
    TiXmlDocument document;
    document.Parse(out.str().c_str());
    ASSERT_FALSE(document.Error()) << document.ErrorDesc() << "\n" << out.str();
    const TiXmlElement* suite = document.RootElement()->FirstChildElement("testsuite");
    EXPECT_STREQ("2", suite->Attribute("tests"));
    EXPECT_STREQ("1", suite->Attribute("failures"));
    const TiXmlElement* first = suite->FirstChildElement("testcase");
    EXPECT_STREQ("a.scene", first->Attribute("name"));
    EXPECT_STREQ("/game/levels/fine", first->Attribute("classname"));
    EXPECT_STREQ("0.013", first->Attribute("time"));
    const TiXmlElement* failure = first->NextSiblingElement("testcase")->FirstChildElement("failure");
    ASSERT_NE(nullptr, failure);
    EXPECT_EQ(String("Exception: <node> & \"quotes\" 'too' \xc3\xa9"), failure->Attribute("message"));
}

TEST(CheckReports, PicturesTravelFromTheChildInTheDocument)
{
    LevelCheck check;
    check.file = "level.scene";
    check.loaded = check.drawn = true;
    check.pictures.push_back({"first view", "r/level-view.png", "", "", 0, true});
    check.pictures.push_back({"Gate", "r/level-camera-Gate.png", "ref/level-camera-Gate.png",
                              "r/level-camera-Gate-difference.png", 0.25, false});
    LevelCheck back = FromJson(ToJson(check));
    ASSERT_EQ(2u, back.pictures.size());
    EXPECT_EQ("", back.pictures[0].reference);
    EXPECT_EQ("ref/level-camera-Gate.png", back.pictures[1].reference);
    EXPECT_EQ(0.25, back.pictures[1].differing);
    EXPECT_FALSE(back.pictures[1].matches);
    EXPECT_EQ(LevelCheck::LOOKS_DIFFERENT, back.GetStatus());
}

TEST(CheckReports, TheGameMediasFindingsAreSaidOnceForARun)
{
    auto level = [](const String& file, const String& own) {
        LevelCheck check;
        check.file = file;
        check.loaded = check.drawn = true;
        check.duplicateDefinitions = {"Error: Tarnel: the GPU program 'A' is defined again in b.program; its first "
                                      "definition, in a.program, stays",
                                      "Error: Tarnel: the GPU program 'B' is defined again in b.program; its first "
                                      "definition, in a.program, stays"};
        check.warnings = {"WARNING: Mesh 'game.mesh' uses an old format", own};
        check.mediaDuplicates = 2;
        check.mediaWarnings = 1;
        return check;
    };
    const LevelCheck first = level("a.scene", "Warning: Tarnel: light \"A\" is dim");
    const LevelCheck second = FromJson(ToJson(level("b.scene", "Warning: Tarnel: light \"B\" is dim")));
    EXPECT_EQ(FindingLists::OfMedia(first), FindingLists::OfMedia(second)) << "carried by the document";

    std::ostringstream text;
    WriteText(text, first);
    WriteText(text, second, first.file);
    const String said = text.str();
    EXPECT_NE(String::npos, said.find("(2 times: A, B)")) << "duplicates are grouped\n" << said;
    EXPECT_EQ(said.find("is defined again"), said.rfind("is defined again")) << said;
    EXPECT_NE(String::npos, said.find("the game's media: 2 duplicate definitions and 1 warning, as under a.scene"));
    EXPECT_NE(String::npos, said.find("light \"B\" is dim")) << "the level's own still said";

    std::ostringstream page;
    WriteHtmlReport(page, {first, second}, ".");
    const String html = page.str();
    const size_t above = html.find("The game&#39;s media: 2 duplicate definitions and 1 warning");
    ASSERT_NE(String::npos, above) << html;
    EXPECT_LT(above, html.find("<section")) << "above the levels";
    EXPECT_EQ(html.find("old format"), html.rfind("old format")) << "said once";
    EXPECT_NE(String::npos, html.find("ok</span>: 1 warning<")) << "a card counts its own";

    std::ostringstream alone;
    WriteHtmlReport(alone, {first}, ".");
    EXPECT_EQ(String::npos, alone.str().find("The game&#39;s media")) << "one level's card says them itself";
    EXPECT_NE(String::npos, alone.str().find("old format"));
}

TEST(CheckReports, ASweepAndItsBudgetTravelFromTheChildAndSayWhereItIsHeavy)
{
    LevelCheck check;
    check.file = "level.scene";
    check.loaded = check.drawn = check.swept = true;
    check.sweep.step = 2.5f;
    check.sweep.levelObjects = 40;
    check.sweep.levelZones = 3;
    check.sweep.samples.push_back({Ogre::Vector3(1, 1.5f, -2), "north", Ogre::Vector3::NEGATIVE_UNIT_Z, "Hall_PCZone",
                                   "", 2, 12, 1234000, 40});
    check.sweep.samples.push_back({Ogre::Vector3(0, 1.5f, 0), "south-west", Ogre::Vector3(-0.7f, 0, 0.7f), "", "Gate",
                                   1, 3, 900, 5});
    const struct
    {
        const char* budget;
        std::vector<String> over;
    } rows[] = {
        {"triangles=500000", {"over budget: 1,234,000 triangles from (1, 1.5, -2) looking north in zone Hall_PCZone; "
                              "budget 500,000"}},
        {"batches=41, objects=2", {"over budget: 12 objects from (1, 1.5, -2) looking north in zone Hall_PCZone; budget 2"}},
        {"objects=12\n# the most a room may hold\nbatches=10",
         {"over budget: 40 batches from (1, 1.5, -2) looking north in zone Hall_PCZone; budget 10"}},
        {"triangles=1300000", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.over, LevelBudget::Parse(row.budget).Exceeded(check.sweep)) << row.budget;
    for (const char* wrong : {"triangles", "triangles=-1", "polygons=5", "triangles=1e6"})
        EXPECT_THROW(LevelBudget::Parse(wrong), std::invalid_argument) << wrong;

    check.overBudget = LevelBudget::Parse("triangles=500000").Exceeded(check.sweep);
    const LevelCheck back = FromJson(ToJson(check));
    EXPECT_EQ(LevelCheck::INCOMPLETE, back.GetStatus());
    EXPECT_EQ(check.overBudget, back.overBudget);
    ASSERT_EQ(2u, back.sweep.samples.size());
    EXPECT_EQ("Gate", back.sweep.samples[1].camera);
    EXPECT_EQ(1234000u, back.sweep.Worst()->triangles);
    const std::vector<String> lines = SweepLines(back);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("heaviest outside every zone: 900 triangles, 5 batches, 3 objects (7.5 % of the level's), 1 zone, from "
              "(0, 1.5, 0) looking south-west through the level's camera Gate",
              lines[1]);
}

TEST(CheckReports, TheZoneGraphMarksFaultsAndKeepsAFarZoneNear)
{
    LevelCheck check;
    check.zones = {
        {"Hall", 2, 5, 4, 0, false, Ogre::Vector3(0, 0, 0), {{"Door", 3, "Cellar", {}}}, {}},
        {"Cellar", 8, 3, 2, 0, false, Ogre::Vector3(10, 0, 0), {{"Door", 9, "Hall", {}}, {"Hatch", 10, "", {"no match"}}}, {}},
        {"Island", 20, 1, 0, 0, false, Ogre::Vector3(5000, 0, 10), {}, {"cannot be reached"}},
    };
    std::ostringstream out;
    WriteZoneGraph(out, check, [](const String& text) { return text; });
    const String page = out.str();
    EXPECT_NE(String::npos, page.find("Zones (3, 1 with faults; 1 portal with faults)")) << page;
    EXPECT_NE(String::npos, page.find("<g class=\"zone fault\" data-zone=\"Island\">"));
    EXPECT_NE(String::npos, page.find("<g class=\"zone\" data-zone=\"Hall\">"));
    EXPECT_NE(String::npos, page.find("<g class=\"stub\" data-portal=\"Hatch\">"));
    EXPECT_EQ(page.find("data-from"), page.rfind("data-from")) << "one link a door, not one a portal";
    // The island 5,000 off is drawn no farther from the cellar than the building is wide, times a few.
    const size_t width = page.find("width=\"", page.find("<svg"));
    EXPECT_LT(std::stod(page.substr(width + 7)), 1500.0) << page.substr(width, 40);
    std::ostringstream none;
    WriteZoneGraph(none, LevelCheck(), [](const String& text) { return text; });
    EXPECT_EQ("", none.str()) << "nothing for a level without zones";
}

// The budget's and the sweep's texts give a place alike: four digits, and a speck off zero as 0.
TEST(CheckReports, APlaceIsSaidInFourDigits)
{
    EXPECT_EQ("(24.44, 1.56, -20.28)", LevelSweep::PlaceText(Ogre::Vector3(24.4449f, 1.56f, -20.28f)));
    EXPECT_EQ("(0, 2, 0)", LevelSweep::PlaceText(Ogre::Vector3(-1e-7f, 2, 3e-4f)));
    EXPECT_EQ("(1.235e+04, 0.001, -0.5)", LevelSweep::PlaceText(Ogre::Vector3(12345.6f, 1e-3f, -0.5f)));
}
