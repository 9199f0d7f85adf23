#ifndef TARNEL_APP_EXAMPLE_FRAME_LISTENER_H
#define TARNEL_APP_EXAMPLE_FRAME_LISTENER_H

#include "ViewerKeys.h"

#include <OgreFrameListener.h>
#include <OgreMaterialManager.h>
#include <OgreVector.h>

#include <Bites/OgreWindowEventUtilities.h>

#include <OIS/OISKeyboard.h>
#include <OIS/OISMouse.h>

#include <map>

namespace OIS
{
    class InputManager;
    class Mouse;
    class JoyStick;
}

namespace Ogre
{
    class Overlay;
}

/** Turns polled keyboard and mouse input into camera motion, keeps the
    statistics overlay, takes screenshots, switches texture filtering and polygon
    mode, and ends the render loop on Escape or Q or when the window closes.

    Motion ramps up over the first second a key is held and glides to a stop,
    losing 0.3 of full speed per second, once no key is held. */
class ExampleFrameListener : public Ogre::FrameListener,
                             public OgreBites::WindowEventListener,
                             public OIS::KeyListener,
                             public OIS::MouseListener
{
public:
    ExampleFrameListener(Ogre::RenderWindow* window, Ogre::Camera* camera);
    ~ExampleFrameListener() override;

    bool frameRenderingQueued(const Ogre::FrameEvent& event) override;
    bool frameEnded(const Ogre::FrameEvent& event) override;

    /// A press counts even when it ends before the next frame looks at the keys.
    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    /// A click counts even when it ends before the next frame looks at the buttons.
    bool mouseMoved(const OIS::MouseEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button) override;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID button) override;

    void windowResized(Ogre::RenderWindow* window) override;

    /// Which way the camera faces: yaw about the vertical from -Z, pitch above the horizontal, in degrees.
    static void YawAndPitch(const Ogre::Camera* camera, Ogre::Real& yaw, Ogre::Real& pitch);
    /// "at 6 3 -5, yaw 90.0 deg, pitch -12.5 deg": where the camera is and which way it faces, for the log.
    static Ogre::String DescribeView(const Ogre::Camera* camera);
    /// Shuts input down; the next frame then ends the render loop.
    void windowClosed(Ogre::RenderWindow* window) override;

protected:
    virtual void refreshStatsOverlay();
    /** Whether the keys go to something else this frame (a text field), so that a press
        does nothing of the table's and a held key does not fly; Escape still quits. */
    virtual bool keysGoElsewhere() const { return false; }
    /** Acts on the keys pressed since the last frame and those held, as the viewer's key table
        says: each press of a toggle acts once, at once; a toggle held acts again each time the
        toggles' delay runs out. False ends the render loop. */
    virtual bool readKeyboard(const Ogre::FrameEvent& event);
    /// Does what a key of the table does; false ends the render loop.
    virtual bool performKey(KeyAction action);
    virtual bool readMouse(const Ogre::FrameEvent& event);
    virtual void applyCameraMotion();
    virtual void setStatsOverlayVisible(bool show);

    void stepTextureFiltering();
    /// Writes screenshot_N.png, N one past the highest already in the working directory.
    void takeScreenshot();
    void shutDownInput();
    /// Doubles (factor 2) or halves (factor 0.5) the flying speed, within sensible bounds.
    void scaleMoveSpeed(Ogre::Real factor);
    /// Where the camera is and which way it faces, in numbers a person reads.
    Ogre::String describeCamera() const;

    Ogre::Camera* camera;
    Ogre::Vector3 translation = Ogre::Vector3::ZERO;
    Ogre::Real currentSpeed = 0;
    Ogre::RenderWindow* window;
    bool statsVisible = true;
    Ogre::String debugText;
    Ogre::Real debugTextTime = 0; ///< how long a passing message stays; 0 keeps it
    unsigned int screenshotCount = 0;
    Ogre::Real moveScale = 0;
    Ogre::Real rotateScale = 0;
    Ogre::Real toggleDelay = 0;
    Ogre::Radian yawAngle = Ogre::Radian(0);
    Ogre::Radian pitchAngle = Ogre::Radian(0);
    Ogre::TextureFilterOptions filtering = Ogre::TFO_BILINEAR;
    unsigned int anisotropy = 1;
    int polygonModeIndex = 0;
    Ogre::Real moveSpeed = 100; ///< units a second at full speed; the wheel and + and - change it
    Ogre::Real speedKeyDelay = 0;
    Ogre::Real rotateSpeed = 36;
    Ogre::Overlay* statsOverlay = nullptr;
    OIS::InputManager* inputManager = nullptr;
    OIS::Mouse* mouse = nullptr;
    OIS::Keyboard* keyboard = nullptr;
    OIS::JoyStick* joystick = nullptr;
    std::map<OIS::KeyCode, int> presses; ///< since the last frame, by key
    int leftClicks = 0;                  ///< since the last frame
};

#endif
