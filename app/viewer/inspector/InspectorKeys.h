#ifndef INSPECTOR_KEYS_H
#define INSPECTOR_KEYS_H

#include <OIS/OISKeyboard.h>

#include <array>
#include <deque>

struct ImGuiIO;

/** The keys and characters meant for the inspector's windows, kept between frames and handed to
    ImGui before each of its frames begins, in the order they were typed.

    ImGui 1.86 reads keys as a state per frame. A key pressed and released between two frames is
    down for one frame. Characters are taken in a frame before its keys, and of two shortcuts down
    in one frame only one is acted on, so a frame takes at most one key that is not a character,
    after the characters typed before it; what follows waits for the next frame. A key tapped again
    waits for a frame in which it is up, or ImGui would see it held. */
class InspectorKeys
{
public:
    void Pressed(const OIS::KeyEvent& event);
    void Released(const OIS::KeyEvent& event);
    /// Forgets what is waiting and what is held, and lets ImGui's keys go, as when the inspector closes.
    void Clear(ImGuiIO& io);
    /** Sets the keys, modifiers and characters of ImGui's next frame; call before it begins. The
        keys ImGui holds from the last call are those its last frame saw down. */
    void HandTo(ImGuiIO& io);

private:
    struct Tap
    {
        OIS::KeyCode key;
        unsigned int character; ///< 0 for a key that types nothing in a text field
        bool ctrl, shift, alt;  ///< the modifiers held as it went down
    };
    bool Held(OIS::KeyCode left, OIS::KeyCode right) const { return held[left] || held[right]; }

    std::array<bool, 512> held{}; ///< by the input's key codes, as ImGui's key map gives them
    std::deque<Tap> waiting;
};

#endif
