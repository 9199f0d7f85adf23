#ifndef TARNEL_APP_VIEWER_H
#define TARNEL_APP_VIEWER_H

#include "FirstView.h"
#include "LevelInspector.h"
#include "LevelWatch.h"
#include "MediaSources.h"
#include "SweepFile.h"

#include <OgrePrerequisites.h>

#include <functional>
#include <memory>
#include <vector>

namespace Ogre
{
    class Portal;
}

namespace Tarnel
{
    class TarnelScene;
    struct LevelDescription;
}

class TiXmlDocument;
class TerminalLines;

/** The viewer: owns the window and the level on screen (its scene manager, the
    viewer's camera, the loaded scene, the level's cameras and portals). Its
    listeners are given it by reference. */
class Viewer
{
public:
    /// The level the viewer opens when it is given none.
    static const char* const DEFAULT_LEVEL;

    /// What the command line asks for; the defaults are the specified behaviour.
    struct Options
    {
        Ogre::String levelFile = DEFAULT_LEVEL;
        /// Start with the saved ogre.cfg; the dialog comes only when it holds no usable render system.
        bool noDialog = false;
        /// The engine's own log lines on the terminal too, not only in Ogre.log.
        bool verbose = false;
        /// Read and check the level before the dialog (a level given on the command line).
        bool checkFirst = false;
        /// The game's media beside the level's own.
        MediaSources media;
        /// Start with the whole level in view (a level given on the command line).
        bool frameLevel = false;
        /// Start looking through the level's camera of that name instead.
        Ogre::String cameraName;
        /// Repeated node and object names are renamed instead of ending the load.
        bool lenientNames = false;
        /// Reload by itself when the level's file or its own media change on disk.
        bool watch = false;
        /// Draw the level once into this PNG file, without dialog or visible window, and end.
        Ogre::String pictureFile;
        unsigned pictureWidth = 1280;
        unsigned pictureHeight = 720;
        /// A saved sweep of the level (--sweep-file): its places, the heaviest first, for J.
        std::vector<HeavyPlace> heaviestPlaces;
    };

    /// Makes the listener that drives a viewer; it lives as long as the program.
    typedef std::function<Ogre::FrameListener*(Viewer&)> ListenerMaker;

    /** Starts the engine, loads the level (a path, relative to the working
        directory or absolute), writes the scene-tree report and runs the render
        loop with the listener made for it; returns the exit status. Engine errors
        pass to the caller; so does a plug-in file that offers no render system,
        before any dialog. */
    static int Run(const Options& options, const ListenerMaker& makeListener);

    /** Loads the level without the dialog into a hidden window, draws it once from its
        start view (framed, or through the named camera) and writes the picture; returns
        the exit status. Engine errors and a camera the level does not have pass to the
        caller. */
    static int TakePicture(const Options& options);

    /** The viewer of the window, its media read (its own and the options'), on the camera of its
        first scene manager, shown in the window when asked. Called once a program, once
        the engine has a render system: by the viewer, and by the harnesses that drive it. */
    static Viewer* Start(Ogre::RenderWindow* window, const Options& options, bool showInWindow);
    /** Loads the level's file into the camera's scene manager and shows it; from its document
        when parsed already. Engine errors pass to the caller. */
    void OpenLevel(const Ogre::String& file, const TiXmlDocument* parsed,
                   const Tarnel::LevelDescription* described = nullptr);

    /// A viewer of a window whose viewport shows the camera; no level yet.
    Viewer(Ogre::RenderWindow* window, Ogre::Camera* camera);
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    /** Loads the level's file again, into a fresh scene manager in the same
        window; the camera keeps its place and settings, the level's objects are
        the new level's, and the scene-tree report is written again. When the
        file cannot be loaded, the level on screen stays, and the error is logged
        and returned in `error`. A file that does not parse or names a missing
        mesh, model file or particle template is refused before anything changes;
        a fault the load itself finds costs the level on screen its render
        textures, whose names the new level needed. */
    bool ReloadLevel(Ogre::String& error);

    /** Puts the camera at the level's first view, the one that shows most of it, with clip
        distances, light reach and a flying speed that fit the level; chosen once a level. */
    void FrameLevel();
    /// Puts the camera where the level's camera of that name is; raises when it has none of that name.
    void LookThroughLevelCamera(const Ogre::String& name);
    /** Whether the level's file or its own media changed on disk and the writes have
        settled, when the viewer watches them; true once for each burst of changes. */
    bool LevelFilesChanged();
    /// Says on the terminal, grouped, the warnings and errors logged since it last did.
    void FlushTerminal();
    /// The flying speed the last framing suggests, once: true when there is one not yet taken.
    bool TakeSuggestedMoveSpeed(Ogre::Real& speed);

    Ogre::RenderWindow* GetWindow() const { return window; }
    Ogre::SceneManager* GetSceneManager() const { return sceneManager; }
    Ogre::Camera* GetCamera() const { return camera; }
    /// The level's own cameras, in the order the scene manager keeps them (not the viewer's, nor a cube map's).
    const std::vector<Ogre::Camera*>& GetLevelCameras() const { return levelCameras; }
    /// The level's portals, as its loader made them.
    const std::vector<Ogre::Portal*>& GetLevelPortals() const { return levelPortals; }
    /// The saved sweep's places, the heaviest first; empty without --sweep-file.
    const std::vector<HeavyPlace>& GetHeaviestPlaces() const { return heaviestPlaces; }
    /// The level on screen: its file, as given, and its load time in milliseconds.
    const Ogre::String& GetLevelFile() const { return levelFile; }
    const Ogre::String& GetLevelLoadTime() const { return levelLoadTime; }
    /** After a reload: "Reloaded in N ms, memory M MB", and ", with 2 errors (first: ...)"
        when its media logged errors (a script broken on disk); empty before the first. */
    const Ogre::String& GetReloadSummary() const { return reloadSummary; }
    /// The errors the last reload logged, a reload that failed aside.
    size_t GetReloadErrors() const { return reloadErrors; }
    /// The level on screen as its loader made it; null before the first.
    const Tarnel::TarnelScene* GetScene() const { return scene.get(); }
    /// Where in the level file each of its nodes and objects was made.
    const LevelRows& GetLevelRows() const { return levelRows; }
    /// The warnings and errors the load of the level on screen logged, its reload's for a reloaded one.
    const std::vector<Ogre::String>& GetLoadFindings() const { return loadFindings; }

private:
    /// Framed, through a level camera, or as the viewer starts, as the options ask.
    void StartView(const Options& options);
    /// Draws the camera's view once into a picture of that size and writes it to the file.
    void WritePicture(const Ogre::String& file, unsigned width, unsigned height);
    /// Makes the loaded level and its camera the ones on screen; its description gives the inspector its lines.
    void ShowLevel(std::unique_ptr<Tarnel::TarnelScene> scene, Ogre::Camera* camera, const Ogre::String& loadTime,
                   const Tarnel::LevelDescription* described, const std::vector<Ogre::String>& findings);

    Ogre::RenderWindow* window;
    Ogre::SceneManager* sceneManager;
    Ogre::Camera* camera;
    std::unique_ptr<Tarnel::TarnelScene> scene;
    std::vector<Ogre::Camera*> levelCameras;
    std::vector<Ogre::Portal*> levelPortals;
    std::vector<HeavyPlace> heaviestPlaces;
    Ogre::String levelFile;
    Ogre::String levelLoadTime;
    /// Watches the folders of the level on screen: its file's and its own resource locations.
    void WatchLevelFiles();
    /// A resource group of its own for a reloaded level, with the game's media and the engine's base materials in it.
    Ogre::String NewLevelGroup();
    /// Forgets a level's media: its resources and its particle templates.
    static void DropLevelGroup(const Ogre::String& group);

    bool lenientNames = false;
    /** The resource group of the level on screen: the engine's default for the first, as the
        program has always loaded it, one of its own after a reload. */
    Ogre::String levelGroup = "General";
    unsigned levelGroupCount = 0;
    Ogre::String reloadSummary;
    size_t reloadErrors = 0;
    LevelRows levelRows;
    std::vector<Ogre::String> loadFindings, reloadFindings;
    MediaSources media; ///< the game's media, which a reloaded level's group holds too
    std::unique_ptr<LevelWatch> watch; ///< null unless asked for
    Ogre::Real suggestedMoveSpeed = 0; ///< 0: none waiting
    /// The first view chosen for the level on screen, which Home goes back to; null until chosen.
    std::unique_ptr<FirstView> firstView;
    TerminalLines* terminal = nullptr; ///< null with --verbose, which shows every line as it comes
    /// Scene managers made so far, the first one included; a reload's is named with its number.
    unsigned sceneManagerCount = 1;
};

#endif
