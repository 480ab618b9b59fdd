// Internal to the platform layer: the shared state of the window and message core (class
// table, window table, per-thread queues, timers, cursor and key state) and the helpers the
// core's files share. Everything here is guarded by the one core mutex, which is never held
// while a window procedure, a timer routine or the backend runs.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/window/window.h"

namespace plat::wincore {

// A message sent from another thread, waiting in the owner's queue; it lives on the sender's
// stack until done is set.
struct SentMessage {
    WindowHandle window;
    uint32_t message;
    WParam wParam;
    LParam lParam;
    uint32_t senderThread;
    LResult result = 0;
    bool done = false;
};

struct ThreadQueue {
    uint32_t threadId = 0;
    std::deque<Message> posted;
    std::deque<SentMessage*> incoming;
    bool quitPosted = false;
    int quitCode = 0;
    // Advanced (and wake notified) whenever something may have arrived for this thread.
    uint64_t wakeSerial = 0;
    std::condition_variable wake;
};

// Native-window changes waiting for the backend.
enum NativeChange : uint32_t {
    kNativeCreate = 1u << 0,
    kNativeTitle = 1u << 1,
    kNativeRect = 1u << 2,
    kNativeShow = 1u << 3,
    kNativeStyle = 1u << 4,
    kNativeRaise = 1u << 5,
};

struct WindowRecord {
    bool inUse = false;
    bool destroying = false;
    uint32_t generation = 1;
    uint32_t ownerThread = 0;
    int classIndex = -1;
    std::string className;
    WindowProc proc = nullptr;
    std::string title;
    int32_t x = 0, y = 0, width = 0, height = 0;  // client area in screen coordinates
    Rect normal{0, 0, 0, 0};  // the rectangle to go back to when a maximised window restores
    uint32_t style = 0, exStyle = 0;
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    bool topmost = false;
    bool active = false;  // activation state as last reported by the desktop
    bool needsPaint = false;
    void* native = nullptr;
    bool nativeFailed = false;
    uint32_t nativeChanges = 0;
};

struct ClassRecord {
    bool inUse = false;
    std::string name;
    WindowProc proc = nullptr;
    uint32_t style = 0;
    int windows = 0;
};

struct TimerRecord {
    WindowHandle window;  // 0 for a thread timer
    uintptr_t id;
    uint32_t ownerThread;
    uint32_t intervalMs;
    uint32_t lastFire;
    TimerProc proc;
};

inline constexpr size_t kMaxWindows = 4096;
inline constexpr size_t kMaxClasses = 256;
inline constexpr size_t kMaxPostedMessages = 10000;

struct CoreState {
    std::mutex mutex;
    std::vector<ClassRecord> classes;
    std::vector<WindowRecord> windows;
    std::unordered_map<uint32_t, std::unique_ptr<ThreadQueue>> queues;
    std::vector<TimerRecord> timers;
    uintptr_t nextThreadTimerId = 1;
    std::vector<void*> nativeToDestroy;  // native windows of freed windows
    int cursorCount = 0;
    bool cursorChanged = false;
    Point cursorPos{0, 0};
    uint8_t keys[256] = {};
};

// The state lives for the whole process (never destroyed, so thread exits at process end
// find it intact).
CoreState& Core();

// ---- under the core mutex ---------------------------------------------------------------
WindowHandle HandleOf(size_t index);
// The live window of a handle, or null (stale, never issued, or 0).
WindowRecord* FindWindowLocked(WindowHandle window);
// The calling thread's queue, made on first use.
ThreadQueue& SelfQueueLocked();
ThreadQueue* FindQueueLocked(uint32_t threadId);
void WakeLocked(ThreadQueue& queue);
// Appends to the queue (false when it is full) and wakes its thread.
bool PostLocked(ThreadQueue& queue, const Message& message);
// Frees what a queued message owns (the file list of WM_DROPFILES) when it is dropped unread.
void DiscardMessagePayload(const Message& message);
// Gives every waiting sender of the window (or of all windows when 0) the result 0.
void AbandonSentLocked(ThreadQueue& queue, WindowHandle window);
// Frees a window's slot: stops its timers, drops its queued messages, releases its senders,
// hands its native window to the backend for destruction. The class name is returned so the
// caller can release the instance lock outside the mutex.
std::string FreeWindowLocked(size_t index);
size_t IndexOf(WindowHandle window);
// Index of the class with this name, or -1.
int FindClassLocked(const char* name);

// ---- without the core mutex -------------------------------------------------------------
// Whether a WM_TIMER's routine still belongs to a live timer of the calling thread.
bool TimerRoutineIsLive(WindowHandle window, uintptr_t id, TimerProc proc);
// The native window of a live window, or null.
void* NativeOf(WindowHandle window);
// Runs the messages that other threads sent to the calling thread; true when any ran.
bool RunIncomingSentMessages();
// Applies pending native-window changes when the backend may be called on this thread.
void SyncNativeWindows();
// Sends to the owner at once when the caller owns the window, else posts (desktop events that
// are reported on a thread other than the owner).
void DeliverFromDesktop(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
// The due timer message of the calling thread, if any (removes it when remove is set).
bool TakeDueTimerLocked(Message* out, WindowHandle filter, bool remove);
// Milliseconds until the calling thread's next timer of the filter (as PeekMessage's) is due;
// -1 without such timers.
int64_t MillisecondsToNextTimerLocked(WindowHandle filter);
// Forgets everything (tests): windows, classes, queues, timers, cursor and keys. Native
// windows are returned for the caller to destroy.
std::vector<void*> ResetCoreLocked();

}  // namespace plat::wincore
