// Scripted input for runs without a person: ZN_INPUT=FILE names a script of key presses,
// key releases and window closes, each applied at the start of a numbered main-loop step.
//
// Script lines (one event each; blank lines and lines starting with '#' are ignored):
//     STEP down KEY      the key goes down
//     STEP up KEY        the key goes up
//     STEP close         the window is closed as a person closes it
//     STEP shot FILE     the picture shown now is written to FILE as a PNG (a failure to write
//                        it is reported on stderr and the run goes on)
// STEP counts from 1; KEY is an SDL scancode name (Z, X, Up, Down, Left, Right, Escape, P, W,
// Return, ...). Events of one step are applied in the script's order.
//
// The steps are counted by AdvanceScriptedInput, which the library calls once at the start of
// each main-loop pump. The events go through the same route as the desktop's (the window
// layer's key state and the key and close messages of the calling thread's window).
//
// The script is read when the process starts; a script that cannot be read, or a malformed
// line, stops the program at once with a message naming the file and the line.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

enum class ScriptedAction { KeyDown, KeyUp, Close, Shot };

struct ScriptedInputEvent {
    uint32_t step = 0;        // 1 for the first counted step
    ScriptedAction action = ScriptedAction::KeyDown;
    uint32_t virtualKey = 0;  // the key's virtual key (KeyDown and KeyUp)
    std::string file;         // Shot: the PNG file to write

    bool operator==(const ScriptedInputEvent&) const = default;
};

// Parses a whole script. False on the first malformed line, with error naming the line by
// its number ("line 3: ...").
bool ParseScriptedInput(std::string_view text, std::vector<ScriptedInputEvent>* events,
                        std::string* error);

// Counts one step and applies its events. Does nothing while no script is loaded.
void AdvanceScriptedInput();

// ---- test controls ----
// Loads a script from a file (as ZN_INPUT does); false with error naming the file and line.
bool LoadScriptedInputFile(const char* path, std::string* error);
// Uses these events as the script; the step count starts again at 0.
void SetScriptedInput(std::vector<ScriptedInputEvent> events);
// No script, step count 0.
void ResetScriptedInput();
// The steps counted so far.
uint32_t ScriptedInputStep();
// True while a script is loaded.
bool ScriptedInputActive();

}  // namespace plat
