#include "ZelFrameListener.h"
#include "Viewer.h"

#include "Tarnel/Tarnel.h"

#include <OgreAnimationState.h>
#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgrePCZSceneNode.h>
#include <OgrePCZone.h>
#include <OgreRenderWindow.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>

#include <OIS/OIS.h>

using namespace Ogre;

namespace
{
// The arrow keys turn the camera itself, which this engine still supports but marks as deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Quaternion CameraOrientation(const Camera* camera) { return camera->getOrientation(); }
    void SetCameraOrientation(Camera* camera, const Quaternion& orientation) { camera->setOrientation(orientation); }
#pragma GCC diagnostic pop
}

ZelFrameListener::ZelFrameListener(Viewer& viewer)
    : ExampleFrameListener(viewer.GetWindow(), viewer.GetCamera()), viewer(viewer), inspector(viewer.GetWindow())
{
    polygonModeIndex = 1;
    statsVisible = false; // the overlay stays on screen; only the flag changes
    camera->setPolygonMode(PM_WIREFRAME);
}

bool ZelFrameListener::frameStarted(const FrameEvent& event)
{
    // The level is loaded after the listener is made, and again by each reload.
    if (drawnScene != viewer.GetScene())
    {
        drawn.Attach(viewer.GetSceneManager(), camera, viewer.GetLevelPortals());
        drawnScene = viewer.GetScene();
    }
    return ExampleFrameListener::frameStarted(event);
}

bool ZelFrameListener::frameRenderingQueued(const FrameEvent& event)
{
    // Before the keys and the mouse are read: what ImGui takes this frame is theirs.
    LevelControls controls;
    controls.animationsPlaying = &animationsPlaying;
    controls.moveSpeed = &moveSpeed;
    controls.levelCameras = &viewer.GetLevelCameras();
    controls.reloadSummary = viewer.GetReloadSummary();
    if (inspector.IsOpen())
        controls.zones = describeZone() + describeDrawn();
    inspector.Frame(event.timeSinceLastFrame, leftClicks, controls);
    // Once the level is on screen, so that neither its first frame nor the key that opens the inspector waits for it.
    if (++framesQueued == 3)
        inspector.Prepare();
    leftClicks = 0;
    if (!ExampleFrameListener::frameRenderingQueued(event))
        return false;
    // A framed level suggests the speed that crosses it in a few seconds.
    viewer.TakeSuggestedMoveSpeed(moveSpeed);
    if (viewer.LevelFilesChanged())
    {
        LogManager::getSingleton().logMessage("The level's files changed on disk");
        reloadLevel();
    }
    if (animationsPlaying)
    {
        for (const auto& state : camera->getSceneManager()->getAnimationStates())
        {
            if (state.second->getEnabled())
                state.second->addTime(event.timeSinceLastFrame);
        }
    }
    return true;
}

bool ZelFrameListener::frameEnded(const FrameEvent& event)
{
    // The statistics overlay is on screen, so its figures are kept, as the fly-through's are.
    ExampleFrameListener::frameEnded(event);
    if (levelInfo.IsVisible())
    {
        levelInfo.FitWindow(Real(window->getWidth()), statsVisible);
        levelInfo.SetText(describeLevel());
    }
    // What the engine said during the frame (a texture read late, say), grouped.
    viewer.FlushTerminal();
    return true;
}

bool ZelFrameListener::performKey(KeyAction action)
{
    switch (action)
    {
    case KeyAction::CameraDetails:
        ExampleFrameListener::performKey(action);
        // The overlay's line goes with the next screenshot; the log keeps where the camera was.
        LogManager::getSingleton().logMessage("Camera " + DescribeView(camera));
        break;
    case KeyAction::Animations:
        animationsPlaying = !animationsPlaying;
        LogManager::getSingleton().logMessage(animationsPlaying ? "Animations play" : "Animations paused");
        break;
    case KeyAction::LevelCameras: lookThroughNextLevelCamera(); break;
    case KeyAction::FrameLevel:
        viewer.FrameLevel();
        levelCameraIndex = -1;
        // The glide of the last motion would carry the view away from where it was put.
        translation = Vector3::ZERO;
        currentSpeed = 0;
        break;
    case KeyAction::LevelPanel: levelInfo.SetVisible(!levelInfo.IsVisible()); break;
    case KeyAction::PortalOutlines:
        portalOutlines.SetVisible(!portalOutlines.IsVisible(), viewer.GetSceneManager(), viewer.GetLevelPortals());
        break;
    case KeyAction::Reload: reloadLevel(); break;
    case KeyAction::Unlit:
        unlitView.SetOn(viewer.GetWindow()->getViewport(0), !unlitView.IsOn());
        LogManager::getSingleton().logMessage(unlitView.IsOn() ? "Unlit view: every material at full light"
                                                                : "Unlit view off: the level's own lighting");
        break;
    case KeyAction::ZoneView: toggleZoneView(); break;
    case KeyAction::Freeze: toggleFreeze(); break;
    case KeyAction::HeaviestPlace: goToNextHeaviestPlace(); break;
    case KeyAction::Inspector:
        if (!inspector.IsOpen())
            inspector.ShowLevel(viewer.GetSceneManager(), camera, viewer.GetLevelRows(), viewer.GetLoadFindings(),
                              viewer.GetScene());
        inspector.SetOpen(!inspector.IsOpen());
        LogManager::getSingleton().logMessage(inspector.IsOpen() ? "Inspector open" : "Inspector closed");
        break;
    case KeyAction::FrameSelection:
        if (inspector.FrameSelection())
        {
            levelCameraIndex = -1;
            translation = Vector3::ZERO;
            currentSpeed = 0;
        }
        break;
    default: return ExampleFrameListener::performKey(action);
    }
    return true;
}

void ZelFrameListener::toggleZoneView()
{
    const bool on = !zoneColours.IsOn();
    if (on)
        outlinesBeforeZones = portalOutlines.IsVisible();
    zoneColours.SetOn(viewer.GetWindow()->getViewport(0), on);
    portalOutlines.SetVisible(on || outlinesBeforeZones, viewer.GetSceneManager(), viewer.GetLevelPortals());
    LogManager::getSingleton().logMessage(on ? "Zone view: each object in its zone's colour" : "Zone view off");
}

void ZelFrameListener::goToNextHeaviestPlace()
{
    const std::vector<HeavyPlace>& places = viewer.GetHeaviestPlaces();
    if (places.empty())
    {
        LogManager::getSingleton().logMessage("No sweep to go through: --sweep-file FILE gives the checker's");
        return;
    }
    heaviestIndex = (heaviestIndex + 1) % places.size();
    const HeavyPlace& place = places[heaviestIndex];
    SceneNode* node = camera->getParentSceneNode();
    node->setPosition(place.position);
    node->setOrientation(Vector3::NEGATIVE_UNIT_Z.getRotationTo(place.direction.normalisedCopy()));
    SetCameraOrientation(camera, Quaternion::IDENTITY);
    Tarnel::Platform::PlaceInZone(node);
    levelCameraIndex = -1;
    translation = Vector3::ZERO;
    currentSpeed = 0;
    LogManager::getSingleton().logMessage("Heaviest place " + StringConverter::toString(heaviestIndex + 1) + " of " +
                                          StringConverter::toString(places.size()) + ": " + place.text + ", at " +
                                          StringConverter::toString(place.position));
}

void ZelFrameListener::toggleFreeze()
{
    if (drawn.IsFrozen())
    {
        drawn.Thaw();
        LogManager::getSingleton().logMessage("Thawed: the portals draw from the camera again");
        return;
    }
    drawn.Freeze();
    const DrawnObjects::Counts& counts = drawn.FrozenCounts();
    LogManager::getSingleton().logMessage(
        "Frozen at " + StringConverter::toString(camera->getDerivedPosition()) + ": " +
        StringConverter::toString(counts.objects) + " of " + StringConverter::toString(counts.levelObjects) +
        " objects in " + StringConverter::toString(counts.zones) + " of " +
        StringConverter::toString(counts.levelZones) + " zones, " + StringConverter::toString(counts.triangles) +
        " of " + StringConverter::toString(counts.levelTriangles) + " triangles");
}

String ZelFrameListener::describeZone() const
{
    PCZone* zone = static_cast<PCZSceneNode*>(camera->getParentSceneNode())->getHomeZone();
    return "Camera in zone: " + (zone ? zone->getName() : String("none")) + "\n";
}

String ZelFrameListener::describeDrawn() const
{
    if (!zoneColours.IsOn() && !drawn.IsFrozen())
        return "";
    auto share = [](size_t part, size_t whole) {
        return StringConverter::toString(part) + " of " + StringConverter::toString(whole);
    };
    const DrawnObjects::Counts& counts = drawn.LastFrame();
    String text = "Drawn: " + share(counts.zones, counts.levelZones) + " zones, " +
                  share(counts.objects, counts.levelObjects) + " objects, " +
                  share(counts.triangles, counts.levelTriangles) + " triangles\n";
    if (drawn.IsFrozen())
        text += "Frozen (X thaws): what was drawn from the yellow frustum, through the cyan portals\n";
    return text;
}

void ZelFrameListener::reloadLevel()
{
    reloadError.clear();
    // The level's objects go with their scene manager; a failed reload keeps them.
    drawn.Detach();
    drawnScene = nullptr; // followed again from the next frame
    if (!viewer.ReloadLevel(reloadError))
    {
        inspector.ReloadFailed(reloadError);
        levelInfo.SetVisible(true);
        return;
    }
    camera = viewer.GetCamera();
    levelCameraIndex = -1;
    // The selection stays when the new level has an object of its name.
    inspector.ShowLevel(viewer.GetSceneManager(), camera, viewer.GetLevelRows(), viewer.GetLoadFindings(),
                              viewer.GetScene());
    // A script broken on disk leaves its objects blank: the panel says why.
    if (viewer.GetReloadErrors())
        levelInfo.SetVisible(true);
    if (portalOutlines.IsVisible())
        portalOutlines.SetVisible(true, viewer.GetSceneManager(), viewer.GetLevelPortals());
}

String ZelFrameListener::describeLevel() const
{
    String text = "Level: " + viewer.GetLevelFile() + "\n";
    text += "Loaded in " + viewer.GetLevelLoadTime() + " ms\n";
    if (!viewer.GetReloadSummary().empty())
        text += viewer.GetReloadSummary() + "\n";
    if (!reloadError.empty())
        text += "Reload failed, this is the level as it was: " + reloadError + "\n";
    text += describeZone() + describeDrawn();
    const std::vector<Camera*>& levelCameras = viewer.GetLevelCameras();
    String cameras;
    for (size_t index = 0; index < levelCameras.size(); ++index)
        cameras += (index ? ", " : "") + levelCameras[index]->getName() +
                   (int(index) == levelCameraIndex ? " (looking through)" : "");
    text += "Level cameras: " + (cameras.empty() ? String("none") : cameras) + "\n";
    text += String("Animations: ") + (animationsPlaying ? "playing" : "paused") + "\n";
    text += "Flying speed: " + StringConverter::toString(moveSpeed) + " units a second (wheel, + and -)\n";
    text += PanelKeys();
    return text;
}

void ZelFrameListener::lookThroughNextLevelCamera()
{
    SceneNode* node = camera->getParentSceneNode();
    if (levelCameraIndex < 0)
        startView = {node->getPosition(), node->getOrientation(), CameraOrientation(camera), camera->getFOVy(),
                     camera->getNearClipDistance(), camera->getFarClipDistance()};
    const std::vector<Camera*>& levelCameras = viewer.GetLevelCameras();
    levelCameraIndex = levelCameraIndex + 1 < int(levelCameras.size()) ? levelCameraIndex + 1 : -1;
    // The glide of the last motion would carry the view away from where it was put.
    translation = Vector3::ZERO;
    currentSpeed = 0;
    if (levelCameraIndex < 0)
    {
        node->setPosition(startView.position);
        node->setOrientation(startView.orientation);
        SetCameraOrientation(camera, startView.cameraOrientation);
        camera->setFOVy(startView.fovY);
        camera->setNearClipDistance(startView.nearClip);
        camera->setFarClipDistance(startView.farClip);
        Tarnel::Platform::PlaceInZone(node);
        LogManager::getSingleton().logMessage("Camera: the viewer's own view");
        return;
    }
    Camera* level = levelCameras[levelCameraIndex];
    Tarnel::LookThrough(camera, level);
    LogManager::getSingleton().logMessage("Camera: the level's camera " + level->getName() + " at " +
                                          StringConverter::toString(level->getDerivedPosition()) + " in zone " +
                                          static_cast<PCZSceneNode*>(node)->getHomeZone()->getName());
}

bool ZelFrameListener::keyPressed(const OIS::KeyEvent& event)
{
    if (inspector.WantsKeyboard())
        inspector.KeyPressed(event);
    return ExampleFrameListener::keyPressed(event);
}

bool ZelFrameListener::keyReleased(const OIS::KeyEvent& event)
{
    if (inspector.IsOpen())
        inspector.KeyReleased(event);
    return ExampleFrameListener::keyReleased(event);
}

bool ZelFrameListener::keysGoElsewhere() const
{
    return inspector.WantsKeyboard();
}

bool ZelFrameListener::readMouse(const FrameEvent& event)
{
    if (!inspector.IsOpen())
        return ExampleFrameListener::readMouse(event);
    // The pointer is for clicking: the view turns only while the right button is held.
    const OIS::MouseState& state = mouse->getMouseState();
    // Over its windows the wheel scrolls them; a notch is 120 of the wheel's axis.
    if (state.Z.rel != 0 && inspector.WantsMouse())
        inspector.Scroll(float(state.Z.rel) / 120);
    else if (state.Z.rel != 0)
        scaleMoveSpeed(state.Z.rel > 0 ? 2 : 0.5f);
    if (state.buttonDown(OIS::MB_Right) && !inspector.WantsMouse())
    {
        yawAngle = Degree(-state.X.rel * 0.13f);
        pitchAngle = Degree(-state.Y.rel * 0.13f);
    }
    return true;
}

void ZelFrameListener::applyCameraMotion()
{
    SceneNode* node = camera->getParentSceneNode();
    node->yaw(yawAngle, Node::TS_WORLD);
    node->pitch(pitchAngle, Node::TS_LOCAL);
    node->translate(translation, Node::TS_LOCAL);
}
