#ifndef TARNEL_LEVEL_CHECK_H
#define TARNEL_LEVEL_CHECK_H

#include "Tarnel/Check/TarnelZones.h"
#include "Tarnel/Read/TarnelLevel.h"

#include <vector>

namespace Tarnel
{
    /** The check of a level's whole description, its model files included (read them into it
        first): the first fault that would end its load, in one line that starts with the
        file and line it lies at; empty when none. In order: a resource location of an
        archive type the engine does not read, a model file that does not load or instances
        itself, a node scaled past a number's bound with its parents, a repeated name (the level's own pass when names are lenient), and a look or
        track target the level does not have. What the level's media lack is another check:
        it needs the media. */
    Ogre::String CheckLevel(const LevelDescription& level, const Ogre::String& levelFile, bool lenientNames);

    /** The warnings of the level's check, each in one line with the file and line, for the log
        as they stand: the faults of its zones and portals. */
    std::vector<Ogre::String> CheckLevelWarnings(const LevelDescription& level, const Ogre::String& levelFile);

    /// The zones' findings as warnings: "Tarnel: <finding> (<file>:<line>)".
    std::vector<Ogre::String> ZoneWarnings(const std::vector<ZoneFinding>& findings, const Ogre::String& levelFile);

    /** The warnings only the level's meshes show, in the same form: its zones' entities that
        reach into other zones, zones that overlap, entities outside every zone. Empty for a
        level without zones, which costs no graph. */
    std::vector<Ogre::String> CheckLevelExtentWarnings(const LevelDescription& level, const Ogre::String& levelFile,
                                                       const MeshLookup& meshes);

    /// The edit distance of the two names, letters compared without case.
    size_t EditDistance(const Ogre::String& a, const Ogre::String& b);

    /** Of the candidates, the one nearest the name when it is near enough to have been meant
        (a third of its letters, at least two, may differ); empty otherwise. */
    Ogre::String Nearest(const Ogre::String& name, const std::vector<Ogre::String>& candidates);

    /// " (did you mean "spot"?)" for a reader's refusal of a keyword near one it knows; empty otherwise.
    Ogre::String CloseKeyword(const Ogre::String& refusal);
}

#endif
