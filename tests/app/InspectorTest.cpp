#include "LevelInspector.h"
#include "support/SceneTest.h"

#include "Tarnel/Tarnel.h"

#include <OgreCamera.h>
#include <OgreOverlayManager.h>
#include <OgrePortal.h>
#include <OgreRenderSystem.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreViewport.h>

#include <imgui.h>
#include <tinyxml.h>

using namespace Ogre;

namespace
{
    /// A window of the viewer's shape beside the tests' small one, gone with the test, with the inspector's overlay.
    struct ViewerWindow
    {
        explicit ViewerWindow(SceneManager* sceneManager)
        {
            window = Root::getSingleton().createRenderWindow("Inspector test", 480, 400, false);
            camera = sceneManager->createCamera("Viewer");
            sceneManager->getRootSceneNode()->createChildSceneNode()->attachObject(camera);
            window->addViewport(camera)->setBackgroundColour(ColourValue(0.2f, 0.2f, 0.2f));
        }
        ~ViewerWindow()
        {
            // The other tests' pictures are drawn without the inspector's overlay.
            if (OverlayManager::getSingleton().getByName("ImGuiOverlay"))
                OverlayManager::getSingleton().destroy("ImGuiOverlay");
            Root::getSingleton().getRenderSystem()->destroyRenderWindow("Inspector test");
        }

        RenderWindow* window;
        Camera* camera;
    };

    bool Red(const ColourValue& colour) { return colour.r > 0.8f && colour.g < 0.2f && colour.b < 0.2f; }
    bool White(const ColourValue& colour) { return colour.r > 0.8f && colour.g > 0.8f && colour.b > 0.8f; }
}

using Inspector = SceneTest;

TEST_F(Inspector, ARenderTextureIsShownAsItIsDrawnTheRightWayUp)
{
    // The texture's camera sees a white box from the middle of its view up, on its red background.
    LoadText("<scene><environment><colourAmbient r='1' g='1' b='1'/></environment>"
             "<renderTextures><renderTexture name='Shot' width='64' height='64' camera='ShotCam'>"
             "<backgroundColor r='1'/></renderTexture></renderTextures><nodes>"
             "<node name='Eye'><camera name='ShotCam'/></node>"
             "<node name='Above'><position y='60' z='-200'/><scale x='800' y='120' z='1'/>"
             "<entity name='Above' meshFile='TwoPart.mesh'/></node></nodes></scene>");
    ViewerWindow view(sceneManager);
    LevelInspector inspector(view.window);
    inspector.ShowLevel(sceneManager, view.camera, LevelRows(), {}, &scene);
    ASSERT_TRUE(inspector.SetOpen(true));
    // As in the viewer: each drawn frame ends one of ImGui's, and the inspector begins the next.
    for (int frame = 0; frame < 3; ++frame)
    {
        Root::getSingleton().renderOneFrame();
        inspector.Frame(0.016f, 0, LevelControls());
        // Unfolded, at a known place.
        ImGui::SetWindowCollapsed(LevelInspector::RENDER_TEXTURES_WINDOW, false);
        ImGui::SetWindowPos(LevelInspector::RENDER_TEXTURES_WINDOW, ImVec2(0, 0));
        ImGui::SetWindowSize(LevelInspector::RENDER_TEXTURES_WINDOW, ImVec2(200, 300));
    }
    Root::getSingleton().renderOneFrame();
    Image picture(PF_BYTE_RGB, view.window->getWidth(), view.window->getHeight());
    view.window->copyContentsToMemory(picture.getPixelBox(), picture.getPixelBox());

    // Down the thumbnail's middle: red, the white box, red again; the box above the middle.
    int top = -1, bottom = -1, boxTop = -1, boxBottom = -1;
    const size_t column = 100;
    for (int y = 0; y < 300; ++y)
    {
        const ColourValue colour = picture.getColourAt(column, size_t(y), 0);
        int& first = Red(colour) ? top : boxTop;
        int& last = Red(colour) ? bottom : boxBottom;
        if (Red(colour) || (White(colour) && top >= 0))
        {
            first = first < 0 ? y : first;
            last = y;
        }
    }
    ASSERT_GT(bottom - top, 150) << "the render texture fills the window's width, and it is square";
    ASSERT_GT(boxBottom - boxTop, 20) << "the box is in it";
    EXPECT_LT(boxTop + boxBottom, top + bottom) << "above the middle, as the camera sees it";
    EXPECT_LT(std::abs(boxBottom - (top + bottom) / 2), 4) << "down to the middle";
}

TEST_F(Inspector, TheSelectionSaysWhichTechniqueIsDrawnAndWhyTheOthersAreNot)
{
    WriteFile("toon.program", "vertex_program Toon/VP cg\n{ source toon.cg\n entry_point main\n profiles arbvp1\n}\n");
    WriteFile("toon.material", "material Toon/Both { technique { pass {\n vertex_program_ref Toon/VP { }\n } }\n"
                               " technique { pass {\n diffuse 0 1 0\n } } }\n");
    LoadNodes("<node name='N'><entity name='E' meshFile='TwoPart.mesh' materialFile='Toon/Both'/></node>");
    LevelInspector inspector(TestEngine::Window());
    inspector.ShowLevel(sceneManager, nullptr, LevelRows(), {}, &scene);
    const Ogre::String text = inspector.PropertiesText(Get("E"));
    EXPECT_NE(Ogre::String::npos, text.find("Sub-entity 0: Toon/Both, technique 1; others not usable: Pass 0: vertex "
                                            "program Toon/VP cannot be used"))
        << text;
    EXPECT_NE(Ogre::String::npos, text.find("Mesh: TwoPart.mesh\n")) << text;
}

TEST_F(Inspector, APortalSaysWhereItLeadsAndWhereItIsWritten)
{
    // Two rooms joined by a door: each room's portal faces into its own room.
    const std::string path = WriteFile("door.scene", R"(<scene><nodes>
<node name="A"><position z="5"/>
<portal name="Door" type="quad" x0="1" y0="0" z0="-5" x1="-1" y1="0" z1="-5" x2="-1" y2="2" z2="-5" x3="1" y3="2" z3="-5"/>
<node name="ACrate"><entity meshFile="TwoPart.mesh"/></node></node>
<node name="B"><position z="-5"/>
<portal name="Door" type="quad" x0="-1" y0="0" z0="5" x1="1" y1="0" z1="5" x2="1" y2="2" z2="5" x3="-1" y3="2" z3="5"/>
<node name="BCrate"><entity meshFile="TwoPart.mesh"/></node></node>
</nodes></scene>)");
    LoadFile(path);
    Tarnel::Platform::ConnectPortals(sceneManager);
    TiXmlDocument document;
    ASSERT_TRUE(Tarnel::TarnelUtilities::LoadXmlFile(path, document, true));
    const Tarnel::LevelDescription level = Tarnel::LevelReader().Read(document.RootElement());
    LevelInspector inspector(TestEngine::Window());
    inspector.ShowLevel(sceneManager, nullptr, LevelRows::Of(level, path), {}, &scene);
    ASSERT_EQ(2u, scene.GetPortals().size());
    const Ogre::String text = inspector.PropertiesText(scene.GetPortals()[0]);
    for (const char* said : {"Kind: portal\n", "Zone: A_PCZone\n", "Leads into: B_PCZone\n", "Matching portal: B_Door\n",
                             "Facing: 0 0 -1", "Corners: (1 0 0) (-1 0 0) (-1 2 0) (1 2 0)"})
        EXPECT_NE(Ogre::String::npos, text.find(said)) << said << " in\n" << text;
    EXPECT_NE(Ogre::String::npos, text.find("Made at: " + path + ":3\n")) << text;
}
