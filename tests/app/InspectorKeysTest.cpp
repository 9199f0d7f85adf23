#include "InspectorKeys.h"

#include <gtest/gtest.h>
#include <imgui.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace
{
    const std::map<OIS::KeyCode, std::string> NAMES = {
        {OIS::KC_X, "X"}, {OIS::KC_V, "V"}, {OIS::KC_A, "A"}, {OIS::KC_C, "C"}, {OIS::KC_Y, "Y"},
        {OIS::KC_BACK, "Back"}, {OIS::KC_LEFT, "Left"}, {OIS::KC_LCONTROL, "Ctrl"}, {OIS::KC_LSHIFT, "Shift"}};

    /// A script of input: "+Ctrl" goes down, "-Ctrl" up, "x" taps a key that types, "Back" taps
    /// one that does not, "|" is a frame. Returns what each frame handed to ImGui, as
    /// "characters [keys down] ctrl shift".
    std::vector<std::string> Play(const std::vector<std::string>& script)
    {
        InspectorKeys keys;
        ImGuiIO io;
        std::vector<std::string> frames;
        auto code = [](const std::string& name) {
            for (const auto& [key, keyName] : NAMES)
                if (keyName == name)
                    return key;
            return OIS::KC_UNASSIGNED;
        };
        for (const std::string& step : script)
        {
            if (step == "|")
            {
                io.InputQueueCharacters.resize(0);
                keys.HandTo(io);
                std::string frame(io.InputQueueCharacters.begin(), io.InputQueueCharacters.end());
                frame += " [";
                for (const auto& [key, name] : NAMES)
                    frame += io.KeysDown[key] ? name + " " : "";
                frame += "]";
                frame += io.KeyCtrl ? " ctrl" : "";
                frame += io.KeyShift ? " shift" : "";
                frames.push_back(frame);
            }
            else if (step[0] == '+' || step[0] == '-')
            {
                const OIS::KeyEvent event(nullptr, code(step.substr(1)), 0);
                step[0] == '+' ? keys.Pressed(event) : keys.Released(event);
            }
            else
            {
                const bool types = step.size() == 1;
                const OIS::KeyCode key = types ? code(std::string(1, char(std::toupper(step[0])))) : code(step);
                keys.Pressed(OIS::KeyEvent(nullptr, key, types ? unsigned(step[0]) : 0));
                keys.Released(OIS::KeyEvent(nullptr, key, 0));
            }
        }
        return frames;
    }

    struct Case
    {
        const char* what;
        std::vector<std::string> script, frames;
    };

    const Case CASES[] = {
        {"taps quicker than frames are each taken once, in order, a shortcut a frame",
         {"x", "+Ctrl", "v", "-Ctrl", "+Ctrl", "a", "-Ctrl", "+Ctrl", "c", "-Ctrl", "|", "|", "|", "|"},
         {"x [V ] ctrl", " [A ] ctrl", " [C ] ctrl", " []"}},
        {"a key tapped twice in one frame is up for a frame between",
         {"Back", "Back", "|", "|", "|", "|"},
         {" [Back ]", " []", " [Back ]", " []"}},
        {"characters typed after a key wait for it",
         {"Back", "y", "|", "|"},
         {" [Back ]", "y []"}},
        {"a held key stays down, and is taken once",
         {"+Back", "|", "|", "-Back", "|"},
         {" [Back ]", " [Back ]", " []"}},
        {"Ctrl with a letter types nothing; Shift goes with its key",
         {"+Ctrl", "x", "-Ctrl", "+Shift", "Left", "-Shift", "|", "|", "|"},
         {" [X ] ctrl", " [Left ] shift", " []"}},
    };
}

TEST(InspectorKeysTest, HandsImGuiEachTapOnceAndInOrder)
{
    for (const Case& test : CASES)
        EXPECT_EQ(Play(test.script), test.frames) << test.what;
}
