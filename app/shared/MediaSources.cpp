// Media named on the command line: a game's resources.cfg and its media folders.
#include "MediaSources.h"

#include "Tarnel/Tarnel.h"

#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreResourceGroupManager.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>

using namespace Ogre;

const char* const MediaSources::HELP =
    "  --resources FILE       the game's resource list, in the engine's resources.cfg form:\n"
    "                         sections are groups, FileSystem= and Zip= lines locations,\n"
    "                         relative to the list's own folder\n"
    "  --media DIR            a folder of media, searched with its subfolders (repeatable)\n";

namespace
{
    String Absolute(const std::filesystem::path& path)
    {
        std::filesystem::path full = std::filesystem::absolute(path).lexically_normal();
        // "media/" is "media": one folder, read once.
        if (!full.has_filename() && full != full.root_path())
            full = full.parent_path();
        return full.string();
    }
}

bool MediaSources::TakeOption(int argc, char** argv, int& index)
{
    String option = argv[index];
    if (option != "--resources" && option != "--media")
        return false;
    if (index + 1 >= argc)
        throw std::invalid_argument(option + " needs a value");
    (option == "--resources" ? resourceFiles : mediaFolders).push_back(argv[++index]);
    return true;
}

std::vector<MediaSources::Location> MediaSources::Locations() const
{
    std::vector<Location> locations;
    std::set<std::pair<String, String>> listed; // group and path
    auto add = [&](const Location& location) {
        if (listed.insert({location.group, location.path}).second)
            locations.push_back(location);
    };
    std::error_code error;
    for (const String& file : resourceFiles)
    {
        if (!std::filesystem::is_regular_file(file, error))
            throw std::invalid_argument("--resources " + file + ": no such file");
        ConfigFile list;
        try
        {
            list.load(file, "\t:=", true);
        }
        catch (const Exception& failure)
        {
            throw std::invalid_argument("--resources " + file + ": " + failure.getDescription());
        }
        const std::filesystem::path folder = std::filesystem::absolute(file).parent_path();
        for (const auto& section : list.getSettingsBySection())
        {
            for (const auto& setting : section.second)
            {
                std::filesystem::path path = setting.second;
                if (path.is_relative())
                    path = folder / path;
                add({section.first, setting.first, Absolute(path), false});
            }
        }
    }
    for (const String& folder : mediaFolders)
    {
        if (!std::filesystem::is_directory(folder, error))
            throw std::invalid_argument("--media " + folder + ": no such folder");
        // Each folder on its own: this engine finds a file in a folder's subfolders only by
        // its path below the folder, and levels name their media by file name.
        std::vector<String> folders = {Absolute(folder)};
        for (auto entry = std::filesystem::recursive_directory_iterator(
                 folder, std::filesystem::directory_options::skip_permission_denied, error);
             !error && entry != std::filesystem::recursive_directory_iterator(); entry.increment(error))
        {
            bool hidden = entry->path().filename().string().compare(0, 1, ".") == 0;
            if (hidden && entry->is_directory(error))
                entry.disable_recursion_pending(); // a version control's own folders hold no media
            else if (entry->is_directory(error))
                folders.push_back(Absolute(entry->path()));
        }
        std::sort(folders.begin() + 1, folders.end());
        for (const String& path : folders)
            add({ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME, "FileSystem", path, false});
    }
    return locations;
}

void MediaSources::AddTo(const String& group) const
{
    ResourceGroupManager& resources = ResourceGroupManager::getSingleton();
    for (const Location& location : Locations())
    {
        const String& target = group.empty() ? location.group : group;
        if (!Tarnel::TarnelMedia::IsRegistered(location.path, target))
            resources.addResourceLocation(location.path, location.type, target, location.recursive);
    }
}
