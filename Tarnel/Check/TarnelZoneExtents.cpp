// What a level's zones hold, by their entities' boxes: entities that reach out of their zone,
// zones that overlap, entities outside every zone.
#include "Tarnel/Check/TarnelZones.h"

#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreSubMesh.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>
#include <unordered_map>

using namespace Ogre;

namespace Tarnel
{
    MeshLookup LoadedMeshes(const String& group)
    {
        return [group](const String& name, MeshFacts& facts) {
            MeshPtr mesh = MeshManager::getSingleton().getByName(name, group);
            if (!mesh || !mesh->isLoaded())
                return false;
            facts.bounds = mesh->getBounds();
            facts.triangles = 0;
            for (const SubMesh* subMesh : mesh->getSubMeshes())
            {
                const IndexData* indices = subMesh->indexData;
                const VertexData* vertices = subMesh->useSharedVertices ? mesh->sharedVertexData : subMesh->vertexData;
                const size_t count = indices && indices->indexCount ? indices->indexCount
                                                                   : (vertices ? vertices->vertexCount : 0);
                facts.triangles += subMesh->operationType == RenderOperation::OT_TRIANGLE_LIST ? count / 3
                                   : count >= 3 && subMesh->operationType != RenderOperation::OT_LINE_LIST &&
                                           subMesh->operationType != RenderOperation::OT_LINE_STRIP &&
                                           subMesh->operationType != RenderOperation::OT_POINT_LIST
                                       ? count - 2
                                       : 0;
            }
            return true;
        };
    }

    bool HasZones(const LevelDescription& level)
    {
        std::function<bool(const NodeDescription&)> holds = [&holds](const NodeDescription& node) {
            return !node.portals.empty() || std::any_of(node.childNodes.begin(), node.childNodes.end(), holds);
        };
        return std::any_of(level.sections.begin(), level.sections.end(), [&holds](const LevelSection& section) {
            return section.kind == LevelSection::NODES && holds(section.nodes);
        });
    }

    namespace
    {
        String Sizes(const Vector3& size) { return ZoneNumber(size.x) + " x " + ZoneNumber(size.y) + " x " + ZoneNumber(size.z); }

        /// A depth too small to be meant: shared walls, rounding.
        Real Slack(Real a, Real b) { return std::max<Real>(1e-3f, 0.02f * std::min(a, b)); }

        /// The overlap of two boxes when it is deeper than the slack on every side; null otherwise.
        AxisAlignedBox Overlap(const AxisAlignedBox& a, const AxisAlignedBox& b)
        {
            if (a.isNull() || b.isNull())
                return AxisAlignedBox::BOX_NULL;
            const AxisAlignedBox both = a.intersection(b);
            if (both.isNull())
                return both;
            const Vector3 depth = both.getSize(), sa = a.getSize(), sb = b.getSize();
            for (int axis = 0; axis < 3; ++axis)
                if (depth[axis] <= Slack(sa[axis], sb[axis]))
                    return AxisAlignedBox::BOX_NULL;
            return both;
        }

        /** The zones' boxes in the cells of a grid as wide as a typical zone, so that each box
            is compared with its neighbours only: buildings of thousands of rooms. */
        class ZoneCells
        {
        public:
            explicit ZoneCells(const std::vector<AxisAlignedBox>& boxes) : boxes(boxes)
            {
                std::vector<Real> sides;
                for (const AxisAlignedBox& box : boxes)
                    if (!box.isNull())
                        sides.push_back(box.getSize().length());
                if (sides.empty())
                    return;
                std::nth_element(sides.begin(), sides.begin() + sides.size() / 2, sides.end());
                side = std::max<Real>(sides[sides.size() / 2], 1e-3f);
                for (size_t i = 0; i < boxes.size(); ++i)
                    if (!boxes[i].isNull() && !Visit(boxes[i], [&](unsigned long long key) { cells[key].push_back(i); }))
                        wide.push_back(i);
            }

            /// The zones whose boxes may meet the box, each once, in order.
            std::vector<size_t> Near(const AxisAlignedBox& box) const
            {
                std::vector<size_t> near = wide;
                if (!Visit(box, [&](unsigned long long key) {
                        auto found = cells.find(key);
                        if (found != cells.end())
                            near.insert(near.end(), found->second.begin(), found->second.end());
                    }))
                {
                    near.clear();
                    for (size_t i = 0; i < boxes.size(); ++i)
                        near.push_back(i);
                }
                std::sort(near.begin(), near.end());
                near.erase(std::unique(near.begin(), near.end()), near.end());
                return near;
            }

        private:
            /// Each cell the box covers; false, visiting none, when it covers too many.
            template <typename Each> bool Visit(const AxisAlignedBox& box, Each each) const
            {
                if (side <= 0)
                    return false;
                long long low[3], high[3], count = 1;
                for (int axis = 0; axis < 3; ++axis)
                {
                    auto cell = [this](Real at) {
                        const Real cell = std::isfinite(at) ? at / side : 0; // a cast of not-a-number is undefined
                        return (long long)std::floor(std::max<Real>(std::min<Real>(cell, 1e6f), -1e6f));
                    };
                    low[axis] = cell(box.getMinimum()[axis]);
                    high[axis] = cell(box.getMaximum()[axis]);
                    count *= high[axis] - low[axis] + 1;
                }
                if (count > 64)
                    return false;
                for (long long x = low[0]; x <= high[0]; ++x)
                    for (long long y = low[1]; y <= high[1]; ++y)
                        for (long long z = low[2]; z <= high[2]; ++z)
                            each((static_cast<unsigned long long>(x) * 4000003ULL +
                                  static_cast<unsigned long long>(y)) *
                                     4000003ULL +
                                 static_cast<unsigned long long>(z)); // wrapping: a shared key costs a comparison
                return true;
            }

            const std::vector<AxisAlignedBox>& boxes;
            Real side = 0;
            std::unordered_map<unsigned long long, std::vector<size_t>> cells;
            std::vector<size_t> wide; ///< zones too big for the cells: near everything
        };

        /// Per side of each axis, the two farthest entities of a zone: the zone's box without any one of them.
        struct Extremes
        {
            Real low[3][2], high[3][2];
            long lowAt[3] = {-1, -1, -1}, highAt[3] = {-1, -1, -1};

            Extremes()
            {
                for (int axis = 0; axis < 3; ++axis)
                    low[axis][0] = low[axis][1] = high[axis][0] = high[axis][1] = std::numeric_limits<Real>::quiet_NaN();
            }

            void Add(const AxisAlignedBox& box, long at)
            {
                for (int axis = 0; axis < 3; ++axis)
                {
                    Keep(low[axis], lowAt[axis], box.getMinimum()[axis], at, true);
                    Keep(high[axis], highAt[axis], box.getMaximum()[axis], at, false);
                }
            }

            /// The box of the others, and the zone's portals; null when there are none.
            AxisAlignedBox Without(long at, const AxisAlignedBox& portals) const
            {
                Vector3 minimum, maximum;
                for (int axis = 0; axis < 3; ++axis)
                {
                    minimum[axis] = low[axis][lowAt[axis] == at ? 1 : 0];
                    maximum[axis] = high[axis][highAt[axis] == at ? 1 : 0];
                    if (std::isnan(minimum[axis]) || std::isnan(maximum[axis]))
                        return portals;
                }
                AxisAlignedBox rest(minimum, maximum);
                rest.merge(portals);
                return rest;
            }

        private:
            static void Keep(Real (&best)[2], long& bestAt, Real value, long at, bool lowest)
            {
                auto better = [lowest](Real a, Real b) { return std::isnan(b) || (lowest ? a < b : a > b); };
                if (better(value, best[0]))
                {
                    best[1] = best[0];
                    best[0] = value;
                    bestAt = at;
                }
                else if (better(value, best[1]))
                    best[1] = value;
            }
        };

        /// How far the box reaches past the other on its farthest side.
        Real Reach(const AxisAlignedBox& box, const AxisAlignedBox& rest)
        {
            Real reach = 0;
            const Vector3 size = rest.getSize();
            for (int axis = 0; axis < 3; ++axis)
            {
                const Real out = std::max(box.getMaximum()[axis] - rest.getMaximum()[axis],
                                          rest.getMinimum()[axis] - box.getMinimum()[axis]);
                // Floors and ceilings stand a little past the walls: a tenth of the rest is meant.
                if (out > std::max<Real>(1e-3f, 0.1f * size[axis]))
                    reach = std::max(reach, out);
            }
            return reach;
        }

        String Quoted(const String& name) { return "\"" + name + "\""; }
    }

    std::vector<ZoneFinding> FindZoneExtentFaults(const ZoneGraph& graph)
    {
        std::vector<ZoneFinding> findings;
        if (!graph.measured || graph.zones.empty())
            return findings;
        const size_t zoneCount = graph.zones.size();
        std::vector<AxisAlignedBox> portals(zoneCount);
        for (const ZonePortal& portal : graph.portals)
            if (portal.Quad())
                for (const Vector3& corner : portal.corners)
                    portals[portal.zone].merge(corner);
        std::vector<Extremes> extremes(zoneCount);
        for (size_t i = 0; i < graph.objects.size(); ++i)
            if (graph.objects[i].zone >= 0)
                extremes[size_t(graph.objects[i].zone)].Add(graph.objects[i].box, long(i));

        // Entities that reach well out of the rest of their zone may sprawl; the others make its core.
        std::vector<Real> reaches(graph.objects.size(), 0);
        std::vector<AxisAlignedBox> cores = portals;
        for (size_t i = 0; i < graph.objects.size(); ++i)
        {
            const ZoneObject& object = graph.objects[i];
            if (object.zone < 0)
                continue;
            const AxisAlignedBox rest = extremes[size_t(object.zone)].Without(long(i), portals[size_t(object.zone)]);
            reaches[i] = rest.isNull() ? 0 : Reach(object.box, rest);
            if (reaches[i] <= 0)
                cores[size_t(object.zone)].merge(object.box);
        }

        // Zones whose cores overlap: reported at the later zone.
        const ZoneCells cells(cores);
        std::set<std::pair<size_t, size_t>> overlapping;
        for (size_t z = 0; z < zoneCount; ++z)
            for (size_t other : cells.Near(cores[z]))
            {
                if (other >= z)
                    break;
                const AxisAlignedBox both = Overlap(cores[z], cores[other]);
                if (both.isNull())
                    continue;
                overlapping.emplace(other, z);
                findings.push_back({graph.zones[z].line,
                                    "zone " + Quoted(graph.zones[z].name) + " overlaps zone " +
                                        Quoted(graph.zones[other].name) + " (line " +
                                        std::to_string(graph.zones[other].line) + ") by " + Sizes(both.getSize()) +
                                        ": where they overlap the engine may place the camera and objects in either, "
                                        "so what is drawn changes as you cross; move their walls apart or make "
                                        "them one zone"});
            }

        // Of those that reach out, the entities that reach into another zone they do not overlap.
        for (size_t i = 0; i < graph.objects.size(); ++i)
        {
            if (reaches[i] <= 0)
                continue;
            const ZoneObject& object = graph.objects[i];
            const size_t own = size_t(object.zone);
            long into = -1;
            Real deepest = 0;
            for (size_t other : cells.Near(object.box))
            {
                if (other == own || overlapping.count({std::min(own, other), std::max(own, other)}))
                    continue;
                const AxisAlignedBox both = Overlap(object.box, cores[other]);
                if (!both.isNull() && both.volume() > deepest)
                    deepest = both.volume(), into = long(other);
            }
            if (into >= 0)
                findings.push_back({object.line,
                                    "entity " + Quoted(object.name) + " of zone " + Quoted(graph.zones[own].name) +
                                        " reaches " + ZoneNumber(reaches[i]) + " out of its zone, into zone " +
                                        Quoted(graph.zones[size_t(into)].name) +
                                        ": the engine draws it only where its own zone is seen, so it pops in and "
                                        "out as the camera moves there; keep it inside its zone, or split it where "
                                        "the zones meet",
                                    false, long(own)});
        }

        // Outside every zone, in a level with a zone to look into.
        const bool doorways = std::any_of(graph.portals.begin(), graph.portals.end(),
                                          [](const ZonePortal& portal) { return portal.Quad(); });
        const ZoneObject* first = nullptr;
        size_t outside = 0;
        for (const ZoneObject& object : graph.objects)
            if (object.zone < 0 && doorways && ++outside == 1)
                first = &object;
        if (first)
        {
            const bool many = outside > 1;
            findings.push_back({first->line, "entity " + Quoted(first->name) +
                                                 (many ? " and " + std::to_string(outside - 1) + " more lie" : " lies") +
                                                 " outside every zone: the engine draws " + (many ? "them" : "it") +
                                                 " only with the camera outside every zone, never from a room; put " +
                                                 (many ? "them" : "it") + " under a zone's node"});
        }
        std::stable_sort(findings.begin(), findings.end(),
                         [](const ZoneFinding& a, const ZoneFinding& b) { return a.line < b.line; });
        return findings;
    }
}
