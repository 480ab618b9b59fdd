// Windows and messages of the platform layer.
//
// A window belongs to the thread that created it and is named by a handle made of a table
// index and a generation: a handle whose window was destroyed stays invalid and every call
// given it fails safely. Each thread has its own message queue. Posted messages wait in the
// queue of the window's owner and come out of PeekMessage / GetMessage in order, followed by
// WM_QUIT (PostQuitMessage), then WM_PAINT for a window that needs painting, then WM_TIMER
// for a due timer. Sent messages run the window procedure at once on the owner thread; sent
// from another thread they wait in the owner's queue until its next peek or get, which runs
// them inside the call (they are never returned), while the sender waits for the result.
//
// Creating, moving, sizing, showing and destroying a window deliver their messages
// synchronously (WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_DESTROY); WM_SIZE and WM_MOVE
// are sent only when the size or the position really changed. No internal lock is held while
// a window procedure runs, so a procedure may pump messages again.
//
// What the desktop does to a window (focus, minimise, expose, move, close, keys, text, wheel,
// dropped files) arrives as messages from the backend: a real window through SDL2, or none at
// all in the headless backend (ZN_VIDEO=headless, and always in tests), where the test
// controls of injected_events.h inject the same events.
//
// Text (titles, class names, dropped file names, WM_CHAR bytes) is Shift-JIS (CP932).
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/core/system_info.h"
#include "platform/window/window_messages.h"

namespace plat {

// 0 is no window.
using WindowHandle = uintptr_t;
using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

using WindowProc = LResult (*)(WindowHandle window, uint32_t message, WParam wParam,
                               LParam lParam);
// Called by DispatchMessage for a WM_TIMER of a timer set with a routine.
using TimerProc = void (*)(WindowHandle window, uint32_t message, uintptr_t timerId,
                           uint32_t time);

struct Message {
    WindowHandle window;  // 0 for a thread message
    uint32_t message;
    WParam wParam;
    LParam lParam;
    uint32_t time;  // millisecond clock when a WM_TIMER became due; 0 for other messages
};

struct Rect {
    int32_t left, top, right, bottom;
};
struct Point {
    int32_t x, y;
};

// The window filter of PeekMessage / GetMessage that takes only thread messages (window 0).
inline constexpr WindowHandle kThreadMessagesOnly = static_cast<WindowHandle>(-1);

// ---- window classes ---------------------------------------------------------------------
struct WindowClass {
    uint32_t style;  // CS_HREDRAW | CS_VREDRAW: a size change repaints the whole window
    WindowProc proc;
    int32_t icon;        // resource id, 0 for the default icon (not shown by any backend)
    int32_t cursor;      // 0 for the arrow
    int32_t background;  // stock brush number (the window is not erased by the layer)
    const char* className;
};

// A class number (non-zero), or 0 when the name is empty or taken, the procedure is missing,
// the table is full, or registration is refused.
uint16_t RegisterWindowClass(const WindowClass& windowClass);
// False when the class is unknown or still has windows.
bool UnregisterWindowClass(const char* className);

// ---- windows ----------------------------------------------------------------------------
// WM_CREATE's lParam points at this.
struct CreateStruct {
    void* createParam;
    const char* className;
    const char* title;
    uint32_t style;
    uint32_t exStyle;
    int32_t x, y, width, height;
};

// Creates a window of a registered class owned by the calling thread, sends WM_CREATE (a
// result of -1 destroys it again and gives 0), then WM_SIZE (SIZE_RESTORED) and WM_MOVE, and
// shows it when the style has WS_VISIBLE. The rectangle is the client area in screen
// coordinates (the desktop draws any frame outside it); CW_USEDEFAULT picks a place or size.
// 0 on failure.
WindowHandle CreateWindow(const char* className, const char* title, uint32_t style,
                          uint32_t exStyle, int32_t x, int32_t y, int32_t width, int32_t height,
                          void* createParam);
// Sends WM_DESTROY and WM_NCDESTROY, then frees the window: its timers stop, its posted
// messages are dropped and senders waiting on it get 0. Only the owner thread may destroy a
// window; false for a stale handle, another thread's window or a window already being
// destroyed.
bool DestroyWindow(WindowHandle window);
bool IsWindow(WindowHandle window);
// The owner thread's id (plat::CurrentThreadId), 0 for a stale handle.
uint32_t GetWindowThreadId(WindowHandle window);
// True when a live window of this class exists in this process.
bool HasWindowOfClass(const char* className);
// The desktop's size and depth, as the window backend reports it.
DesktopInfo GetDesktopInfo();

// Moves and sizes the window (flags SWP_*). insertAfter: 0 keeps the z-order,
// kInsertTopmost / kInsertNotTopmost change the always-on-top state.
inline constexpr WindowHandle kInsertTopmost = static_cast<WindowHandle>(-1);
inline constexpr WindowHandle kInsertNotTopmost = static_cast<WindowHandle>(-2);
bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int32_t x, int32_t y,
                  int32_t width, int32_t height, uint32_t flags);
bool MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                bool repaint);
// SW_* command; returns whether the window was visible before.
bool ShowWindow(WindowHandle window, int command);
bool IsWindowVisible(WindowHandle window);
bool IsWindowMinimized(WindowHandle window);
// Raises the window above the others and asks for the input focus.
bool SetForegroundWindow(WindowHandle window);

bool SetWindowText(WindowHandle window, const char* title);
// Copies the title into buffer (size bytes, always terminated); its length, or -1.
int GetWindowText(WindowHandle window, char* buffer, size_t size);
bool SetWindowStyle(WindowHandle window, uint32_t style, uint32_t exStyle);
// False for a stale handle; either output may be null.
bool GetWindowStyle(WindowHandle window, uint32_t* style, uint32_t* exStyle);
// The window rectangle for a client rectangle. The desktop draws frames outside the client
// area, so the rectangle is left as it is.
bool AdjustWindowRect(Rect* rect, uint32_t style, uint32_t exStyle);
bool GetWindowRect(WindowHandle window, Rect* rect);
// (0, 0, width, height).
bool GetClientRect(WindowHandle window, Rect* rect);
bool ClientToScreen(WindowHandle window, Point* point);

// ---- painting ---------------------------------------------------------------------------
// Marks the whole window as needing paint: WM_PAINT comes once the queue has nothing else.
bool InvalidateWindow(WindowHandle window);
bool ValidateWindow(WindowHandle window);
// Sends WM_PAINT at once when the window is visible and needs painting.
bool UpdateWindow(WindowHandle window);
// Validates the window and gives the rectangle to paint (the client rectangle).
bool BeginPaint(WindowHandle window, Rect* paintRect);
bool EndPaint(WindowHandle window);

// ---- messages ---------------------------------------------------------------------------
// Queues a message for the window's owner thread, from any thread. Window 0 posts a thread
// message to the calling thread. False for a stale handle or a full queue (10000 messages).
bool PostMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
// Posts the message to every live window, each in its owner thread's queue, the way the
// desktop tells all windows of a display change. The number of windows it reached.
int PostMessageToAllWindows(uint32_t message, WParam wParam, LParam lParam);
// Queues a thread message (window 0) for a thread that has a queue.
bool PostThreadMessage(uint32_t threadId, uint32_t message, WParam wParam, LParam lParam);
// WM_QUIT with this exit code comes out of the calling thread's queue after the messages
// posted before it.
void PostQuitMessage(int exitCode);
// Runs the window procedure and returns its result; from another thread the call waits until
// the owner's next peek or get has run it (the waiting sender still runs messages sent to its
// own thread). 0 for a stale handle.
LResult SendMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);

// Takes the next message of the calling thread (filter: 0 any window and thread messages,
// kThreadMessagesOnly, or one window; range: both 0 for all, else first..last). Runs the
// messages sent from other threads first. flags: PM_REMOVE or PM_NOREMOVE. A WM_PAINT stays
// until the window is validated; a removed WM_TIMER restarts its timer's interval.
bool PeekMessage(Message* out, WindowHandle filter, uint32_t first, uint32_t last,
                 uint32_t flags);
// Waits for the next message and removes it: 1, or 0 for WM_QUIT. Timers under the virtual
// clock are waited for by sleeping on it, so the wait ends at once.
int GetMessage(Message* out, WindowHandle filter, uint32_t first, uint32_t last);
// WM_KEYDOWN of Back, Tab, Return, Escape (and Ctrl+letter) queues WM_CHAR in front of the
// calling thread's queue; WM_SYSKEYDOWN of Return, Escape, letters and digits queues
// WM_SYSCHAR. Printable characters come as WM_CHAR from the text input instead. True for
// any key message.
bool TranslateMessage(const Message* message);
// Calls the window procedure (or, for WM_TIMER with a routine, the routine); 0 for thread
// messages and for windows of other threads.
LResult DispatchMessage(const Message* message);
// Default handling: WM_CLOSE destroys the window, WM_PAINT validates it, WM_SYSCOMMAND
// closes, minimises, maximises or restores it, Alt+F4 closes it; others give 0.
LResult DefWindowProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);

// ---- timers -----------------------------------------------------------------------------
// Sets (or resets) a timer of the window with this id; window 0 makes a thread timer with a
// new id. Intervals below 10 ms are raised to 10. The interval is counted on
// plat::MillisecondClock, so the virtual clock drives timers. Returns the timer id, 0 on
// failure.
uintptr_t SetTimer(WindowHandle window, uintptr_t id, uint32_t intervalMs, TimerProc proc);
bool KillTimer(WindowHandle window, uintptr_t id);

// ---- dropped files (WM_DROPFILES wParam) ---------------------------------------------------
// index 0xFFFFFFFF: the number of files. Otherwise copies file index's Shift-JIS name into
// buffer (size bytes, terminated, cut to fit) and returns the length copied; with a null
// buffer returns the full length. 0 for a stale drop or a bad index.
uint32_t DragQueryFile(uintptr_t drop, uint32_t index, char* buffer, uint32_t size);
void DragFinish(uintptr_t drop);

// ---- mouse cursor and keyboard state ------------------------------------------------------
// Display counter of the mouse cursor (starts at 0): shown while it is 0 or more. Returns the
// new count.
int ShowCursor(bool show);
// Cursor position in screen coordinates as last seen over a window.
bool GetCursorPos(Point* point);
// Held state of a virtual key as the window layer last saw it (key messages as they arrive).
bool IsKeyDown(uint32_t virtualKey);
// 256 bytes, 0x80 for each held key.
void GetKeyboardSnapshot(uint8_t state[256]);

// Name of the backend in use ("sdl2" or "headless"); chooses it on first use.
const char* WindowBackendName();

}  // namespace plat
