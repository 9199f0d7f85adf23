#include "LevelInspector.h"
#include "LevelPreCheck.h"
#include "support/Engine.h"

#include "Tarnel/Read/TarnelDocuments.h"

#include <tinyxml.h>

#include <filesystem>
#include <fstream>

using Ogre::String;
using Ogre::StringUtil;

namespace
{
    /// A folder of its own with the files given, removed with this object.
    struct LevelFolder
    {
        std::filesystem::path path = std::filesystem::temp_directory_path() / ("tarnel-reading-" + std::to_string(::getpid()));
        explicit LevelFolder(std::initializer_list<std::pair<String, String>> files)
        {
            std::filesystem::create_directories(path);
            for (const auto& [name, text] : files)
                std::ofstream(path / name) << text;
        }
        ~LevelFolder() { std::filesystem::remove_all(path); }
        String File(const String& name) const { return (path / name).string(); }
    };
}

TEST(LevelReading, WhatStopsTheLoadIsSaidWithItsLine)
{
    TestEngine::Root();
    const struct
    {
        const char* what;
        const char* level;
        bool lenient;
        const char* fault; ///< after "level.scene:"; empty: none
    } rows[] = {
        {"a node repeats a name", "<scene><nodes>\n<node name=\"A\"/>\n<node name=\"A\"/>\n</nodes></scene>", false,
         "3: node \"A\" repeats the name of line 2 (--lenient renames repeats)"},
        {"an unnamed object takes its node's", "<scene><nodes>\n<node name=\"L\"><light type=\"point\"/>\n"
                                              "<light name=\"L\" type=\"point\"/></node>\n</nodes></scene>",
         false, "3: light \"L\" repeats the name of line 2 (--lenient renames repeats)"},
        {"nodes and objects keep names apart", "<scene><nodes>\n<node name=\"L\"><light name=\"L\"/></node>\n</nodes></scene>",
         false, ""},
        {"--lenient takes repeats", "<scene><nodes>\n<node name=\"A\"/>\n<node name=\"A\"/>\n</nodes></scene>", true, ""},
        {"a keyword near one the parser knows", "<scene><nodes>\n<node name=\"N\"><light name=\"Sun\" type=\"Spott\"/></node>\n</nodes></scene>",
         false, "2: light \"Sun\": InvalidParametersException: Invalid light type specified: Spott (did you mean \"spot\"?)"},
        {"a keyword near none", "<scene><nodes>\n<node name=\"N\"><light name=\"Sun\" type=\"LT_POINT\"/></node>\n</nodes></scene>",
         false, "2: light \"Sun\": InvalidParametersException: Invalid light type specified: LT_POINT"},
        {"a block the loader does not read", "<scene><lights>\n<light name=\"Sun\" type=\"LT_POINT\"/>\n</lights></scene>",
         false, ""},
        {"an element the loader does not read, in a node",
         "<scene><nodes>\n<node name=\"N\"><physics><light name=\"Sun\" type=\"LT_POINT\"/></physics></node>\n</nodes></scene>",
         false, ""},
        {"a node's own keyword", "<scene><nodes>\n<node name=\"N\">\n<lookTarget nodeName=\"N\" relativeTo=\"wrld\"/>"
                                 "</node>\n</nodes></scene>",
         false, "2: node \"N\": InvalidParametersException: Invalid transform space specified: wrld (did you mean \"world\"?)"},
        {"a node looks at a node the level does not have",
         "<scene><nodes>\n<node name=\"N\"><lookTarget nodeName=\"Gone\"/></node>\n</nodes></scene>", false,
         "2: node \"N\" looks at node \"Gone\", which the level does not have"},
        {"a camera tracks one", "<scene><nodes>\n<node name=\"N\"/>\n</nodes>\n<camera name=\"C\"><trackTarget nodeName=\"M\"/></camera></scene>",
         false, "4: camera \"C\" tracks node \"M\", which the level does not have"},
        {"a point to look at needs no node",
         "<scene><nodes>\n<node name=\"N\"><lookTarget><position x=\"1\"/></lookTarget></node>\n</nodes></scene>", false, ""},
        {"an object on a bone repeats a name",
         "<scene><nodes>\n<node name=\"N\"><entity name=\"E\" meshFile=\"Crate.mesh\"><boneAttachments>\n"
         "<boneAttachment bone=\"b\"><light name=\"E\"/></boneAttachment></boneAttachments></entity></node>\n</nodes></scene>",
         false, "3: light \"E\" repeats the name of line 2 (--lenient renames repeats)"},
        {"a sky's material the media lack", "<scene><environment>\n<skyBox material=\"Sky\"/></environment></scene>",
         false, "2: skyBox names material \"Sky\", which is nowhere to be found; searched "},
        {"a sky switched off needs none", "<scene><environment>\n<skyBox enable=\"false\" material=\"Sky\"/>"
                                          "</environment></scene>", false, ""},
        {"a plane without a normal", "<scene><nodes>\n<node name=\"N\"><plane name=\"P\"/></node>\n</nodes></scene>",
         false, "2: plane \"P\": InvalidParametersException: The normal of plane P is 0 0 0, which is no direction"},
        {"an archive type in the wrong case",
         "<scene><resourceLocations>\n<resourceLocation name=\"media\" type=\"filesystem\"/></resourceLocations></scene>",
         false, "2: resourceLocation \"media\" has type \"filesystem\", which is no archive type the engine reads "
                "(did you mean \"FileSystem\"?); it reads FileSystem, Zip, EmbeddedZip"},
        {"the engine's own material", "<scene><environment>\n<skyDome material=\"BaseWhite\"/></environment></scene>",
         false, ""},
    };
    for (const auto& row : rows)
    {
        LevelFolder folder({{"level.scene", row.level}});
        TiXmlDocument document;
        const LevelReading reading = ReadLevel(folder.File("level.scene"), MediaSources(), row.lenient, document, true);
        // The folders searched, which end a missing file's fault, are this machine's.
        const String expected = *row.fault ? folder.File("level.scene") + ":" + row.fault : String();
        EXPECT_EQ(expected, StringUtil::endsWith(expected, "searched ", false) ? reading.fault.substr(0, expected.size())
                                                                             : reading.fault)
            << row.what;
    }
}

TEST(LevelReading, AMeshNamedWithBackslashesIsLookedUpWithSlashes)
{
    TestEngine::Root();
    // As a Windows exporter writes a mesh in a folder of a location searched with its subfolders.
    LevelFolder folder({{"level.scene", "<scene><resourceLocations><resourceLocation type=\"FileSystem\" name=\".\\\" "
                                        "recursive=\"true\"/></resourceLocations><nodes><node name=\"N\"><entity "
                                        "meshFile=\"props\\crate.mesh\"/></node></nodes></scene>"}});
    std::filesystem::create_directories(folder.path / "props");
    std::ofstream(folder.path / "props" / "crate.mesh") << "a mesh";
    TiXmlDocument document;
    EXPECT_EQ("", ReadLevel(folder.File("level.scene"), MediaSources(), false, document, true).fault);
}

TEST(LevelReading, AMaterialsImagesAreReadFromItsScriptsText)
{
    TestEngine::Root();
    // Quoted names, comments and an inheriting material's variable, as exporters write them.
    LevelFolder folder({{"level.scene", "<scene><nodes><node name=\"F\"><plane name=\"F\" material=\"Own/Stone\">"
                                        "<normal y=\"1\"/></plane></node><node name=\"G\"><plane name=\"G\" "
                                        "material=\"Gone\"><normal y=\"1\"/></plane></node></nodes></scene>"},
                        {"own.material", "// texture commented.png\nmaterial \"Own/Stone\" { technique { pass {\n"
                                         "/* texture hidden.png */ texture_unit { texture stone.png }\n"
                                         "texture_unit { texture $diffuse } texture_unit { texture here.png }\n"
                                         "texture_unit { cubic_texture sky.png combinedUVW }\n"
                                         "texture_unit { anim_texture fire.png 2 0.5 }\n"
                                         "texture_unit { anim_texture here.png smoke.png 0.5 }\n"
                                         "texture_unit { cubic_texture here.png here.png here.png here.png up.png "
                                         "here.png separateUV } } } }"},
                        {"here.png", "not read, only found"}});
    TiXmlDocument document;
    const LevelReading reading = ReadLevel(folder.File("level.scene"), MediaSources(), false, document, true);
    std::vector<String> missing;
    for (const Tarnel::MissingResource& resource : reading.missing)
        missing.push_back(resource.kind + " " + resource.name);
    EXPECT_EQ((std::vector<String>{"material Gone", "texture stone.png", "texture sky.png", "texture fire_0.png",
                                   "texture fire_1.png", "texture smoke.png", "texture up.png"}),
              missing);
}

TEST(LevelReading, EachObjectsLineByTheNameTheLoaderGivesIt)
{
    TiXmlDocument document;
    document.SetTabSize(4); // rows are counted
    document.Parse("<scene>\n<nodes>\n<node name=\"Hall\">\n<entity meshFile=\"a.mesh\"/>\n"
                   "<node name=\"Lamp\"><light name=\"Glow\"/></node>\n</node>\n</nodes>\n<camera name=\"Top\"/>\n</scene>");
    const LevelRows rows = LevelRows::Of(Tarnel::LevelReader().Read(document.RootElement()), "level.scene");
    EXPECT_EQ((std::map<String, int>{{"Hall", 3}, {"Lamp", 5}}), rows.nodes);
    EXPECT_EQ((std::map<String, int>{{"Hall", 4}, {"Glow", 5}, {"Top", 8}}), rows.objects);
}

TEST(LevelReading, ACameraForTheCommandLineIsLookedForInTheDescription)
{
    TestEngine::Root();
    auto described = [](const char* level) {
        TiXmlDocument document;
        document.Parse(level);
        return Tarnel::LevelReader().Read(document.RootElement());
    };
    const Tarnel::LevelDescription cameras = described(
        "<scene><nodes><node name=\"Eye\"><camera/><entity name=\"E\" meshFile=\"a.mesh\"><boneAttachments>"
        "<boneAttachment bone=\"b\"><camera name=\"OnBone\"/></boneAttachment></boneAttachments></entity></node>"
        "</nodes><camera name=\"Top\"/><physics><camera name=\"NotRead\"/></physics></scene>");
    const struct
    {
        const char* asked;
        String fault;
    } rows[] = {
        {"Top", ""},
        {"top", ""},     // its case aside
        {"Eye", ""},     // an unnamed camera takes its node's name
        {"OnBone", ""},  // on an entity's bone
        {"NotRead", NoSuchCamera("NotRead", {"Eye", "OnBone", "Top"})},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.fault, PreCheckCamera(cameras, row.asked)) << row.asked;
    EXPECT_EQ("", PreCheckCamera(described("<scene><nodes><node name=\"P\" modelFile=\"p.model\"/></nodes></scene>"),
                                 "Inside"))
        << "a model file not read may hold it";
    // A model file read with the level: its cameras are named after the node that instances it.
    LevelFolder folder({{"level.scene", "<scene><nodes><node name=\"P\" modelFile=\"p.model\"/></nodes></scene>"},
                        {"p.model", "<node><node name=\"Head\"><camera name=\"Eye\"/></node></node>"}});
    Tarnel::LevelDescription read;
    PreCheckLevel(folder.File("level.scene"), MediaSources(), nullptr, false, &read);
    EXPECT_EQ("", PreCheckCamera(read, "PEye"));
    EXPECT_EQ(NoSuchCamera("Eye", {"PEye"}), PreCheckCamera(read, "Eye"));
}

TEST(LevelReading, WhatAModelFileHoldsIsCheckedBeforeTheWindow)
{
    TestEngine::Root();
    const char* const post = "<scene><nodes>\n<node name=\"P\" modelFile=\"post.model\"/>\n";
    const struct
    {
        const char* what;
        String level;  ///< post.model is instanced at line 2
        const char* model;
        bool lenient;
        const char* fault; ///< after the level's path; empty: none
    } rows[] = {
        {"a refused keyword", String(post) + "</nodes></scene>", "<node>\n<light name=\"L\" type=\"Spott\"/></node>",
         false, ":2: model file \"post.model\" does not load: post.model:2: light \"L\": Invalid light type specified: "
                "Spott (did you mean \"spot\"?)"},
        {"a repeated name", String(post) + "</nodes></scene>", "<node>\n<node name=\"A\"/>\n<node name=\"A\"/></node>",
         true, ":2: node \"PA\" (made by model file post.model:3) repeats the name of line 2 (--lenient renames only "
               "the level's own repeats)"},
        {"a level node the model's name takes", String(post) + "<node name=\"PA\"/>\n</nodes></scene>",
         "<node>\n<node name=\"A\"/></node>", false, ":3: node \"PA\" repeats the name of line 2 (--lenient renames repeats)"},
        {"a target the model makes", String(post) + "<node name=\"N\"><lookTarget nodeName=\"PA\"/></node>\n</nodes></scene>",
         "<node>\n<node name=\"A\"/></node>", false, ""},
        {"a target nothing makes", String(post) + "<node name=\"N\"><lookTarget nodeName=\"PB\"/></node>\n</nodes></scene>",
         "<node>\n<node name=\"A\"/></node>", false,
         ":3: node \"N\" looks at node \"PB\", which the level does not have"},
        {"a mesh inside an element the loader does not read", String(post) + "</nodes></scene>",
         "<node>\n<physics><entity name=\"E\" meshFile=\"gone.mesh\"/></physics></node>", false, ""},
        {"a mesh the media lack", String(post) + "</nodes></scene>",
         "<node>\n<entity name=\"E\" meshFile=\"gone.mesh\"/></node>", false,
         ":2: entity \"E\" of model file \"post.model\" (its line 2) names mesh \"gone.mesh\", which is nowhere to be "
         "found; searched "},
    };
    for (const auto& row : rows)
    {
        LevelFolder folder({{"level.scene", row.level}, {"post.model", row.model}});
        TiXmlDocument document;
        const LevelReading reading = ReadLevel(folder.File("level.scene"), MediaSources(), row.lenient, document, true);
        const String expected = *row.fault ? folder.File("level.scene") + row.fault : String();
        EXPECT_EQ(expected, StringUtil::endsWith(expected, "searched ", false) ? reading.fault.substr(0, expected.size())
                                                                             : reading.fault)
            << row.what;
    }
    // A file inside itself, through another, would never end building.
    LevelFolder loop({{"level.scene", String(post) + "</nodes></scene>"},
                      {"post.model", "<node>\n<node name=\"In\" modelFile=\"lamp.model\"/></node>"},
                      {"lamp.model", "<node>\n<node name=\"Back\" modelFile=\"post.model\"/></node>"}});
    TiXmlDocument document;
    EXPECT_EQ("lamp.model:2: node instances model file \"post.model\", which holds it: a model file may not instance "
              "itself",
              ReadLevel(loop.File("level.scene"), MediaSources(), false, document, true).fault);
    // The description holds each file once, read for the load to build from.
    Tarnel::LevelDescription described;
    PreCheckLevel(loop.File("level.scene"), MediaSources(), nullptr, false, &described);
    EXPECT_EQ(2u, described.models.size());
}
