// WindowData: the library's global window and system block. It holds what belongs to the
// window system and to library start-up: the settings made before start-up, the processor and
// OS facts, the start directory, the clock, start-up progress, the machine's measurements, the
// window with its pump and pump thread, the dropped files and the typed characters. The base
// services keep their own records (GetLogState, GetAllocState, GetApiLockState, GetCharSet).
//
// Window start-up (ResetWindowDataForStartUp) zeroes the block but keeps what was settled
// before it: the settings, the processor and OS facts and the start directory. Everything else
// starts from zero on every start.
#pragma once
#include <cstdint>

#include "platform/window/window.h"
#include "system/clock.h"

namespace plat {
struct Thread;
}

// Called with every message of the library window before the library handles it.
using UserMessageHook = plat::LResult (*)(plat::WindowHandle window, uint32_t message,
                                          plat::WParam wParam, plat::LParam lParam);
// Called after every activation change with the new state and the registered data.
using ActivationCallback = void (*)(int active, void* data);
// Called after a windowed / full-screen toggle asked for from the window.
using ModeChangeCallback = void (*)(void* data);

// Settings made before start-up. Kept across the start-up reset.
struct WindowSettings {
    uint32_t windowed = 0;        // 1 windowed, 0 full screen
    uint32_t styleMode = 0;       // 0..6, row of the window style tables
    double windowScale = 0.0;     // client size = screen size x scale; 0.0 reads as 1.0
    int32_t windowX = 0;          // window position, used instead of centring when
    int32_t windowY = 0;          // useWindowPosition is 1
    uint32_t useWindowPosition = 0;
    char title[256] = {};         // window title; "ZnLib" when none was set
    char className[256] = {};     // window class name; the title, or "D123987X"
    int32_t iconId = 0;           // icon resource id, 0 for the default icon
    uint32_t modeChangeSwitch = 0;  // 1: Alt+Enter and maximise toggle the window mode
    ModeChangeCallback modeChangeCallback = nullptr;
    void* modeChangeData = nullptr;
    // Device switches: leave the named part out of start-up.
    uint32_t noWindow = 0;
    uint32_t noGraphics = 0;
    uint32_t noSound = 0;
    uint32_t noInput = 0;
    uint32_t allowSecondInstance = 0;  // 1: a second running instance is only logged
    uint32_t hiddenWindow = 0;         // 1: the window is never shown
    uint32_t styleApplied = 0;         // the window-mode style was applied once
    UserMessageHook userMessageHook = nullptr;
};

// Facts about the processor and the OS found by OutputSystemInfo. Kept across the start-up
// reset. (The time-stamp-counter flag and the CPU clock live in ClockState.)
struct CpuFacts {
    char osText[256] = {};   // "WindowsXP ( Build 2600 Service Pack 3 )"
    char cpuName[64] = {};   // brand string, empty when the processor gives none
    int32_t osCode = 0;      // 263 for XP, 264 for Vista (see OutputSystemInfo)
    int32_t directXVersion = 0;  // 0x70000
    uint32_t mmx = 0;        // 1 when MMX is there
    int32_t cpuMhz = 0;
};

// Facts about the machine measured by window start-up.
struct MachineFacts {
    uint32_t totalPhysicalMemory = 0;  // bytes
    uint32_t freePhysicalMemory = 0;
    int32_t desktopWidth = 0;
    int32_t desktopHeight = 0;
    int32_t desktopColorBits = 0;
    uint32_t timerMinimumPeriod = 0;   // milliseconds
};

// Progress of library start-up and shut-down. (The started flag is ClockState::started: the
// microsecond clock reads it.)
struct LibraryState {
    uint32_t inStartUp = 0;   // 1 while InitLibrary runs
    uint32_t ending = 0;      // 1 while TermLibrary runs; 4 after the user asked to close
    uint32_t comStarted = 0;  // 1 when InitCom started COM
};

// The window, its message pump and the pump thread.
struct WindowState {
    plat::WindowHandle handle = 0;
    uint32_t mainThreadId = 0;        // the thread that ran start-up
    plat::Thread* pumpThread = nullptr;
    uint32_t pumpThreadId = 0;        // written by the pump thread itself (atomic access)
    uint32_t pumpThreadEnded = 0;     // 1 once the pump thread left its loop (atomic access)
    uint32_t quit = 0;                // 1 once the library is to end (atomic access)
    uint32_t closing = 0;             // the library posted WM_CLOSE itself (at most once)
    uint32_t destroyed = 0;           // WM_DESTROY was seen
    uint32_t active = 0;              // 1 while the application is active
    uint32_t windowCreating = 0;      // from class registration to the end of the first pumping
    uint32_t inactiveWaitStarted = 0; // a pump found the window inactive
    uint32_t inactiveSince = 0;       // millisecond clock when it did; 0xFFFFFFFF after reset
    uint32_t modeSwitchPending = 0;   // the window asked for a windowed / full-screen toggle
    uint32_t modeChangeInProgress = 0;  // ChangeWindowMode waits for WM_DISPLAYCHANGE
    uint32_t displayChanged = 0;      // WM_DISPLAYCHANGE arrived
    uint32_t reentryGuard = 0;        // 1 while ProcessMessage runs the key-input step
    uint32_t painting = 0;            // WM_PAINT runs (windowed)
    uint32_t paintSeen = 0;           // a WM_PAINT arrived
    uint32_t windowRedraw = 0;        // the saved window picture is being redrawn
    uint32_t minimizedFullScreen = 0; // the full-screen window lost the display
    int32_t wheelCount = 0;           // +1 / -1 per WM_MOUSEWHEEL notch
    plat::Rect clientRect = {};       // client area in screen coordinates (windowed)
    uint32_t cursorShown = 0;         // cursor visibility last applied; 0 hides it
    uint32_t cursorWanted = 0;        // cursor visibility asked for (SetMouseCursorVisibility)
    uint32_t librarySizing = 0;       // the library itself moves or sizes the window now
    uint32_t resizable = 0;           // the windowed style gets WS_THICKFRAME
    uint32_t closeKeepsWindow = 0;    // WM_CLOSE from the user does not destroy the window
    uint32_t noQuitMessage = 0;       // WM_DESTROY posts no WM_QUIT
    uint32_t systemKeySwitch = 0;     // system keys are held back while active
    ActivationCallback activationCallback = nullptr;
    void* activationData = nullptr;
    uint32_t f10KeyHeld = 0;          // message 0x46F, read by the input devices
    uint32_t secondInputFlag = 0;     // message 0x470, read by the input devices
};

// Names of the files dropped on the window (tracked memory), oldest first.
constexpr int kMaxDroppedFiles = 1000;
struct DroppedFileList {
    char* names[kMaxDroppedFiles] = {};
    int32_t count = 0;
};

// The ring of typed characters that character input reads: positions 0..1024, written at
// write, read at read.
constexpr int kInputCharQueueSize = 1025;
struct InputCharQueue {
    uint8_t chars[kInputCharQueueSize] = {};
    int32_t write = 0;
    int32_t read = 0;
};

struct WindowData {
    // Kept across the reset at window start-up.
    WindowSettings settings;
    CpuFacts cpu;
    char startDirectory[260] = {};  // current directory at start-up

    // Partly kept: the clock's time-stamp counter flag and CPU clock; the library's
    // in-start-up and COM-started flags.
    ClockState clock;
    LibraryState library;

    // Reset at window start-up.
    MachineFacts machine;
    WindowState window;
    DroppedFileList droppedFiles;
    InputCharQueue inputChars;
};

WindowData& GetWindowData();

// Zeroes the block for a new start but keeps what was settled before it (see above). The
// inactive-since time becomes 0xFFFFFFFF. The log's line starts afresh (no indentation) and
// the character set is cleared until the window system finds it again. Dropped-file names
// still stored are not freed here.
void ResetWindowDataForStartUp();

// Frees the stored dropped-file names. Returns 0.
int ClearDroppedFiles();

// The quit flag, read by the pump thread outside the library lock.
bool IsQuitRequested();
void SetQuitRequested();
