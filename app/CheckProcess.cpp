// One child process a level, so that a level that ends the engine does not end the checker.
#include "CheckProcess.h"
#include "Tarnel/TarnelPaths.h"

#include "Tarnel/TarnelEngine.h"
#include "Tarnel/TarnelPlatform.h"

#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>

#include <cstring>
#include <deque>
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

    RenderWindow* StartEngine(const std::filesystem::path& programFolder, const String& logFile,
                              const MediaSources& media)
    {
        // The log goes to the report and to the check's own file, not to the terminal. The
        // engine lives until the child exits.
        static auto* engine =
            new Tarnel::Engine({(programFolder / "plugins.cfg").string(), "", logFile, false, true});
        RenderWindow* window = engine->StartOpenGL("TarnelCheck", true);
        AddResourceLocations(programFolder);
        media.AddTo();
        ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        return window;
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
            RenderWindow* window = StartEngine(programFolder, (folder / "engine.log").string(), settings.media);
            check = LevelCheck::Run(file, window, settings.lenientNames);
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

LevelCheck CheckInOwnProcess(const String& file, const std::filesystem::path& programFolder,
                             const CheckSettings& settings)
{
    String unreadable = Tarnel::TarnelUtilities::UnreadableFileReason(file);
    if (!unreadable.empty())
        return LevelCheck::NotChecked(file, file + " " + unreadable);

    char folderTemplate[] = "/tmp/tarnel-check-XXXXXX";
    if (!mkdtemp(folderTemplate))
        return LevelCheck::NotChecked(file, String("No folder for the check: ") + std::strerror(errno));
    std::filesystem::path folder = folderTemplate;

    std::cout.flush();
    std::cerr.flush();
    pid_t child = fork();
    if (child == 0)
        CheckInChild(file, programFolder, folder, settings);

    LevelCheck check;
    int status = 0;
    if (child < 0)
        check = LevelCheck::NotChecked(file, String("No process for the check: ") + std::strerror(errno));
    else if (waitpid(child, &status, 0) < 0)
        check = LevelCheck::NotChecked(file, String("The check was lost: ") + std::strerror(errno));
    else if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0 && ReadFindings(folder / "findings", check)))
        check = LevelCheck::NotChecked(file, "The check of this level ended " + HowItEnded(status) +
                                                 "; the last lines of its log:" + LastLines(folder / "engine.log") +
                                                 LastLines(folder / "stderr.txt"));
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return check;
}
