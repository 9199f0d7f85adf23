// The one check of a level's description before anything of it is built.
#include "Tarnel/Check/TarnelLevelCheck.h"
#include "Tarnel/Check/TarnelScales.h"
#include "Tarnel/Check/TarnelNames.h"
#include "Tarnel/Check/TarnelZones.h"
#include "Tarnel/Read/TarnelKeywords.h"

#include <algorithm>
#include <cctype>

using namespace Ogre;

namespace Tarnel
{
    size_t EditDistance(const String& a, const String& b)
    {
        std::vector<size_t> row(b.size() + 1);
        for (size_t j = 0; j <= b.size(); ++j)
            row[j] = j;
        for (size_t i = 1; i <= a.size(); ++i)
        {
            size_t diagonal = row[0];
            row[0] = i;
            for (size_t j = 1; j <= b.size(); ++j)
            {
                bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                            std::tolower(static_cast<unsigned char>(b[j - 1]));
                size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
                diagonal = row[j];
                row[j] = next;
            }
        }
        return row[b.size()];
    }

    String Nearest(const String& name, const std::vector<String>& candidates)
    {
        String nearest;
        size_t best = std::max<size_t>(2, name.size() / 3) + 1;
        for (const String& candidate : candidates)
        {
            size_t distance = EditDistance(name, candidate);
            if (distance < best)
                best = distance, nearest = candidate;
        }
        return nearest;
    }

    String CloseKeyword(const String& refusal)
    {
        const std::vector<String> keywords = TarnelUtilities::KeywordsRefusing(refusal);
        const size_t colon = refusal.rfind(": ");
        if (keywords.empty() || colon == String::npos)
            return "";
        const String nearest = Nearest(refusal.substr(colon + 2), keywords);
        return nearest.empty() ? "" : " (did you mean \"" + nearest + "\"?)";
    }

    namespace
    {
        String UnknownArchiveType(const LevelDescription& level, const String& file)
        {
            const ResourceLocation* location = FindUnknownArchiveType(level);
            if (!location)
                return "";
            String types;
            for (const String& type : ArchiveTypes())
                types += (types.empty() ? "" : ", ") + type;
            const String nearest = Nearest(location->type, ArchiveTypes());
            return file + ":" + std::to_string(location->line) + ": resourceLocation \"" + location->name +
                   "\" has type \"" + location->type + "\", which is no archive type the engine reads" +
                   (nearest.empty() ? String() : " (did you mean \"" + nearest + "\"?)") + "; it reads " + types;
        }

        String RepeatedNameFault(const RepeatedName& repeated, const String& file)
        {
            if (!repeated.element)
                return "";
            const bool fromModel = !repeated.modelFile.empty();
            return file + ":" + std::to_string(repeated.line) + ": " + repeated.element + " \"" + repeated.name + "\"" +
                   (fromModel ? " (made by model file " + repeated.modelFile + ":" +
                                    std::to_string(repeated.modelLine) + ")"
                              : String()) +
                   " repeats the name of line " + std::to_string(repeated.firstLine) +
                   (fromModel ? " (--lenient renames only the level's own repeats)" : " (--lenient renames repeats)");
        }

        String MissingTargetFault(const MissingTarget& target, const String& file)
        {
            if (!target.request)
                return "";
            return file + ":" + std::to_string(target.line) + ": " + target.by + " " + target.request + " node \"" +
                   target.node + "\", which the level does not have";
        }
    }

    String CheckLevel(const LevelDescription& level, const String& levelFile, bool lenientNames)
    {
        String fault = UnknownArchiveType(level, levelFile);
        if (fault.empty())
        {
            String refusal;
            fault = FindModelFault(level, levelFile, &refusal);
            if (!fault.empty() && !refusal.empty())
                fault += CloseKeyword(refusal);
        }
        if (fault.empty())
            fault = OverscaledNodeFault(FindOverscaledNode(level), levelFile);
        if (!fault.empty())
            return fault;
        const NameFaults names = FindNameFaults(level, lenientNames);
        fault = RepeatedNameFault(names.repeated, levelFile);
        if (fault.empty())
            fault = MissingTargetFault(names.missing, levelFile);
        return fault;
    }

    std::vector<String> ZoneWarnings(const std::vector<ZoneFinding>& findings, const String& levelFile)
    {
        std::vector<String> warnings;
        for (const ZoneFinding& finding : findings)
            warnings.push_back("Tarnel: " + finding.text + " (" + levelFile + ":" + std::to_string(finding.line) + ")");
        return warnings;
    }

    std::vector<String> CheckLevelWarnings(const LevelDescription& level, const String& levelFile)
    {
        return ZoneWarnings(FindZoneFaults(ZoneGraph::Of(level)), levelFile);
    }

    std::vector<String> CheckLevelExtentWarnings(const LevelDescription& level, const String& levelFile,
                                                 const MeshLookup& meshes)
    {
        if (!HasZones(level))
            return {};
        return ZoneWarnings(FindZoneExtentFaults(ZoneGraph::Of(level, meshes)), levelFile);
    }
}
