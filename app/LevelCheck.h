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
    Ogre::String error; ///< the engine's full message when the load failed
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
        render textures, connects its portals, counts what it holds, and lists what
        it lacks and what the engine warned about; the scene manager goes again. */
    static LevelCheck Run(const Ogre::String& file, Ogre::RenderWindow* window);
};

/// FAILED when a level failed, else INCOMPLETE when one lacks something, else FINE.
LevelCheck::Status OverallStatus(const std::vector<LevelCheck>& checks);
/// The compact report for people, one block a level.
void WriteText(std::ostream& out, const LevelCheck& check);
/// The stable document of the README's schema, for all levels checked.
nlohmann::ordered_json ToJson(const std::vector<LevelCheck>& checks);

#endif
