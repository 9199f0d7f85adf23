// The first view of a level: the candidate that shows most of it, as a person would judge.
#include "FirstView.h"

#include "Tarnel/Tarnel.h"

#include <OgreCamera.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgrePCZSceneManager.h>
#include <OgrePCZone.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreTimer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace Ogre;

namespace
{
    // Small, as the score needs shares, not detail: a look costs a few milliseconds.
    const unsigned PROBE_WIDTH = 160, PROBE_HEIGHT = 100;
    const size_t MOST_CAMERAS = 12, MOST_ZONES = 6;
    /// Levels of more drawn objects try fewer views of their whole.
    const size_t MANY_OBJECTS = 1000;

    String Percent(double share)
    {
        char text[32];
        if (share > 0 && share < 0.01)
            std::snprintf(text, sizeof text, "%.1f %%", share * 100);
        else
            std::snprintf(text, sizeof text, "%.0f %%", share * 100);
        return text;
    }

    /// 1400.2 as "1,400".
    String Grouped(double number)
    {
        String digits = std::to_string(std::llround(std::abs(number)));
        for (int at = int(digits.size()) - 3; at > 0; at -= 3)
            digits.insert(size_t(at), ",");
        return (number < -0.5 ? "-" : "") + digits;
    }

    String Decimal(double number)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.2g", number);
        return text;
    }

    /** The same view turned and moved so that the frame's objects stand in the middle of the
        picture and fill most of its width or height, judged from what the probe saw. */
    /// Whether the frame's objects reach an edge of the picture: cut off, so their size is not known.
    bool Cut(const ViewProbe::Measure& seen)
    {
        const double EDGE = 0.01;
        return seen.left < EDGE || seen.top < EDGE || seen.right > 1 - EDGE || seen.bottom > 1 - EDGE;
    }

    double Fill(const ViewProbe::Measure& seen)
    {
        return seen.right > seen.left ? std::max(seen.right - seen.left, seen.bottom - seen.top) : 0;
    }

    /** The same view turned and moved so that the frame's objects stand in the middle of the
        picture and fill most of its width or height, judged from what the probe saw; a view
        that cut them off steps back. */
    LevelFraming Refit(LevelFraming framing, const ViewProbe::Measure& seen, Radian fovY, Real aspectRatio)
    {
        if (seen.right <= seen.left || seen.bottom <= seen.top)
            return framing;
        const Vector3 forward = (framing.target - framing.position).normalisedCopy();
        const Vector3 right = forward.crossProduct(framing.up).normalisedCopy();
        const Vector3 upward = right.crossProduct(forward);
        const Real tanVertical = std::tan(fovY.valueRadians() / 2), tanHorizontal = tanVertical * aspectRatio;
        const Real across = Real(seen.left + seen.right - 1), down = Real(seen.top + seen.bottom - 1);
        const Vector3 toward = (forward + right * across * tanHorizontal - upward * down * tanVertical).normalisedCopy();
        const Real distance = framing.target.distance(framing.position);
        const Real closer = Cut(seen) ? Real(1.15) : Math::Clamp(Real(Fill(seen)) / 0.8f, Real(0.3), Real(1.5));
        framing.target = framing.position + toward * distance;
        framing.position = framing.target - toward * distance * closer;
        return framing;
    }

    /// Whether the level has zones of its own, beside the default one.
    bool HasZones(PCZSceneManager* zones)
    {
        for (auto iterator = zones->getZoneIterator(); iterator.hasMoreElements();)
            if (iterator.getNext() != zones->getDefaultZone())
                return true;
        return false;
    }

    /// Whether the node is one of the level's, not a program's own.
    bool LevelsOwn(const String& name) { return !StringUtil::startsWith(name, "Tarnel/", false) && name != "CamNode"; }

    /// The level's nodes below this one; the programs' own (the camera's, the probe's) and theirs not.
    size_t CountNodes(const Node* node)
    {
        size_t count = 0;
        for (const Node* child : node->getChildren())
            if (LevelsOwn(child->getName()))
                count += 1 + CountNodes(child);
        return count;
    }

    std::vector<const Light*> LevelLights(SceneManager* sceneManager)
    {
        std::vector<const Light*> lights;
        for (const char* type : {"PCZLight", "Light"})
        {
            for (const auto& entry : sceneManager->getMovableObjects(type))
                if (entry.first != "CamLight" && !StringUtil::startsWith(entry.first, "Tarnel/", false))
                    lights.push_back(static_cast<const Light*>(entry.second));
        }
        return lights;
    }

    /// How far a point lies from a box; 0 inside it.
    Real Gap(const Vector3& point, const AxisAlignedBox& box)
    {
        Vector3 gap;
        for (int axis = 0; axis < 3; ++axis)
            gap[axis] = std::max({Real(0), box.getMinimum()[axis] - point[axis], point[axis] - box.getMaximum()[axis]});
        return gap.length();
    }

    /// "the level draws nothing: 23 nodes, 11 lights, no entity; its sky box (distance 150) lies inside ..."
    String DrawsNothing(SceneManager* zones, const Tarnel::TarnelScene* scene, const Camera* camera, size_t lights)
    {
        String finding = "the level draws nothing: " + Grouped(double(CountNodes(zones->getRootSceneNode()))) +
                         " nodes, " + Grouped(double(lights)) + " lights, no entity";
        // The engine marks the sky box enabled only once it is drawn: its node says it was made.
        if (zones->isSkyBoxEnabled() || zones->getSkyBoxNode())
        {
            const Real distance = zones->getSkyBoxGenParameters().skyBoxDistance;
            const Real nearClip = scene && scene->GetNearClipDistance() > 0 ? scene->GetNearClipDistance()
                                                                             : camera->getNearClipDistance();
            if (distance < nearClip)
                finding += "; its sky box (distance " + Grouped(distance) + ") lies inside the near clip (" +
                           Grouped(nearClip) + ")";
        }
        return finding;
    }

    /** "none of the 8 lights reaches a drawn object (...)", or empty when one does, which `lit`
        says; a directional light reaches everything. */
    String LightsReachNothing(SceneManager* zones, const std::vector<const Light*>& lights,
                              const std::vector<LevelExtent::Item>& items, bool& lit)
    {
        Real nearest = Math::POS_INFINITY, lowest = Math::POS_INFINITY, highest = 0;
        lit = false;
        for (const Light* light : lights)
        {
            if (light->getType() == Light::LT_DIRECTIONAL)
            {
                lit = true;
                return String();
            }
            const Vector3 place = light->getDerivedPosition(true);
            const Real range = light->getAttenuationRange();
            lowest = std::min(lowest, range), highest = std::max(highest, range);
            for (const auto& item : items)
            {
                const Real gap = Gap(place, item.box);
                nearest = std::min(nearest, gap);
                lit = lit || gap <= range;
            }
        }
        if (lit)
            return String();
        const ColourValue ambient = zones->getAmbientLight();
        return "none of the " + Grouped(double(lights.size())) + " lights reaches a drawn object (ranges " +
               (lowest == highest ? Grouped(lowest) : Grouped(lowest) + " to " + Grouped(highest)) +
               "; the nearest object is " + Grouped(nearest) + " units from a light): the level is lit by its ambient " +
               Decimal((ambient.r + ambient.g + ambient.b) / 3) + " and the camera light";
    }
}

double FirstView::Score(const ViewProbe::Measure& measure, size_t frameObjects)
{
    // A bare ground covers much and shows little.
    const double shown = measure.level - 0.75 * measure.ground - 0.5 * measure.enclosure;
    const double inView = frameObjects ? std::sqrt(double(measure.objectsSeen) / double(frameObjects)) : 1;
    // One surface filling the view (a wall, a tilted plane) says nothing of the level.
    const double others = measure.level > 0 ? 1 - measure.largest / measure.level : 0;
    const double oneSurface = frameObjects > 1 && others < 0.2 ? 0.4 + 3 * others : 1;
    return std::max(0.0, shown * (0.35 + 0.65 * inView) * oneSurface - 0.5 * measure.backFaces);
}

FirstView FirstView::Choose(Camera* camera, const Tarnel::TarnelScene* scene, const std::vector<Camera*>& levelCameras,
                            const Vector3& up)
{
    Timer timer;
    FirstView view;
    auto* zones = static_cast<PCZSceneManager*>(camera->getSceneManager());
    Tarnel::UpdateTracking(zones);
    const std::vector<LevelExtent::Item> items = LevelExtent::DrawnItems(zones, camera->getParentSceneNode());
    view.extent = LevelExtent::Choose(items, up);
    LogManager::getSingleton().logMessage("View: " + view.extent.Describe());
    const AxisAlignedBox& bounds = view.extent.bounds;
    const Radian fovY = camera->getFOVy();
    const Real aspect = camera->getAspectRatio();
    view.sizing = LevelFraming::Of(bounds, view.extent.corners, up, fovY, aspect);

    ViewProbe probe(zones, items, view.extent, PROBE_WIDTH, PROBE_HEIGHT);
    auto look = [&](Candidate candidate, bool backFaces) {
        const LevelFraming framing = candidate.framing;
        Camera* level = candidate.levelCamera;
        Timer lookTime;
        candidate.measure = probe.Look(
            [&](Camera* probeCamera) {
                if (level)
                    return Tarnel::LookThrough(probeCamera, level);
                probeCamera->setFOVy(fovY);
                framing.Apply(probeCamera, nullptr);
            },
            aspect, backFaces);
        candidate.score = Score(candidate.measure, view.extent.kept);
        const ViewProbe::Measure& m = candidate.measure;
        LogManager::getSingleton().logMessage(
            "View: tried " + candidate.name + ": covers " + Percent(m.level) + ", ground " + Percent(m.ground) +
                ", largest " + Percent(m.largest) + ", back faces " + Percent(m.backFaces) + ", " +
                std::to_string(m.objectsSeen) + " of " + std::to_string(view.extent.kept) + " objects, score " +
                Decimal(candidate.score) + ", " + Decimal(lookTime.getMicroseconds() / 1000.0) + " ms",
            LML_NORMAL);
        view.tried.push_back(candidate);
        return view.tried.size() - 1;
    };

    // The author's view when it shows the level well; else the whole level from outside when
    // nothing stands in the way; else whatever shows most. Views are drawn only as needed:
    // a look at a big level costs about a frame.
    // How many objects a view shows is judged against the whole level seen from its raised corner:
    // small objects take no pixel of the probe's small picture from there either.
    const size_t frameObjects = view.extent.kept;
    size_t wholeLevelSeen = frameObjects;
    auto showsWell = [&](const ViewProbe::Measure& m, double least) {
        return m.level >= least && m.backFaces < m.level && m.ground < 0.7 * m.level &&
               (frameObjects <= 2 || m.largest < 0.85 * m.level) &&
               double(m.objectsSeen) >= 0.5 * double(wholeLevelSeen);
    };
    // The whole level from a raised corner, fitted to what the view shows until it fills it uncut.
    auto overview = [&](int quarter) {
        Candidate candidate;
        candidate.name = quarter == 0 ? "the level from a raised corner" : "the level from another raised corner";
        candidate.framing = LevelFraming::Of(bounds, view.extent.corners, up, fovY, aspect, quarter);
        size_t fitted = look(candidate, false), latest = fitted;
        if (quarter == 0)
            wholeLevelSeen = std::min(frameObjects, std::max(view.tried[fitted].measure.objectsSeen, size_t(1)));
        for (int fit = 0; fit < 2 && bounds.isFinite(); ++fit)
        {
            const ViewProbe::Measure& seen = view.tried[latest].measure;
            if (seen.level == 0 || (!Cut(seen) && Fill(seen) > 0.7))
                break;
            candidate = view.tried[latest];
            candidate.framing = Refit(candidate.framing, seen, fovY, aspect);
            latest = look(candidate, false);
            const ViewProbe::Measure& now = view.tried[latest].measure;
            if (!Cut(now) && (Cut(view.tried[fitted].measure) || Fill(now) > Fill(view.tried[fitted].measure)))
                fitted = latest;
        }
        return fitted;
    };
    size_t corner = overview(0);
    const size_t NONE = size_t(-1);
    size_t author = NONE;
    for (size_t index = 0; index < levelCameras.size() && index < MOST_CAMERAS; ++index)
    {
        Candidate candidate;
        candidate.name = "through camera " + levelCameras[index]->getName();
        candidate.levelCamera = levelCameras[index];
        size_t at = look(candidate, false);
        if (showsWell(view.tried[at].measure, 0.25) &&
            (author == NONE || view.tried[at].score > view.tried[author].score))
            author = at;
    }
    if (author != NONE)
        view.chosen = author;
    else if (showsWell(view.tried[corner].measure, 0.2))
        view.chosen = corner;
    else
    {
        // What stands in the way of the raised corner, said in the log line.
        Candidate blocked = view.tried[corner];
        blocked.name = "the raised corner";
        corner = look(blocked, true);
        // A look at the whole of a big level costs a frame: its other corners are left to Home's user.
        for (int quarter = 1; quarter < 4 && bounds.isFinite() && frameObjects <= MANY_OBJECTS; ++quarter)
            overview(quarter);
        // From inside: rooms, caves and hangars are made to be seen from within.
        if (bounds.isFinite())
        {
            const Vector3 centre = bounds.getCenter();
            const Real reach = bounds.getHalfSize().length();
            const Vector3 side = up.perpendicular(), across = up.crossProduct(side);
            for (const Vector3& direction : {side, across, -side, -across})
            {
                Candidate candidate;
                candidate.name = "inside the level";
                candidate.framing =
                    LevelFraming::Looking(bounds, up, centre, centre + direction * reach - up * reach * 0.15f);
                look(candidate, false);
            }
        }
        // From inside its zones: a camera outside every zone sees none of them.
        std::vector<std::pair<Real, PCZone*>> enclosed;
        for (auto iterator = zones->getZoneIterator(); iterator.hasMoreElements();)
        {
            PCZone* zone = iterator.getNext();
            SceneNode* enclosure = zone->getEnclosureNode();
            if (zone != zones->getDefaultZone() && enclosure && enclosure->_getWorldAABB().isFinite())
                enclosed.emplace_back(enclosure->_getWorldAABB().volume(), zone);
        }
        std::sort(enclosed.begin(), enclosed.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        for (size_t index = 0; index < enclosed.size() && index < MOST_ZONES; ++index)
        {
            Candidate candidate;
            candidate.name = "inside zone " + enclosed[index].second->getName();
            candidate.framing =
                LevelFraming::Within(enclosed[index].second->getEnclosureNode()->_getWorldAABB(), bounds, up);
            look(candidate, false);
        }
        size_t best = 0;
        for (size_t index = 0; index < view.tried.size(); ++index)
            if (view.tried[index].score > view.tried[best].score)
                best = index;
        view.chosen = best;
    }

    // What the view shows, and what the raised corner would have shown when it is not chosen.
    if (view.tried[view.chosen].name.find("raised corner") == String::npos && view.tried[corner].name != "the raised corner")
    {
        // What stood in the way of the raised corner: looked at again with back faces drawn.
        Candidate blocked = view.tried[corner];
        blocked.name = "the raised corner";
        corner = look(blocked, true);
    }
    const Candidate& chosen = view.tried[view.chosen];
    const Candidate& raised = view.tried[corner];
    view.line = chosen.name + " (covers " + Percent(chosen.measure.level) + " of the picture, spans " +
                Percent(chosen.measure.span) + ")";
    if (chosen.name.find("raised corner") == String::npos)
    {
        String why;
        Vector3 raisedAt = raised.framing.position; // the zone manager takes it by reference
        if (raised.measure.backFaces >= 0.5 * raised.measure.level && raised.measure.backFaces > 0)
            why = "the level's surfaces face inward";
        else if (raised.measure.level > 0 && raised.measure.largest > 0.8 * raised.measure.level && view.extent.kept > 1)
            why = "filled by one surface, " + raised.measure.largestName;
        else if (raised.measure.ground > 0.6 * raised.measure.level && raised.measure.level > 0)
            why = "mostly bare ground";
        else if (raised.measure.level == 0 && HasZones(zones) &&
                 zones->findZoneForPoint(raisedAt) == zones->getDefaultZone())
            why = "it stands outside every zone, and sees none of them";
        else if (raised.measure.level < 0.03)
            why = "the level is a speck";
        view.line += "; the raised corner covered " + Percent(raised.measure.level) + (why.empty() ? "" : " (" + why + ")");
    }
    view.milliseconds = double(timer.getMicroseconds()) / 1000;
    LogManager::getSingleton().logMessage("View: " + view.line + "; " + std::to_string(probe.Looks()) +
                                          " views tried in " + Decimal(view.milliseconds) + " ms");

    // A level that shows little says why.
    const std::vector<const Light*> lights = LevelLights(zones);
    if (items.empty())
        view.findings.push_back(DrawsNothing(zones, scene, camera, lights.size()));
    else if (!lights.empty())
    {
        const String unlit = LightsReachNothing(zones, lights, items, view.levelLit);
        if (!unlit.empty())
            view.findings.push_back(unlit);
    }
    for (const String& finding : view.findings)
        LogManager::getSingleton().logWarning("Tarnel: " + finding);
    return view;
}

void FirstView::Apply(Camera* camera, Light* light) const
{
    const Candidate& view = Chosen();
    // Beside the level's own lights the camera's would wash its surfaces out to white.
    if (light)
        light->setDiffuseColour(levelLit ? ColourValue(0.5f, 0.5f, 0.5f) : ColourValue::White);
    if (view.levelCamera)
    {
        sizing.Apply(camera, light);
        Tarnel::LookThrough(camera, view.levelCamera);
    }
    else
    {
        LevelFraming framing = view.framing;
        framing.nearClip = std::min(framing.nearClip, sizing.nearClip);
        framing.farClip = std::max(framing.farClip, sizing.farClip);
        framing.lightRange = std::max(framing.lightRange, sizing.lightRange);
        framing.Apply(camera, light);
    }
    Tarnel::Platform::PlaceInZone(camera->getParentSceneNode());
}
