#include "system/message_pump.h"

#include "base/api_lock.h"
#include "graphics/graphs/graph_handle_table.h"
#include "platform/backend/headless/scripted_input.h"
#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "platform/window/window.h"
#include "system/input.h"
#include "system/pump_services.h"
#include "system/window_data.h"

namespace {

// CheckAnyInput's mask for keys, pads and mouse buttons.
constexpr int kAnyInputMask = 7;

// Messages dispatched before a pass ends and the inactive wait gets its turn.
constexpr int kMessagesPerPass = 5;

bool OnMainThread() { return plat::CurrentThreadId() == GetWindowData().window.mainThreadId; }

// The servicing between two passes of the inactive wait.
void ServiceWhileInactive() {
    const PumpServices& services = GetPumpServices();
    services.stepSocketMessages(1);
    services.stepHttpTransfers();
    services.refillSoundStreams();
}

// The servicing at the end of every call. The key-input step runs under the re-entry guard,
// so that a window message handler that pumps again from inside it does not recurse.
void RunServiceStep(WindowState& window) {
    const PumpServices& services = GetPumpServices();
    services.refillSoundStreams();
    services.pollMusic();
    services.stepJoypadEffects();
    services.stepSocketMessages(1);
    services.stepHttpTransfers();
    window.reentryGuard = 1;
    services.stepKeyInput();
    window.reentryGuard = 0;
}

// Pumps in passes of at most five dispatched messages. While the window is inactive the main
// thread stays here, sleeping 1 ms before and after each pass and servicing in between; any
// other thread makes one pass.
void PumpWindowMessages(WindowData& data) {
    WindowState& window = data.window;
    const bool mainThread = OnMainThread();
    int dispatched = 0;
    bool nothingHandled = false;
    bool waitStarted = false;

    for (;;) {
        if ((window.active || window.closing || window.windowRedraw) &&
            (nothingHandled || IsQuitRequested())) {
            break;
        }
        const bool waiting = !window.active && !window.windowRedraw;
        if (waiting && !waitStarted) {
            waitStarted = true;
            window.inactiveSince = plat::MillisecondClock();
            window.inactiveWaitStarted = 1;
        }
        nothingHandled = true;
        if (waiting) plat::SleepMs(1);

        bool endLoop = false;
        plat::Message message;
        // Any message of this thread: the library window's and thread messages. (A dialog
        // window, extra windows and an accelerator table would be served here; nothing in
        // this system sets them.)
        while (plat::PeekMessage(&message, 0, 0, 0, plat::PM_REMOVE)) {
            if (message.message == plat::WM_ACTIVATEAPP && data.settings.windowed) {
                window.active = plat::LowWord(message.wParam);
            }
            if (IsQuitRequested()) {
                endLoop = true;
                break;
            }
            if (message.message == plat::WM_QUIT) SetQuitRequested();
            plat::TranslateMessage(&message);
            plat::DispatchMessage(&message);
            if (++dispatched == kMessagesPerPass) {
                dispatched = 0;
                break;  // the pass ends; nothing-handled stays as it is
            }
            nothingHandled = false;
        }
        if (endLoop) break;

        if (!window.active) {
            ServiceWhileInactive();
            plat::SleepMs(1);
        }
        if (IsQuitRequested() || !mainThread) break;
    }
}

// One input check as a public entry makes it, under the library lock for its own length only.
int LockedCheckAnyInput(int mask) { return LockedCall(CheckAnyInput, mask); }

}  // namespace

int GameStepProcessMessage() {
    plat::AdvanceScriptedInput();
    return LockedCall(ProcessMessage);
}

int ProcessMessage() {
    WindowData& data = GetWindowData();
    WindowState& window = data.window;
    if (window.reentryGuard) return 0;

    if (!data.settings.noWindow) {
        if (window.handle == 0) return IsQuitRequested() ? -1 : 0;
        // The windowed / full-screen toggle that the window asked for (modeSwitchPending)
        // runs here on the main thread, with the mode-change callback, once window modes can
        // be changed.
        PumpWindowMessages(data);
        // On the main thread the full-screen menu follows the cursor here once the window has
        // a menu.
    }

    RunServiceStep(window);
    return IsQuitRequested() ? -1 : 0;
}

void WaitWhileInactive() {
    WindowData& data = GetWindowData();
    WindowState& window = data.window;
    // Without a window nothing could make it active again.
    if (window.handle == 0 || window.painting || window.active) return;
    // While the saved picture is redrawn a windowed screen (or one flipped to GDI) is not held.
    if (window.windowRedraw && data.settings.windowed) return;

    window.inactiveSince = plat::MillisecondClock();
    window.inactiveWaitStarted = 1;
    while (ProcessMessage() == 0 && !window.active) {
    }
    RestoreLostGraphSurfaces();
}

int WaitForInputPress() {
    // First the input held at entry is let go.
    while (GameStepProcessMessage() == 0 && LockedCheckAnyInput(kAnyInputMask) != 0) {
        plat::SleepMs(1);
    }
    if (GameStepProcessMessage() != 0) return 0;
    for (;;) {
        const int input = LockedCheckAnyInput(kAnyInputMask);
        if (input != 0) return input;
        plat::SleepMs(1);
        if (GameStepProcessMessage() != 0) return 0;
    }
}
