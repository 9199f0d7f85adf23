#ifndef TARNEL_APP_LEVEL_CHECK_H
#define TARNEL_APP_LEVEL_CHECK_H

#include "LevelBudget.h"
#include "LevelSweep.h"
#include "MediaSources.h"

#include <OgreLog.h>

#include "Tarnel/Tarnel.h"

#include <OgrePrerequisites.h>

#include <ostream>
#include <vector>

/// How the levels are checked, as the command line asks.
struct CheckSettings
{
    MediaSources media;        ///< the game's media beside each level's own
    bool lenientNames = false; ///< repeated names are renamed, not refused
    /// Where the pictures of each level go; empty: no pictures unless compared with references.
    Ogre::String picturesFolder;
    Ogre::String referenceFolder; ///< pictures compared with the PNGs of the same names here; empty: none
    bool updateReferences = false; ///< the pictures are written there as the new references instead
    double referenceThreshold = 0.01; ///< the share of pixels that may differ
    double referenceTolerance = 0.05; ///< how far a colour channel may differ, of its range
    unsigned pictureWidth = 480, pictureHeight = 300;
    /// How long one level's check may take before its process is stopped, as failed.
    unsigned timeoutSeconds = 300;
    bool sweep = false;          ///< sweep viewpoints through each level (a budget sweeps too)
    SweepSettings sweepSettings;
    LevelBudget budget;          ///< the command line's; a level's budget file fills what it leaves
};

/** What the engine's log says while it lives: second definitions of scripts, materials
    meshes name that do not exist, and the other warnings and errors. One is kept while a
    level loads, and one while the checker's start-up reads the game's media, whose
    findings go into the level's check as well. */
class LogFindings : public Ogre::LogListener
{
public:
    LogFindings();
    ~LogFindings() override;
    LogFindings(const LogFindings&) = delete;
    LogFindings& operator=(const LogFindings&) = delete;

    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel level, bool maskDebug,
                       const Ogre::String& logName, bool& skipThisMessage) override;

    std::vector<Ogre::String> duplicates, warnings;
    /// Materials a mesh names that do not exist: the engine forgets the names, so they come from here.
    std::vector<std::pair<Ogre::String, Ogre::String>> meshMaterials;
};

/// What checking one level found. A level that loads and misses nothing passes.
struct LevelCheck
{
    /** Exit statuses: every level fine; a level failed to load; a level lacks resources or
        portal targets; a level's pictures differ from their references. */
    enum Status
    {
        FINE = 0,
        FAILED = 1,
        INCOMPLETE = 2,
        LOOKS_DIFFERENT = 3
    };

    /// A picture of the level from one view, and how it compares with its reference.
    struct Picture
    {
        Ogre::String view;       ///< "first view", or the level camera's name
        Ogre::String file;       ///< the PNG drawn
        Ogre::String reference;  ///< the reference compared with; empty: none
        Ogre::String difference; ///< the PNG of the difference; empty: not compared
        double differing = 0;    ///< the share of pixels beyond the tolerance
        bool matches = true;
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
    bool readOnly = false; ///< only read, not built or drawn (--no-draw)
    Tarnel::LoadTimes times;
    double portalConnectionMs = 0;
    double totalMs = 0;
    double checkMs = 0; ///< the whole check in its process: the engine's start, the load, the drawing, the pictures
    Counts counts;
    std::vector<Tarnel::MissingResource> missing;
    std::vector<Ogre::String> unconnectedPortals;
    /// A zone of the level as its description places it, with its portals and their faults.
    struct ZoneEntry
    {
        struct Portal
        {
            Ogre::String name;
            int line = 0;
            Ogre::String target; ///< the zone the engine joins it to; empty: none
            std::vector<Ogre::String> faults;
        };
        Ogre::String name;
        int line = 0;
        size_t nodes = 0, objects = 0;
        size_t triangles = 0; ///< of its entities, when the meshes were read
        bool measured = false; ///< the meshes were read: its triangles and extents are known
        Ogre::Vector3 centre = Ogre::Vector3::ZERO; ///< the middle of its nodes, for a map of the zones
        std::vector<Portal> portals;
        std::vector<Ogre::String> faults; ///< the zone's own, its entities' after
        /// The zones of a level, in document order.
        static std::vector<ZoneEntry> Of(const Tarnel::ZoneGraph& graph);
    };
    std::vector<ZoneEntry> zones;
    std::vector<Ogre::String> duplicateDefinitions;
    std::vector<Ogre::String> warnings;
    /** How many of the first duplicate definitions and warnings the game's media gave (not
        the level): every level of a run checked with the same media has the same. */
    size_t mediaDuplicates = 0, mediaWarnings = 0;
    std::vector<Picture> pictures;
    /// Which view the first picture is drawn from and why: "through camera Eye (covers 71 % of the picture, ...)".
    Ogre::String firstView;
    /// The sweep's samples, when the level was swept; and each budget bound its worst passes.
    bool swept = false;
    LevelSweep sweep;
    std::vector<Ogre::String> overBudget;
    Ogre::String heaviestPicture; ///< drawn from the sweep's worst sample with the pictures; empty: none

    Status GetStatus() const;

    /** Loads the level into a fresh portal-zone scene manager with the window for
        render textures, connects its portals, draws it for one frame from the viewer's
        start view and through each level camera (render textures updated), counts what
        it holds, and lists what it lacks and what the engine warned about; the scene
        manager goes again. With lenient names, repeated names are renamed, not refused. With
        a pictures folder, pictures of the first view and through each level camera are
        written there and compared with the references, as the settings ask. */
    static LevelCheck Run(const Ogre::String& file, Ogre::RenderWindow* window,
                          const CheckSettings& settings = CheckSettings());

    /** Reads the level and looks its media up on disk, without a render system, a scene or a
        display: what stops the load (a file that does not parse, a keyword or size the readers
        refuse, a repeated name, a missing mesh, model file or particle template), what is
        missing (materials and their images as the scripts' text names them), the readers'
        warnings and the parts not read. What only building and drawing find (a mesh's own
        skeleton and materials, portals without a zone, the engine's warnings) is not found.
        Needs the engine's root. "loaded" says that nothing would stop the load. */
    static LevelCheck Read(const Ogre::String& file, const CheckSettings& settings = CheckSettings());

    /// A level that was not checked, with why, as a failure.
    static LevelCheck NotChecked(const Ogre::String& file, const Ogre::String& why);
};

/// The name a level's pictures start with: its path from the working directory, in letters a file name takes.
Ogre::String PictureStem(const Ogre::String& file);

/// FAILED when a level failed, else LOOKS_DIFFERENT, else INCOMPLETE when one lacks something, else FINE.
LevelCheck::Status OverallStatus(const std::vector<LevelCheck>& checks);
#endif
