// Scripted input: the script's parser, the step counter and the events' injection.
#include "platform/backend/headless/scripted_input.h"

#include <SDL.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/backend/sdl2/sdl2_keymap.h"
#include "platform/core/environment.h"
#include "platform/core/file.h"
#include "platform/core/thread.h"
#include "platform/display/display.h"
#include "platform/window/window_core.h"
#include "platform/backend/headless/injected_events.h"

namespace plat {

namespace {

struct ScriptState {
    std::mutex mutex;
    bool active = false;
    uint32_t step = 0;
    std::vector<ScriptedInputEvent> events;  // ordered by step, script order within a step
    size_t next = 0;                          // first event not applied yet
};

ScriptState& State() {
    static ScriptState* state = new ScriptState;  // lives for the whole process
    return *state;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        const size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A step number: decimal digits only, 1 to 4294967295.
bool ParseStep(std::string_view word, uint32_t* out) {
    if (word.empty() || word.size() > 10) return false;
    uint64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value == 0 || value > 0xFFFFFFFFull) return false;
    *out = static_cast<uint32_t>(value);
    return true;
}

// The virtual key of an SDL scancode name, 0 when the name is unknown or the key has none.
uint32_t VirtualKeyFromName(std::string_view name) {
    const std::string terminated(name);
    const SDL_Scancode scancode = SDL_GetScancodeFromName(terminated.c_str());
    if (scancode == SDL_SCANCODE_UNKNOWN) return 0;
    return VirtualKeyFromScancode(scancode);
}

// Parses one line that is neither blank nor a comment; false with the reason.
bool ParseLine(std::string_view line, ScriptedInputEvent* out, std::string* reason) {
    const std::vector<std::string_view> words = SplitWords(line);
    if (!ParseStep(words[0], &out->step)) {
        *reason = "the step must be a whole number from 1";
        return false;
    }
    if (words.size() < 2) {
        *reason = "expected down, up or close after the step";
        return false;
    }
    const std::string_view verb = words[1];
    if (verb == "shot") {
        if (words.size() != 3) {
            *reason = words.size() < 3 ? "missing file name" : "one file name only";
            return false;
        }
        out->action = ScriptedAction::Shot;
        out->file = std::string(words[2]);
        return true;
    }
    if (verb == "close") {
        if (words.size() != 2) {
            *reason = "close takes no key";
            return false;
        }
        out->action = ScriptedAction::Close;
        out->virtualKey = 0;
        return true;
    }
    if (verb != "down" && verb != "up") {
        *reason = "expected down, up or close after the step";
        return false;
    }
    if (words.size() != 3) {
        *reason = words.size() < 3 ? "missing key name" : "one key name only";
        return false;
    }
    const uint32_t key = VirtualKeyFromName(words[2]);
    if (key == 0) {
        *reason = "unknown key name \"" + std::string(words[2]) + "\"";
        return false;
    }
    out->action = verb == "down" ? ScriptedAction::KeyDown : ScriptedAction::KeyUp;
    out->virtualKey = key;
    return true;
}

// The calling thread's first live window, or 0.
WindowHandle OwnWindow() {
    const uint32_t self = CurrentThreadId();
    wincore::CoreState& core = wincore::Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    for (size_t i = 0; i < core.windows.size(); ++i) {
        const wincore::WindowRecord& w = core.windows[i];
        if (w.inUse && !w.destroying && w.ownerThread == self) return wincore::HandleOf(i);
    }
    return 0;
}

void Apply(const ScriptedInputEvent& event, WindowHandle window) {
    switch (event.action) {
        case ScriptedAction::KeyDown: InjectKey(window, event.virtualKey, true); break;
        case ScriptedAction::KeyUp: InjectKey(window, event.virtualKey, false); break;
        case ScriptedAction::Close:
            if (window != 0) InjectClose(window);
            break;
        case ScriptedAction::Shot: {
            std::string error;
            if (!WriteShownPicturePng(0, event.file.c_str(), &error)) {
                std::fprintf(stderr, "ZN_INPUT step %u: shot %s: %s\n", event.step,
                             event.file.c_str(), error.c_str());
            }
            break;
        }
    }
}

// ZN_INPUT is read as the process starts; a bad script ends it there.
void LoadFromEnvironment() {
    CheckProcessEnvironment();
    const char* path = std::getenv("ZN_INPUT");
    if (path == nullptr || *path == '\0') return;
    std::string error;
    if (!LoadScriptedInputFile(path, &error)) StopForEnvironment("ZN_INPUT", error);
}
struct ScriptFromEnvironment {
    ScriptFromEnvironment() { LoadFromEnvironment(); }
} g_scriptFromEnvironment;

}  // namespace

bool ParseScriptedInput(std::string_view text, std::vector<ScriptedInputEvent>* events,
                        std::string* error) {
    std::vector<ScriptedInputEvent> parsed;
    size_t lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;

        size_t first = 0;
        while (first < line.size() && IsBlank(line[first])) ++first;
        if (first == line.size() || line[first] == '#') continue;

        ScriptedInputEvent event;
        std::string reason;
        if (!ParseLine(line, &event, &reason)) {
            std::string shown(line);
            while (!shown.empty() && IsBlank(shown.back())) shown.pop_back();
            *error = "line " + std::to_string(lineNumber) + ": " + reason + ": " + shown;
            return false;
        }
        parsed.push_back(event);
    }
    std::stable_sort(parsed.begin(), parsed.end(),
                     [](const ScriptedInputEvent& a, const ScriptedInputEvent& b) {
                         return a.step < b.step;
                     });
    *events = std::move(parsed);
    return true;
}

void AdvanceScriptedInput() {
    std::vector<ScriptedInputEvent> due;
    {
        ScriptState& s = State();
        std::lock_guard<std::mutex> hold(s.mutex);
        if (!s.active) return;
        ++s.step;
        while (s.next < s.events.size() && s.events[s.next].step <= s.step) {
            due.push_back(s.events[s.next++]);
        }
    }
    if (due.empty()) return;
    const WindowHandle window = OwnWindow();
    for (const ScriptedInputEvent& event : due) Apply(event, window);
}

bool LoadScriptedInputFile(const char* path, std::string* error) {
    struct stat st {};
    if (stat(path, &st) == 0 && !S_ISREG(st.st_mode)) {
        *error = std::string(path) + (S_ISDIR(st.st_mode)
                                          ? ": is a folder, not a script file"
                                          : ": is a pipe or a device, not a script file");
        return false;
    }
    // Opened as the file layer opens files: a pipe put in place of the script after the look
    // above is refused at once too, instead of waiting for a writer that may never come.
    File* file = OpenNativeFile(path, FileAccess::Read, FileCreation::OpenExisting);
    if (file == nullptr) {
        *error = std::string(path) + ": cannot be read";
        return false;
    }
    std::string contents;
    char chunk[4096];
    int64_t got = 0;
    while ((got = ReadFile(file, chunk, sizeof chunk)) > 0) {
        contents.append(chunk, static_cast<size_t>(got));
    }
    CloseFile(file);
    if (got < 0) {
        *error = std::string(path) + ": cannot be read";
        return false;
    }
    std::vector<ScriptedInputEvent> events;
    std::string lineError;
    if (!ParseScriptedInput(contents, &events, &lineError)) {
        *error = std::string(path) + ": " + lineError;
        return false;
    }
    SetScriptedInput(std::move(events));
    return true;
}

void SetScriptedInput(std::vector<ScriptedInputEvent> events) {
    std::stable_sort(events.begin(), events.end(),
                     [](const ScriptedInputEvent& a, const ScriptedInputEvent& b) {
                         return a.step < b.step;
                     });
    ScriptState& s = State();
    std::lock_guard<std::mutex> hold(s.mutex);
    s.active = true;
    s.step = 0;
    s.events = std::move(events);
    s.next = 0;
}

void ResetScriptedInput() {
    ScriptState& s = State();
    std::lock_guard<std::mutex> hold(s.mutex);
    s.active = false;
    s.step = 0;
    s.events.clear();
    s.next = 0;
}

uint32_t ScriptedInputStep() {
    ScriptState& s = State();
    std::lock_guard<std::mutex> hold(s.mutex);
    return s.step;
}

bool ScriptedInputActive() {
    ScriptState& s = State();
    std::lock_guard<std::mutex> hold(s.mutex);
    return s.active;
}

}  // namespace plat
