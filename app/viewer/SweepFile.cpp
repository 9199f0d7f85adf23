// The checker's saved sweep, read for the viewer to look from its heaviest places.
#include "SweepFile.h"

#include "Tarnel/Tarnel.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <map>
#include <stdexcept>

using Ogre::String;

std::vector<HeavyPlace> ReadSweepFile(const String& file, const String& levelFile)
{
    std::ifstream in(file);
    if (!in)
        throw std::invalid_argument("--sweep-file " + file + " cannot be read");
    nlohmann::json document;
    try
    {
        document = nlohmann::json::parse(in);
    }
    catch (const nlohmann::json::exception& error)
    {
        throw std::invalid_argument("--sweep-file " + file + " is not JSON: " + error.what());
    }
    const String level = Tarnel::TarnelUtilities::FullPath(levelFile);
    const nlohmann::json* chosen = nullptr;
    size_t swept = 0;
    if (document.is_object() && document.contains("levels") && document["levels"].is_array())
        for (const auto& entry : document["levels"])
        {
            if (!entry.is_object() || !entry.contains("sweep") || !entry["sweep"].is_object())
                continue;
            ++swept;
            if (entry.value("file", String()) == level)
                chosen = &entry;
            else if (!chosen && swept == 1)
                chosen = &entry;
        }
    if (!chosen || (swept > 1 && chosen->value("file", String()) != level))
        throw std::invalid_argument("--sweep-file " + file + " holds no sweep of " + level +
                                    " (TarnelCheck --sweep --json LEVEL > FILE writes one)");
    std::map<std::tuple<float, float, float>, HeavyPlace> places;
    try
    {
        for (const auto& sample : chosen->at("sweep").at("samples"))
        {
            const auto& at = sample.at("at");
            const auto& towards = sample.at("direction");
            HeavyPlace place;
            place.position = Ogre::Vector3(at.at(0), at.at(1), at.at(2));
            place.direction = Ogre::Vector3(towards.at(0), towards.at(1), towards.at(2));
            place.triangles = sample.at("triangles");
            place.text = std::to_string(place.triangles) + " triangles, " +
                         std::to_string(sample.at("batches").get<size_t>()) + " batches, " +
                         std::to_string(sample.at("objects").get<size_t>()) + " objects, looking " +
                         sample.at("looking").get<String>() +
                         (sample.at("zone").is_string() ? " in zone " + sample.at("zone").get<String>() : String());
            HeavyPlace& kept = places[{place.position.x, place.position.y, place.position.z}];
            if (kept.text.empty() || place.triangles > kept.triangles)
                kept = place;
        }
    }
    catch (const nlohmann::json::exception& error)
    {
        throw std::invalid_argument("--sweep-file " + file + " is not the checker's sweep: " + error.what());
    }
    std::vector<HeavyPlace> heaviest;
    for (const auto& place : places)
        heaviest.push_back(place.second);
    std::stable_sort(heaviest.begin(), heaviest.end(),
                     [](const HeavyPlace& a, const HeavyPlace& b) { return a.triangles > b.triangles; });
    return heaviest;
}
