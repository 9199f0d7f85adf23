// The engine's files from the working directory or from beside the executable.
#include "EngineFiles.h"
#include "Tarnel/Tarnel.h"


#include <OgreConfigFile.h>
#include <OgreResourceGroupManager.h>

#include <filesystem>

using namespace Ogre;

namespace EngineFiles
{
    String ProgramFolder()
    {
        std::error_code error;
        std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
        return error ? String(".") : self.parent_path().string();
    }

    String Find(const String& name)
    {
        String native = Tarnel::TarnelUtilities::NativeSeparators(name);
        if (Tarnel::TarnelUtilities::FileExists(native))
            return native;
        String beside = (std::filesystem::path(ProgramFolder()) / native).lexically_normal().string();
        return Tarnel::TarnelUtilities::FileExists(beside) ? beside : native;
    }

    void AddResourceLocations()
    {
        String file = Find("..\\resources.cfg");
        // Locations of the run tree's list are relative to its bin/, where the program lives.
        bool besideProgram = file != Tarnel::TarnelUtilities::NativeSeparators("..\\resources.cfg");
        ConfigFile resources;
        resources.load(file, "\t:=", true);
        for (const auto& section : resources.getSettingsBySection())
        {
            for (const auto& setting : section.second)
            {
                std::filesystem::path location = setting.second;
                if (besideProgram && location.is_relative())
                    location = (std::filesystem::path(ProgramFolder()) / location).lexically_normal();
                ResourceGroupManager::getSingleton().addResourceLocation(location.string(), setting.first,
                                                                         section.first, false);
            }
        }
    }

    String DefaultLevel(const String& level) { return Find(level); }
}
