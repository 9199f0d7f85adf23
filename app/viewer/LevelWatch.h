#ifndef TARNEL_APP_LEVEL_WATCH_H
#define TARNEL_APP_LEVEL_WATCH_H

#include <OgrePrerequisites.h>

#include <chrono>
#include <vector>

/** Tells when a level's files change on disk: its file and the files of its own media
    folders, through the operating system's notifications (inotify), without polling the
    disk. Exporters write in pieces, so a change counts once the writes have settled. */
class LevelWatch
{
public:
    /// How long the folders stay quiet before a change counts.
    static constexpr std::chrono::milliseconds SETTLE{500};

    LevelWatch();
    ~LevelWatch();
    LevelWatch(const LevelWatch&) = delete;
    LevelWatch& operator=(const LevelWatch&) = delete;

    /// A folder to watch, and whether the folders below it count too, as a recursive media location does.
    struct Folder
    {
        Ogre::String path;
        bool withSubfolders = false;
    };

    /// Most folders watched at once: the system's watches are few, and shared by every program.
    static constexpr size_t MOST_FOLDERS = 2000;

    /** Watches these folders from now on, instead of the ones before; those that are not there
        are left out. Beyond MOST_FOLDERS, the rest is not watched, with a warning. */
    void Watch(const std::vector<Folder>& folders);

    /** Reads the notifications that arrived, without waiting; true once for each burst of
        changes, when none has come for SETTLE. The viewer's own files (its log, its report,
        its screenshots) are not changes of the level. */
    bool ChangesSettled();

private:
    int notifications;
    std::vector<int> watches;
    bool pending = false;
    std::chrono::steady_clock::time_point lastChange;
};

#endif
