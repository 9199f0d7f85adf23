#ifndef TARNEL_APP_ZEL_FRAME_LISTENER_H
#define TARNEL_APP_ZEL_FRAME_LISTENER_H

#include "DrawnObjects.h"
#include "ExampleFrameListener.h"
#include "LevelInfoOverlay.h"
#include "LevelInspector.h"
#include "PortalOutlines.h"
#include "UnlitView.h"
#include "ZoneColours.h"

#include <OgreQuaternion.h>

class Viewer;

/** The listener for walking through a level: the level starts in wireframe,
    motion moves and turns the camera's node (and so the light that hangs under
    it), and the statistics overlay is refreshed every frame. Space plays and pauses the
    level's enabled node animations, which start paused; C looks through the
    level's cameras in turn, and after the last one returns to the start view;
    Home puts the whole level in view.
    F1 shows the level's panel, O its portals' outlines, and F5 reloads it; I opens the
    level inspector, and G puts its selection in view. Z draws the level in its zones'
    colours, and X freezes what the portals let the camera draw, to fly out and look at it. */
class ZelFrameListener : public ExampleFrameListener
{
public:
    /// Drives the viewer's window and camera, and follows its level through reloads.
    explicit ZelFrameListener(Viewer& viewer);

    bool frameStarted(const Ogre::FrameEvent& event) override;
    bool frameRenderingQueued(const Ogre::FrameEvent& event) override;
    bool frameEnded(const Ogre::FrameEvent& event) override;

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;

protected:
    bool performKey(KeyAction action) override;
    bool keysGoElsewhere() const override;
    bool readMouse(const Ogre::FrameEvent& event) override;
    void applyCameraMotion() override;

    /// Moves the camera's node to the next level camera, or back to where it was before the first.
    void lookThroughNextLevelCamera();
    /// Loads the level again; on failure the panel shows the error over the level that stays.
    void reloadLevel();
    /// The panel's text: the level, its load time, the camera's zone, cameras, animations, keys.
    Ogre::String describeLevel() const;
    /// "Camera in zone: Hall_PCZone", a line of the panel's and the inspector's.
    Ogre::String describeZone() const;
    /// The zone view's and the freeze's lines of the panel and the inspector: what is drawn of the level's whole.
    Ogre::String describeDrawn() const;
    void toggleZoneView();
    void toggleFreeze();
    /// Moves the camera to the saved sweep's next heaviest place, looking as it looked.
    void goToNextHeaviestPlace();

    Viewer& viewer;
    LevelInfoOverlay levelInfo;
    PortalOutlines portalOutlines;
    UnlitView unlitView;
    ZoneColours zoneColours;
    DrawnObjects drawn;
    const Tarnel::TarnelScene* drawnScene = nullptr; ///< the level `drawn` follows
    bool outlinesBeforeZones = false; ///< the portals' outlines as O left them, for when the zone view ends
    LevelInspector inspector;
    Ogre::String reloadError; ///< of the last reload, empty when it succeeded

    bool animationsPlaying = false;
    int levelCameraIndex = -1; ///< -1: the viewer's own view
    size_t heaviestIndex = size_t(-1); ///< the saved sweep's place last gone to
    unsigned framesQueued = 0;

    /// The viewer's own view, kept while it looks through the level's cameras.
    struct View
    {
        Ogre::Vector3 position;
        Ogre::Quaternion orientation;
        Ogre::Quaternion cameraOrientation; ///< the arrow keys turn the camera in its node
        Ogre::Radian fovY;
        Ogre::Real nearClip = 0, farClip = 0;
    } startView;
};

#endif
