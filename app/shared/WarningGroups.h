#ifndef TARNEL_APP_WARNING_GROUPS_H
#define TARNEL_APP_WARNING_GROUPS_H

#include <OgrePrerequisites.h>

#include <vector>

/// Warnings that say the same of different subjects, said once with a count.
struct WarningGroup
{
    Ogre::String severity; ///< "error" or "warning"
    Ogre::String kind;     ///< "loader", "script" or "engine": who said it
    Ogre::String message;  ///< the first of them, as it was said
    size_t count = 0;
    std::vector<Ogre::String> subjects; ///< the names in them, the first few
};

/** What a message says, without what it says it of: quoted values and names (words with a
    digit, a dot, a slash or an underscore: files, paths, numbers, "Crate_01") made "*", and a
    list of them one "*". Two messages of one shape make one group. */
Ogre::String MessageShape(const Ogre::String& message);

/** The lines without those that quote a resource a "Tarnel: missing <kind> '<name>'" line
    names: a missing resource is said once, where its users are listed. */
std::vector<Ogre::String> WithoutRepeatsOfMissing(const std::vector<Ogre::String>& lines);

/** The warnings grouped by their shape, in the order of their first line. */
std::vector<WarningGroup> GroupWarnings(const std::vector<Ogre::String>& warnings);

/** The group in one line: its first message, and with others alike, how many and their
    first subjects: "WARNING: a.mesh uses an old format (203 times: a.mesh, b.mesh, ... +198)". */
Ogre::String DescribeGroup(const WarningGroup& group);

#endif
