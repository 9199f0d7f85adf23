#include "Viewer.h"
#include "ViewerKeys.h"
#include "ZelFrameListener.h"
#include "support/Engine.h"

#include <OgreCamera.h>
#include <OgreOverlay.h>
#include <OgreOverlayElement.h>
#include <OgreOverlayManager.h>
#include <OgreRenderWindow.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace Ogre;

namespace
{
    /// The level-test listener with its state open to the test and, when scripted, its input too.
    class ProbedListener : public ZelFrameListener
    {
    public:
        using ZelFrameListener::ZelFrameListener;

        bool scripted = false;
        bool holdingForward = false;
        int mouseX = 0;

        using ExampleFrameListener::anisotropy;
        using ExampleFrameListener::currentSpeed;
        using ExampleFrameListener::debugText;
        using ExampleFrameListener::filtering;
        using ExampleFrameListener::moveScale;
        using ExampleFrameListener::moveSpeed;
        using ExampleFrameListener::polygonModeIndex;
        using ExampleFrameListener::statsOverlay;
        using ExampleFrameListener::statsVisible;
        using ExampleFrameListener::translation;

    protected:
        bool readKeyboard(const FrameEvent& event) override
        {
            if (!scripted)
                return ZelFrameListener::readKeyboard(event);
            if (holdingForward)
                translation.z = -moveScale;
            return true;
        }

        bool readMouse(const FrameEvent& event) override
        {
            if (!scripted)
                return ZelFrameListener::readMouse(event);
            yawAngle = Degree(-mouseX * 0.13f);
            return true;
        }
    };

    /// The fly-through listener, whose statistics refresh the level-test listener drops.
    struct ProbedExampleListener : ExampleFrameListener
    {
        using ExampleFrameListener::ExampleFrameListener;
        using ExampleFrameListener::debugText;
    };

    FrameEvent Frame(Real seconds)
    {
        return FrameEvent{seconds, seconds};
    }

    void Xdotool(const std::string& arguments)
    {
        ASSERT_EQ(0, std::system(("xdotool " + arguments).c_str())) << arguments;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

/// The viewer's camera set-up on a test scene manager, and a listener on the test window.
class Listeners : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        camera = sceneManager->createCamera("MainCam");
        cameraNode = sceneManager->getRootSceneNode()->createChildSceneNode("CamNode");
        cameraNode->attachObject(camera);
        cameraNode->setPosition(0, 1, 2);
        cameraNode->createChildSceneNode("CamLightNode");
        TestEngine::Window()->addViewport(camera);
        viewer.reset(new Viewer(TestEngine::Window(), camera));
        listener.reset(new ProbedListener(*viewer));
    }

    void TearDown() override
    {
        listener.reset();
        TestEngine::Window()->removeAllViewports();
    }

    /// A frame with the key down, after a frame long enough for the last toggle's delay to run out.
    bool PressKey(const std::string& key, Real before = 1.1f)
    {
        listener->frameRenderingQueued(Frame(before));
        Xdotool("keydown " + key);
        bool running = listener->frameRenderingQueued(Frame(0.01f));
        Xdotool("keyup " + key);
        return running;
    }

    Camera* camera = nullptr;
    SceneNode* cameraNode = nullptr;
    std::unique_ptr<Viewer> viewer;
    std::unique_ptr<ProbedListener> listener;
};

TEST_F(Listeners, LevelTestStartsInWireframeWithTheOverlayShown)
{
    EXPECT_EQ(std::make_pair(PM_WIREFRAME, 1), std::make_pair(camera->getPolygonMode(), listener->polygonModeIndex));
    EXPECT_FALSE(listener->statsVisible);
    ASSERT_NE(nullptr, listener->statsOverlay);
    EXPECT_TRUE(listener->statsOverlay->isVisible()) << "only the flag changes";
}

TEST_F(Listeners, SpeedRampsUpInOneSecondAndGlides)
{
    listener->scripted = true;
    listener->holdingForward = true;
    Real travelled = 0;
    for (int frame = 1; frame <= 10; ++frame)
    {
        ASSERT_TRUE(listener->frameRenderingQueued(Frame(0.1f)));
        Real speed = std::min(1.0f, 0.1f * frame);
        EXPECT_NEAR(speed, listener->currentSpeed, 1e-5f) << frame;
        travelled += 100 * 0.1f * speed;
    }
    EXPECT_NEAR(1.0f, listener->currentSpeed, 1e-6f);
    EXPECT_NEAR(2 - travelled, cameraNode->getPosition().z, 1e-3f);

    // Released: each frame repeats the last motion, scaled by a speed that loses 0.3 a second.
    listener->holdingForward = false;
    Real motion = -10, speed = 1;
    for (int frame = 1; frame <= 5; ++frame)
    {
        Real before = cameraNode->getPosition().z;
        listener->frameRenderingQueued(Frame(0.1f));
        speed -= 0.03f;
        motion *= speed;
        EXPECT_NEAR(speed, listener->currentSpeed, 1e-5f);
        EXPECT_NEAR(motion, cameraNode->getPosition().z - before, 1e-3f) << frame;
    }
    EXPECT_EQ(cameraNode->_getDerivedPosition(), camera->getDerivedPosition()) << "the node moves, not the camera";
}

TEST_F(Listeners, TheMouseTurnsTheNodeAndTheLightWithIt)
{
    listener->scripted = true;
    listener->mouseX = 100;
    listener->frameRenderingQueued(Frame(0.1f));
    Quaternion expected(Degree(-13), Vector3::UNIT_Y);
    EXPECT_TRUE(SameRotation(expected, cameraNode->getOrientation()));
    EXPECT_TRUE(SameRotation(expected, cameraNode->getChild("CamLightNode")->_getDerivedOrientation()));
    EXPECT_TRUE(SameRotation(expected, camera->getDerivedOrientation())) << "the camera is not turned itself";
}

TEST_F(Listeners, PolygonModeCyclesFromWireframe)
{
    for (PolygonMode mode : {PM_POINTS, PM_SOLID, PM_WIREFRAME})
    {
        PressKey("r", 0.6f);
        EXPECT_EQ(mode, camera->getPolygonMode());
    }
}

TEST_F(Listeners, FilteringStepsAndTheToggleDelay)
{
    MaterialManager& materials = MaterialManager::getSingleton();
    // T before any F: the overlay is hidden, because the flag says so.
    PressKey("t");
    EXPECT_EQ(TFO_TRILINEAR, listener->filtering);
    EXPECT_EQ(std::make_pair(1u, 1u), std::make_pair(listener->anisotropy, materials.getDefaultAnisotropy()));
    EXPECT_FALSE(listener->statsOverlay->isVisible());
    // Held, T acts again only once the second's delay has run out.
    Xdotool("keydown t");
    for (int frame = 0; frame < 5; ++frame)
        listener->frameRenderingQueued(Frame(0.1f));
    EXPECT_EQ(TFO_ANISOTROPIC, listener->filtering) << "the press, and no more";
    listener->frameRenderingQueued(Frame(0.7f));
    Xdotool("keyup t");
    EXPECT_EQ(TFO_BILINEAR, listener->filtering) << "once the delay ran out";
    // A new press counts at once, within the delay too.
    PressKey("t", 0.01f);
    EXPECT_EQ(TFO_TRILINEAR, listener->filtering);
    PressKey("t");
    EXPECT_EQ(std::make_pair(TFO_ANISOTROPIC, 8u), std::make_pair(listener->filtering, materials.getDefaultAnisotropy()));
    PressKey("t");
    EXPECT_EQ(std::make_pair(TFO_BILINEAR, 1u), std::make_pair(listener->filtering, materials.getDefaultAnisotropy()));

    // F and T pressed before one frame: each press counts.
    listener->frameRenderingQueued(Frame(1.1f));
    Xdotool("keydown f");
    Xdotool("keydown t");
    listener->frameRenderingQueued(Frame(0.01f));
    Xdotool("keyup t");
    Xdotool("keyup f");
    EXPECT_EQ(std::make_pair(true, true), std::make_pair(listener->statsVisible, listener->statsOverlay->isVisible()));
    EXPECT_EQ(TFO_TRILINEAR, listener->filtering);
}

TEST_F(Listeners, TapsShorterThanAFrameCountOnce)
{
    // Down and up between two frames of a slow level: seen, once each.
    listener->frameRenderingQueued(Frame(0.5f));
    for (const char* key : {"r", "r", "Escape"})
        Xdotool(std::string("keydown ") + key + " keyup " + key);
    EXPECT_FALSE(listener->frameRenderingQueued(Frame(0.5f))) << "Escape tapped";
    EXPECT_EQ(PM_SOLID, camera->getPolygonMode()) << "from wireframe, two taps of R";
}

TEST_F(Listeners, CameraDetailsScreenshotsAndQuitting)
{
    cameraNode->yaw(Degree(90));
    PressKey("p");
    EXPECT_EQ("Position 0.00 1.00 2.00  yaw 90.0 deg  pitch 0.0 deg", listener->debugText);
    PressKey("p");
    EXPECT_EQ("", listener->debugText);
    cameraNode->resetOrientation();

    // An earlier run's picture stays; the numbers go on after it, and the name shows for a moment.
    for (const char* file : {"screenshot_7.png", "screenshot_8.png"})
        std::filesystem::remove(file);
    std::ofstream("screenshot_7.png") << "an earlier picture";
    PressKey("Print");
    EXPECT_TRUE(std::filesystem::exists("screenshot_8.png"));
    EXPECT_EQ(18, std::filesystem::file_size("screenshot_7.png"));
    EXPECT_EQ("Saved: screenshot_8.png", listener->debugText);
    listener->frameRenderingQueued(Frame(3.5f));
    EXPECT_EQ("", listener->debugText);
    for (const char* file : {"screenshot_7.png", "screenshot_8.png"})
        std::filesystem::remove(file);

    // The arrows turn the camera itself.
    Xdotool("keydown Left");
    listener->frameRenderingQueued(Frame(0.5f));
    Xdotool("keyup Left");
    EXPECT_EQ(Quaternion::IDENTITY, cameraNode->getOrientation());
    EXPECT_TRUE(SameRotation(Quaternion(Degree(18), Vector3::UNIT_Y), camera->getDerivedOrientation()));

    EXPECT_FALSE(PressKey("Escape"));
    EXPECT_FALSE(PressKey("q"));
}

TEST_F(Listeners, SpeedKeysWheelShiftAndCtrl)
{
    EXPECT_EQ(100, listener->moveSpeed);
    PressKey("KP_Add");
    PressKey("KP_Add");
    EXPECT_EQ(400, listener->moveSpeed);
    PressKey("minus");
    PressKey("minus");
    EXPECT_EQ(100, listener->moveSpeed);
    for (const auto& held : {std::make_pair("Shift_L", 4.0f), std::make_pair("Control_L", 0.25f)})
    {
        Xdotool(std::string("keydown ") + held.first);
        listener->frameRenderingQueued(Frame(0.01f));
        Xdotool(std::string("keyup ") + held.first);
        EXPECT_FLOAT_EQ(100 * held.second * 0.01f, listener->moveScale) << held.first;
    }
}

TEST_F(Listeners, BothListenersRefreshTheStatistics)
{
    OverlayElement* debug = OverlayManager::getSingleton().getOverlayElement("Core/DebugText");
    OverlayElement* batches = OverlayManager::getSingleton().getOverlayElement("Core/NumBatches");
    batches->setCaption("untouched");
    EXPECT_TRUE(listener->frameEnded(Frame(0.1f)));
    EXPECT_TRUE(StringUtil::startsWith(batches->getCaption().asUTF8(), "Batch Count: ", false));
    for (const char* figure : {"Core/AverageFps", "Core/CurrFps", "Core/BestFps", "Core/WorstFps", "Core/NumTris"})
        EXPECT_NE(String::npos, OverlayManager::getSingleton().getOverlayElement(figure)->getCaption().asUTF8().find(": "))
            << figure;

    listener.reset();
    ProbedExampleListener flyThrough(TestEngine::Window(), camera);
    flyThrough.debugText = "hello";
    EXPECT_TRUE(flyThrough.frameEnded(Frame(0.1f)));
    EXPECT_EQ("hello", debug->getCaption().asUTF8());
    EXPECT_TRUE(StringUtil::startsWith(batches->getCaption().asUTF8(), "Batch Count: ", false));
    EXPECT_TRUE(StringUtil::startsWith(
        OverlayManager::getSingleton().getOverlayElement("Core/BestFps")->getCaption().asUTF8(), "Best FPS: ",
        false));
}

TEST_F(Listeners, ThePanelShowsNamesInALegacyEncoding)
{
    // Latin-1 and Windows-1252 names are not UTF-8, which the overlay takes alone.
    LevelInfoOverlay panel;
    panel.SetVisible(true);
    EXPECT_NO_THROW(panel.SetText("Level cameras: Caf\xe9, \x93Quoted\x94"));
}

TEST(LevelInfoPanel, LinesBreakAtSpacesToThePanelsWidth)
{
    const struct
    {
        const char* text;
        size_t length;
        const char* wrapped;
    } rows[] = {
        {"", 5, ""},
        {"fits", 4, "fits"},
        {"one two three", 7, "one two\nthree"},
        {"abcdefghij", 4, "abcd\nefgh\nij"}, // a word longer than a line is cut
        {"a\nb c d\n", 3, "a\nb c\nd\n"},    // the text's own line ends stay
    };
    for (const auto& row : rows)
        EXPECT_EQ(LevelInfoOverlay::Wrap(row.text, row.length), row.wrapped) << row.text;
}

TEST(LevelInfoPanel, NarrowsBesideTheStatisticsInANarrowWindow)
{
    const struct
    {
        Ogre::Real window;
        bool statistics;
        Ogre::Real width;
    } rows[] = {
        {1280, true, 470}, // room for both side by side
        {800, true, 325},  // what the statistics leave
        {600, true, 280},  // never below the minimum
        {800, false, 470}, // nothing to keep clear of
    };
    for (const auto& row : rows)
        EXPECT_EQ(LevelInfoOverlay::PanelWidth(row.window, row.statistics), row.width) << row.window;
}

TEST(ViewerKeys, OneTableDrivesTheKeysTheHelpAndThePanel)
{
    const std::string help = KeysHelp();
    for (const ViewerKey& key : ViewerKeys())
    {
        EXPECT_NE(std::string::npos, help.find("  " + std::string(key.keys))) << key.keys;
        EXPECT_EQ(key.codes.empty(), key.action == KeyAction::None) << key.keys << ": only the mouse has no key";
        EXPECT_EQ(key.repeat == KeyRepeat::EveryFrame, key.delay == 0) << key.keys;
        EXPECT_EQ(key.codes.empty(), key.panel == nullptr) << key.keys << ": the panel names every key";
    }
    // Rows that share their keys and help make one line.
    EXPECT_EQ(help.find("W A S D, arrow keys"), help.rfind("W A S D, arrow keys"));
    EXPECT_EQ("WASD arrows move  PgUp PgDn rise  + - speed  F stats  T filtering  Print screenshot  R wireframe  "
              "P position  Space animations  C cameras  Home frame  F1 panel  O portals  F5 reload  I inspector  G selection  "
              "L unlit  Z zones  X freeze  J heaviest  Esc quit",
              PanelKeys());
}
