// Mirroring the core's windows on the backend: pending creations, changes and destructions
// are applied by the thread that may call the backend.
#include <mutex>
#include <vector>

#include "platform/window/window_backend.h"
#include "platform/window/window_core.h"

namespace plat {

using namespace wincore;

namespace {

NativeWindowState SnapshotLocked(const WindowRecord& w, WindowHandle handle) {
    NativeWindowState s;
    s.handle = handle;
    s.title = w.title;
    s.x = w.x;
    s.y = w.y;
    s.width = w.width;
    s.height = w.height;
    s.style = w.style;
    s.exStyle = w.exStyle;
    s.visible = w.visible;
    s.minimized = w.minimized;
    s.maximized = w.maximized;
    s.topmost = w.topmost;
    return s;
}

struct Job {
    WindowHandle handle;
    void* native;
    NativeWindowState state;
    uint32_t changes;
};

// Backend calls are made one thread at a time, in the order the changes were taken.
std::mutex g_syncMutex;

}  // namespace

void* wincore::NativeOf(WindowHandle window) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const WindowRecord* w = FindWindowLocked(window);
    return w != nullptr ? w->native : nullptr;
}

void wincore::SyncNativeWindows() {
    if (!MayCallBackend()) return;
    WindowBackend& backend = Backend();
    CoreState& core = Core();
    std::lock_guard<std::mutex> serial(g_syncMutex);
    for (;;) {
        std::vector<Job> jobs;
        std::vector<void*> destroys;
        bool cursorChanged = false;
        bool cursorVisible = true;
        {
            std::lock_guard<std::mutex> hold(core.mutex);
            destroys.swap(core.nativeToDestroy);
            for (size_t i = 0; i < core.windows.size(); ++i) {
                WindowRecord& w = core.windows[i];
                if (!w.inUse || w.nativeChanges == 0) continue;
                jobs.push_back(Job{HandleOf(i), w.native, SnapshotLocked(w, HandleOf(i)),
                                   w.nativeChanges});
                w.nativeChanges = 0;
            }
            if (core.cursorChanged) {
                cursorChanged = true;
                cursorVisible = core.cursorCount >= 0;
                core.cursorChanged = false;
            }
        }
        if (jobs.empty() && destroys.empty() && !cursorChanged) return;
        for (void* native : destroys) backend.DestroyNativeWindow(native);
        for (const Job& job : jobs) {
            if ((job.changes & kNativeCreate) != 0) {
                void* native = backend.CreateNativeWindow(job.state);
                bool orphan = false;
                {
                    std::lock_guard<std::mutex> hold(core.mutex);
                    WindowRecord* w = FindWindowLocked(job.handle);
                    if (w == nullptr) {
                        orphan = native != nullptr;
                    } else if (native == nullptr) {
                        w->nativeFailed = true;
                    } else {
                        w->native = native;
                    }
                }
                if (orphan) backend.DestroyNativeWindow(native);
            } else if (job.native != nullptr) {
                backend.UpdateNativeWindow(job.native, job.state, job.changes);
            }
        }
        if (cursorChanged) backend.SetCursorVisible(cursorVisible);
    }
}

}  // namespace plat
