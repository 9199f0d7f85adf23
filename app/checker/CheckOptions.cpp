// The checker's options: one table, read in one pass over the arguments.
#include "CheckOptions.h"
#include "OptionTable.h"
#include "Tarnel/Tarnel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

using Ogre::String;

namespace
{
    const char* const USAGE =
        "Usage: TarnelCheck LEVEL.scene|FOLDER... [options]\n"
        "Loads each level into the engine, as the viewer would, without showing it, draws\n"
        "it for a frame from the viewer's start view and through each of its cameras, and\n"
        "reports its load time by phase, what it holds, the resources it names that are\n"
        "missing, portals without a target zone, duplicate script definitions and the\n"
        "engine's warnings. Each level is checked in a process of its own, so a level that\n"
        "crashes the engine fails alone. A folder stands for every *.scene below it, sorted.\n"
        "Exit status: 0 all fine, 1 a level failed to load or draw, 2 a level lacks\n"
        "resources or has unconnected portals, 3 a level's pictures differ from their\n"
        "references (1 outweighs 3, which outweighs 2).\n"
        "\n"
        "Options:\n"
        "  --json                 one JSON document for all levels\n"
        "%MEDIA%"
        "  --lenient              repeated node and object names get a numbered suffix\n"
        "                         instead of ending the load\n"
        "  --report DIR           DIR/index.html, a page with a card and pictures per level\n"
        "  --junit FILE           JUnit XML, one test case per level\n"
        "  --ref DIR              compare each level's pictures with the PNGs of the same\n"
        "                         names in DIR\n"
        "  --ref-update           write the pictures to the --ref folder instead\n"
        "  --ref-threshold SHARE  the share of pixels that may differ (default 0.01)\n"
        "  --ref-tolerance VALUE  how far a colour channel may differ, 0 to 1 (default 0.05)\n"
        "  --shard I/N            check only the I-th of N shares of the levels\n"
        "  --jobs N               check N levels at once (default: the number of cores)\n"
        "  --timeout SECONDS      stop a level's check that takes longer, as failed\n"
        "                         (default 300)\n"
        "  --no-draw              only read each level and look its media up on disk, with\n"
        "                         no display: what stops its load, what it lacks (meshes,\n"
        "                         model files, particle templates, materials and the images\n"
        "                         their scripts name) and the readers' warnings; not what\n"
        "                         only building and drawing find. In well under a second\n"
        "  --sweep                sample places through each level (inside each zone, or\n"
        "                         over its extent) looking eight ways, and its cameras, and\n"
        "                         say what each draws: zones, objects, triangles, batches\n"
        "  --sweep-step UNITS     places this far apart (default: about 100 places a level)\n"
        "  --sweep-points N       about N places a level\n"
        "  --budget BOUNDS        triangles=N,batches=M,objects=K: a level whose heaviest\n"
        "                         place draws more is incomplete (status 2); sweeps. A file\n"
        "                         tarnel-budget.txt beside the levels (their folder or one\n"
        "                         above) holds one too; the command line's bounds win\n";

    /// The level files an argument names: the file, or every *.scene below a folder, sorted.
    std::vector<String> LevelsOf(const String& argument)
    {
        std::error_code error;
        if (!std::filesystem::is_directory(argument, error))
            return {Tarnel::TarnelUtilities::FullPath(argument)};
        std::vector<String> levels;
        for (auto entry = std::filesystem::recursive_directory_iterator(
                 argument, std::filesystem::directory_options::skip_permission_denied, error);
             !error && entry != std::filesystem::recursive_directory_iterator(); entry.increment(error))
        {
            if (entry->path().extension() == ".scene" && !entry->is_directory(error))
                levels.push_back(Tarnel::TarnelUtilities::FullPath(entry->path().string()));
        }
        std::sort(levels.begin(), levels.end());
        return levels;
    }

    /// "I/N" with 1 <= I <= N.
    bool ParseShard(const String& text, unsigned& index, unsigned& count)
    {
        char slash = 0, rest = 0;
        return std::sscanf(text.c_str(), "%u%c%u%c", &index, &slash, &count, &rest) == 3 && slash == '/' &&
               index >= 1 && index <= count;
    }

    double ParseShare(const String& option, const String& text)
    {
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (end == text.c_str() || *end || !(value >= 0 && value <= 1))
            throw std::invalid_argument(option + " takes a number from 0 to 1, not " + text);
        return value;
    }

    String Absolute(const String& path) { return std::filesystem::absolute(path).lexically_normal().string(); }

    unsigned Whole(const String& option, const String& text, int lowest, int highest, const char* what)
    {
        const int value = std::atoi(text.c_str());
        if (value < lowest || value > highest)
            throw std::invalid_argument(option + " takes " + what + " from " + std::to_string(lowest) + " to " +
                                        std::to_string(highest) + ", not " + text);
        return unsigned(value);
    }

    typedef const String& Text;
    const OptionRow<CheckOptions> OPTIONS[] = {
        {"--json", false, [](CheckOptions& o, Text, Text) { o.json = true; }},
        {"--no-draw", false, [](CheckOptions& o, Text, Text) { o.noDraw = true; }},
        {"--lenient", false, [](CheckOptions& o, Text, Text) { o.settings.lenientNames = true; }},
        {"--report", true, [](CheckOptions& o, Text, Text v) { o.reportFolder = Absolute(v); }},
        {"--junit", true, [](CheckOptions& o, Text, Text v) { o.junitFile = v; }},
        {"--ref", true, [](CheckOptions& o, Text, Text v) { o.settings.referenceFolder = Absolute(v); }},
        {"--ref-update", false, [](CheckOptions& o, Text, Text) { o.settings.updateReferences = true; }},
        {"--ref-threshold", true,
         [](CheckOptions& o, Text n, Text v) { o.settings.referenceThreshold = ParseShare(n, v); }},
        {"--ref-tolerance", true,
         [](CheckOptions& o, Text n, Text v) { o.settings.referenceTolerance = ParseShare(n, v); }},
        {"--shard", true,
         [](CheckOptions& o, Text, Text v) {
             if (!ParseShard(v, o.shardIndex, o.shardCount))
                 throw std::invalid_argument("--shard takes I/N with I from 1 to N, not " + v);
         }},
        {"--sweep", false, [](CheckOptions& o, Text, Text) { o.settings.sweep = true; }},
        {"--sweep-step", true,
         [](CheckOptions& o, Text n, Text v) {
             char* end = nullptr;
             const double step = std::strtod(v.c_str(), &end);
             if (end == v.c_str() || *end || !(step > 0 && step < 1e9))
                 throw std::invalid_argument(n + " takes a distance above 0, not " + v);
             o.settings.sweepSettings.step = Ogre::Real(step);
             o.settings.sweep = true;
         }},
        {"--sweep-points", true,
         [](CheckOptions& o, Text n, Text v) {
             o.settings.sweepSettings.points = Whole(n, v, 1, 10000, "a number");
             o.settings.sweep = true;
         }},
        {"--budget", true, [](CheckOptions& o, Text, Text v) { o.settings.budget = LevelBudget::Parse(v); }},
        {"--jobs", true, [](CheckOptions& o, Text n, Text v) { o.jobs = Whole(n, v, 1, 256, "a number"); }},
        {"--timeout", true,
         [](CheckOptions& o, Text n, Text v) {
             o.settings.timeoutSeconds = Whole(n, v, 1, 86400, "a number of seconds");
         }},
    };
}

std::string CheckOptions::Usage()
{
    std::string usage = USAGE;
    return usage.replace(usage.find("%MEDIA%"), 7, MediaSources::HELP);
}

CheckOptions CheckOptions::Parse(int argc, char** argv)
{
    CheckOptions options;
    options.jobs = std::max(1u, std::thread::hardware_concurrency());
    for (int i = 1; i < argc; ++i)
    {
        const String argument = argv[i];
        if (argument == "--help" || argument == "-h")
        {
            options.help = true;
            return options;
        }
        if (options.settings.media.TakeOption(argc, argv, i))
            continue;
        if (TakeTableOption(OPTIONS, options, argc, argv, i))
            continue;
        if (argument.compare(0, 2, "--") == 0)
            throw std::invalid_argument("unknown option " + argument);
        {
            const std::vector<String> found = LevelsOf(argument);
            options.levels.insert(options.levels.end(), found.begin(), found.end());
        }
    }
    if (options.noDraw && !options.settings.referenceFolder.empty())
        throw std::invalid_argument("--ref compares pictures, which --no-draw does not draw");
    if (options.noDraw && (options.settings.sweep || options.settings.budget.Any()))
        throw std::invalid_argument("--sweep and --budget count what is drawn, which --no-draw does not draw");
    if (options.settings.updateReferences && options.settings.referenceFolder.empty())
        throw std::invalid_argument("--ref-update needs --ref DIR");
    options.settings.media.Locations(); // a list or folder that is not there, said once for all levels
    return options;
}

std::vector<String> CheckOptions::Share() const
{
    // Every N-th level from the I-th, so that shares stay even as levels come and go.
    std::vector<String> share;
    for (size_t i = shardIndex - 1; i < levels.size(); i += shardCount)
        share.push_back(levels[i]);
    return share;
}
