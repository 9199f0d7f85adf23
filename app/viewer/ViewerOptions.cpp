// The viewer's options: one table, read in one pass over the arguments.
#include "ViewerOptions.h"
#include "EngineFiles.h"
#include "OptionTable.h"
#include "ViewerKeys.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace
{
    const char* const USAGE =
        "Usage: TarnelViewer [LEVEL.scene] [options]\n"
        "Opens the level (a path relative to the working directory, or absolute) in the\n"
        "portal-zone scene manager; without one, ../Media/Scenes/scene3.scene.\n"
        "The level's own folder and its resource locations supply its media. The engine's\n"
        "files (plugins.cfg, ogre.cfg, ../resources.cfg) come from the working directory,\n"
        "else from beside the program; Ogre.log, scenetree.txt and screenshots go to the\n"
        "working directory. A level given here starts with all of it in view.\n"
        "\n"
        "Options:\n"
        "  --no-dialog            start with the saved ogre.cfg (the dialog only when it has no\n"
        "                         usable render system)\n"
        "  --verbose              the engine's log lines on the terminal too\n"
        "%MEDIA%"
        "  --camera NAME          start looking through the level's camera of that name\n"
        "  --watch                reload by itself when the level's file or its own media\n"
        "                         change on disk, once the writes have settled\n"
        "  --lenient              repeated node and object names get a numbered suffix\n"
        "                         instead of ending the load\n"
        "  --screenshot FILE.png  draw the level once, without dialog or window, write the\n"
        "                         picture and exit (a virtual display where there is none)\n"
        "  --size WxH             the picture's size (default 1280x720)\n"
        "  --sweep-file FILE      the checker's JSON of a sweep of the level\n"
        "                         (TarnelCheck --sweep --json): J goes to its heaviest\n"
        "                         places in turn, the heaviest first\n"
        "\n"
        "Keys:\n";

    /// "WxH" with both from 16 to 8192.
    bool ParseSize(const std::string& text, unsigned& width, unsigned& height)
    {
        char separator = 0, rest = 0;
        return std::sscanf(text.c_str(), "%u%c%u%c", &width, &separator, &height, &rest) == 3 &&
               separator == 'x' && width >= 16 && height >= 16 && width <= 8192 && height <= 8192;
    }

    typedef const std::string& Text;
    const OptionRow<ViewerCommandLine> OPTIONS[] = {
        {"--no-dialog", false, [](ViewerCommandLine& l, Text, Text) { l.options.noDialog = true; }},
        {"--verbose", false, [](ViewerCommandLine& l, Text, Text) { l.options.verbose = true; }},
        {"--watch", false, [](ViewerCommandLine& l, Text, Text) { l.options.watch = true; }},
        {"--lenient", false, [](ViewerCommandLine& l, Text, Text) { l.options.lenientNames = true; }},
        {"--camera", true, [](ViewerCommandLine& l, Text, Text v) { l.options.cameraName = v; }},
        {"--screenshot", true, [](ViewerCommandLine& l, Text, Text v) { l.options.pictureFile = v; }},
        {"--sweep-file", true, [](ViewerCommandLine& l, Text, Text v) { l.sweepFile = v; }},
        {"--size", true,
         [](ViewerCommandLine& l, Text, Text v) {
             l.sizeGiven = true;
             if (!ParseSize(v, l.options.pictureWidth, l.options.pictureHeight))
                 throw std::invalid_argument("--size takes WIDTHxHEIGHT, each from 16 to 8192, not " + v);
         }},
    };
}

std::string ViewerCommandLine::Usage()
{
    std::string usage = USAGE;
    return usage.replace(usage.find("%MEDIA%"), 7, MediaSources::HELP) + KeysHelp();
}

ViewerCommandLine ViewerCommandLine::Parse(int argc, char** argv)
{
    ViewerCommandLine line;
    std::vector<std::string> levels;
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
        {
            line.help = true;
            return line;
        }
        if (line.options.media.TakeOption(argc, argv, i))
            continue;
        if (TakeTableOption(OPTIONS, line, argc, argv, i))
            continue;
        if (argument.compare(0, 2, "--") == 0)
            throw std::invalid_argument("unknown option " + argument);
        levels.push_back(argument);
    }
    if (levels.size() > 1 || (line.sizeGiven && line.options.pictureFile.empty()))
        throw std::invalid_argument("");
    line.levelGiven = !levels.empty();
    if (levels.empty())
        line.options.levelFile = EngineFiles::DefaultLevel(Viewer::DEFAULT_LEVEL);
    else
    {
        line.options.levelFile = levels.front();
        line.options.checkFirst = true;
        line.options.frameLevel = true;
    }
    return line;
}
