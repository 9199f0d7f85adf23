#include "ViewerKeys.h"

#include <iomanip>
#include <set>
#include <sstream>
#include <utility>

using OIS::KeyCode;

const std::vector<ViewerKey>& ViewerKeys()
{
    static const char* const MOVE = "W A S D, arrow keys";
    static const char* const SPEED = "mouse wheel, + and -";
    static const std::vector<ViewerKey> keys = {
        {{OIS::KC_A}, KeyAction::StrafeLeft, KeyRepeat::EveryFrame, 0, MOVE, "move and turn", "WASD arrows move"},
        {{OIS::KC_D}, KeyAction::StrafeRight, KeyRepeat::EveryFrame, 0, MOVE, "move and turn", "WASD arrows move"},
        {{OIS::KC_UP, OIS::KC_W}, KeyAction::Forward, KeyRepeat::EveryFrame, 0, MOVE, "move and turn", "WASD arrows move"},
        {{OIS::KC_DOWN, OIS::KC_S}, KeyAction::Back, KeyRepeat::EveryFrame, 0, MOVE, "move and turn", "WASD arrows move"},
        {{OIS::KC_PGUP}, KeyAction::Rise, KeyRepeat::EveryFrame, 0, "Page Up, Page Down", "rise and sink", "PgUp PgDn rise"},
        {{OIS::KC_PGDOWN}, KeyAction::Sink, KeyRepeat::EveryFrame, 0, "Page Up, Page Down", "rise and sink", "PgUp PgDn rise"},
        {{OIS::KC_RIGHT}, KeyAction::TurnRight, KeyRepeat::EveryFrame, 0, MOVE, "move and turn", "WASD arrows move"},
        {{OIS::KC_LEFT}, KeyAction::TurnLeft, KeyRepeat::EveryFrame, 0, MOVE, "move and turn", "WASD arrows move"},
        {{}, KeyAction::None, KeyRepeat::EveryFrame, 0, "mouse", "turn (slide with the right button held)", nullptr},
        {{OIS::KC_ADD, OIS::KC_EQUALS}, KeyAction::Faster, KeyRepeat::AfterSpeed, 0.3f, SPEED,
         "double and halve the flying speed", "+ - speed"},
        {{OIS::KC_SUBTRACT, OIS::KC_MINUS}, KeyAction::Slower, KeyRepeat::AfterSpeed, 0.3f, SPEED,
         "double and halve the flying speed", "+ - speed"},
        {{}, KeyAction::None, KeyRepeat::EveryFrame, 0, "Shift, Ctrl (held)",
         "fly four times faster, four times slower", nullptr},
        {{OIS::KC_F}, KeyAction::Statistics, KeyRepeat::AfterToggle, 1, "F", "statistics", "F stats"},
        {{OIS::KC_T}, KeyAction::TextureFiltering, KeyRepeat::AfterToggle, 1, "T", "texture filtering", "T filtering"},
        {{OIS::KC_SYSRQ}, KeyAction::Screenshot, KeyRepeat::AfterToggle, 0.5f, "SysRq (Print)",
         "screenshot_N.png (never over an earlier one)", "Print screenshot"},
        {{OIS::KC_R}, KeyAction::PolygonMode, KeyRepeat::AfterToggle, 0.5f, "R", "wireframe, points, solid", "R wireframe"},
        {{OIS::KC_P}, KeyAction::CameraDetails, KeyRepeat::AfterToggle, 0.5f, "P", "camera position and direction",
         "P position"},
        {{OIS::KC_SPACE}, KeyAction::Animations, KeyRepeat::AfterToggle, 0.5f, "Space",
         "play or pause the level's node animations (paused at start)", "Space animations"},
        {{OIS::KC_C}, KeyAction::LevelCameras, KeyRepeat::AfterToggle, 0.5f, "C",
         "look through the level's cameras in turn, then the start view again", "C cameras"},
        {{OIS::KC_HOME}, KeyAction::FrameLevel, KeyRepeat::AfterToggle, 0.5f, "Home",
         "the whole level in view, with a flying speed to fit it", "Home frame"},
        {{OIS::KC_F1}, KeyAction::LevelPanel, KeyRepeat::AfterToggle, 0.5f, "F1",
         "the level's panel: file, load time, the camera's zone, cameras, speed", "F1 panel"},
        {{OIS::KC_O}, KeyAction::PortalOutlines, KeyRepeat::AfterToggle, 0.5f, "O",
         "portal outlines: green leads into a zone, red found none", "O portals"},
        {{OIS::KC_F5}, KeyAction::Reload, KeyRepeat::AfterToggle, 0.5f, "F5",
         "reload the level from disk; a broken file keeps the level on screen", "F5 reload"},
        {{OIS::KC_I}, KeyAction::Inspector, KeyRepeat::AfterToggle, 0.5f, "I",
         "the level inspector: click an object to select it; its properties, the level's tree, the findings",
         "I inspector"},
        {{OIS::KC_G}, KeyAction::FrameSelection, KeyRepeat::AfterToggle, 0.5f, "G", "the inspector's selection in view",
         "G selection"},
        {{OIS::KC_L}, KeyAction::Unlit, KeyRepeat::AfterToggle, 0.5f, "L",
         "unlit: every material at full light with its colours and textures, then the level's lighting again",
         "L unlit"},
        {{OIS::KC_Z}, KeyAction::ZoneView, KeyRepeat::AfterToggle, 0.5f, "Z",
         "zone view: each object in its zone's colour, portals outlined, what is drawn of the level counted",
         "Z zones"},
        {{OIS::KC_X}, KeyAction::Freeze, KeyRepeat::AfterToggle, 0.5f, "X",
         "freeze what the portals let the camera draw from here, to fly out and look at it; again to thaw",
         "X freeze"},
        {{OIS::KC_J}, KeyAction::HeaviestPlace, KeyRepeat::AfterToggle, 0.5f, "J",
         "the saved sweep's heaviest places in turn, the heaviest first (--sweep-file)", "J heaviest"},
        {{OIS::KC_ESCAPE, OIS::KC_Q}, KeyAction::Quit, KeyRepeat::EveryFrame, 0, "Escape, Q", "quit", "Esc quit"},
    };
    return keys;
}

std::string KeysHelp()
{
    std::ostringstream text;
    std::set<std::pair<std::string, std::string>> written;
    for (const ViewerKey& key : ViewerKeys())
    {
        if (written.emplace(key.keys, key.help).second)
            text << "  " << std::left << std::setw(23) << key.keys << key.help << "\n";
    }
    return text.str();
}

std::string PanelKeys()
{
    std::string text;
    std::set<std::string> written;
    for (const ViewerKey& key : ViewerKeys())
    {
        if (key.panel && written.insert(key.panel).second)
            text += (text.empty() ? "" : "  ") + std::string(key.panel);
    }
    return text;
}
