// TarnelCheck: loads levels into the real engine without showing them, and reports what
// each holds, how long it took, and what it lacks; for build servers and level designers.
#include "CheckProcess.h"
#include "Tarnel/Read/TarnelPaths.h"
#include "CheckReports.h"
#include "LevelCheck.h"
#include "VirtualDisplay.h"

#include "Tarnel/Engine/TarnelEngine.h"
#include "Tarnel/Engine/TarnelPlatform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <stdexcept>
#include <thread>
#include <unistd.h>

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
        "                         only building and drawing find. In well under a second\n";

    std::string Usage()
    {
        std::string usage = USAGE;
        return usage.replace(usage.find("%MEDIA%"), 7, MediaSources::HELP);
    }

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

    /** Reads each level in this process, with an engine of no render system and no plug-ins,
        and reports it as it goes. */
    std::vector<LevelCheck> ReadLevels(const std::vector<String>& levels, const CheckSettings& settings, bool json)
    {
        Tarnel::Engine engine({"", "", "TarnelCheck.log", false, false});
        std::vector<LevelCheck> checks;
        for (size_t index = 0; index < levels.size(); ++index)
        {
            if (levels.size() > 1)
                std::cerr << "[" << index + 1 << "/" << levels.size() << "] " << levels[index] << std::endl;
            String unreadable = Tarnel::TarnelUtilities::UnreadableFileReason(levels[index]);
            checks.push_back(unreadable.empty() ? LevelCheck::Read(levels[index], settings)
                                                : LevelCheck::NotChecked(levels[index], levels[index] + " " + unreadable));
            if (!json)
            {
                WriteText(std::cout, checks.back());
                std::cout.flush();
            }
        }
        return checks;
    }

    /// Checks each level in a process of its own, in a display that lives as long as the checks.
    std::vector<LevelCheck> CheckAll(const std::vector<String>& levels, const CheckSettings& settings, unsigned jobs,
                                     bool json, char** argv)
    {
        // The server must not reset between the levels' processes.
        const VirtualDisplay::Connection display;
        if (!display.IsOpen())
            VirtualDisplay::RestartInside(argv);
        const std::filesystem::path programFolder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        return CheckInOwnProcesses(
            levels, programFolder, settings, jobs,
            [&levels](size_t index) {
                if (levels.size() > 1)
                    std::cerr << "[" << index + 1 << "/" << levels.size() << "] " << levels[index] << std::endl;
            },
            // What the game's media say is said under the first level that has it, then referred to.
            [json, media = FindingLists(), saidUnder = String()](size_t, const LevelCheck& check) mutable {
                if (json)
                    return;
                const FindingLists own = FindingLists::OfMedia(check);
                const bool said = !saidUnder.empty() && own == media;
                WriteText(std::cout, check, said ? saidUnder : String());
                std::cout.flush();
                if (saidUnder.empty() && !own.Empty())
                {
                    media = own;
                    saidUnder = check.file;
                }
            });
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
}

int main(int argc, char** argv)
{
    std::vector<String> levels;
    bool json = false, noDraw = false;
    CheckSettings settings;
    String reportFolder, junitFile;
    unsigned shardIndex = 1, shardCount = 1;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    try
    {
        for (int i = 1; i < argc; ++i)
        {
            std::string argument = argv[i];
            if (argument == "--help" || argument == "-h")
            {
                std::cout << Usage();
                return 0;
            }
            if (settings.media.TakeOption(argc, argv, i))
                continue;
            static const std::set<String> withValue = {"--report", "--junit", "--ref", "--ref-threshold",
                                                       "--ref-tolerance", "--shard", "--jobs", "--timeout"};
            if (withValue.count(argument) && i + 1 >= argc)
                throw std::invalid_argument(argument + " needs a value");
            if (argument == "--json")
                json = true;
            else if (argument == "--no-draw")
                noDraw = true;
            else if (argument == "--lenient")
                settings.lenientNames = true;
            else if (argument == "--report")
                reportFolder = std::filesystem::absolute(argv[++i]).lexically_normal().string();
            else if (argument == "--junit")
                junitFile = argv[++i];
            else if (argument == "--ref")
                settings.referenceFolder = std::filesystem::absolute(argv[++i]).lexically_normal().string();
            else if (argument == "--ref-update")
                settings.updateReferences = true;
            else if (argument == "--ref-threshold")
                settings.referenceThreshold = ParseShare(argument, argv[++i]);
            else if (argument == "--ref-tolerance")
                settings.referenceTolerance = ParseShare(argument, argv[++i]);
            else if (argument == "--shard")
            {
                if (!ParseShard(argv[++i], shardIndex, shardCount))
                    throw std::invalid_argument("--shard takes I/N with I from 1 to N, not " + String(argv[i]));
            }
            else if (argument == "--jobs")
            {
                jobs = unsigned(std::atoi(argv[++i]));
                if (jobs < 1 || jobs > 256)
                    throw std::invalid_argument("--jobs takes a number from 1 to 256, not " + String(argv[i]));
            }
            else if (argument == "--timeout")
            {
                int seconds = std::atoi(argv[++i]);
                if (seconds < 1 || seconds > 86400)
                    throw std::invalid_argument("--timeout takes a number of seconds from 1 to 86400, not " +
                                                String(argv[i]));
                settings.timeoutSeconds = unsigned(seconds);
            }
            else if (argument.compare(0, 2, "--") == 0)
                throw std::invalid_argument("unknown option " + argument);
            else
            {
                std::vector<String> found = LevelsOf(argument);
                levels.insert(levels.end(), found.begin(), found.end());
            }
        }
        if (noDraw && !settings.referenceFolder.empty())
            throw std::invalid_argument("--ref compares pictures, which --no-draw does not draw");
        if (settings.updateReferences && settings.referenceFolder.empty())
            throw std::invalid_argument("--ref-update needs --ref DIR");
        settings.media.Locations(); // a list or folder that is not there, said once for all levels
    }
    catch (const std::invalid_argument& error)
    {
        std::cerr << "TarnelCheck: " << error.what() << "\n" << Usage();
        return 1;
    }
    if (levels.empty())
    {
        std::cerr << Usage();
        return 1;
    }
    // The I-th share: every N-th level from the I-th, so that shares stay even as levels come and go.
    std::vector<String> share;
    for (size_t i = shardIndex - 1; i < levels.size(); i += shardCount)
        share.push_back(levels[i]);
    if (!reportFolder.empty())
    {
        std::error_code error;
        std::filesystem::create_directories(reportFolder, error);
        settings.picturesFolder = reportFolder;
    }
    std::vector<LevelCheck> checks =
        noDraw ? ReadLevels(share, settings, json) : CheckAll(share, settings, jobs, json, argv);
    if (json)
        std::cout << AsValidUtf8(ToJson(checks)).dump(2) << std::endl;
    if (!junitFile.empty())
    {
        std::ofstream out(junitFile);
        WriteJUnit(out, checks);
        if (!out)
            std::cerr << "TarnelCheck: cannot write " << junitFile << std::endl;
    }
    if (!reportFolder.empty())
    {
        std::ofstream out(reportFolder + "/index.html");
        WriteHtmlReport(out, checks, reportFolder);
        if (!out)
            std::cerr << "TarnelCheck: cannot write " << reportFolder << "/index.html" << std::endl;
        else
            std::cerr << "Report: " << reportFolder << "/index.html" << std::endl;
    }
    return OverallStatus(checks);
}
