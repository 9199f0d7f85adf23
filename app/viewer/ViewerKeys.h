#ifndef TARNEL_APP_VIEWER_KEYS_H
#define TARNEL_APP_VIEWER_KEYS_H

#include <OIS/OISKeyboard.h>

#include <string>
#include <vector>

/// What a key of the viewer does.
enum class KeyAction
{
    None, ///< a line of help only (the mouse)
    StrafeLeft,
    StrafeRight,
    Forward,
    Back,
    Rise,
    Sink,
    TurnRight,
    TurnLeft,
    Quit,
    Faster,
    Slower,
    Statistics,
    TextureFiltering,
    Screenshot,
    PolygonMode,
    CameraDetails,
    Animations,
    LevelCameras,
    FrameLevel,
    LevelPanel,
    PortalOutlines,
    Reload,
    Inspector,
    FrameSelection,
    Unlit,
    ZoneView,
    Freeze,
    HeaviestPlace,
};

/// How often a key acts while it is held. Every press of a toggle or speed key acts once, however short.
enum class KeyRepeat
{
    EveryFrame,  ///< motion: for as long as it is held, and for the frame after a press shorter than one
    AfterToggle, ///< once, then not again until the toggles' delay has run out
    AfterSpeed,  ///< once, then not again until the speed keys' delay has run out
};

/** One key, or keys that do one thing, of the viewer. Rows with the same keys and
    help make one line of help, where the first of them stands. */
struct ViewerKey
{
    std::vector<OIS::KeyCode> codes; ///< any of them; none for help about the mouse
    KeyAction action;
    KeyRepeat repeat;
    float delay;       ///< seconds before the next toggle or speed key counts
    const char* keys;  ///< as the help names them
    const char* help;  ///< what they do
    const char* panel; ///< the level panel's words for it; null only for help about the mouse
};

/** Every key of the viewer, in the order the keys act within one frame: of two toggles
    held down, the first acts again and its delay keeps the other out. */
const std::vector<ViewerKey>& ViewerKeys();

/// The keys' lines of the usage text: keys, then what they do, one line each.
std::string KeysHelp();

/// The level panel's line of every key ("WASD arrows move  PgUp PgDn rise ...").
std::string PanelKeys();

#endif
