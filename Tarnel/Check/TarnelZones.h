#ifndef TARNEL_ZONES_H
#define TARNEL_ZONES_H

#include "Tarnel/Read/TarnelLevel.h"

#include <OgreAxisAlignedBox.h>
#include <OgreMatrix4.h>
#include <OgreVector.h>

#include <array>
#include <functional>
#include <vector>

namespace Tarnel
{
    /// A portal element of a zone, placed in the world as the level's nodes place it.
    struct ZonePortal
    {
        Ogre::String name;
        Ogre::String type; ///< as written; only "quad" makes a portal
        int line = 0;
        size_t zone = 0; ///< into ZoneGraph::zones
        /// Vectors are not zeroed by their constructor.
        std::array<Ogre::Vector3, 4> corners{Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO, Ogre::Vector3::ZERO};
        /// The engine's facing: from the first three corners, (c1 - c0) x (c2 - c0), of unit length or zero.
        Ogre::Vector3 normal = Ogre::Vector3::ZERO;
        Ogre::Vector3 centre = Ogre::Vector3::ZERO;
        Ogre::Real radius = 0; ///< from the centre to the farthest corner
        Ogre::Real width = 0, height = 0; ///< of its first and second sides
        /// The portal of another zone the engine joins it to; -1 when none.
        long match = -1;
        bool Quad() const { return type == "quad"; }
    };

    /// A node that holds portal elements, which makes it a zone.
    struct Zone
    {
        Ogre::String name; ///< the node's
        int line = 0;
        /// The middle of what the zone holds: its nodes' places, or the zone node's own without any.
        Ogre::Vector3 centre = Ogre::Vector3::ZERO;
        size_t nodes = 0;   ///< in it, its own node included
        size_t objects = 0; ///< on those nodes
        std::vector<size_t> portals; ///< into ZoneGraph::portals
        /// With the meshes known: the box of its entities, and their triangles.
        Ogre::AxisAlignedBox box;
        size_t triangles = 0;
    };

    /// What a mesh tells the check: its box and its triangles.
    struct MeshFacts
    {
        Ogre::AxisAlignedBox bounds;
        size_t triangles = 0;
    };
    /// A mesh's facts by its file name; false when the mesh is not known.
    typedef std::function<bool(const Ogre::String& mesh, MeshFacts& facts)> MeshLookup;

    /** The meshes of the group the engine has loaded (by a load, or read for a check):
        their bounds and triangles. */
    MeshLookup LoadedMeshes(const Ogre::String& group);

    /// An entity of a level's nodes placed in the world, with its mesh's box once measured.
    struct ZoneObject
    {
        Ogre::String name; ///< as the load names it: an unnamed one by its node's name
        int line = 0;
        long zone = -1; ///< into ZoneGraph::zones; -1: outside every zone
        Ogre::String mesh;
        Ogre::Affine3 place = Ogre::Affine3::IDENTITY; ///< its node's, in the world
        Ogre::AxisAlignedBox box;
    };

    /** A level's zones and portals as its description places them, without the engine: each
        node's place from its position, rotation and scale and those of the nodes above it.
        Portals are joined as the engine joins them: a quad of another zone whose centre lies
        within a quarter of the two portals' radii together, facing the other way. Model
        instances make no zones here. */
    struct ZoneGraph
    {
        std::vector<Zone> zones;
        std::vector<ZonePortal> portals;
        /// The level's cameras' zones, each once, into zones.
        std::vector<size_t> cameraZones;
        /// The level's entities, zones or not: placed, and once measured only those whose mesh is known.
        std::vector<ZoneObject> objects;
        bool measured = false; ///< the meshes were known

        /// Without meshes, the graph has no objects and the zones no boxes of their own.
        static ZoneGraph Of(const LevelDescription& level, const MeshLookup& meshes = MeshLookup());
        /** With the entities placed but not measured: for a load that frees each part of the
            description once it is built, before the meshes are read. */
        static ZoneGraph Placed(const LevelDescription& level);
        /// Gives the placed entities their meshes' boxes, and the zones theirs; drops those not known. Once.
        void Measure(const MeshLookup& meshes);
    };

    /// A fault of a level's zones, at its line, with what to do.
    struct ZoneFinding
    {
        int line = 0;
        Ogre::String text; ///< in one line, without the place
        /// The engine refuses the level at it: a quad portal it finds no match for.
        bool endsLoad = false;
        /// Of an entity or zone at a line that is not the zone's or a portal's: that zone; else -1.
        long zone = -1;
    };

    /** The faults of the level's zones and portals, in the order of their lines: portal
        elements of a type the loader does not read, quads with no area, off one plane or
        with corners that cross, quads the engine finds no match for (with the nearest
        candidate and why it does not match), quads that face out of their zone, zones
        without a portal, and zones that cannot be reached through portals from the zone
        nearest the level's middle or from the cameras' zones. */
    std::vector<ZoneFinding> FindZoneFaults(const ZoneGraph& graph);

    /** The faults only the meshes show, in the order of their lines, on a graph with them:
        entities that reach out of their zone into another's (the engine draws them only where
        their own zone is seen, so they pop as the camera crosses), zones whose enclosures
        overlap once such entities are set aside, and, in a level with a zone to look into,
        entities outside every zone, which are drawn only from outside. */
    std::vector<ZoneFinding> FindZoneExtentFaults(const ZoneGraph& graph);

    /// A length or a count in a finding: two digits below 10, four above.
    Ogre::String ZoneNumber(Ogre::Real value);

    /** True when a node of the level holds a portal element: a walk that stops at the first,
        so that a level without zones pays for no graph. */
    bool HasZones(const LevelDescription& level);
}

#endif
