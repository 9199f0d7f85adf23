// The inspector's keys, handed to ImGui a frame at a time.
#include "InspectorKeys.h"

#include <imgui.h>

namespace
{
    bool IsModifier(OIS::KeyCode key)
    {
        switch (key)
        {
        case OIS::KC_LCONTROL: case OIS::KC_RCONTROL: case OIS::KC_LSHIFT: case OIS::KC_RSHIFT:
        case OIS::KC_LMENU: case OIS::KC_RMENU:
            return true;
        default:
            return false;
        }
    }
}

void InspectorKeys::Pressed(const OIS::KeyEvent& event)
{
    if (size_t(event.key) >= held.size())
        return;
    held[event.key] = true;
    if (IsModifier(event.key))
        return;
    const bool ctrl = Held(OIS::KC_LCONTROL, OIS::KC_RCONTROL), alt = Held(OIS::KC_LMENU, OIS::KC_RMENU);
    // ImGui's text fields take no characters while Ctrl alone is held: those are shortcuts.
    const bool types = event.text >= 32 && event.text < 0x10000 && event.text != 127 && !(ctrl && !alt);
    waiting.push_back({event.key, types ? event.text : 0, ctrl, Held(OIS::KC_LSHIFT, OIS::KC_RSHIFT), alt});
}

void InspectorKeys::Released(const OIS::KeyEvent& event)
{
    if (size_t(event.key) < held.size())
        held[event.key] = false;
}

void InspectorKeys::Clear(ImGuiIO& io)
{
    held.fill(false);
    waiting.clear();
    HandTo(io);
}

void InspectorKeys::HandTo(ImGuiIO& io)
{
    bool ctrl = Held(OIS::KC_LCONTROL, OIS::KC_RCONTROL), shift = Held(OIS::KC_LSHIFT, OIS::KC_RSHIFT),
         alt = Held(OIS::KC_LMENU, OIS::KC_RMENU);
    const bool* downLastFrame = io.KeysDown;
    std::array<bool, 512> down = held;
    while (!waiting.empty())
    {
        const Tap tap = waiting.front();
        if (tap.character)
        {
            io.AddInputCharacter(tap.character);
            waiting.pop_front();
            continue;
        }
        // Still held since the last frame: ImGui repeats a held key itself.
        if (downLastFrame[tap.key] && held[tap.key])
        {
            waiting.pop_front();
            continue;
        }
        if (downLastFrame[tap.key])
            break; // up for a frame first
        down[tap.key] = true;
        ctrl = ctrl || tap.ctrl;
        shift = shift || tap.shift;
        alt = alt || tap.alt;
        waiting.pop_front();
        break;
    }
    for (size_t key = 0; key < down.size(); ++key)
        io.KeysDown[key] = down[key];
    io.KeyCtrl = ctrl;
    io.KeyShift = shift;
    io.KeyAlt = alt;
}
