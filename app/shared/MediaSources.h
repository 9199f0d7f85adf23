#ifndef TARNEL_APP_MEDIA_SOURCES_H
#define TARNEL_APP_MEDIA_SOURCES_H

#include <OgrePrerequisites.h>

#include <vector>

/** Where a game keeps its media, as the command line names them: resource lists in
    the engine's resources.cfg form (--resources) and folders searched with their
    subfolders (--media). Both programs add them beside the level's own locations. */
class MediaSources
{
public:
    /// One place the engine searches, in its resource group.
    struct Location
    {
        Ogre::String group;
        Ogre::String type; ///< "FileSystem" or "Zip"
        Ogre::String path; ///< absolute
        bool recursive = false;
    };

    /** Takes the option at argv[index] when it is one of these and moves past its value;
        false for other arguments. Raises std::invalid_argument for a missing value. */
    bool TakeOption(int argc, char** argv, int& index);

    /** Every location, in the order given: each list's sections are groups, its relative
        paths are taken from its own folder; a folder goes to "General", and so does each
        of its subfolders. A location named twice is listed once. Raises std::invalid_argument
        naming a list that cannot be read or a folder that is not there. */
    std::vector<Location> Locations() const;

    /** Adds the locations to the engine's groups (to `group` instead when one is given);
        those a group has already are left. */
    void AddTo(const Ogre::String& group = Ogre::String()) const;

    bool Empty() const { return resourceFiles.empty() && mediaFolders.empty(); }

    /// The options' lines of the usage text.
    static const char* const HELP;

private:
    std::vector<Ogre::String> resourceFiles;
    std::vector<Ogre::String> mediaFolders;
};

#endif
