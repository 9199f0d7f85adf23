// Reloads the sample level many times in one viewer, as F5 held down does, drawing a frame
// after each: no reload may fail or crash, and the memory each one costs is printed.
//   reload_stress [RELOADS]          (20 by default)
#include "Viewer.h"

#include "Tarnel/Engine/TarnelEngine.h"

#include <OgreRoot.h>
#include <OgreTimer.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace
{
    long ResidentKilobytes()
    {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line))
            if (line.compare(0, 6, "VmRSS:") == 0)
                return std::atol(line.c_str() + 6);
        return 0;
    }
}

int main(int argc, char** argv)
{
    const int reloads = argc > 1 ? std::atoi(argv[1]) : 20;
    // The viewer's run tree as it is, but for a working directory of its own, where what it writes goes.
    const std::filesystem::path home = std::filesystem::temp_directory_path() / ("tarnel-reloads-" + std::to_string(getpid()));
    std::filesystem::create_directories(home / "bin");
    for (const char* shared : {"resources.cfg", "Media"})
        std::filesystem::create_symlink(std::filesystem::path(TARNEL_STRESS_RUN_DIR) / shared, home / shared);
    std::filesystem::current_path(home / "bin");

    static auto* engine = new Tarnel::Engine({TARNEL_STRESS_PLUGINS_CFG, "", "Ogre.log", false, true});
    Ogre::RenderWindow* window = engine->StartOpenGL("Reload stress", true);
    Viewer::Options options; // as the program starts on the sample level
    options.levelFile = "../Media/Scenes/scene3.scene";
    Viewer* viewer = Viewer::Start(window, options, true);
    viewer->OpenLevel(options.levelFile, nullptr);
    Ogre::Root::getSingleton().renderOneFrame();
    const long before = ResidentKilobytes();
    long afterFirstTen = before;
    Ogre::Timer timer;
    for (int reload = 1; reload <= reloads; ++reload)
    {
        Ogre::String error;
        if (!viewer->ReloadLevel(error))
        {
            std::fprintf(stderr, "reload %d of %d failed: %s\n", reload, reloads, error.c_str());
            return 1;
        }
        Ogre::Root::getSingleton().renderOneFrame();
        if (reload == 10)
            afterFirstTen = ResidentKilobytes();
    }
    const long after = ResidentKilobytes();
    std::printf("%d reloads of the sample level in %.1f s, %.1f ms each; resident memory %ld MB before, %ld MB "
                "after ten, %ld MB after all (%+.1f KB a reload past the tenth)\n",
                reloads, timer.getMilliseconds() / 1000.0, double(timer.getMilliseconds()) / reloads, before / 1024,
                afterFirstTen / 1024, after / 1024,
                reloads > 10 ? double(after - afterFirstTen) / (reloads - 10) : 0.0);
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(home);
    return 0;
}
