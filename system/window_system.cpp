#include "system/window_system.h"

#include <atomic>
#include <cstdio>

#include "graphics/draw_state/draw_state.h"
#include "system/window_facts.h"
#include "platform/core/clock.h"
#include "platform/core/debug_output.h"
#include "platform/window/instance_lock.h"
#include "platform/core/system_info.h"
#include "platform/core/terminal_line.h"
#include "platform/window/window.h"
#include "platform/core/thread.h"
#include "platform/window/window_messages.h"
#include "base/log.h"
#include "system/key_input.h"
#include "system/message_pump.h"
#include "base/number_routines.h"
#include "base/random_mt.h"
#include "base/sjis_string.h"
#include "system/window_cursor.h"
#include "system/window_data.h"
#include "system/window_placement.h"
#include "system/window_styles.h"

using namespace plat;

namespace {

constexpr char kDefaultClassName[] = "D123987X";
constexpr char kDefaultTitle[] = "ZnLib";
constexpr int kTimerTestChanges = 60;
constexpr uint32_t kTimerTestMs = 1000;
constexpr uint32_t kFirstPumpMs = 200;
constexpr int32_t kNullBrush = 5;

// The window class's procedure: the installed message handling.
LResult LibraryWindowProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam) {
    return WindowMessageSlot()->handleMessage(window, message, wParam, lParam);
}

constexpr WindowMessageDriver kAbsentWindowMessages = {.handleMessage = DefWindowProc};

bool OnPumpThread() {
    const uint32_t pump = std::atomic_ref<uint32_t>(GetWindowData().window.pumpThreadId)
                              .load(std::memory_order_acquire);
    return pump != 0 && pump == CurrentThreadId();
}

bool PumpThreadEnded() {
    return std::atomic_ref<uint32_t>(GetWindowData().window.pumpThreadEnded)
               .load(std::memory_order_acquire) != 0;
}

void LogMemory(MachineFacts& machine) {
    const MemoryStatus memory = GetMemoryStatus();
    constexpr double kMegabyte = 1.0 / 1048576;
    LogFormat("メモリ総量:%.2fMB  空きメモリ領域:%.2fMB ", memory.totalPhysical * kMegabyte,
              memory.freePhysical * kMegabyte);
    char text[64];
    std::snprintf(text, sizeof(text), "%.2fMB\n", memory.freePhysical * kMegabyte);
    DebugOutput(text);
    machine.totalPhysicalMemory = memory.totalPhysical;
    machine.freePhysicalMemory = memory.freePhysical;
}

// Counts how often the performance counter and the millisecond clock change in (at most) a
// second and uses the one that changes more often; a tie keeps the performance counter.
void TestTimerAccuracy(ClockState& clock, const MachineFacts& machine) {
    LogWrite("タイマーの精度を検査します\n");
    int msChanges = 0;
    int counterChanges = 0;
    uint64_t lastCounter = PerformanceCounter();
    uint32_t lastMs = MillisecondClock();
    const uint32_t start = lastMs;
    while (msChanges < kTimerTestChanges && counterChanges < kTimerTestChanges) {
        const uint64_t counter = PerformanceCounter();
        if (counter != lastCounter) {
            ++counterChanges;
            lastCounter = counter;
        }
        const uint32_t ms = MillisecondClock();
        if (ms != lastMs) {
            ++msChanges;
            lastMs = ms;
        }
        if (ProcessMessage() != 0 || ms - start >= kTimerTestMs) break;
    }
    LogFormat("精度結果 更新回数 マルチメディアタイマー：%d  パフォーマンスカウンター：%d", msChanges,
              counterChanges);
    LogWrite(" ");
    if (msChanges > counterChanges) {
        LogFormat("マルチメディアタイマーを使用します タイマー分解能 : %d.00 ms ",
                  static_cast<int>(machine.timerMinimumPeriod));
        clock.usePerformanceCounter = 0;
    } else {
        LogFormat("パフォーマンスカウンターを使用します タイマー分解能 : %lf KHz ",
                  static_cast<double>(clock.performanceFrequency) * 0.001);
    }
    LogWrite(" ");
}

// The second-instance check. -1 (quit set) when another instance runs and that is not allowed.
int CheckSecondInstance(const WindowSettings& settings) {
    LogWrite("ソフトの二重起動検査... ");
    if (!FindRunningWindow(settings.className)) {
        LogWrite("二重起動はされていませんでした\n");
        return 0;
    }
    if (!settings.allowSecondInstance) {
        LogWrite("二重起動されています、ソフトを終了します\n");
        // On a terminal the program would otherwise seem not to start at all.
        WriteTerminalLine("二重起動されています、ソフトを終了します");
        SetQuitRequested();
        return -1;
    }
    LogWrite("二重起動されていますが続行します\n");
    return 0;
}

WindowHandle CreateLibraryWindow(WindowData& data) {
    WindowSettings& settings = data.settings;
    int32_t screenWidth = 0, screenHeight = 0;
    GetScreenModeInfo(&screenWidth, &screenHeight, nullptr);

    if (settings.windowed) {
        LogWrite("ウインドウモード起動用のウインドウを作成します\n");
        const double scale = GetWindowScale();
        const WindowStylePair style = GetWindowedStyle();
        Rect rect{0, 0, DoubleToInt(screenWidth * scale), DoubleToInt(screenHeight * scale)};
        AdjustWindowRect(&rect, style.style, style.exStyle);
        const int32_t width = rect.right - rect.left;
        const int32_t height = rect.bottom - rect.top;
        const int32_t x = settings.useWindowPosition
                              ? settings.windowX
                              : (data.machine.desktopWidth - width) / 2;
        const int32_t y = settings.useWindowPosition
                              ? settings.windowY
                              : (data.machine.desktopHeight - height) / 2;
        return CreateWindow(settings.className, settings.title, style.style, style.exStyle, x, y,
                            width, height, nullptr);
    }
    LogWrite("フルスクリーンモード用のウインドウを作成します\n");
    const WindowStylePair style = GetFullScreenStyle();
    return CreateWindow(settings.className, settings.title, style.style, style.exStyle, 0, 0,
                        screenWidth, screenHeight, nullptr);
}

// Registers the class, creates and shows the window and pumps its first messages. -1 (quit
// set) on failure.
int StartWindow(WindowData& data) {
    WindowSettings& settings = data.settings;
    WindowState& window = data.window;
    if (CheckSecondInstance(settings) != 0) return -1;
    // (A window menu would have its item table built here; nothing sets one.)

    window.windowCreating = 1;
    const WindowClass windowClass{CS_HREDRAW | CS_VREDRAW, LibraryWindowProc, settings.iconId, 0,
                                  kNullBrush, settings.className};
    LogWrite("ウインドウクラスを登録します... ");
    if (RegisterWindowClass(windowClass) == 0) {
        LogWrite("ウインドウクラスの登録に失敗しました\n");
        SetQuitRequested();
        return -1;
    }
    LogWrite("登録に成功しました\n");
    if (settings.title[0] == '\0') {
        std::snprintf(settings.title, sizeof(settings.title), "%s", kDefaultTitle);
    }

    const WindowHandle handle = CreateLibraryWindow(data);
    if (handle == 0) {
        LogWrite("ウインドウの作成に失敗しました\n");
        // The class goes too, so that a later start can register it again.
        UnregisterWindowClass(settings.className);
        SetQuitRequested();
        return -1;
    }
    window.handle = handle;
    if (settings.hiddenWindow) {
        ShowWindow(handle, SW_HIDE);
    } else {
        ShowWindow(handle, SW_SHOW);
        UpdateWindow(handle);
    }

    window.closing = 0;
    window.destroyed = 0;
    window.active = 1;
    if (!settings.windowed) {
        LogWrite("カーソルを不可視にしました\n");
        while (ShowCursor(false) >= 0) {
        }
    }
    // Typed text reaches the library as characters only: the platform has no IME to switch
    // off for the window.
    LogWrite("ＩＭＥを無効にしました\n");
    if (settings.windowed) {
        Rect client = {};
        GetClientRect(handle, &client);
        Point origin{0, 0};
        ClientToScreen(handle, &origin);
        window.clientRect = Rect{origin.x, origin.y, origin.x + client.right,
                                 origin.y + client.bottom};
    }

    SetCharSet(GetOemCodePage() == 949 ? 2 : 1);
    SetMouseCursorVisibility(settings.windowed ? 1 : 0);
    data.library.ending = 0;

    if (!settings.hiddenWindow) SetForegroundWindow(handle);
    const uint32_t start = MillisecondClock();
    while (MillisecondClock() - start < kFirstPumpMs) ProcessMessage();
    if (!settings.hiddenWindow) FitWindowToScreen();
    window.windowCreating = 0;
    return 0;
}

}  // namespace

DriverSlot<WindowMessageDriver>& WindowMessageSlot() {
    static DriverSlot<WindowMessageDriver> slot(kAbsentWindowMessages);
    return slot;
}

int InitWindowSystem() {
    ResetWindowDataForStartUp();
    WindowData& data = GetWindowData();
    WindowSettings& settings = data.settings;
    MachineFacts& machine = data.machine;

    if (settings.className[0] == '\0') {
        std::snprintf(settings.className, sizeof(settings.className), "%s",
                      settings.title[0] != '\0' ? settings.title : kDefaultClassName);
    }
    data.window.mainThreadId = CurrentThreadId();

    LogMemory(machine);

    const DesktopInfo desktop = GetDesktopInfo();
    machine.desktopWidth = desktop.width;
    machine.desktopHeight = desktop.height;
    machine.desktopColorBits = desktop.bitsPerPixel;

    data.clock.performanceFrequency = PerformanceFrequency();
    data.clock.usePerformanceCounter = data.clock.performanceFrequency != 0 ? 1 : 0;
    machine.timerMinimumPeriod = GetTimerMinimumPeriod();

    if (data.clock.usePerformanceCounter) TestTimerAccuracy(data.clock, machine);

    SeedRandomMT(MillisecondClock());
    SetScreenSaverActive(false);

    if (!settings.noWindow && StartWindow(data) != 0) return -1;

    WindowFactsSlot().Install(kWindowSystemFacts);

    data.window.pumpThread = StartThread(ProcessMessageThread, nullptr);
    if (data.window.pumpThread == nullptr) {
        LogWrite("ProcessMessage をひたすら呼びつづけるスレッドの立ち上げに失敗しました\n");
    }
    return 0;
}

int TermWindowSystem() {
    WindowData& data = GetWindowData();
    const WindowSettings& settings = data.settings;
    WindowState& window = data.window;
    // Without a window there is nothing to take down, unless the library ran without one on
    // purpose: then its pump thread still has to end.
    if (window.handle == 0 && !settings.noWindow) {
        return 0;
    }

    SetScreenSaverActive(true);
    // String inputs still open are given back before the window goes.
    DeleteAllKeyInputHandles();

    if (!settings.noWindow) {
        // The IME, the cursor, a menu and a tool bar would be put back here; nothing in this
        // system changes them.
        if (CurrentThreadId() == window.mainThreadId) {
            if (!window.closing) {
                window.closing = 1;
                PostMessage(window.handle, WM_CLOSE, 0, 0);
            }
            while (ProcessMessage() == 0) {
            }
            UnregisterWindowClass(settings.className);
        } else {
            // Only the window's own thread can take it down (a fatal error met on the pump
            // thread ends up here); the process is about to end.
            SetQuitRequested();
        }
        // Character input deletes its key-input handles here, and the saved window picture
        // is freed, once those exist.
        ClearDroppedFiles();
    } else {
        SetQuitRequested();
    }

    if (window.pumpThread != nullptr) {
        // The pump thread cannot wait for itself.
        if (!OnPumpThread()) {
            while (!PumpThreadEnded()) SleepMs(1);
            JoinThread(window.pumpThread);
        }
        window.pumpThread = nullptr;
    }

    WindowFactsSlot().Reset();
    window.handle = 0;
    return 0;
}
