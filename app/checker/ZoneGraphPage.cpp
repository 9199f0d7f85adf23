// The zone graph of a level's card: boxes and links in an inline picture.
#include "ZoneGraphPage.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

using Ogre::String;

namespace
{
    const double WIDTH = 720, HEIGHT = 360, MARGIN = 50, BOX_W = 96, BOX_H = 26;

    /// Seen from above: the two axes along which the zones spread most.
    std::pair<int, int> PlanAxes(const std::vector<LevelCheck::ZoneEntry>& zones)
    {
        double low[3] = {1e30, 1e30, 1e30}, high[3] = {-1e30, -1e30, -1e30};
        for (const auto& zone : zones)
            for (int axis = 0; axis < 3; ++axis)
            {
                low[axis] = std::min<double>(low[axis], zone.centre[axis]);
                high[axis] = std::max<double>(high[axis], zone.centre[axis]);
            }
        // The axis they spread least along is left out; of equals, y, the usual up.
        int drop = 1;
        for (int axis : {0, 2})
            if (high[axis] - low[axis] < high[drop] - low[drop])
                drop = axis;
        return drop == 0 ? std::make_pair(1, 2) : drop == 1 ? std::make_pair(0, 2) : std::make_pair(0, 1);
    }

    /** The zones' places along the axis, from 0, in their order with their gaps kept, except
        that no gap is wider than the bulk of the zones: a
        zone far off, an island or a sky box, would squeeze the rest into a point. */
    std::vector<double> Spread(const std::vector<LevelCheck::ZoneEntry>& zones, int axis)
    {
        std::vector<std::pair<double, size_t>> sorted;
        for (size_t i = 0; i < zones.size(); ++i)
            sorted.emplace_back(std::isfinite(zones[i].centre[axis]) ? zones[i].centre[axis] : 0.0, i);
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        // The bulk: the three fifths of the zones nearest the middle one, at least two, and
        // in a level of three or more zones never all of them.
        const double middle = sorted[n / 2].first;
        std::vector<double> nearest;
        for (const auto& place : sorted)
            nearest.push_back(place.first);
        std::sort(nearest.begin(), nearest.end(),
                  [middle](double a, double b) { return std::abs(a - middle) < std::abs(b - middle); });
        const size_t kept = std::min(std::max<size_t>(2, (n * 3 + 4) / 5), n >= 3 ? n - 1 : n);
        const auto [low, high] = std::minmax_element(nearest.begin(), nearest.begin() + long(kept));
        const double bulk = std::max(*high - *low, 1e-3);
        std::vector<double> places(n, 0);
        double place = 0;
        for (size_t i = 1; i < n; ++i)
        {
            place += std::min(sorted[i].first - sorted[i - 1].first, bulk);
            places[sorted[i].second] = place;
        }
        return places;
    }

    /// The smallest gap between two places that are apart (a fiftieth of the span or more).
    double NearestGap(std::vector<double> places, double span)
    {
        std::sort(places.begin(), places.end());
        double nearest = span;
        for (size_t i = 1; i < places.size(); ++i)
            if (places[i] - places[i - 1] > span / 50)
                nearest = std::min(nearest, places[i] - places[i - 1]);
        return std::max(nearest, 1e-6);
    }

    String Faults(const std::vector<String>& faults)
    {
        String text;
        for (const String& fault : faults)
            text += (text.empty() ? "" : "\n") + fault;
        return text;
    }
}

void WriteZoneGraph(std::ostream& out, const LevelCheck& check, String (*escaped)(const String&))
{
    const std::vector<LevelCheck::ZoneEntry>& zones = check.zones;
    if (zones.empty())
        return;
    const auto [u, v] = PlanAxes(zones);
    const std::vector<double> across = Spread(zones, u), down = Spread(zones, v);
    const double spanU = std::max(*std::max_element(across.begin(), across.end()), 1e-6);
    const double spanV = std::max(*std::max_element(down.begin(), down.end()), 1e-6);
    // Wide enough that neighbours' boxes stand apart, up to a few screens.
    double scale = std::min((WIDTH - 2 * MARGIN) / spanU, (HEIGHT - 2 * MARGIN) / spanV);
    // Along an axis the zones barely spread on (one row), there is nothing to part.
    if (spanU > 1e-2)
        scale = std::max(scale, 1.2 * BOX_W / NearestGap(across, spanU));
    if (spanV > 1e-2)
        scale = std::max(scale, 1.6 * BOX_H / NearestGap(down, spanV));
    scale = std::min(scale, 4000 / std::max(spanU, spanV));
    const double width = std::max(WIDTH, 2 * MARGIN + spanU * scale), height = std::max(HEIGHT, 2 * MARGIN + spanV * scale);
    std::map<String, std::pair<double, double>> at;
    for (size_t i = 0; i < zones.size(); ++i)
    {
        const double x = MARGIN + across[i] * scale + (width - 2 * MARGIN - spanU * scale) / 2;
        const double y = MARGIN + down[i] * scale + (height - 2 * MARGIN - spanV * scale) / 2;
        at.emplace(zones[i].name, std::make_pair(std::isfinite(x) ? x : width / 2, std::isfinite(y) ? y : height / 2));
    }
    std::ostringstream links, boxes;
    links.precision(1);
    boxes.precision(1);
    links << std::fixed;
    boxes << std::fixed;
    // Each door once: a pair of portals that lead into each other's zones.
    std::set<std::pair<String, String>> drawn;
    size_t faultyLinks = 0, stubs = 0;
    for (const auto& zone : zones)
        for (const auto& portal : zone.portals)
        {
            const auto from = at.at(zone.name);
            if (portal.target.empty() || !at.count(portal.target))
            {
                // A portal that leads nowhere: a stub out of its zone, in red.
                const double angle = double(++stubs) * 2.399963;
                links << "<g class=\"stub\" data-portal=\"" << escaped(portal.name) << "\"><title>"
                      << escaped("portal \"" + portal.name + "\" (line " + std::to_string(portal.line) +
                                 "), leads nowhere" + (portal.faults.empty() ? "" : ":\n" + Faults(portal.faults)))
                      << "</title><line x1=\"" << from.first << "\" y1=\"" << from.second << "\" x2=\""
                      << from.first + std::cos(angle) * 40 << "\" y2=\"" << from.second + std::sin(angle) * 40
                      << "\" stroke=\"#c22\" stroke-width=\"3\" stroke-dasharray=\"5 3\"/></g>";
                continue;
            }
            const std::pair<String, String> door = std::minmax(zone.name, portal.target);
            if (!drawn.insert(door).second && portal.faults.empty())
                continue;
            const auto to = at.at(portal.target);
            const bool faulty = !portal.faults.empty();
            faultyLinks += faulty;
            links << "<g class=\"link" << (faulty ? " fault" : "") << "\" data-from=\"" << escaped(zone.name)
                  << "\" data-to=\"" << escaped(portal.target) << "\"><title>"
                  << escaped("portal \"" + portal.name + "\" (line " + std::to_string(portal.line) + ") into " +
                             portal.target + (faulty ? ":\n" + Faults(portal.faults) : String()))
                  << "</title><line x1=\"" << from.first << "\" y1=\"" << from.second << "\" x2=\"" << to.first
                  << "\" y2=\"" << to.second << "\" stroke=\"" << (faulty ? "#c22" : "#7a7") << "\" stroke-width=\""
                  << (faulty ? 4 : 2) << "\"/></g>";
        }
    size_t faultyZones = 0;
    for (const auto& zone : zones)
    {
        const auto centre = at.at(zone.name);
        const bool faulty = !zone.faults.empty();
        faultyZones += faulty;
        boxes << "<g class=\"zone" << (faulty ? " fault" : "") << "\" data-zone=\"" << escaped(zone.name)
              << "\"><title>"
              << escaped("zone \"" + zone.name + "\" (line " + std::to_string(zone.line) + "): " +
                         std::to_string(zone.nodes) + " nodes, " + std::to_string(zone.objects) + " objects" +
                         (zone.measured ? ", " + std::to_string(zone.triangles) + " triangles" : String()) +
                         (faulty ? ":\n" + Faults(zone.faults) : String()))
              << "</title><rect x=\"" << centre.first - BOX_W / 2 << "\" y=\"" << centre.second - BOX_H / 2
              << "\" width=\"" << BOX_W << "\" height=\"" << BOX_H << "\" rx=\"4\" fill=\""
              << (faulty ? "#fbdada" : "#e6f0e6") << "\" stroke=\"" << (faulty ? "#c22" : "#585") << "\" stroke-width=\""
              << (faulty ? 3 : 1.5) << "\"/><text x=\"" << centre.first << "\" y=\"" << centre.second + 4
              << "\" text-anchor=\"middle\" font-size=\"11\">" << escaped(zone.name.substr(0, 14)) << "</text></g>";
    }
    out << "<details class=\"zones\"" << (faultyZones + faultyLinks + stubs ? " open" : "") << "><summary>Zones ("
        << zones.size() << ", " << faultyZones << " with faults; " << faultyLinks + stubs
        << (faultyLinks + stubs == 1 ? " portal" : " portals") << " with faults)</summary><div style=\"overflow:auto\"><svg class=\"zone-graph\" "
        << "xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height << "\" viewBox=\"0 0 "
        << width << " " << height
        << "\" role=\"img\" aria-label=\"The level's zones seen from above, joined by their portals\">"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#fafafa\"/>" << links.str() << boxes.str() << "</svg></div></details>";
}
