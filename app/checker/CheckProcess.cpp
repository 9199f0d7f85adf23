// One child process a level, so that a level that ends the engine does not end the checker.
#include "CheckProcess.h"
#include "CheckReports.h"
#include "Tarnel/Tarnel.h"


#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>

#include <algorithm>
#include <cstring>
#include <chrono>
#include <csignal>
#include <thread>
#include <deque>
#include <map>
#include <fstream>
#include <iostream>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Ogre;

namespace
{
    /// Log lines shown for a check that ended without its findings.
    const size_t LAST_LOG_LINES = 12;

    /// The viewer's resource groups, with locations taken relative to the program's folder.
    void AddResourceLocations(const std::filesystem::path& programFolder)
    {
        ConfigFile resources;
        resources.load((programFolder / "../resources.cfg").string(), "\t:=", true);
        for (const auto& section : resources.getSettingsBySection())
        {
            for (const auto& setting : section.second)
            {
                std::filesystem::path location = setting.second;
                if (location.is_relative())
                    location = programFolder / location;
                ResourceGroupManager::getSingleton().addResourceLocation(location.lexically_normal().string(),
                                                                         setting.first, section.first);
            }
        }
    }

    /** Starts the engine with the viewer's media and the game's; what the log says of them
        while they are read goes to `mediaFindings`, as the viewer's terminal shows it. */
    RenderWindow* StartEngine(const std::filesystem::path& programFolder, const String& logFile,
                              const MediaSources& media, std::vector<String>& duplicates,
                              std::vector<String>& warnings)
    {
        // The log goes to the report and to the check's own file, not to the terminal. The
        // engine lives until the child exits.
        static auto* engine =
            new Tarnel::Engine({(programFolder / "plugins.cfg").string(), "", logFile, false, true});
        RenderWindow* window = engine->StartOpenGL("TarnelCheck", true);
        LogFindings mediaFindings;
        AddResourceLocations(programFolder);
        media.AddTo();
        ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        duplicates = mediaFindings.duplicates;
        warnings = mediaFindings.warnings;
        return window;
    }

    /// The material a "defined again" line names; empty for other lines.
    String DefinedAgain(const String& line)
    {
        static const String prefix = "the material '";
        const size_t start = line.find(prefix);
        const size_t end = start == String::npos ? String::npos : line.find("' is defined again", start);
        return end == String::npos ? String() : line.substr(start + prefix.size(), end - start - prefix.size());
    }

    /// The child: checks the level and writes its findings; the engine is left as it is at exit.
    [[noreturn]] void CheckInChild(const String& file, const std::filesystem::path& programFolder,
                                   const std::filesystem::path& folder, const CheckSettings& settings)
    {
        // What the engine or the C library print on their way down goes into the log too.
        int errors = open((folder / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (errors >= 0)
            dup2(errors, STDERR_FILENO);
        LevelCheck check;
        try
        {
            std::vector<String> duplicates, warnings;
            RenderWindow* window = StartEngine(programFolder, (folder / "engine.log").string(), settings.media,
                                               duplicates, warnings);
            // Pictures only compared go to the check's own folder, which goes with it.
            CheckSettings own = settings;
            if (own.picturesFolder.empty() && !own.referenceFolder.empty())
                own.picturesFolder = folder.string();
            check = LevelCheck::Run(file, window, own);
            // The game's media are the level's too: the viewer would say the same of them. A
            // material the level defines itself is its own, whatever the media say of its name.
            const Tarnel::TarnelMedia* rules = Tarnel::TarnelMedia::Instance();
            duplicates.erase(std::remove_if(duplicates.begin(), duplicates.end(),
                                            [rules](const String& duplicate) {
                                                return rules && rules->IsLevelMaterial(DefinedAgain(duplicate));
                                            }),
                             duplicates.end());
            check.duplicateDefinitions.insert(check.duplicateDefinitions.begin(), duplicates.begin(), duplicates.end());
            check.warnings.insert(check.warnings.begin(), warnings.begin(), warnings.end());
            check.mediaDuplicates = duplicates.size();
            check.mediaWarnings = warnings.size();
        }
        catch (const Exception& error)
        {
            check = LevelCheck::NotChecked(file, error.getFullDescription());
        }
        catch (const std::exception& error)
        {
            check = LevelCheck::NotChecked(file, error.what());
        }
        // MessagePack carries the engine's bytes as they are, valid UTF-8 or not.
        std::vector<std::uint8_t> findings = nlohmann::ordered_json::to_msgpack(ToJson(check));
        std::ofstream((folder / "findings").string(), std::ios::binary)
            .write(reinterpret_cast<const char*>(findings.data()), std::streamsize(findings.size()));
        _exit(0);
    }

    bool ReadFindings(const std::filesystem::path& path, LevelCheck& check)
    {
        std::ifstream in(path, std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        try
        {
            check = FromJson(nlohmann::ordered_json::from_msgpack(bytes));
            return true;
        }
        catch (const std::exception&)
        {
            return false;
        }
    }

    String LastLines(const std::filesystem::path& path)
    {
        std::ifstream in(path);
        std::deque<String> lines;
        for (String line; std::getline(in, line);)
        {
            lines.push_back(line);
            if (lines.size() > LAST_LOG_LINES)
                lines.pop_front();
        }
        String text;
        for (const String& line : lines)
            text += "\n    | " + line;
        return text;
    }

    String HowItEnded(int status)
    {
        if (WIFSIGNALED(status))
        {
            int signal = WTERMSIG(status);
            const char* name = sigabbrev_np(signal);
            return "by signal " + std::to_string(signal) + (name ? String(" (SIG") + name + ")" : "") + ", " +
                   strsignal(signal);
        }
        return "with status " + std::to_string(WEXITSTATUS(status)) + " before it reported";
    }
}

namespace
{
    /// A level's check under way in its child process.
    struct RunningCheck
    {
        size_t index;
        std::filesystem::path folder;
        std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    };

    /// Starts the child for the level; a level that cannot get one is checked at once, as failed.
    bool StartCheck(const String& file, const std::filesystem::path& programFolder, const CheckSettings& settings,
                    size_t index, std::map<pid_t, RunningCheck>& running, LevelCheck& failed)
    {
        String unreadable = Tarnel::TarnelUtilities::UnreadableFileReason(file);
        if (!unreadable.empty())
        {
            failed = LevelCheck::NotChecked(file, file + " " + unreadable);
            return false;
        }
        char folderTemplate[] = "/tmp/tarnel-check-XXXXXX";
        if (!mkdtemp(folderTemplate))
        {
            failed = LevelCheck::NotChecked(file, String("No folder for the check: ") + std::strerror(errno));
            return false;
        }
        std::cout.flush();
        std::cerr.flush();
        pid_t child = fork();
        if (child == 0)
            CheckInChild(file, programFolder, folderTemplate, settings);
        if (child < 0)
        {
            failed = LevelCheck::NotChecked(file, String("No process for the check: ") + std::strerror(errno));
            std::error_code ignored;
            std::filesystem::remove_all(folderTemplate, ignored);
            return false;
        }
        running[child] = {index, folderTemplate};
        return true;
    }

    LevelCheck FinishCheck(const String& file, const RunningCheck& run, int status, unsigned timedOutAfter)
    {
        LevelCheck check;
        if (timedOutAfter)
            check = LevelCheck::NotChecked(file, "The check of this level timed out: it took longer than " +
                                                     std::to_string(timedOutAfter) +
                                                     " s and was stopped; the last lines of its log:" +
                                                     LastLines(run.folder / "engine.log") +
                                                     LastLines(run.folder / "stderr.txt"));
        else if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0 && ReadFindings(run.folder / "findings", check)))
            check = LevelCheck::NotChecked(file, "The check of this level ended " + HowItEnded(status) +
                                                     "; the last lines of its log:" +
                                                     LastLines(run.folder / "engine.log") +
                                                     LastLines(run.folder / "stderr.txt"));
        check.checkMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - run.start).count();
        std::error_code ignored;
        std::filesystem::remove_all(run.folder, ignored);
        return check;
    }
}

std::vector<LevelCheck> CheckInOwnProcesses(const std::vector<String>& files,
                                            const std::filesystem::path& programFolder,
                                            const CheckSettings& settings, unsigned jobs,
                                            const std::function<void(size_t)>& started,
                                            const std::function<void(size_t, const LevelCheck&)>& reported)
{
    std::vector<LevelCheck> checks(files.size());
    std::vector<bool> done(files.size(), false);
    std::map<pid_t, RunningCheck> running;
    size_t next = 0, reportedCount = 0;
    // Reports go out in the levels' order, each as soon as those before it are in.
    auto finish = [&](size_t index, LevelCheck check) {
        checks[index] = std::move(check);
        done[index] = true;
        for (; reportedCount < files.size() && done[reportedCount]; ++reportedCount)
            reported(reportedCount, checks[reportedCount]);
    };
    while (reportedCount < files.size())
    {
        while (next < files.size() && running.size() < std::max(1u, jobs))
        {
            size_t index = next++;
            started(index);
            LevelCheck failed;
            if (!StartCheck(files[index], programFolder, settings, index, running, failed))
                finish(index, failed);
        }
        if (running.empty())
            continue;
        int status = 0;
        pid_t child = waitpid(-1, &status, WNOHANG);
        unsigned timedOutAfter = 0;
        if (child == 0)
        {
            // None ended: one past its time is stopped, else wait a little.
            const auto now = std::chrono::steady_clock::now();
            for (const auto& [pid, run] : running)
            {
                if (now - run.start > std::chrono::seconds(settings.timeoutSeconds))
                {
                    kill(pid, SIGKILL);
                    child = waitpid(pid, &status, 0);
                    timedOutAfter = settings.timeoutSeconds;
                    break;
                }
            }
            if (child == 0)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
        }
        if (child < 0)
        {
            // Lost children: what is left is reported as lost, in order.
            for (const auto& [pid, run] : running)
                finish(run.index, LevelCheck::NotChecked(files[run.index], String("The check was lost: ") +
                                                                              std::strerror(errno)));
            running.clear();
            continue;
        }
        auto found = running.find(child);
        if (found == running.end())
            continue; // not one of ours
        RunningCheck run = found->second;
        running.erase(found);
        finish(run.index, FinishCheck(files[run.index], run, status, timedOutAfter));
    }
    return checks;
}
