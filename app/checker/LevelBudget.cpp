// Bounds on what a level draws, and where its sweep passes them.
#include "LevelBudget.h"

#include <OgreStringConverter.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

using Ogre::String;

namespace
{
    const char* const FILE_NAME = "tarnel-budget.txt";

    String Trimmed(String text)
    {
        Ogre::StringUtil::trim(text);
        return text;
    }

}

String Grouped(size_t number)
{
    String digits = std::to_string(number), grouped;
    for (size_t i = 0; i < digits.size(); ++i)
    {
        if (i && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

LevelBudget LevelBudget::Parse(const String& text)
{
    LevelBudget budget;
    const String usage = "a budget is triangles=N,batches=M,objects=K (any of them), not \"" + Trimmed(text) + "\"";
    for (const String& part : Ogre::StringUtil::split(text, ",\n"))
    {
        const String entry = Trimmed(part);
        if (entry.empty() || entry[0] == '#')
            continue;
        const size_t equals = entry.find('=');
        if (equals == String::npos)
            throw std::invalid_argument(usage);
        const String name = Trimmed(entry.substr(0, equals)), value = Trimmed(entry.substr(equals + 1));
        if (value.empty() || value.find_first_not_of("0123456789") != String::npos || value.size() > 15)
            throw std::invalid_argument(usage);
        const size_t bound = std::stoull(value);
        if (name == "triangles")
            budget.triangles = bound;
        else if (name == "batches")
            budget.batches = bound;
        else if (name == "objects")
            budget.objects = bound;
        else
            throw std::invalid_argument(usage);
    }
    return budget;
}

LevelBudget LevelBudget::ForLevel(const String& levelFile, const LevelBudget& given)
{
    LevelBudget budget;
    std::filesystem::path folder = std::filesystem::absolute(levelFile).parent_path();
    for (; !folder.empty(); folder = folder.parent_path())
    {
        const std::filesystem::path file = folder / FILE_NAME;
        if (std::filesystem::is_regular_file(file))
        {
            std::stringstream text;
            text << std::ifstream(file).rdbuf();
            try
            {
                budget = Parse(text.str());
            }
            catch (const std::invalid_argument& error)
            {
                throw std::invalid_argument(file.string() + ": " + error.what());
            }
            break;
        }
        if (folder == folder.parent_path())
            break;
    }
    if (given.triangles)
        budget.triangles = given.triangles;
    if (given.batches)
        budget.batches = given.batches;
    if (given.objects)
        budget.objects = given.objects;
    return budget;
}

std::vector<String> LevelBudget::Exceeded(const LevelSweep& sweep) const
{
    std::vector<String> over;
    const struct
    {
        size_t bound;
        size_t SweepSample::*count;
        const char* noun;
    } bounds[] = {{triangles, &SweepSample::triangles, "triangles"},
                  {batches, &SweepSample::batches, "batches"},
                  {objects, &SweepSample::objects, "objects"}};
    for (const auto& bound : bounds)
    {
        if (!bound.bound)
            continue;
        const SweepSample* worst = nullptr;
        for (const SweepSample& sample : sweep.samples)
            if (!worst || sample.*bound.count > worst->*bound.count)
                worst = &sample;
        if (!worst || worst->*bound.count <= bound.bound)
            continue;
        over.push_back("over budget: " + Grouped(worst->*bound.count) + " " + bound.noun + " from " +
                       LevelSweep::PlaceText(worst->position) + " looking " + worst->looking +
                       (worst->camera.empty() ? String() : " through the level's camera " + worst->camera) +
                       (worst->zone.empty() ? String(" outside every zone") : " in zone " + worst->zone) + "; budget " +
                       Grouped(bound.bound));
    }
    return over;
}
