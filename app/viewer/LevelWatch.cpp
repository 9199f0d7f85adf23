// The level's files on disk, watched for the designer's export loop.
#include "LevelWatch.h"

#include <OgreLogManager.h>
#include <OgreString.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

using namespace Ogre;

constexpr std::chrono::milliseconds LevelWatch::SETTLE;

namespace
{
    const uint32_t CHANGES = IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM;

    /// What the viewer writes itself, into a level's folder when it runs there.
    bool OwnFile(const String& name)
    {
        return name == "Ogre.log" || name == "scenetree.txt" || StringUtil::match(name, "screenshot_*.png");
    }
}

LevelWatch::LevelWatch() : notifications(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (notifications < 0)
        LogManager::getSingleton().logWarning(String("Tarnel: the level's files cannot be watched: ") +
                                              std::strerror(errno));
}

LevelWatch::~LevelWatch()
{
    if (notifications >= 0)
        close(notifications);
}

void LevelWatch::Watch(const std::vector<Folder>& folders)
{
    if (notifications < 0)
        return;
    for (int watch : watches)
        inotify_rm_watch(notifications, watch);
    watches.clear();
    std::vector<String> paths;
    for (const Folder& folder : folders)
    {
        paths.push_back(folder.path);
        if (!folder.withSubfolders)
            continue;
        std::error_code error;
        for (auto entry = std::filesystem::recursive_directory_iterator(
                 folder.path, std::filesystem::directory_options::skip_permission_denied, error);
             !error && entry != std::filesystem::recursive_directory_iterator() && paths.size() <= MOST_FOLDERS;
             entry.increment(error))
            if (entry->is_directory(error))
                paths.push_back(entry->path().string());
    }
    if (paths.size() > MOST_FOLDERS)
    {
        LogManager::getSingleton().logWarning("Tarnel: --watch watches the first " + std::to_string(MOST_FOLDERS) +
                                              " folders of the level and its media; changes in the others are not seen");
        paths.resize(MOST_FOLDERS);
    }
    for (const String& path : paths)
    {
        int watch = inotify_add_watch(notifications, path.c_str(), CHANGES);
        if (watch >= 0)
            watches.push_back(watch);
    }
}

bool LevelWatch::ChangesSettled()
{
    if (notifications < 0)
        return false;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;)
    {
        ssize_t length = read(notifications, buffer, sizeof buffer);
        if (length <= 0)
            break; // nothing more for now
        for (ssize_t offset = 0; offset < length;)
        {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += ssize_t(sizeof(inotify_event) + event->len);
            if (event->len && OwnFile(event->name))
                continue;
            if (event->mask & CHANGES)
            {
                pending = true;
                lastChange = std::chrono::steady_clock::now();
            }
        }
    }
    if (!pending || std::chrono::steady_clock::now() - lastChange < SETTLE)
        return false;
    pending = false;
    return true;
}
