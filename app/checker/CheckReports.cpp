// The checker's reports: text for people, JSON, JUnit XML for build servers, and a page.
#include "CheckReports.h"
#include "SweepReports.h"
#include "ZoneGraphPage.h"

#include <OgreStringConverter.h>

#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <map>
#include <regex>
#include <sstream>

using namespace Ogre;

namespace
{
    String Milliseconds(double value)
    {
        StringStream text;
        text << std::fixed << std::setprecision(1) << value;
        return text.str();
    }

    const char* const VERDICTS[] = {"ok", "FAILED", "INCOMPLETE", "LOOKS DIFFERENT"};

    // The lines every report gives, in the same words.

    String PhasesLine(const LevelCheck& check)
    {
        const Tarnel::LoadTimes& t = check.times;
        if (check.readOnly)
            return "read " + Milliseconds(check.totalMs) + " ms, of which meshes read " + Milliseconds(t.meshes) +
                   " ms; not built or drawn (--no-draw)";
        return "load " + Milliseconds(check.totalMs) + " ms: parse " + Milliseconds(t.parse) + ", resources " +
               Milliseconds(t.resources) + ", environment " + Milliseconds(t.environment) + ", nodes and objects " +
               Milliseconds(t.nodesAndObjects) + ", batched geometry " + Milliseconds(t.batchedGeometry) +
               ", render textures " + Milliseconds(t.renderTextures) + ", portal connection " +
               Milliseconds(check.portalConnectionMs) + "; meshes read " + Milliseconds(t.meshes);
    }

    String CountsLine(const LevelCheck::Counts& c)
    {
        std::ostringstream line;
        line << c.nodes << " nodes, " << c.zones << " zones, " << c.portals << " portals, " << c.entities
             << " entities, " << c.lights << " lights, " << c.cameras << " cameras, " << c.particleSystems
             << " particle systems, " << c.billboardSets << " billboard sets, " << c.planes << " planes, "
             << c.animations << " animations, " << c.modelInstances << " model instances, " << c.triangles
             << " triangles";
        return line.str();
    }

    /// "mesh Statue.mesh, used by Statue"
    String MissingLine(const Tarnel::MissingResource& missing)
    {
        String users;
        for (const String& user : missing.usedBy)
            users += (users.empty() ? "" : ", ") + (user.empty() ? String("the level") : user);
        return missing.kind + " " + missing.name +
               (missing.unreadable.empty() ? String() : " (there, but it cannot be read: " + missing.unreadable + ")") +
               ", used by " + users;
    }
}

namespace
{
    /// The check's duplicate definitions and warnings parted: the game's media's, then the level's own.
    std::pair<FindingLists, FindingLists> Parted(const LevelCheck& check)
    {
        const auto duplicates = check.duplicateDefinitions.begin() +
                                long(std::min(check.mediaDuplicates, check.duplicateDefinitions.size()));
        const auto warnings = check.warnings.begin() + long(std::min(check.mediaWarnings, check.warnings.size()));
        return {{{check.duplicateDefinitions.begin(), duplicates}, {check.warnings.begin(), warnings}},
                {{duplicates, check.duplicateDefinitions.end()}, {warnings, check.warnings.end()}}};
    }

    /// The level's duplicates and warnings to say: without the game's media's when they are said elsewhere.
    FindingLists OwnFindings(const LevelCheck& check, bool mediaSaidElsewhere)
    {
        return mediaSaidElsewhere ? Parted(check).second : FindingLists{check.duplicateDefinitions, check.warnings};
    }

    /// "3 duplicate definitions and 1 warning"
    String Counts(const FindingLists& media)
    {
        auto counted = [](size_t count, const char* noun) {
            return StringConverter::toString(count) + " " + noun + (count == 1 ? "" : "s");
        };
        return counted(media.duplicates.size(), "duplicate definition") + " and " +
               counted(media.warnings.size(), "warning");
    }
}

FindingLists FindingLists::OfMedia(const LevelCheck& check)
{
    return Parted(check).first;
}

void WriteText(std::ostream& out, const LevelCheck& check, const String& mediaSaidUnder)
{
    out << check.file << ": " << VERDICTS[check.GetStatus()] << "\n";
    if (!check.error.empty())
        out << "  error: " << check.error << "\n";
    // A level that was never loaded (not a file, or its check ended) has no times to show.
    if (!check.loaded && check.totalMs == 0)
        return;
    out << "  " << PhasesLine(check) << "\n";
    if (check.loaded && !check.readOnly)
        out << "  " << CountsLine(check.counts) << "\n";
    // Resources missing alike (70 materials of the game's meshes) make one line with a count.
    std::vector<String> missing;
    for (const Tarnel::MissingResource& resource : check.missing)
        missing.push_back("missing " + MissingLine(resource));
    for (const WarningGroup& group : GroupWarnings(missing))
        out << "  " << DescribeGroup(group) << "\n";
    for (const String& portal : check.unconnectedPortals)
        out << "  portal without a target zone: " << portal << "\n";
    if (!mediaSaidUnder.empty())
        out << "  the game's media: " << Counts(FindingLists::OfMedia(check)) << ", as under " << mediaSaidUnder
            << "\n";
    const FindingLists own = OwnFindings(check, !mediaSaidUnder.empty());
    for (const WarningGroup& group : GroupWarnings(own.duplicates))
        out << "  duplicate: " << DescribeGroup(group) << "\n";
    for (const WarningGroup& group : GroupWarnings(own.warnings))
        out << "  warning: " << DescribeGroup(group) << "\n";
    if (!check.firstView.empty())
        out << "  first view: " << check.firstView << "\n";
    for (const String& line : SweepLines(check))
        out << "  " << line << "\n";
    for (const String& over : check.overBudget)
        out << "  " << over << "\n";
    if (!check.heaviestPicture.empty())
        out << "  picture of the heaviest place: " << check.heaviestPicture << "\n";
    for (const LevelCheck::Picture& picture : check.pictures)
    {
        out << "  picture " << picture.view << ": " << picture.file;
        if (!picture.reference.empty())
            out << (picture.matches ? ", like " : ", UNLIKE ") << picture.reference << " ("
                << Milliseconds(picture.differing * 100) << "% of the pixels differ)";
        out << "\n";
    }
}

nlohmann::ordered_json ToJson(const LevelCheck& check)
{
    using nlohmann::ordered_json;
    const Tarnel::LoadTimes& t = check.times;
    const LevelCheck::Counts& c = check.counts;
    ordered_json missing = ordered_json::array();
    for (const Tarnel::MissingResource& resource : check.missing)
    {
        missing.push_back({{"kind", resource.kind}, {"name", resource.name}, {"usedBy", resource.usedBy}});
        if (!resource.unreadable.empty())
            missing.back()["unreadable"] = resource.unreadable;
    }
    ordered_json groups = ordered_json::array();
    for (const WarningGroup& group : GroupWarnings(check.warnings))
        groups.push_back({{"severity", group.severity}, {"kind", group.kind}, {"message", group.message},
                          {"count", group.count}, {"subjects", group.subjects}});
    ordered_json zones = ordered_json::array();
    for (const LevelCheck::ZoneEntry& zone : check.zones)
    {
        ordered_json portals = ordered_json::array();
        for (const LevelCheck::ZoneEntry::Portal& portal : zone.portals)
            portals.push_back({{"name", portal.name}, {"line", portal.line},
                               {"target", portal.target.empty() ? ordered_json() : ordered_json(portal.target)},
                               {"faults", portal.faults}});
        zones.push_back({{"name", zone.name}, {"line", zone.line}, {"nodes", zone.nodes}, {"objects", zone.objects},
                         {"triangles", zone.measured ? ordered_json(zone.triangles) : ordered_json()},
                         {"centre", {zone.centre.x, zone.centre.y, zone.centre.z}},
                         {"portals", portals}, {"faults", zone.faults}});
    }
    ordered_json pictures = ordered_json::array();
    for (const LevelCheck::Picture& picture : check.pictures)
        pictures.push_back({{"view", picture.view}, {"file", picture.file},
                            {"reference", picture.reference.empty() ? ordered_json() : ordered_json(picture.reference)},
                            {"difference", picture.difference.empty() ? ordered_json() : ordered_json(picture.difference)},
                            {"differing", picture.differing}, {"matches", picture.matches}});
    ordered_json document = {
        {"file", check.file},
        {"status", int(check.GetStatus())},
        {"loaded", check.loaded},
        {"drawn", check.drawn},
        {"readOnly", check.readOnly},
        {"error", check.error.empty() ? ordered_json() : ordered_json(check.error)},
        {"checkMs", check.checkMs},
        {"loadMs",
         {{"total", check.totalMs}, {"parse", t.parse}, {"resources", t.resources},
          {"environment", t.environment}, {"nodesAndObjects", t.nodesAndObjects},
          {"batchedGeometry", t.batchedGeometry}, {"renderTextures", t.renderTextures},
          {"portalConnection", check.portalConnectionMs}, {"meshes", t.meshes}}},
        {"counts",
         {{"nodes", c.nodes}, {"zones", c.zones}, {"portals", c.portals}, {"entities", c.entities},
          {"lights", c.lights}, {"cameras", c.cameras}, {"particleSystems", c.particleSystems},
          {"billboardSets", c.billboardSets}, {"planes", c.planes}, {"animations", c.animations},
          {"modelInstances", c.modelInstances}, {"triangles", c.triangles}}},
        {"missing", missing},
        {"unconnectedPortals", check.unconnectedPortals},
        {"zones", zones},
        {"duplicateDefinitions", check.duplicateDefinitions},
        {"warnings", check.warnings},
        {"warningGroups", groups},
        {"fromMedia", {{"duplicateDefinitions", check.mediaDuplicates}, {"warnings", check.mediaWarnings}}},
        {"firstView", check.firstView.empty() ? ordered_json() : ordered_json(check.firstView)},
        {"pictures", pictures},
    };
    AddSweepJson(document, check);
    return document;
}

LevelCheck FromJson(const nlohmann::ordered_json& level)
{
    LevelCheck check;
    check.file = level.at("file");
    check.loaded = level.at("loaded");
    check.drawn = level.at("drawn");
    check.readOnly = level.value("readOnly", false);
    check.error = level.at("error").is_null() ? String() : level.at("error").get<String>();
    check.checkMs = level.value("checkMs", 0.0);
    const auto& ms = level.at("loadMs");
    check.totalMs = ms.at("total");
    check.times.parse = ms.at("parse");
    check.times.resources = ms.at("resources");
    check.times.environment = ms.at("environment");
    check.times.nodesAndObjects = ms.at("nodesAndObjects");
    check.times.batchedGeometry = ms.at("batchedGeometry");
    check.times.renderTextures = ms.at("renderTextures");
    check.portalConnectionMs = ms.at("portalConnection");
    check.times.meshes = ms.value("meshes", 0.0);
    const auto& counts = level.at("counts");
    LevelCheck::Counts& c = check.counts;
    for (auto [key, field] : {std::pair{"nodes", &c.nodes}, {"zones", &c.zones}, {"portals", &c.portals},
                              {"entities", &c.entities}, {"lights", &c.lights}, {"cameras", &c.cameras},
                              {"particleSystems", &c.particleSystems}, {"billboardSets", &c.billboardSets},
                              {"planes", &c.planes}, {"animations", &c.animations},
                              {"modelInstances", &c.modelInstances}, {"triangles", &c.triangles}})
        *field = counts.at(key);
    for (const auto& resource : level.at("missing"))
        check.missing.push_back({resource.at("kind"), resource.at("name"), resource.at("usedBy"), 0, "",
                                 resource.value("unreadable", "")});
    check.unconnectedPortals = level.at("unconnectedPortals").get<std::vector<String>>();
    for (const auto& zone : level.value("zones", nlohmann::ordered_json::array()))
    {
        const auto& triangles = zone.at("triangles");
        const auto& centre = zone.at("centre");
        LevelCheck::ZoneEntry entry{zone.at("name"),
                                    zone.at("line"),
                                    zone.at("nodes"),
                                    zone.at("objects"),
                                    triangles.is_null() ? 0 : triangles.get<size_t>(),
                                    !triangles.is_null(),
                                    Ogre::Vector3(centre.at(0), centre.at(1), centre.at(2)),
                                    {},
                                    zone.at("faults").get<std::vector<String>>()};
        for (const auto& portal : zone.at("portals"))
            entry.portals.push_back({portal.at("name"), portal.at("line"),
                                     portal.at("target").is_null() ? String() : portal.at("target").get<String>(),
                                     portal.at("faults").get<std::vector<String>>()});
        check.zones.push_back(std::move(entry));
    }
    check.duplicateDefinitions = level.at("duplicateDefinitions").get<std::vector<String>>();
    check.warnings = level.at("warnings").get<std::vector<String>>();
    const auto fromMedia = level.value("fromMedia", nlohmann::ordered_json::object());
    check.mediaDuplicates = fromMedia.value("duplicateDefinitions", size_t(0));
    check.mediaWarnings = fromMedia.value("warnings", size_t(0));
    if (level.contains("firstView") && level.at("firstView").is_string())
        check.firstView = level.at("firstView").get<String>();
    for (const auto& entry : level.value("pictures", nlohmann::ordered_json::array()))
    {
        LevelCheck::Picture picture;
        picture.view = entry.at("view");
        picture.file = entry.at("file");
        picture.reference = entry.at("reference").is_null() ? String() : entry.at("reference").get<String>();
        picture.difference = entry.at("difference").is_null() ? String() : entry.at("difference").get<String>();
        picture.differing = entry.at("differing");
        picture.matches = entry.at("matches");
        check.pictures.push_back(picture);
    }
    ReadSweepJson(level, check);
    return check;
}

nlohmann::ordered_json ToJson(const std::vector<LevelCheck>& checks)
{
    nlohmann::ordered_json levels = nlohmann::ordered_json::array();
    for (const LevelCheck& check : checks)
        levels.push_back(ToJson(check));
    return {{"schema", 2}, {"status", int(OverallStatus(checks))}, {"levels", levels}};
}

nlohmann::ordered_json AsValidUtf8(nlohmann::ordered_json document)
{
    if (document.is_string())
        return AsValidUtf8(document.get<std::string>());
    if (!document.is_structured())
        return document;
    for (auto& value : document)
        value = AsValidUtf8(value);
    return document;
}

namespace
{
    String Escaped(const String& text)
    {
        String escaped;
        for (char c : AsValidUtf8(text))
        {
            switch (c)
            {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&#39;"; break;
            default:
                // XML 1.0 takes no control characters but these.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t' || c == '\r')
                    escaped += c;
            }
        }
        return escaped;
    }

    /// Why a level is not fine, in one line, and the rest of what it lacks.
    std::pair<String, String> FailureOf(const LevelCheck& check)
    {
        std::ostringstream details;
        for (const Tarnel::MissingResource& missing : check.missing)
            details << "missing " << MissingLine(missing) << "\n";
        for (const String& portal : check.unconnectedPortals)
            details << "portal without a target zone: " << portal << "\n";
        for (const String& over : check.overBudget)
            details << over << "\n";
        for (const LevelCheck::Picture& picture : check.pictures)
        {
            if (!picture.matches)
                details << "picture " << picture.view << " differs from " << picture.reference << " in "
                        << Milliseconds(picture.differing * 100) << "% of its pixels\n";
        }
        String message = !check.error.empty() ? check.error
                         : check.GetStatus() == LevelCheck::LOOKS_DIFFERENT ? String("the level looks different")
                         : !check.missing.empty() ? "missing " + check.missing.front().kind + " " + check.missing.front().name
                         : !check.overBudget.empty() ? check.overBudget.front()
                                                     : String("the level is incomplete");
        return {message, details.str()};
    }

    String Folder(const String& file)
    {
        return std::filesystem::path(file).parent_path().string();
    }

    String Seconds(double milliseconds)
    {
        std::ostringstream text;
        text << std::fixed << std::setprecision(3) << milliseconds / 1000;
        return text.str();
    }
}

void WriteJUnit(std::ostream& out, const std::vector<LevelCheck>& checks)
{
    size_t failures = 0;
    double total = 0;
    for (const LevelCheck& check : checks)
    {
        failures += check.GetStatus() != LevelCheck::FINE;
        total += check.checkMs;
    }
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<testsuites name=\"TarnelCheck\" tests=\"" << checks.size() << "\" failures=\"" << failures
        << "\" errors=\"0\" time=\"" << Seconds(total) << "\">\n"
        << "  <testsuite name=\"TarnelCheck\" tests=\"" << checks.size() << "\" failures=\"" << failures
        << "\" errors=\"0\" skipped=\"0\" time=\"" << Seconds(total) << "\">\n";
    for (const LevelCheck& check : checks)
    {
        out << "    <testcase name=\"" << Escaped(std::filesystem::path(check.file).filename().string())
            << "\" classname=\"" << Escaped(Folder(check.file)) << "\" file=\"" << Escaped(check.file)
            << "\" time=\"" << Seconds(check.checkMs) << "\"";
        if (check.GetStatus() == LevelCheck::FINE)
        {
            out << "/>\n";
            continue;
        }
        auto [message, details] = FailureOf(check);
        out << ">\n      <failure type=\"" << VERDICTS[check.GetStatus()] << "\" message=\"" << Escaped(message)
            << "\">" << Escaped(details) << "</failure>\n    </testcase>\n";
    }
    out << "  </testsuite>\n</testsuites>\n";
}

namespace
{
    String Relative(const String& file, const String& folder)
    {
        return std::filesystem::path(file).lexically_relative(folder).generic_string();
    }

    const char* const PAGE_STYLE =
        "body{font-family:sans-serif;margin:1.5em;background:#f4f4f2;color:#222}"
        "h1{font-size:1.4em;margin:0 0 .3em}.summary{font-size:1.1em;margin-bottom:.6em}"
        "#filter{font-size:1em;padding:.3em .5em;width:24em;max-width:90%;margin-bottom:1em}"
        ".card{background:#fff;border-left:8px solid #6a6;border-radius:4px;padding:.6em 1em;margin:0 0 1em}"
        ".card.failed{border-color:#c33}.card.incomplete{border-color:#e90}.card.looks-different{border-color:#86c}"
        ".card h2{font-size:1.05em;margin:0 0 .3em;word-break:break-all}.verdict{margin-bottom:.4em}"
        ".status{font-weight:bold}.error{color:#a00;white-space:pre-wrap;font-family:monospace;margin:.3em 0}"
        ".facts{font-size:.85em;color:#555}details{margin:.3em 0}summary{cursor:pointer}"
        "ul{margin:.3em 0 .5em 1.2em;padding:0}li{margin:.1em 0}"
        ".pictures{display:flex;flex-wrap:wrap;gap:.6em;margin:.3em 0}figure{margin:0}"
        "figcaption{font-size:.85em;color:#555}img{display:block;max-width:100%;border:1px solid #ccc}";

    // Narrows the cards to those whose file or verdict holds the text typed, without a network.
    const char* const FILTER_SCRIPT =
        "document.getElementById('filter').addEventListener('input',function(event){"
        "var text=event.target.value.toLowerCase();"
        "document.querySelectorAll('.card').forEach(function(card){"
        "card.hidden=text!==''&&(card.dataset.level+' '+card.dataset.status).toLowerCase().indexOf(text)<0;});});";

    /// A folded list with its count in its title; nothing when it is empty.
    void WriteList(std::ostream& out, const String& title, const std::vector<String>& items)
    {
        if (items.empty())
            return;
        out << "<details><summary>" << Escaped(title) << "</summary><ul>";
        for (const String& item : items)
            out << "<li>" << Escaped(item) << "</li>";
        out << "</ul></details>";
    }

    /// "3 missing resources", "1 missing resource": the noun's plural by an s on its first word.
    String Counted(const String& noun, size_t count)
    {
        size_t space = std::min(noun.find(' '), noun.size());
        return StringConverter::toString(count) + " " + noun.substr(0, space) + (count == 1 ? "" : "s") +
               noun.substr(space);
    }

    /// "Warnings (76 in 3 groups)", or "Warnings (2)" when each is a group of its own.
    String GroupsTitle(const char* title, size_t count, size_t groups)
    {
        return String(title) + " (" + StringConverter::toString(count) +
               (groups == count ? String() : " in " + StringConverter::toString(groups) + " groups") + ")";
    }

    /// The verdict's one line: why a level is not fine, in a few words.
    String Reason(const LevelCheck& check, size_t warnings)
    {
        switch (check.GetStatus())
        {
        case LevelCheck::FAILED: return check.loaded ? "it did not draw" : "it did not load";
        case LevelCheck::LOOKS_DIFFERENT:
        {
            size_t differing = size_t(std::count_if(check.pictures.begin(), check.pictures.end(),
                                                    [](const LevelCheck::Picture& picture) { return !picture.matches; }));
            return StringConverter::toString(differing) + " of " + StringConverter::toString(check.pictures.size()) +
                   " pictures differ from their references";
        }
        case LevelCheck::INCOMPLETE:
        {
            String reason;
            if (!check.missing.empty())
                reason = Counted("missing resource", check.missing.size());
            if (!check.unconnectedPortals.empty())
                reason += (reason.empty() ? "" : ", ") + Counted("portal without a zone", check.unconnectedPortals.size());
            if (!check.overBudget.empty())
                reason += (reason.empty() ? "" : ", ") + String("over budget");
            return reason;
        }
        default: return Counted("warning", warnings);
        }
    }

    void WriteFigure(std::ostream& out, const String& file, const String& caption, const String& pageFolder)
    {
        out << "<figure><img src=\"" << Escaped(Relative(file, pageFolder)) << "\" alt=\"" << Escaped(caption)
            << "\"><figcaption>" << Escaped(caption) << "</figcaption></figure>";
    }

    void WritePictures(std::ostream& out, const LevelCheck& check, const String& pageFolder)
    {
        if (check.pictures.empty())
            return;
        out << "<div class=\"pictures\">";
        for (const LevelCheck::Picture& picture : check.pictures)
        {
            WriteFigure(out, picture.file, picture.view, pageFolder);
            if (!picture.reference.empty())
            {
                WriteFigure(out, picture.reference, picture.view + ": reference", pageFolder);
                WriteFigure(out, picture.difference,
                            picture.view + ": difference, " + Milliseconds(picture.differing * 100) + "% of the pixels",
                            pageFolder);
            }
        }
        out << "</div>";
    }

    /** A level's card: its verdict in one line, its pictures, its figures, then its findings
        folded; without the game's media's when the page says them above. */
    void WriteCard(std::ostream& out, const LevelCheck& check, const String& pageFolder, bool mediaAbove)
    {
        static const char* const classes[] = {"fine", "failed", "incomplete", "looks-different"};
        LevelCheck::Status status = check.GetStatus();
        const FindingLists own = OwnFindings(check, mediaAbove);
        out << "<section class=\"card " << classes[status] << "\" data-level=\"" << Escaped(check.file)
            << "\" data-status=\"" << VERDICTS[status] << "\"><h2>" << Escaped(check.file) << "</h2>"
            << "<div class=\"verdict\"><span class=\"status\">" << VERDICTS[status] << "</span>: " << Escaped(Reason(check, own.warnings.size()))
            << "</div>";
        if (!check.error.empty())
            out << "<div class=\"error\">" << Escaped(check.error) << "</div>";
        WritePictures(out, check, pageFolder);
        for (const String& over : check.overBudget)
            out << "<div class=\"error\">" << Escaped(over) << "</div>";
        if (check.swept)
        {
            out << "<div class=\"pictures\">";
            WriteSweepMap(out, check, Escaped);
            if (!check.heaviestPicture.empty())
                WriteFigure(out, check.heaviestPicture, "the heaviest place", pageFolder);
            out << "</div>";
            WriteList(out, "Sweep (" + Counted("sample", check.sweep.samples.size()) + ")", SweepLines(check));
        }
        WriteZoneGraph(out, check, Escaped);
        if (check.loaded || check.totalMs > 0)
            out << "<div class=\"facts\">" << PhasesLine(check) << "</div>";
        if (check.loaded && !check.readOnly)
            out << "<div class=\"facts\">" << CountsLine(check.counts) << "</div>";
        std::vector<String> missing, duplicates, warnings, unread;
        for (const Tarnel::MissingResource& resource : check.missing)
            missing.push_back(MissingLine(resource));
        for (const WarningGroup& group : GroupWarnings(own.duplicates))
            duplicates.push_back(DescribeGroup(group));
        size_t warningCount = 0, unreadCount = 0;
        for (const WarningGroup& group : GroupWarnings(own.warnings))
        {
            const bool isUnread = group.message.find(" is not read") != String::npos;
            (isUnread ? unreadCount : warningCount) += group.count;
            (isUnread ? unread : warnings).push_back(group.count > 1 ? DescribeGroup(group) : group.message);
        }
        WriteList(out, GroupsTitle("Missing resources", missing.size(), missing.size()), missing);
        WriteList(out, GroupsTitle("Portals without a target zone", check.unconnectedPortals.size(),
                                   check.unconnectedPortals.size()),
                  check.unconnectedPortals);
        WriteList(out, GroupsTitle("Duplicate definitions", own.duplicates.size(), duplicates.size()), duplicates);
        WriteList(out, GroupsTitle("Warnings", warningCount, warnings.size()), warnings);
        WriteList(out, GroupsTitle("Unread parts", unreadCount, unread.size()), unread);
        out << "</section>\n";
    }
}

void WriteHtmlReport(std::ostream& out, const std::vector<LevelCheck>& checks, const String& pageFolder)
{
    size_t counts[4] = {0, 0, 0, 0};
    for (const LevelCheck& check : checks)
        ++counts[check.GetStatus()];
    out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>TarnelCheck: " << checks.size()
        << " levels</title><style>" << PAGE_STYLE << "</style></head><body>\n<h1>TarnelCheck</h1>\n"
        << "<div class=\"summary\">" << checks.size() << " levels: " << counts[LevelCheck::FINE] << " fine, "
        << counts[LevelCheck::INCOMPLETE] << " incomplete, " << counts[LevelCheck::FAILED] << " failed";
    if (counts[LevelCheck::LOOKS_DIFFERENT])
        out << ", " << counts[LevelCheck::LOOKS_DIFFERENT] << " look different";
    out << "</div>\n";
    // What the game's media say, the same for every level, is said once, folded, above the levels.
    FindingLists media;
    for (const LevelCheck& check : checks)
        if (media.Empty())
            media = FindingLists::OfMedia(check);
    const bool mediaAbove = checks.size() > 1 && !media.Empty();
    if (mediaAbove)
    {
        std::vector<String> lines;
        for (const std::vector<String>* list : {&media.duplicates, &media.warnings})
            for (const WarningGroup& group : GroupWarnings(*list))
                lines.push_back(DescribeGroup(group));
        WriteList(out, "The game's media: " + Counts(media), lines);
    }
    out << "<input id=\"filter\" type=\"search\" placeholder=\"Filter by file or status\" "
           "aria-label=\"Filter the levels\">\n";
    // Failures first, then what looks different, what is incomplete, and what is fine; in order within each.
    for (LevelCheck::Status status : {LevelCheck::FAILED, LevelCheck::LOOKS_DIFFERENT, LevelCheck::INCOMPLETE,
                                      LevelCheck::FINE})
    {
        for (const LevelCheck& check : checks)
        {
            if (check.GetStatus() == status)
                WriteCard(out, check, pageFolder, mediaAbove && FindingLists::OfMedia(check) == media);
        }
    }
    out << "<script>" << FILTER_SCRIPT << "</script>\n</body></html>\n";
}
