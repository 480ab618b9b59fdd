// Test controls of the window layer: the reset and the view of live drops.
#include "platform/testing/window_test_controls.h"

#include "platform/testing/display_test_controls.h"

#include <mutex>

#include "platform/core/fault_injection.h"
#include "platform/core/system_facts_overrides.h"
#include "platform/window/dropped_files.h"
#include "platform/window/instance_lock.h"
#include "platform/window/message_box.h"
#include "platform/window/window_backend.h"
#include "platform/window/window_core.h"

namespace plat {

bool IsWindowTopmost(WindowHandle window) {
    wincore::CoreState& core = wincore::Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const wincore::WindowRecord* w = wincore::FindWindowLocked(window);
    return w != nullptr && w->topmost;
}

void SetCursorPosForTests(int32_t x, int32_t y) {
    wincore::CoreState& core = wincore::Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    core.cursorPos = Point{x, y};
}

void ResetWindowTestControls() {
    std::vector<void*> natives;
    {
        wincore::CoreState& core = wincore::Core();
        std::lock_guard<std::mutex> hold(core.mutex);
        natives = wincore::ResetCoreLocked();
    }
    // The native windows go with the backend being replaced (shutting SDL's video down
    // destroys its windows; the headless backend has none).
    (void)natives;
    UseHeadlessBackendForTests();
    ResetHeadlessSettings();
    ResetDisplayTestControls();
    ResetDrops();
    StopAllInstanceLockHolders();
    ResetInstanceLocks();
    ResetMessageBoxes();
    SetOsVersionForTests(nullptr);
    SetCpuInfoForTests(nullptr);
    SetMemoryStatusForTests(nullptr);
    SetOemCodePageForTests(0);
    FailNextComStarts(0);
    SetScreenSaverActive(true);
}

size_t LiveDroppedFileLists() { return LiveDropCount(); }

void FailNextWindowClassRegistrations(int count) {
    SetPendingFaults(FaultKind::WindowClassRegistration, count);
}
void FailNextWindowCreations(int count) { SetPendingFaults(FaultKind::WindowCreation, count); }
void FailNextComStarts(int count) { SetPendingFaults(FaultKind::ComStart, count); }

void SetMessageBoxAnswer(int answer) { MessageBoxLogState().answer.store(answer); }

std::vector<MessageBoxRecord> TakeMessageBoxRecords() {
    MessageBoxLog& log = MessageBoxLogState();
    std::lock_guard<std::mutex> hold(log.mutex);
    std::vector<MessageBoxRecord> out(log.records.begin(), log.records.end());
    log.records.clear();
    return out;
}

void SetOsVersionForTests(const OsVersionInfo* version) {
    SystemFactOverrides& o = SystemFactOverridesState();
    std::lock_guard<std::mutex> hold(o.mutex);
    o.os = version != nullptr;
    if (version != nullptr) o.osValue = *version;
}

void SetCpuInfoForTests(const CpuInfo* cpu) {
    SystemFactOverrides& o = SystemFactOverridesState();
    std::lock_guard<std::mutex> hold(o.mutex);
    o.cpu = cpu != nullptr;
    if (cpu != nullptr) o.cpuValue = *cpu;
}

void SetMemoryStatusForTests(const MemoryStatus* memory) {
    SystemFactOverrides& o = SystemFactOverridesState();
    std::lock_guard<std::mutex> hold(o.mutex);
    o.memory = memory != nullptr;
    if (memory != nullptr) o.memoryValue = *memory;
}

void SetOemCodePageForTests(uint32_t codePage) {
    SystemFactOverrides& o = SystemFactOverridesState();
    std::lock_guard<std::mutex> hold(o.mutex);
    o.codePage = codePage;
}

}  // namespace plat
