// The window-class table: names bound to a window procedure and class style.
#include <cstring>

#include "platform/window/window.h"
#include "platform/window/window_backend.h"
#include "platform/window/window_core.h"

namespace plat {

using namespace wincore;

int wincore::FindClassLocked(const char* name) {
    CoreState& core = Core();
    for (size_t i = 0; i < core.classes.size(); ++i) {
        if (core.classes[i].inUse && core.classes[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

uint16_t RegisterWindowClass(const WindowClass& windowClass) {
    if (windowClass.className == nullptr || windowClass.className[0] == '\0' ||
        windowClass.proc == nullptr) {
        return 0;
    }
    if (!Backend().AllowClassRegistration()) return 0;
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    if (FindClassLocked(windowClass.className) >= 0) return 0;
    size_t index = 0;
    while (index < core.classes.size() && core.classes[index].inUse) ++index;
    if (index == core.classes.size()) {
        if (index >= kMaxClasses) return 0;
        core.classes.emplace_back();
    }
    ClassRecord& c = core.classes[index];
    c.inUse = true;
    c.name = windowClass.className;
    c.proc = windowClass.proc;
    c.style = windowClass.style;
    c.windows = 0;
    return static_cast<uint16_t>(0xC000 + index);
}

bool UnregisterWindowClass(const char* className) {
    if (className == nullptr) return false;
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const int index = FindClassLocked(className);
    if (index < 0 || core.classes[index].windows > 0) return false;
    core.classes[index] = ClassRecord{};
    return true;
}

bool HasWindowOfClass(const char* className) {
    if (className == nullptr) return false;
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    for (const WindowRecord& w : core.windows) {
        if (w.inUse && !w.destroying && w.className == className) return true;
    }
    return false;
}

}  // namespace plat
