// A level's sweep in the checker's text, JSON and page.
#include "SweepReports.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

using Ogre::String;
using nlohmann::ordered_json;

namespace
{

    String Share(size_t part, size_t whole)
    {
        std::ostringstream text;
        text.precision(3);
        text << (whole ? 100.0 * double(part) / double(whole) : 0.0) << " %";
        return text.str();
    }

    /// The share is of the level's objects: a frame's triangles count each pass of a lit material.
    String Describe(const SweepSample& sample, size_t levelObjects)
    {
        return Grouped(sample.triangles) + " triangles, " + Grouped(sample.batches) + " batches, " +
               Grouped(sample.objects) + " objects (" + Share(sample.objects, levelObjects) + " of the level's), " +
               std::to_string(sample.zones) + (sample.zones == 1 ? " zone" : " zones") + ", from " + LevelSweep::PlaceText(sample.position) + " looking " +
               sample.looking + (sample.camera.empty() ? String() : " through the level's camera " + sample.camera);
    }
}

void AddSweepJson(ordered_json& level, const LevelCheck& check)
{
    level["overBudget"] = check.overBudget;
    level["heaviestPicture"] = check.heaviestPicture.empty() ? ordered_json() : ordered_json(check.heaviestPicture);
    if (!check.swept)
    {
        level["sweep"] = nullptr;
        return;
    }
    ordered_json samples = ordered_json::array();
    for (const SweepSample& sample : check.sweep.samples)
        samples.push_back({{"at", {sample.position.x, sample.position.y, sample.position.z}},
                           {"looking", sample.looking},
                           {"direction", {sample.direction.x, sample.direction.y, sample.direction.z}},
                           {"zone", sample.zone.empty() ? ordered_json() : ordered_json(sample.zone)},
                           {"camera", sample.camera.empty() ? ordered_json() : ordered_json(sample.camera)},
                           {"zones", sample.zones},
                           {"objects", sample.objects},
                           {"triangles", sample.triangles},
                           {"batches", sample.batches}});
    level["sweep"] = {{"step", check.sweep.step},
                      {"ms", check.sweep.milliseconds},
                      {"levelZones", check.sweep.levelZones},
                      {"levelObjects", check.sweep.levelObjects},
                      {"samples", samples}};
}

void ReadSweepJson(const ordered_json& level, LevelCheck& check)
{
    check.overBudget = level.value("overBudget", std::vector<String>());
    if (level.contains("heaviestPicture") && level.at("heaviestPicture").is_string())
        check.heaviestPicture = level.at("heaviestPicture").get<String>();
    if (!level.contains("sweep") || level.at("sweep").is_null())
        return;
    const auto& sweep = level.at("sweep");
    check.swept = true;
    check.sweep.step = sweep.at("step");
    check.sweep.milliseconds = sweep.at("ms");
    check.sweep.levelZones = sweep.at("levelZones");
    check.sweep.levelObjects = sweep.at("levelObjects");
    auto vector = [](const ordered_json& three) { return Ogre::Vector3(three.at(0), three.at(1), three.at(2)); };
    for (const auto& entry : sweep.at("samples"))
    {
        SweepSample sample;
        sample.position = vector(entry.at("at"));
        sample.direction = vector(entry.at("direction"));
        sample.looking = entry.at("looking");
        sample.zone = entry.at("zone").is_null() ? String() : entry.at("zone").get<String>();
        sample.camera = entry.at("camera").is_null() ? String() : entry.at("camera").get<String>();
        sample.zones = entry.at("zones");
        sample.objects = entry.at("objects");
        sample.triangles = entry.at("triangles");
        sample.batches = entry.at("batches");
        check.sweep.samples.push_back(sample);
    }
}

std::vector<String> SweepLines(const LevelCheck& check)
{
    std::vector<String> lines;
    if (!check.swept)
        return lines;
    size_t cameras = 0;
    for (const SweepSample& sample : check.sweep.samples)
        cameras += !sample.camera.empty();
    std::ostringstream head;
    head.precision(3);
    head << "sweep: " << (check.sweep.samples.size() - cameras) / 8 << " places " << check.sweep.step
         << " apart, looking 8 ways, and " << cameras << " level cameras, in " << std::lround(check.sweep.milliseconds)
         << " ms";
    lines.push_back(head.str());
    for (const SweepSample* worst : check.sweep.WorstByZone())
        lines.push_back("heaviest " + (worst->zone.empty() ? String(check.sweep.levelZones ? "outside every zone" : "in the level")
                                                           : "in zone " + worst->zone) +
                        ": " + Describe(*worst, check.sweep.levelObjects));
    return lines;
}

void WriteSweepMap(std::ostream& out, const LevelCheck& check, String (*escaped)(const String&))
{
    if (!check.swept || check.sweep.samples.empty())
        return;
    // Each place once, with its heaviest direction; the level's cameras among them.
    std::map<std::tuple<float, float, float>, const SweepSample*> places;
    for (const SweepSample& sample : check.sweep.samples)
    {
        const SweepSample*& kept = places[{sample.position.x, sample.position.y, sample.position.z}];
        if (!kept || sample.triangles > kept->triangles)
            kept = &sample;
    }
    // Seen from above: the two axes the places spread most along, y left out on a tie.
    double low[3] = {1e30, 1e30, 1e30}, high[3] = {-1e30, -1e30, -1e30};
    for (const auto& place : places)
        for (int axis = 0; axis < 3; ++axis)
        {
            low[axis] = std::min<double>(low[axis], place.second->position[axis]);
            high[axis] = std::max<double>(high[axis], place.second->position[axis]);
        }
    int drop = 1;
    for (int axis : {0, 2})
        if (high[axis] - low[axis] < high[drop] - low[drop])
            drop = axis;
    const int u = drop == 0 ? 1 : 0, v = drop == 2 ? 1 : 2;
    const double width = 480, height = 300, margin = 16;
    const double spanU = std::max(high[u] - low[u], 1e-6), spanV = std::max(high[v] - low[v], 1e-6);
    const double scale = std::min((width - 2 * margin) / spanU, (height - 2 * margin) / spanV);
    const SweepSample* worst = check.sweep.Worst();
    const double heaviest = double(std::max<size_t>(worst ? worst->triangles : 1, 1));
    std::ostringstream dots;
    dots.precision(1);
    dots << std::fixed;
    for (const auto& place : places)
    {
        const SweepSample& sample = *place.second;
        const double x = margin + (sample.position[u] - low[u]) * scale + (width - 2 * margin - spanU * scale) / 2;
        const double y = margin + (sample.position[v] - low[v]) * scale + (height - 2 * margin - spanV * scale) / 2;
        const double load = double(sample.triangles) / heaviest; // 0 light, 1 the heaviest
        const int red = int(std::lround(40 + 200 * load)), green = int(std::lround(190 - 150 * load));
        dots << "<circle class=\"place\" data-triangles=\"" << sample.triangles << "\" cx=\"" << x << "\" cy=\"" << y
             << "\" r=\"" << (&sample == worst ? 7 : 5) << "\" fill=\"rgb(" << red << "," << green << ",40)\""
             << (&sample == worst ? " stroke=\"#000\" stroke-width=\"2\"" : "") << "><title>"
             << escaped(Describe(sample, check.sweep.levelObjects) +
                        (sample.zone.empty() ? String() : ", in zone " + sample.zone))
             << "</title></circle>";
    }
    out << "<div class=\"sweep\"><svg class=\"sweep-map\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width
        << "\" height=\"" << height << "\" viewBox=\"0 0 " << width << " " << height
        << "\" role=\"img\" aria-label=\"The sweep's places seen from above, coloured by the triangles drawn\">"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#f6f6f0\" stroke=\"#ccc\"/>" << dots.str() << "</svg></div>";
}
