// A level's zones and portals placed from its description, and their faults.
#include "Tarnel/Check/TarnelZones.h"
#include "Tarnel/Read/Types.h"

#include <OgreQuaternion.h>
#include <OgreStringConverter.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <sstream>
#include <unordered_map>

using namespace Ogre;

namespace Tarnel
{
    namespace
    {
        struct Place
        {
            Vector3 position = Vector3::ZERO;
            Quaternion orientation = Quaternion::IDENTITY;
            Vector3 scale = Vector3::UNIT_SCALE;

            Place Below(const NodeDescription& node) const
            {
                Place child;
                child.position = Apply(node.position.value_or(Vector3::ZERO));
                child.orientation = orientation * node.orientation.value_or(Quaternion::IDENTITY);
                child.scale = scale * node.scale.value_or(Vector3::UNIT_SCALE);
                return child;
            }
            Vector3 Apply(const Vector3& local) const { return position + orientation * (scale * local); }
        };

        class Placing
        {
        public:
            Placing(ZoneGraph& graph, bool entities) : graph(graph), entities(entities) {}

            void Node(const NodeDescription& node, const Place& parent, long zone)
            {
                const Place place = parent.Below(node);
                if (!node.portals.empty())
                {
                    zone = long(graph.zones.size());
                    Zone made;
                    made.name = node.name;
                    made.line = node.line;
                    graph.zones.push_back(made);
                    sums.push_back({Vector3::ZERO, 0});
                    for (const PortalDescription& portal : node.portals)
                        Portal(portal, place, size_t(zone));
                }
                if (zone >= 0)
                {
                    Zone& in = graph.zones[size_t(zone)];
                    ++in.nodes;
                    in.objects += node.objects.size();
                    // The zone's own node counts for its middle only when it holds nothing else.
                    if (!node.portals.empty())
                        in.centre = place.position;
                    else
                    {
                        sums[size_t(zone)].first += place.position;
                        ++sums[size_t(zone)].second;
                    }
                }
                for (const auto& object : node.objects)
                {
                    if (entities && object->objectType == Types::ENTITY)
                        Entity(static_cast<const Types::EntityParameters&>(*object), place, zone);
                    if (object->objectType == Types::CAMERA && zone >= 0 &&
                        std::find(graph.cameraZones.begin(), graph.cameraZones.end(), size_t(zone)) ==
                            graph.cameraZones.end())
                        graph.cameraZones.push_back(size_t(zone));
                }
                for (const NodeDescription& child : node.childNodes)
                    Node(child, place, zone);
            }

            void Finish()
            {
                for (size_t i = 0; i < graph.zones.size(); ++i)
                    if (sums[i].second)
                        graph.zones[i].centre = sums[i].first / Real(sums[i].second);
            }

        private:
            void Entity(const Types::EntityParameters& entity, const Place& place, long zone)
            {
                ZoneObject object;
                object.name = entity.name;
                object.line = entity.line;
                object.zone = zone;
                object.mesh = entity.meshFile;
                object.place = Affine3(place.position, place.orientation, place.scale);
                graph.objects.push_back(std::move(object));
            }

            void Portal(const PortalDescription& description, const Place& place, size_t zone)
            {
                ZonePortal portal;
                portal.name = description.name;
                portal.type = description.type;
                portal.line = description.line;
                portal.zone = zone;
                for (size_t i = 0; i < 4; ++i)
                    portal.corners[i] = place.Apply(description.corners[i]);
                const std::array<Vector3, 4>& c = portal.corners;
                portal.centre = (c[0] + c[1] + c[2] + c[3]) / 4;
                const Vector3 facing = (c[1] - c[0]).crossProduct(c[2] - c[0]);
                portal.normal = facing.isZeroLength() ? Vector3::ZERO : facing.normalisedCopy();
                for (const Vector3& corner : c)
                    portal.radius = std::max(portal.radius, corner.distance(portal.centre));
                portal.width = c[0].distance(c[1]);
                portal.height = c[1].distance(c[2]);
                graph.zones[zone].portals.push_back(graph.portals.size());
                graph.portals.push_back(portal);
            }

            ZoneGraph& graph;
            const bool entities;
            std::vector<std::pair<Vector3, size_t>> sums; ///< of each zone's nodes' places
        };

        /// The area of the quad as two triangles, whichever way they face.
        Real Area(const ZonePortal& portal)
        {
            const std::array<Vector3, 4>& c = portal.corners;
            return ((c[1] - c[0]).crossProduct(c[2] - c[0]).length() + (c[2] - c[0]).crossProduct(c[3] - c[0]).length()) /
                   2;
        }

        bool HasArea(const ZonePortal& portal)
        {
            return !portal.normal.isZeroLength() && Area(portal) > 1e-6f * std::max<Real>(1, portal.radius * portal.radius);
        }

        /// How far apart the engine joins two portals' centres: a quarter of their radii together.
        Real JoinDistance(const ZonePortal& a, const ZonePortal& b) { return (a.radius + b.radius) / 4; }

        bool Joins(const ZonePortal& a, const ZonePortal& b)
        {
            return a.zone != b.zone && b.Quad() && HasArea(b) && a.normal.dotProduct(b.normal) < -0.9f &&
                   a.centre.distance(b.centre) <= JoinDistance(a, b);
        }

        String Size(const ZonePortal& portal) { return ZoneNumber(portal.width) + " x " + ZoneNumber(portal.height); }

        String Called(const ZonePortal& portal, const ZoneGraph& graph)
        {
            return "portal \"" + portal.name + "\" of zone \"" + graph.zones[portal.zone].name + "\"";
        }

        /// Why the nearest candidate is not the portal's match.
        String WhyNot(const ZonePortal& portal, const ZonePortal& other)
        {
            std::vector<String> reasons;
            const Real dot = portal.normal.dotProduct(other.normal);
            if (dot >= 0.9f)
                reasons.push_back("faces the same way (list one's corners the other way round)");
            else if (dot >= -0.9f)
                reasons.push_back("faces another way");
            const Real distance = portal.centre.distance(other.centre);
            if (distance > JoinDistance(portal, other))
                reasons.push_back("its middle lies " + ZoneNumber(distance) + " away, and the engine joins portals " +
                                  ZoneNumber(JoinDistance(portal, other)) + " apart at most");
            const Real mine = Area(portal), theirs = Area(other);
            if (std::abs(mine - theirs) > 0.1f * std::max(mine, theirs))
                reasons.push_back("it is of another size (" + Size(other) + " against " + Size(portal) + ")");
            String text;
            for (size_t i = 0; i < reasons.size(); ++i)
                text += (i == 0 ? "" : "; ") + reasons[i];
            return text;
        }

        void Join(ZoneGraph& graph)
        {
            // Tens of thousands of portals: each is compared with those in the cells of a grid
            // around it, whose side is as far as the engine joins two portals at most.
            Real reach = 0;
            for (const ZonePortal& portal : graph.portals)
                if (portal.Quad() && HasArea(portal))
                    reach = std::max(reach, portal.radius / 2);
            if (reach <= 0 || !std::isfinite(reach))
                return;
            auto cell = [reach](const Vector3& at, int dx, int dy, int dz) {
                auto axis = [reach](Real value, int step) {
                    const Real at = std::isfinite(value) ? value / reach : 0; // a cast of not-a-number is undefined
                    return (long long)(std::floor(std::max<Real>(std::min<Real>(at, 1e6f), -1e6f))) + step;
                };
                // Wrapping, not overflowing: cells far apart may share a key, which only costs a comparison.
                return (static_cast<unsigned long long>(axis(at.x, dx)) * 4000003ULL +
                        static_cast<unsigned long long>(axis(at.y, dy))) *
                           4000003ULL +
                       static_cast<unsigned long long>(axis(at.z, dz));
            };
            std::unordered_map<unsigned long long, std::vector<size_t>> cells;
            for (size_t i = 0; i < graph.portals.size(); ++i)
                if (graph.portals[i].Quad() && HasArea(graph.portals[i]))
                    cells[cell(graph.portals[i].centre, 0, 0, 0)].push_back(i);
            for (ZonePortal& portal : graph.portals)
            {
                if (!portal.Quad() || !HasArea(portal))
                    continue;
                Real best = 0;
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dz = -1; dz <= 1; ++dz)
                        {
                            auto found = cells.find(cell(portal.centre, dx, dy, dz));
                            if (found == cells.end())
                                continue;
                            for (size_t i : found->second)
                            {
                                const ZonePortal& other = graph.portals[i];
                                const Real distance = portal.centre.distance(other.centre);
                                if (Joins(portal, other) && (portal.match < 0 || distance < best))
                                    portal.match = long(i), best = distance;
                            }
                        }
            }
        }

        void PortalFaults(const ZoneGraph& graph, std::vector<ZoneFinding>& findings)
        {
            auto say = [&](const ZonePortal& portal, const String& what, bool ends = false) {
                findings.push_back({portal.line, Called(portal, graph) + " " + what, ends});
            };
            for (const ZonePortal& portal : graph.portals)
            {
                const Zone& zone = graph.zones[portal.zone];
                if (!portal.Quad())
                {
                    say(portal, "has type \"" + portal.type + "\", which the loader does not read: its node is a zone, "
                                "with no portal from this element; make it a quad to look through it");
                    continue;
                }
                if (!HasArea(portal))
                {
                    say(portal, "has no area: its corners lie on one point or one line; give it the doorway's four corners");
                    continue;
                }
                const std::array<Vector3, 4>& c = portal.corners;
                const Real off = std::abs(portal.normal.dotProduct(c[3] - c[0]));
                if (off > 0.01f * std::max<Real>(portal.radius, 1e-3f))
                    say(portal, "has corners that are not in one plane: the fourth lies " + ZoneNumber(off) +
                                    " off the plane of the other three; the engine takes the first three's plane");
                for (size_t i = 0; i < 4; ++i)
                {
                    const Vector3 turn = (c[(i + 1) % 4] - c[i]).crossProduct(c[(i + 2) % 4] - c[(i + 1) % 4]);
                    if (turn.dotProduct(portal.normal) < 0)
                    {
                        say(portal, "has corners that do not go round it in order (its edges cross); list them round "
                                    "its edge");
                        break;
                    }
                }
                if (portal.match < 0)
                {
                    const ZonePortal* nearest = nullptr;
                    for (const ZonePortal& other : graph.portals)
                        if (other.zone != portal.zone && other.Quad() && HasArea(other) &&
                            (!nearest || other.centre.distance(portal.centre) < nearest->centre.distance(portal.centre)))
                            nearest = &other;
                    say(portal,
                        "has no matching portal in another zone (at the same place, facing the other way), so the "
                        "engine refuses the level at it. " +
                            (nearest ? "The nearest, " + Called(*nearest, graph) + " (line " +
                                           StringConverter::toString(nearest->line) + "), " + WhyNot(portal, *nearest)
                                     : String("No portal of another zone is near it: add the other room's portal, "
                                              "facing into that room")),
                        true);
                    continue;
                }
                // The engine looks through a portal from the side it faces: into its own zone.
                const Real inward = portal.normal.dotProduct(zone.centre - portal.centre);
                if (zone.nodes > 1 && inward < -0.1f * portal.radius)
                    say(portal, "faces out of its zone (the zone's middle lies behind it), so the engine never looks "
                                "through it and what lies beyond is not drawn from inside; list its corners the other "
                                "way round");
            }
        }

        void ZoneFaults(const ZoneGraph& graph, std::vector<ZoneFinding>& findings)
        {
            if (graph.zones.empty())
                return;
            auto say = [&](const Zone& zone, const String& what) {
                findings.push_back({zone.line, "zone \"" + zone.name + "\" " + what});
            };
            // Reached from the zone nearest the level's middle and from the cameras' zones.
            Vector3 middle = Vector3::ZERO;
            for (const Zone& zone : graph.zones)
                middle += zone.centre;
            middle /= Real(graph.zones.size());
            // The start is a zone with a way out: one without would leave every other unreached.
            auto joinedOut = [&graph](const Zone& zone) {
                return std::any_of(zone.portals.begin(), zone.portals.end(),
                                   [&graph](size_t p) { return graph.portals[p].match >= 0; });
            };
            size_t start = 0;
            for (size_t i = 1; i < graph.zones.size(); ++i)
            {
                const bool better = joinedOut(graph.zones[i]) != joinedOut(graph.zones[start])
                                        ? joinedOut(graph.zones[i])
                                        : graph.zones[i].centre.distance(middle) <
                                              graph.zones[start].centre.distance(middle);
                if (better)
                    start = i;
            }
            // Joined both ways: a portal of another zone that joins one of this zone's is a way in as well.
            std::vector<std::vector<size_t>> joined(graph.zones.size());
            for (const ZonePortal& portal : graph.portals)
                if (portal.match >= 0)
                {
                    const size_t other = graph.portals[size_t(portal.match)].zone;
                    joined[portal.zone].push_back(other);
                    joined[other].push_back(portal.zone);
                }
            std::vector<bool> reached(graph.zones.size(), false);
            std::deque<size_t> next = {start};
            next.insert(next.end(), graph.cameraZones.begin(), graph.cameraZones.end());
            while (!next.empty())
            {
                const size_t at = next.front();
                next.pop_front();
                if (reached[at])
                    continue;
                reached[at] = true;
                for (size_t other : joined[at])
                    next.push_back(other);
            }
            for (size_t i = 0; i < graph.zones.size(); ++i)
            {
                const Zone& zone = graph.zones[i];
                const bool quads = std::any_of(zone.portals.begin(), zone.portals.end(),
                                               [&](size_t p) { return graph.portals[p].Quad(); });
                if (!quads)
                    say(zone, "has no portal to look through: only elements of a type the loader does not read make it "
                              "a zone; it is drawn only with the camera inside it");
                else if (!reached[i])
                    say(zone, "cannot be reached through portals from zone \"" + graph.zones[start].name +
                                  "\" (the level's middle)" + (graph.cameraZones.empty() ? "" : " or the cameras' zones") +
                                  ": it is drawn only with the camera inside it");
            }
        }
    }

    namespace
    {
        ZoneGraph PlaceLevel(const LevelDescription& level, bool entities)
        {
            ZoneGraph graph;
            Placing placing(graph, entities);
            for (const LevelSection& section : level.sections)
            {
                if (section.kind != LevelSection::NODES)
                    continue;
                const Place root = Place().Below(section.nodes);
                for (const NodeDescription& node : section.nodes.childNodes)
                    placing.Node(node, root, -1);
            }
            placing.Finish();
            Join(graph);
            return graph;
        }
    }

    String ZoneNumber(Real value)
    {
        std::ostringstream text;
        text.precision(value < 10 ? 2 : 4);
        text << value;
        return text.str();
    }

    ZoneGraph ZoneGraph::Of(const LevelDescription& level, const MeshLookup& meshes)
    {
        ZoneGraph graph = PlaceLevel(level, bool(meshes));
        if (meshes)
            graph.Measure(meshes);
        return graph;
    }

    ZoneGraph ZoneGraph::Placed(const LevelDescription& level)
    {
        ZoneGraph graph = PlaceLevel(level, true);
        graph.objects.shrink_to_fit(); // it is kept through the build, whose peak it adds to
        return graph;
    }

    void ZoneGraph::Measure(const MeshLookup& meshes)
    {
        if (measured)
            return; // the zones have their entities' boxes and triangles already
        // Thousands of entities share a few meshes.
        std::unordered_map<String, std::pair<bool, MeshFacts>> known;
        size_t kept = 0;
        for (ZoneObject& object : objects)
        {
            auto found = known.find(object.mesh);
            if (found == known.end())
            {
                MeshFacts facts;
                const bool usable = meshes(object.mesh, facts) && !facts.bounds.isNull() && !facts.bounds.isInfinite();
                found = known.emplace(object.mesh, std::make_pair(usable, facts)).first;
            }
            if (!found->second.first)
                continue;
            object.box = found->second.second.bounds;
            object.box.transform(object.place);
            if (object.zone >= 0)
            {
                zones[size_t(object.zone)].box.merge(object.box);
                zones[size_t(object.zone)].triangles += found->second.second.triangles;
            }
            if (&objects[kept] != &object)
                objects[kept] = std::move(object);
            ++kept;
        }
        objects.resize(kept);
        measured = true;
    }

    std::vector<ZoneFinding> FindZoneFaults(const ZoneGraph& graph)
    {
        std::vector<ZoneFinding> findings;
        PortalFaults(graph, findings);
        ZoneFaults(graph, findings);
        std::stable_sort(findings.begin(), findings.end(),
                         [](const ZoneFinding& a, const ZoneFinding& b) { return a.line < b.line; });
        return findings;
    }
}
