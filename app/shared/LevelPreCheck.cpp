// A level argument read and checked before the configuration dialog.
#include "LevelPreCheck.h"
#include "EngineFiles.h"

#include "Tarnel/Tarnel.h"

#include <OgreConfigFile.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreStringConverter.h>
#include <OgreTimer.h>

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <unordered_map>

using namespace Ogre;

namespace
{
    /// A resource group of its own, gone again with this object, so that the load registers the locations as ever.
    const char* const GROUP = "Tarnel/PreCheck";

    struct ScratchGroup
    {
        ScratchGroup() { ResourceGroupManager::getSingleton().createResourceGroup(GROUP); }
        ~ScratchGroup() { ResourceGroupManager::getSingleton().destroyResourceGroup(GROUP); }
    };

    /// Adds the location; the engine's refusal of it (a file named as a zip that is none), else empty.
    String AddLocation(const String& path, const String& type, bool recursive)
    {
        std::error_code error;
        bool readable = (type == "FileSystem" && std::filesystem::is_directory(path, error)) ||
                        (type == "Zip" && std::filesystem::is_regular_file(path, error));
        if (!readable)
            return ""; // what cannot be read here is the load's to report
        try
        {
            ResourceGroupManager::getSingleton().addResourceLocation(path, type, GROUP, recursive);
        }
        catch (const Exception& refused)
        {
            return refused.getDescription();
        }
        return "";
    }

    /** The level's folder, its own resource locations and the program's resource list; the first
        of the level's locations the engine refuses, with its line, else empty. */
    String AddLevelLocations(const String& file, const TiXmlElement* scene, const String& folder)
    {
        String fault = AddLocation(folder, "FileSystem", false);
        if (const TiXmlElement* locations = scene->FirstChildElement("resourceLocations"))
        {
            for (const Tarnel::ResourceLocation& location : Tarnel::Sections::ReadResourceLocations(locations, folder))
            {
                const String refused = AddLocation(location.name, location.type, location.recursive);
                if (fault.empty() && !refused.empty())
                    fault = file + ":" + StringConverter::toString(location.line) + ": resourceLocation \"" +
                            location.name + "\" of type \"" + location.type + "\" cannot be opened: " + refused;
            }
        }
        ConfigFile resources;
        String list = EngineFiles::Find("..\\resources.cfg");
        try
        {
            resources.load(list, "\t:=", true);
        }
        catch (const Exception&)
        {
            return fault;
        }
        bool besideProgram = list != Tarnel::TarnelUtilities::NativeSeparators("..\\resources.cfg");
        for (const auto& section : resources.getSettingsBySection())
        {
            for (const auto& setting : section.second)
            {
                std::filesystem::path location = setting.second;
                if (besideProgram && location.is_relative())
                    location = std::filesystem::path(EngineFiles::ProgramFolder()) / location;
                AddLocation(location.lexically_normal().string(), setting.first, false);
            }
        }
        return fault;
    }

    /// The names a missing resource of that kind might have been meant as.
    std::vector<String> Candidates(const String& kind, const Tarnel::ScriptNames& scripts)
    {
        if (kind == "particle template")
            return {scripts.particleTemplates.begin(), scripts.particleTemplates.end()};
        if (kind == "material")
        {
            std::vector<String> names;
            for (const auto& material : scripts.materials)
                names.push_back(material.first);
            return names;
        }
        std::vector<String> names;
        StringVectorPtr files = ResourceGroupManager::getSingleton().findResourceNames(GROUP, "*");
        for (const String& name : *files)
        {
            String base, extension;
            StringUtil::splitBaseFilename(name, base, extension);
            if ((kind == "mesh") == (extension == "mesh"))
                names.push_back(name);
        }
        return names;
    }

    /** Whether the engine refuses what is missing: a mesh, a model file, a particle template,
        and the material of a sky that is switched on. */
    bool StopsTheLoad(const Tarnel::MissingResource& missing, const Tarnel::LevelDescription& level)
    {
        if (!missing.unreadable.empty())
            return false; // a mesh that is there but does not read costs only its entities
        if (missing.kind == "mesh" || missing.kind == "model file" || missing.kind == "particle template")
            return true;
        return missing.kind == "material" && level.environment &&
               std::any_of(level.environment->skies.begin(), level.environment->skies.end(),
                           [&missing](const Tarnel::Types::SkyParameters& sky) {
                               return sky.enable && sky.material == missing.name;
                           });
    }

    /// The level's folder, its resource locations and the game's media, the first few by name.
    String Searched(const TiXmlElement* scene, const String& folder, const MediaSources& media)
    {
        std::vector<String> folders = {folder};
        if (const TiXmlElement* locations = scene->FirstChildElement("resourceLocations"))
        {
            for (const Tarnel::ResourceLocation& location : Tarnel::Sections::ReadResourceLocations(locations, folder))
                folders.push_back(location.name);
        }
        for (const MediaSources::Location& location : media.Locations())
            folders.push_back(location.path);
        const size_t NAMED = 4;
        String text;
        for (size_t index = 0; index < std::min(NAMED, folders.size()); ++index)
            text += (index ? ", " : "") + folders[index];
        if (folders.size() > NAMED)
            text += " and " + StringConverter::toString(folders.size() - NAMED) + " more";
        return text;
    }

    String Describe(const TiXmlElement* element)
    {
        const char* name = element->Attribute("name");
        return element->ValueStr() + (name ? String(" \"") + name + "\"" : String());
    }
}

namespace
{
    /// Why the file does not parse, in one line with its row; empty when it does (or cannot be read).
    String ParseFault(const String& file)
    {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return ""; // the loader says why in its own words
        String text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (Tarnel::TarnelUtilities::NestsDeeperThan(text.c_str(), Tarnel::Limits::MAX_ELEMENT_DEPTH))
            return file + ": elements nest more than " + StringConverter::toString(Tarnel::Limits::MAX_ELEMENT_DEPTH) +
                   " deep; it is not read";
        TiXmlDocument document;
        document.Parse(text.c_str());
        if (!document.Error())
            return "";
        // The parser places a text that ends too soon nowhere (row 0).
        if (document.ErrorRow() <= 0)
            return file + ": not well-formed XML: " + document.ErrorDesc() + " (it ends too soon)";
        return file + ":" + StringConverter::toString(document.ErrorRow()) + ": not well-formed XML: " +
               document.ErrorDesc() + " (column " + StringConverter::toString(document.ErrorCol()) + ")";
    }
}

LevelReading ReadLevel(const String& file, const MediaSources& media, bool lenientNames, TiXmlDocument& document,
                       bool quiet, bool readMeshes)
{
    // Parsed as the loader parses, once, with rows: the load goes on with this document.
    LevelReading reading;
    bool read = false;
    {
        Tarnel::Domains::QuietLog quietParser;
        Timer parsing;
        read = Tarnel::TarnelUtilities::LoadXmlFile(file, document, true); // its messages name rows
        reading.parseMs = parsing.getMicroseconds() / 1000.0;
    }
    if (!read)
    {
        // The parser's words, with the row, in a second reading that counts rows.
        document.Clear();
        reading.fault = ParseFault(file);
        return reading;
    }
    const TiXmlElement* scene = document.RootElement();
    if (!scene)
    {
        reading.fault = file + ": holds no element; it is not a level";
        return reading;
    }

    {
        // Read as the load reads it, which then builds from this description.
        Tarnel::LevelReader reader;
        try
        {
            reading.description = reader.Read(scene);
        }
        catch (const Exception& error)
        {
            const String& refusal = error.getDescription();
            const TiXmlElement* refused = reader.Reading() ? reader.Reading() : scene;
            // The engine's kind of error, as the load would give it; its source stays in the log.
            const String full = error.getFullDescription();
            const String kind = full.substr(0, full.find(": "));
            reading.fault = file + ":" + StringConverter::toString(refused->Row()) + ": " + Describe(refused) + ": " +
                            (StringUtil::endsWith(kind, "exception") ? kind + ": " : String()) + refusal +
                            Tarnel::CloseKeyword(refusal);
            LogManager::getSingleton().logMessage("The check before the load: " + full, LML_TRIVIAL);
            reading.description = Tarnel::LevelDescription();
            return reading;
        }
    }
    // Meshes keep their vertices in the engine's buffers; without a render system, in software
    // ones, which outlive the group that holds the meshes.
    std::unique_ptr<DefaultHardwareBufferManager> softwareBuffers;
    if (readMeshes && !HardwareBufferManager::getSingletonPtr())
        softwareBuffers = std::make_unique<DefaultHardwareBufferManager>();
    ScratchGroup group;
    String folder, base;
    StringUtil::splitFilename(Tarnel::TarnelUtilities::FullPath(file), base, folder);
    reading.fault = AddLevelLocations(file, scene, folder);
    if (!reading.fault.empty())
        return reading;
    media.AddTo(GROUP);
    // Found where the load will find them, and read once: the load builds its instances from these.
    Tarnel::ReadModelFiles(reading.description, Tarnel::OpenModelsFrom(GROUP));
    if (!quiet)
        Tarnel::LevelReader::Say(reading.description);
    reading.fault = Tarnel::CheckLevel(reading.description, file, lenientNames);
    for (const String& warning : Tarnel::CheckLevelWarnings(reading.description, file))
    {
        if (quiet)
            reading.description.said.emplace_back(LML_WARNING, warning);
        else
            LogManager::getSingleton().logMessage(warning, LML_WARNING);
    }
    reading.description.checked = true;

    const Tarnel::ScriptNames scripts = Tarnel::ScriptNames::Read(GROUP);
    reading.missing = Tarnel::FindMissingResources(document, scripts, &reading.description, readMeshes, &reading.meshesMs);
    if (readMeshes && Tarnel::HasZones(reading.description))
    {
        // The meshes read, what the zones hold is known, as after a load.
        reading.zones = Tarnel::ZoneGraph::Of(reading.description, Tarnel::LoadedMeshes(GROUP));
        for (const String& warning : Tarnel::ZoneWarnings(Tarnel::FindZoneExtentFaults(reading.zones), file))
            LogManager::getSingleton().logMessage(warning, LML_WARNING);
    }
    for (const Tarnel::MissingResource& missing : reading.missing)
    {
        if (!StopsTheLoad(missing, reading.description) || !reading.fault.empty())
            continue;
        String where = missing.row ? ":" + StringConverter::toString(missing.row) : String();
        String who = missing.row ? missing.firstUser : String("the level");
        String nearest = Tarnel::Nearest(missing.name, Candidates(missing.kind, scripts));
        reading.fault = file + where + ": " + who + " names " + missing.kind + " \"" + missing.name +
                        "\", which is nowhere to be found" +
                        (nearest.empty() ? "" : " (did you mean \"" + nearest + "\"?)") + "; searched " +
                        Searched(scene, folder, media) + "; --media DIR or --resources FILE add a game's media";
    }
    return reading;
}

String PreCheckLevel(const String& file, const MediaSources& media, TiXmlDocument* parsed, bool lenientNames,
                     Tarnel::LevelDescription* described)
{
    TiXmlDocument local;
    LevelReading reading = ReadLevel(file, media, lenientNames, parsed ? *parsed : local, true);
    if (described)
        *described = std::move(reading.description);
    return reading.fault;
}

String FindLevelCamera(const String& name, const std::vector<String>& cameras)
{
    for (const String& camera : cameras)
    {
        if (camera == name)
            return camera;
    }
    String lower = name;
    StringUtil::toLowerCase(lower);
    for (const String& camera : cameras)
    {
        String other = camera;
        StringUtil::toLowerCase(other);
        if (other == lower)
            return camera;
    }
    return "";
}

String NoSuchCamera(const String& name, const std::vector<String>& cameras)
{
    String names;
    for (const String& camera : cameras)
        names += (names.empty() ? "" : ", ") + camera;
    return "The level has no camera named " + name + " (its cameras: " + (names.empty() ? "none" : names) + ")";
}

String PreCheckCamera(const Tarnel::LevelDescription& level, const String& name)
{
    std::vector<String> cameras;
    bool whole = true;
    Tarnel::ForEachBuiltPart(level, [&](const Tarnel::BuiltPart& part) {
        if (part.node && !part.node->modelFile.empty() && !level.models.count(part.node->modelFile))
            whole = false; // a model file not read may hold it: the load tells
        else if (part.object && part.object->objectType == Tarnel::Types::CAMERA && !part.name.empty())
        {
            if (part.named)
                cameras.push_back(part.name);
            else
                whole = false;
        }
    });
    if (!whole)
        return "";
    return FindLevelCamera(name, cameras).empty() ? NoSuchCamera(name, cameras) : "";
}
