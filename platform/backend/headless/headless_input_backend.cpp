// The test backend: pads that exist only when the test controls attach them, with the raw
// state the test controls give them. It is also the backend of headless runs, which thus
// never see the machine's own pads.
#include <algorithm>
#include <mutex>

#include "platform/backend/backend_entries.h"
#include "platform/dinput/dinput_internal.h"
#include "platform/dinput/input_backend.h"
#include "platform/dinput/input_injection.h"

namespace plat {

namespace {

constexpr size_t kMaxTestPads = 16;

struct TestPad {
    PadDescription description;
    RawPadState state;
};

std::mutex g_mutex;
std::vector<TestPad> g_pads;
uint32_t g_nextId = 1;

DiGuid InstanceGuid(uint32_t id) {
    DiGuid guid{{'z', 'n', '.', 't', 'e', 's', 't', '.', 'p', 'a', 'd', 0}};
    for (int i = 0; i < 4; ++i) guid.bytes[12 + i] = static_cast<uint8_t>(id >> (8 * i));
    return guid;
}

// Pads of the same product name are one product.
DiGuid ProductGuid(const std::string& productName) {
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : productName) hash = (hash ^ c) * 1099511628211ull;
    DiGuid guid{{'z', 'n', '.', 'p', 'r', 'o', 'd', '.'}};
    for (int i = 0; i < 8; ++i) guid.bytes[8 + i] = static_cast<uint8_t>(hash >> (8 * i));
    return guid;
}

TestPad* FindLocked(uint32_t id) {
    for (TestPad& pad : g_pads) {
        if (pad.description.id == id) return &pad;
    }
    return nullptr;
}

// Applies a change to a pad and sets its devices' events.
template <typename Change>
void ChangePad(uint32_t id, Change change) {
    {
        std::lock_guard<std::mutex> hold(g_mutex);
        TestPad* pad = FindLocked(id);
        if (pad == nullptr) return;
        change(*pad);
    }
    dinput::SignalDevices(dinput::DeviceKind::Pad, id);
}

class TestInputBackend final : public InputBackend {
public:
    const char* Name() const override { return "test"; }

    std::vector<PadDescription> Pads() override {
        std::lock_guard<std::mutex> hold(g_mutex);
        std::vector<PadDescription> pads;
        for (const TestPad& pad : g_pads) pads.push_back(pad.description);
        return pads;
    }

    bool ReadPad(uint32_t id, RawPadState* out) override {
        std::lock_guard<std::mutex> hold(g_mutex);
        const TestPad* pad = FindLocked(id);
        if (pad == nullptr) return false;
        *out = pad->state;
        return true;
    }
};

}  // namespace

InputBackend* CreateTestInputBackend() { return new TestInputBackend; }

void ResetTestPads() {
    std::lock_guard<std::mutex> hold(g_mutex);
    g_pads.clear();
}

uint32_t AttachTestPad(const TestPadSpec& spec) {
    std::lock_guard<std::mutex> hold(g_mutex);
    if (g_pads.size() >= kMaxTestPads) return 0;
    TestPad pad;
    PadDescription& d = pad.description;
    d.id = g_nextId++;
    d.instance = InstanceGuid(d.id);
    d.product = ProductGuid(spec.productName);
    d.name = spec.name;
    d.productName = spec.productName;
    d.axisCount = std::clamp(spec.axes, 0, kMaxPadAxes);
    d.buttonCount = std::clamp(spec.buttons, 0, kMaxPadButtons);
    d.hatCount = std::clamp(spec.hats, 0, kMaxPadHats);
    d.forceFeedback = spec.forceFeedback;
    g_pads.push_back(pad);
    return d.id;
}

void DetachTestPad(uint32_t id) {
    {
        std::lock_guard<std::mutex> hold(g_mutex);
        g_pads.erase(std::remove_if(g_pads.begin(), g_pads.end(),
                                    [id](const TestPad& pad) { return pad.description.id == id; }),
                     g_pads.end());
    }
    dinput::SignalDevices(dinput::DeviceKind::Pad, id);
}

DiGuid TestPadInstance(uint32_t id) { return InstanceGuid(id); }

void SetTestPadAxis(uint32_t id, int axis, int32_t raw) {
    if (axis < 0 || axis >= kMaxPadAxes) return;
    const int16_t value = static_cast<int16_t>(std::clamp(raw, -32768, 32767));
    ChangePad(id, [&](TestPad& pad) { pad.state.axes[axis] = value; });
}

void SetTestPadButton(uint32_t id, int button, bool down) {
    if (button < 0 || button >= kMaxPadButtons) return;
    ChangePad(id, [&](TestPad& pad) {
        const uint32_t bit = 1u << button;
        pad.state.buttons = down ? (pad.state.buttons | bit) : (pad.state.buttons & ~bit);
    });
}

void SetTestPadHat(uint32_t id, int hat, uint8_t bits) {
    if (hat < 0 || hat >= kMaxPadHats) return;
    ChangePad(id, [&](TestPad& pad) { pad.state.hats[hat] = bits & 0xF; });
}

}  // namespace plat
