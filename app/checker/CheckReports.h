#ifndef TARNEL_APP_CHECK_REPORTS_H
#define TARNEL_APP_CHECK_REPORTS_H

#include "LevelCheck.h"

#include "Utf8Text.h"
#include "WarningGroups.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <vector>

/// A check's duplicate definitions and warnings, or a part of them.
struct FindingLists
{
    std::vector<Ogre::String> duplicates, warnings;

    /// The game's media's: the same for every level of a run checked with the same media.
    static FindingLists OfMedia(const LevelCheck& check);
    bool Empty() const { return duplicates.empty() && warnings.empty(); }
    bool operator==(const FindingLists& other) const
    {
        return duplicates == other.duplicates && warnings == other.warnings;
    }
};

/** The compact report for people, one block a level, with its warnings and duplicate
    definitions grouped. With `mediaSaidUnder`, the level whose block gave the same findings
    of the game's media, this level's are not said again but referred to in one line. */
void WriteText(std::ostream& out, const LevelCheck& check, const Ogre::String& mediaSaidUnder = "");
/** The stable document of the README's schema (2), for all levels checked. Its text is as
    the engine gave it, which need not be valid UTF-8: see AsValidUtf8. */
nlohmann::ordered_json ToJson(const std::vector<LevelCheck>& checks);
/// One level's entry of that document.
nlohmann::ordered_json ToJson(const LevelCheck& check);
/// The level from its entry.
LevelCheck FromJson(const nlohmann::ordered_json& level);

/// The document with AsValidUtf8 applied to each of its strings.
nlohmann::ordered_json AsValidUtf8(nlohmann::ordered_json document);


/** JUnit XML, as GitLab, Jenkins and GitHub read it: one test case per level, named by its
    file, its class the file's folder; a failure for a level that failed, lacks something or
    looks different, with the message and the missing resources; the time of each. */
void WriteJUnit(std::ostream& out, const std::vector<LevelCheck>& checks);

/** A page that opens from disk, without a network: a line that sums the run up, then a
    card per level, failures first, with its pictures (which the checker wrote beside the
    page), their references and differences. */
void WriteHtmlReport(std::ostream& out, const std::vector<LevelCheck>& checks, const Ogre::String& pageFolder);

#endif
