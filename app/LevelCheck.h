#ifndef TARNEL_APP_LEVEL_CHECK_H
#define TARNEL_APP_LEVEL_CHECK_H

#include "Tarnel/TarnelLevelReferences.h"
#include "Tarnel/TarnelScene.h"

#include <OgrePrerequisites.h>

#include <nlohmann/json.hpp>

#include <ostream>
#include <vector>

/// What checking one level found. A level that loads and misses nothing passes.
struct LevelCheck
{
    /// Exit statuses: every level fine; a level failed to load; a level lacks resources or portal targets.
    enum Status
    {
        FINE = 0,
        FAILED = 1,
        INCOMPLETE = 2
    };

    struct Counts
    {
        size_t nodes = 0, zones = 0, portals = 0, entities = 0, lights = 0, cameras = 0, particleSystems = 0,
               billboardSets = 0, planes = 0, animations = 0, modelInstances = 0, triangles = 0;
    };

    Ogre::String file;
    bool loaded = false;
    Ogre::String error; ///< the engine's full message when the load or the drawing failed, or why the check ended
    bool drawn = false; ///< drawn for a frame from the start view and through each level camera (not with a portal that leads nowhere)
    Tarnel::LoadTimes times;
    double portalConnectionMs = 0;
    double totalMs = 0;
    Counts counts;
    std::vector<Tarnel::MissingResource> missing;
    std::vector<Ogre::String> unconnectedPortals;
    std::vector<Ogre::String> duplicateDefinitions;
    std::vector<Ogre::String> warnings;

    Status GetStatus() const;

    /** Loads the level into a fresh portal-zone scene manager with the window for
        render textures, connects its portals, draws it for one frame from the viewer's
        start view and through each level camera (render textures updated), counts what
        it holds, and lists what it lacks and what the engine warned about; the scene
        manager goes again. With lenient names, repeated names are renamed, not refused. */
    static LevelCheck Run(const Ogre::String& file, Ogre::RenderWindow* window, bool lenientNames = false);

    /// A level that was not checked, with why, as a failure.
    static LevelCheck NotChecked(const Ogre::String& file, const Ogre::String& why);
};

/// FAILED when a level failed, else INCOMPLETE when one lacks something, else FINE.
LevelCheck::Status OverallStatus(const std::vector<LevelCheck>& checks);
/// The compact report for people, one block a level.
void WriteText(std::ostream& out, const LevelCheck& check);
/** The stable document of the README's schema, for all levels checked. Its text is as
    the engine gave it, which need not be valid UTF-8: see AsValidUtf8. */
nlohmann::ordered_json ToJson(const std::vector<LevelCheck>& checks);
/// One level's entry of that document.
nlohmann::ordered_json ToJson(const LevelCheck& check);
/// The level from its entry.
LevelCheck FromJson(const nlohmann::ordered_json& level);

/** The text with each byte that does not belong to a valid UTF-8 sequence read as the
    Latin-1 character of that number (older exporters write names in 8-bit encodings),
    so that JSON can carry it; valid text stays as it is. */
std::string AsValidUtf8(const std::string& text);
/// The document with AsValidUtf8 applied to each of its strings.
nlohmann::ordered_json AsValidUtf8(nlohmann::ordered_json document);

#endif
