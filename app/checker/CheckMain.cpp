// TarnelCheck: loads levels into the real engine without showing them, and reports what
// each holds, how long it took, and what it lacks; for build servers and level designers.
#include "CheckOptions.h"
#include "CheckProcess.h"
#include "Tarnel/Tarnel.h"
#include "CheckReports.h"
#include "LevelCheck.h"
#include "VirtualDisplay.h"

#include <filesystem>
#include <fstream>
#include <iostream>

using Ogre::String;

namespace
{
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

    /// The JSON document, the JUnit file and the page the options ask for.
    void WriteReports(const CheckOptions& options, const std::vector<LevelCheck>& checks)
    {
        if (options.json)
            std::cout << AsValidUtf8(ToJson(checks)).dump(2) << std::endl;
        if (!options.junitFile.empty())
        {
            std::ofstream out(options.junitFile);
            WriteJUnit(out, checks);
            if (!out)
                std::cerr << "TarnelCheck: cannot write " << options.junitFile << std::endl;
        }
        if (!options.reportFolder.empty())
        {
            std::ofstream out(options.reportFolder + "/index.html");
            WriteHtmlReport(out, checks, options.reportFolder);
            if (!out)
                std::cerr << "TarnelCheck: cannot write " << options.reportFolder << "/index.html" << std::endl;
            else
                std::cerr << "Report: " << options.reportFolder << "/index.html" << std::endl;
        }
    }
}

int main(int argc, char** argv)
{
    CheckOptions options;
    try
    {
        options = CheckOptions::Parse(argc, argv);
    }
    catch (const std::invalid_argument& error)
    {
        std::cerr << "TarnelCheck: " << error.what() << "\n" << CheckOptions::Usage();
        return 1;
    }
    if (options.help)
    {
        std::cout << CheckOptions::Usage();
        return 0;
    }
    if (options.levels.empty())
    {
        std::cerr << CheckOptions::Usage();
        return 1;
    }
    CheckSettings settings = options.settings;
    if (!options.reportFolder.empty())
    {
        std::error_code error;
        std::filesystem::create_directories(options.reportFolder, error);
        settings.picturesFolder = options.reportFolder;
    }
    const std::vector<String> share = options.Share();
    std::vector<LevelCheck> checks = options.noDraw ? ReadLevels(share, settings, options.json)
                                                    : CheckAll(share, settings, options.jobs, options.json, argv);
    WriteReports(options, checks);
    return OverallStatus(checks);
}
