// Choice of the input backend, and the counted reads every input device goes through.
#include "platform/dinput/input_backend.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/window/backend_record.h"
#include "platform/window/window.h"

namespace plat {

namespace {

std::mutex g_backendMutex;
std::atomic<InputBackend*> g_backend{nullptr};

constexpr int kKinds = static_cast<int>(InputDeviceKind::Count);
std::atomic<int> g_failNext[kKinds];
std::atomic<uint64_t> g_reads[kKinds];

// The input of the window backend's record (choosing the window backend if none is chosen
// yet): SDL's joysticks go with SDL's windows, and a headless run never reads real pads.
InputBackend* ChooseBackend() {
    if (InputBackend* input = ChosenBackendRecord().makeInput()) return input;
    return HeadlessBackendRecord().makeInput();
}

// Counts the read; true when it is to fail.
bool CountAndConsumeFailure(InputDeviceKind kind) {
    const int k = static_cast<int>(kind);
    g_reads[k].fetch_add(1);
    int n = g_failNext[k].load();
    while (n > 0) {
        if (g_failNext[k].compare_exchange_weak(n, n - 1)) return true;
    }
    return false;
}

}  // namespace

InputBackend& GetInputBackend() {
    InputBackend* backend = g_backend.load(std::memory_order_acquire);
    if (backend != nullptr) return *backend;
    std::lock_guard<std::mutex> hold(g_backendMutex);
    backend = g_backend.load();
    if (backend == nullptr) {
        backend = ChooseBackend();
        g_backend.store(backend, std::memory_order_release);
    }
    return *backend;
}

void UseTestInputBackend() {
    std::lock_guard<std::mutex> hold(g_backendMutex);
    InputBackend* old = g_backend.exchange(nullptr);
    delete old;
    g_backend.store(HeadlessBackendRecord().makeInput(), std::memory_order_release);
}

void ForgetInputBackendForTests() {
    std::lock_guard<std::mutex> hold(g_backendMutex);
    delete g_backend.exchange(nullptr);
}

bool ReadVirtualKeys(InputDeviceKind kind, uint8_t keys[256]) {
    if (CountAndConsumeFailure(kind)) return false;
    GetKeyboardSnapshot(keys);
    return true;
}

bool ReadPadState(uint32_t id, RawPadState* out) {
    if (CountAndConsumeFailure(InputDeviceKind::Pad)) return false;
    return GetInputBackend().ReadPad(id, out);
}

bool DescribePad(uint32_t id, PadDescription* out) {
    for (const PadDescription& pad : GetInputBackend().Pads()) {
        if (pad.id == id) {
            *out = pad;
            return true;
        }
    }
    return false;
}

uint32_t FindPadOfProduct(const DiGuid& product, const std::vector<uint32_t>& taken) {
    for (const PadDescription& pad : GetInputBackend().Pads()) {
        if (pad.product == product &&
            std::find(taken.begin(), taken.end(), pad.id) == taken.end()) {
            return pad.id;
        }
    }
    return 0;
}

void FailNextInputReads(InputDeviceKind kind, int count) {
    g_failNext[static_cast<int>(kind)].store(count < 0 ? 0 : count);
}

uint64_t InputReadCount(InputDeviceKind kind) { return g_reads[static_cast<int>(kind)].load(); }

void ResetInputReads() {
    for (int k = 0; k < kKinds; ++k) {
        g_failNext[k].store(0);
        g_reads[k].store(0);
    }
}

}  // namespace plat
