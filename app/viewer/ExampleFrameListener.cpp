#include "ExampleFrameListener.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreOverlay.h>
#include <OgreOverlayElement.h>
#include <OgreOverlayManager.h>
#include <OgreRenderWindow.h>
#include <OgreStringConverter.h>

#include <OIS/OIS.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iomanip>

using namespace Ogre;

namespace
{
    // Shared by every listener: whether key P shows the camera's position and orientation.
    bool showCameraDetails = false;

    const PolygonMode polygonModes[3] = {PM_SOLID, PM_WIREFRAME, PM_POINTS};

// The fly-through turns and moves the camera itself, which this engine still
// supports but marks as deprecated in favour of moving its node.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    void YawCamera(Camera* camera, const Radian& angle) { camera->yaw(angle); }
    void PitchCamera(Camera* camera, const Radian& angle) { camera->pitch(angle); }
    void MoveCamera(Camera* camera, const Vector3& motion) { camera->moveRelative(motion); }
#pragma GCC diagnostic pop
}

ExampleFrameListener::ExampleFrameListener(RenderWindow* window, Camera* camera) : camera(camera), window(window)
{
    statsOverlay = OverlayManager::getSingleton().getByName("Core/DebugOverlay");
    LogManager::getSingleton().logMessage("*** Initializing OIS ***");

    size_t windowHandle = 0;
    window->getCustomAttribute("WINDOW", &windowHandle);
    OIS::ParamList parameters;
    parameters.insert(std::make_pair(std::string("WINDOW"), StringConverter::toString(windowHandle)));
    inputManager = OIS::InputManager::createInputSystem(parameters);

    // Buffered: a press shorter than a frame of a slow level is still seen; held keys are still polled.
    keyboard = static_cast<OIS::Keyboard*>(inputManager->createInputObject(OIS::OISKeyboard, true));
    keyboard->setEventCallback(this);
    mouse = static_cast<OIS::Mouse*>(inputManager->createInputObject(OIS::OISMouse, true));
    mouse->setEventCallback(this);
    try
    {
        joystick = static_cast<OIS::JoyStick*>(inputManager->createInputObject(OIS::OISJoyStick, false));
    }
    catch (...)
    {
        joystick = nullptr; // no joystick is the ordinary case
    }

    windowResized(window);
    if (statsOverlay)
        statsOverlay->show();
    OgreBites::WindowEventUtilities::addWindowEventListener(window, this);
}

ExampleFrameListener::~ExampleFrameListener()
{
    OgreBites::WindowEventUtilities::removeWindowEventListener(window, this);
    shutDownInput();
}

bool ExampleFrameListener::frameRenderingQueued(const FrameEvent& event)
{
    if (window->isClosed())
        return false;

    keyboard->capture();
    mouse->capture();
    if (joystick)
        joystick->capture();

    const Real dt = event.timeSinceLastFrame;
    const Vector3 lastMotion = translation;
    if (toggleDelay >= 0)
        toggleDelay -= dt;
    if (speedKeyDelay >= 0)
        speedKeyDelay -= dt;
    if (debugTextTime > 0 && (debugTextTime -= dt) <= 0)
        debugText.clear();
    // Held Shift flies four times faster, held Ctrl four times slower.
    Real boost = 1;
    if (keyboard->isKeyDown(OIS::KC_LSHIFT) || keyboard->isKeyDown(OIS::KC_RSHIFT))
        boost = 4;
    else if (keyboard->isKeyDown(OIS::KC_LCONTROL) || keyboard->isKeyDown(OIS::KC_RCONTROL))
        boost = 0.25f;
    moveScale = moveSpeed * boost * dt;
    rotateScale = rotateSpeed * dt;
    yawAngle = pitchAngle = Radian(0);
    translation = Vector3::ZERO;

    if (!readKeyboard(event))
        return false;
    if (!readMouse(event))
        return false;

    // Ramp up while moving; otherwise glide on in the last direction.
    if (translation != Vector3::ZERO)
    {
        currentSpeed += dt;
    }
    else
    {
        currentSpeed -= dt * 0.3f;
        translation = lastMotion;
    }
    currentSpeed = std::min(Real(1), std::max(Real(0), currentSpeed));
    translation *= currentSpeed;

    applyCameraMotion();
    return true;
}

bool ExampleFrameListener::keyPressed(const OIS::KeyEvent& event)
{
    if (keysGoElsewhere() && event.key != OIS::KC_ESCAPE)
        return true;
    ++presses[event.key];
    return true;
}

bool ExampleFrameListener::keyReleased(const OIS::KeyEvent&)
{
    return true;
}

bool ExampleFrameListener::mouseMoved(const OIS::MouseEvent&)
{
    return true; // the motion is read from the mouse's state, once a frame
}

bool ExampleFrameListener::mousePressed(const OIS::MouseEvent&, OIS::MouseButtonID button)
{
    if (button == OIS::MB_Left)
        ++leftClicks;
    return true;
}

bool ExampleFrameListener::mouseReleased(const OIS::MouseEvent&, OIS::MouseButtonID)
{
    return true;
}

bool ExampleFrameListener::readKeyboard(const FrameEvent&)
{
    std::map<OIS::KeyCode, int> pressed;
    pressed.swap(presses);
    for (const ViewerKey& key : ViewerKeys())
    {
        int times = 0;
        for (OIS::KeyCode code : key.codes)
            times += pressed[code];
        bool held = std::any_of(key.codes.begin(), key.codes.end(), [this](OIS::KeyCode code) {
            return keyboard->isKeyDown(code) && (code == OIS::KC_ESCAPE || !keysGoElsewhere());
        });
        if (key.repeat != KeyRepeat::EveryFrame && times == 0)
        {
            // Held since an earlier frame: again once the delay has run out.
            Real& delay = key.repeat == KeyRepeat::AfterSpeed ? speedKeyDelay : toggleDelay;
            if (!held || delay > 0)
                continue;
            delay = key.delay;
            times = 1;
        }
        else if (key.repeat != KeyRepeat::EveryFrame)
        {
            (key.repeat == KeyRepeat::AfterSpeed ? speedKeyDelay : toggleDelay) = key.delay;
        }
        else
        {
            times = times || held; // motion and quitting: for this frame
        }
        for (; times > 0; --times)
        {
            if (!performKey(key.action))
                return false;
        }
    }
    if (showCameraDetails && debugTextTime <= 0)
        debugText = describeCamera();
    return true;
}

bool ExampleFrameListener::performKey(KeyAction action)
{
    switch (action)
    {
    case KeyAction::StrafeLeft: translation.x = -moveScale; break;
    case KeyAction::StrafeRight: translation.x = moveScale; break;
    case KeyAction::Forward: translation.z = -moveScale; break;
    case KeyAction::Back: translation.z = moveScale; break;
    case KeyAction::Rise: translation.y = moveScale; break;
    case KeyAction::Sink: translation.y = -moveScale; break;
    case KeyAction::TurnRight: YawCamera(camera, Degree(-rotateScale)); break;
    case KeyAction::TurnLeft: YawCamera(camera, Degree(rotateScale)); break;
    case KeyAction::Quit: return false;
    case KeyAction::Faster: scaleMoveSpeed(2); break;
    case KeyAction::Slower: scaleMoveSpeed(0.5f); break;
    case KeyAction::Statistics:
        statsVisible = !statsVisible;
        setStatsOverlayVisible(statsVisible);
        break;
    case KeyAction::TextureFiltering: stepTextureFiltering(); break;
    case KeyAction::Screenshot: takeScreenshot(); break;
    case KeyAction::PolygonMode:
        polygonModeIndex = (polygonModeIndex + 1) % 3;
        camera->setPolygonMode(polygonModes[polygonModeIndex]);
        break;
    case KeyAction::CameraDetails:
        showCameraDetails = !showCameraDetails;
        if (!showCameraDetails)
            debugText.clear();
        break;
    default: break; // the level's own keys, which the level-test listener knows
    }
    return true;
}

namespace
{
    // No "-0.0": a level turned by a hair shows as straight.
    Real Tidy(Real value, Real step) { return std::abs(value) < step / 2 ? Real(0) : value; }
}

void ExampleFrameListener::YawAndPitch(const Camera* camera, Real& yaw, Real& pitch)
{
    const Vector3 direction = camera->getDerivedDirection();
    // Yaw about the vertical from -Z (the start view), pitch above the horizontal.
    yaw = Tidy(Math::ATan2(-direction.x, -direction.z).valueDegrees(), 0.1f);
    pitch = Tidy(Math::ASin(Math::Clamp(direction.y, Real(-1), Real(1))).valueDegrees(), 0.1f);
}

String ExampleFrameListener::DescribeView(const Camera* camera)
{
    Real yaw, pitch;
    YawAndPitch(camera, yaw, pitch);
    StringStream text;
    text << "at " << StringConverter::toString(camera->getDerivedPosition()) << ", " << std::fixed
         << std::setprecision(1) << "yaw " << yaw << " deg, pitch " << pitch << " deg";
    return text.str();
}

String ExampleFrameListener::describeCamera() const
{
    const Vector3 position = camera->getDerivedPosition();
    Real yaw, pitch;
    YawAndPitch(camera, yaw, pitch);
    StringStream text;
    text << std::fixed << std::setprecision(2) << "Position " << Tidy(position.x, 0.01f) << " "
         << Tidy(position.y, 0.01f) << " " << Tidy(position.z, 0.01f) << std::setprecision(1) << "  yaw " << yaw
         << " deg  pitch " << pitch << " deg";
    return text.str();
}

void ExampleFrameListener::scaleMoveSpeed(Real factor)
{
    moveSpeed = Math::Clamp(moveSpeed * factor, Real(0.01f), Real(1e7f));
    debugText = "Speed " + StringConverter::toString(moveSpeed) + " units a second";
    debugTextTime = 2;
    LogManager::getSingleton().logMessage("Flying speed " + StringConverter::toString(moveSpeed) + " units a second");
}

bool ExampleFrameListener::readMouse(const FrameEvent&)
{
    const OIS::MouseState& state = mouse->getMouseState();
    if (state.Z.rel != 0)
        scaleMoveSpeed(state.Z.rel > 0 ? 2 : 0.5f);
    if (state.buttonDown(OIS::MB_Right))
    {
        translation.x += state.X.rel * 0.13f;
        translation.y -= state.Y.rel * 0.13f;
    }
    else
    {
        yawAngle = Degree(-state.X.rel * 0.13f);
        pitchAngle = Degree(-state.Y.rel * 0.13f);
    }
    return true;
}

void ExampleFrameListener::applyCameraMotion()
{
    YawCamera(camera, yawAngle);
    PitchCamera(camera, pitchAngle);
    MoveCamera(camera, translation);
}

void ExampleFrameListener::stepTextureFiltering()
{
    switch (filtering)
    {
    case TFO_BILINEAR:
        filtering = TFO_TRILINEAR;
        anisotropy = 1;
        break;
    case TFO_TRILINEAR:
        filtering = TFO_ANISOTROPIC;
        anisotropy = 8;
        break;
    default:
        filtering = TFO_BILINEAR;
        anisotropy = 1;
        break;
    }
    MaterialManager::getSingleton().setDefaultTextureFiltering(filtering);
    MaterialManager::getSingleton().setDefaultAnisotropy(anisotropy);
    setStatsOverlayVisible(statsVisible);
}

void ExampleFrameListener::takeScreenshot()
{
    // A user's earlier pictures stay: the numbers go on after the highest already there.
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(".", error))
    {
        unsigned int number = 0;
        char end = 0;
        if (std::sscanf(entry.path().filename().c_str(), "screenshot_%u.pn%c", &number, &end) == 2 && end == 'g')
            screenshotCount = std::max(screenshotCount, number);
    }
    ++screenshotCount;
    String fileName = "screenshot_" + StringConverter::toString(screenshotCount) + ".png";
    window->writeContentsToFile(fileName);
    debugText = "Saved: " + fileName;
    debugTextTime = 3;
    LogManager::getSingleton().logMessage("Screenshot " + fileName);
}

void ExampleFrameListener::setStatsOverlayVisible(bool show)
{
    if (!statsOverlay)
        return;
    if (show)
        statsOverlay->show();
    else
        statsOverlay->hide();
}

bool ExampleFrameListener::frameEnded(const FrameEvent&)
{
    refreshStatsOverlay();
    return true;
}

void ExampleFrameListener::refreshStatsOverlay()
{
    // The overlay is optional: a missing element stops the refresh, nothing more.
    try
    {
        OverlayManager& overlays = OverlayManager::getSingleton();
        const RenderTarget::FrameStats& stats = window->getStatistics();
        overlays.getOverlayElement("Core/AverageFps")->setCaption("Average FPS: " + StringConverter::toString(stats.avgFPS));
        overlays.getOverlayElement("Core/CurrFps")->setCaption("Current FPS: " + StringConverter::toString(stats.lastFPS));
        overlays.getOverlayElement("Core/BestFps")
            ->setCaption("Best FPS: " + StringConverter::toString(stats.bestFPS) + " " +
                         StringConverter::toString(stats.bestFrameTime) + " ms");
        overlays.getOverlayElement("Core/WorstFps")
            ->setCaption("Worst FPS: " + StringConverter::toString(stats.worstFPS) + " " +
                         StringConverter::toString(stats.worstFrameTime) + " ms");
        overlays.getOverlayElement("Core/NumTris")
            ->setCaption("Triangle Count: " + StringConverter::toString(stats.triangleCount));
        overlays.getOverlayElement("Core/NumBatches")
            ->setCaption("Batch Count: " + StringConverter::toString(stats.batchCount));
        overlays.getOverlayElement("Core/DebugText")->setCaption(debugText);
    }
    catch (...)
    {
    }
}

void ExampleFrameListener::windowResized(RenderWindow* resized)
{
    if (!mouse)
        return; // input is already shut down
    unsigned int width, height, depth;
    int left, top;
    resized->getMetrics(width, height, depth, left, top);
    const OIS::MouseState& state = mouse->getMouseState();
    state.width = int(width);
    state.height = int(height);
}

void ExampleFrameListener::windowClosed(RenderWindow* closed)
{
    if (closed == window)
        shutDownInput();
}

void ExampleFrameListener::shutDownInput()
{
    if (!inputManager)
        return;
    inputManager->destroyInputObject(mouse);
    inputManager->destroyInputObject(keyboard);
    if (joystick)
        inputManager->destroyInputObject(joystick);
    OIS::InputManager::destroyInputSystem(inputManager);
    inputManager = nullptr;
    mouse = nullptr;
    keyboard = nullptr;
    joystick = nullptr;
}
