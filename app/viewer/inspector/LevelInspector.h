#ifndef TARNEL_APP_LEVEL_INSPECTOR_H
#define TARNEL_APP_LEVEL_INSPECTOR_H

#include <OgrePrerequisites.h>

#include "InspectorKeys.h"
#include "XClipboard.h"

#include <OIS/OISKeyboard.h>

#include <array>
#include <map>
#include <memory>
#include <vector>

namespace Tarnel
{
    class TarnelScene;
    struct LevelDescription;
}

namespace Ogre
{
    class ImGuiOverlay;
}

/// Where in the level file each node and object was made: its line, by name.
struct LevelRows
{
    Ogre::String file;
    std::map<Ogre::String, int> nodes, objects;

    /** The level's own nodes and objects, from its description, named as the loader names
        them (an unnamed object by its node); model files' objects are not in the level's file. */
    static LevelRows Of(const Tarnel::LevelDescription& level, const Ogre::String& file);
    /// "level.scene:12", or the file alone when the line is not known.
    Ogre::String Where(const Ogre::MovableObject* object) const;
};

/// What of the viewer the inspector's "Level" window works: the listener's own state.
struct LevelControls
{
    bool* animationsPlaying = nullptr;
    Ogre::Real* moveSpeed = nullptr;
    const std::vector<Ogre::Camera*>* levelCameras = nullptr;
    Ogre::String reloadSummary; ///< "Reloaded in ... ms, memory ... MB"; empty before a reload
    /// The camera's zone, and with the zone view or a freeze, what the frame drew of the level.
    Ogre::String zones;
};

/** The level inspector (I): Dear ImGui windows drawn through the engine's overlay over the
    level on screen, with the ImGui inside the engine's overlay library. The selection's
    properties, the level's tree with a search box, and the load's findings. A left click in
    the view selects the nearest drawn object under the pointer (LevelPicking) and logs it in
    one line; a click on nothing clears the selection. While it is open the pointer is drawn
    and moving it does not turn the camera (the right button held still does); the keys go
    to ImGui while one of its fields takes text. The overlay is made at the first opening,
    so a viewer that never opens it, and every picture of `--screenshot` and the checker,
    never shows it. A "Level" window looks through the level's cameras, plays, pauses and
    scrubs its animations, sets the flying speed and gives the last reload's time and memory;
    a finding that names an object selects it on a click. A "Render textures" window, for a
    level that has them, shows each flat one as it is drawn now; it is folded at first. */
class LevelInspector
{
public:
    explicit LevelInspector(Ogre::RenderWindow* window);
    ~LevelInspector();
    LevelInspector(const LevelInspector&) = delete;
    LevelInspector& operator=(const LevelInspector&) = delete;

    /** Makes its overlay, which builds ImGui's font, ahead of the key that opens it: that costs
        tens of milliseconds, more than the frame it would otherwise be added to. Call it after
        this frame's Frame, as the key that opens it would be; a second call does nothing. */
    void Prepare();
    /// Opens or closes it; false, with the reason in the log, when this build's ImGui cannot be used.
    bool SetOpen(bool open);
    bool IsOpen() const { return open; }

    /// The level it shows: its scene manager, the viewer's camera, rows, and the load's findings.
    void ShowLevel(Ogre::SceneManager* sceneManager, Ogre::Camera* camera, const LevelRows& rows,
                   const std::vector<Ogre::String>& findings, const Tarnel::TarnelScene* scene = nullptr);

    /** One frame while open: reads the pointer, hands it to ImGui with the time and the left
        clicks since the last frame, draws the windows, and picks on a click that ImGui does not take. */
    void Frame(Ogre::Real seconds, int leftClicks, const LevelControls& controls);
    /// A reload that failed: its error joins the findings, over the level that stays.
    void ReloadFailed(const Ogre::String& error);

    /// Whether ImGui takes the pointer, or the keys, this frame.
    bool WantsMouse() const;
    bool WantsKeyboard() const;
    void KeyPressed(const OIS::KeyEvent& event);
    void KeyReleased(const OIS::KeyEvent& event);
    /// The mouse wheel turned over its windows, in notches (up is positive).
    void Scroll(float notches);

    /** Selects the object (null clears the selection) and logs it, for example `Selected entity
        "Crate" on node "Crate" (zone Hall_PCZone), level.scene:12`. */
    void Select(Ogre::MovableObject* object);
    Ogre::MovableObject* GetSelection() const { return selection; }
    /// Whether the level's tree holds every node and object, as it does a few frames after it opens.
    bool TreeIsWhole() const { return !tree.empty() && treeWalk.empty(); }
    /// Narrows the level's tree to the rows that hold the text, any case, as typed in its search box.
    void Search(const Ogre::String& text);
    /// Selects what lies under the window point, or nothing.
    void PickAt(int x, int y);
    /** Puts the selection in view: the camera keeps its direction and steps back until the
        selection's box fills most of the view; false without a selection. */
    bool FrameSelection();

    /// The title of the window of render textures, folded at first.
    static constexpr const char* RENDER_TEXTURES_WINDOW = "Render textures";

    /** The object's properties as the "Selection" window shows them and Copy copies them:
        for an entity, each sub-entity's material, the technique drawn, and why the others
        are not usable. */
    Ogre::String PropertiesText(const Ogre::MovableObject* object) const;

    /// "entity", "light", "camera", "particle system", "billboard set".
    static Ogre::String Kind(const Ogre::MovableObject* object);
    /// The node's path from its zone's node down: "Hall › Table › Lamp".
    static Ogre::String NodePath(const Ogre::SceneNode* node);

private:
    struct TreeRow
    {
        int depth;
        Ogre::String label;
        Ogre::String lowerLabel; ///< for the search, made once
        Ogre::SceneNode* node;
        Ogre::MovableObject* object;
    };

    void DrawProperties();
    void DrawTree();
    void DrawFindings();
    void DrawLevel(const LevelControls& controls);
    void DrawRenderTextures();
    /// The first object of the scene named by one of the finding's names, or null.
    Ogre::MovableObject* ObjectNamedIn(const std::vector<Ogre::String>& names) const;
    /** Adds the tree's next rows, in the scene's order, for about that many milliseconds: a
        level of thousands of nodes is read over a few frames, not in the one that opens it. */
    void GrowTree(double milliseconds);
    /// Starts the tree of the level on screen afresh.
    void RestartTree();
    Ogre::String Describe(const Ogre::MovableObject* object) const;

    Ogre::RenderWindow* window;
    Ogre::ImGuiOverlay* overlay = nullptr; ///< the overlay manager's once made
    bool open = false;
    bool usable = true;
    Ogre::SceneManager* sceneManager = nullptr;
    Ogre::Camera* camera = nullptr;
    LevelRows rows;
    const Tarnel::TarnelScene* scene = nullptr; ///< for the objects' user data
    std::vector<Ogre::String> findings;
    Ogre::MovableObject* selection = nullptr;
    Ogre::String selectedName, selectedType; ///< kept over a reload, which ends the objects
    std::vector<TreeRow> tree;
    struct TreeWalk
    {
        Ogre::SceneNode* node;
        size_t nextChild;
        int depth;
    };
    std::vector<TreeWalk> treeWalk; ///< the nodes whose children are still to be read; empty once whole
    std::vector<const TreeRow*> shown; ///< the rows the search leaves, this frame
    char search[128] = {};
    InspectorKeys keys;
    float wheel = 0;                 ///< the notches turned since the last frame
    XClipboard clipboard; ///< Copy, and Ctrl+C and Ctrl+V in the fields, go through the display's
    std::string pasted;   ///< what ImGui was given to paste, kept while it reads it
};

#endif
