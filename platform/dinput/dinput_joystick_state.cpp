// A joypad's raw state as the joypad device gives it: axes through their range and dead
// zone, hats as point-of-view angles, buttons as bytes.
#include <cmath>
#include <cstring>

#include "platform/dinput/dinput_internal.h"

namespace plat::dinput {

namespace {

// The pad's axes in order fill X, Y, Z, Rz, Rx, Ry and the two sliders: a pad's third and
// fourth axes are its Z and R, as the joystick functions name them (R is Rz here).
constexpr int kSlotOfPadAxis[kMaxPadAxes] = {0, 1, 2, 5, 3, 4, 6, 7};

}  // namespace

int AxisSlotOfPadAxis(int i) { return (i >= 0 && i < kMaxPadAxes) ? kSlotOfPadAxis[i] : -1; }

int32_t MapAxis(int16_t raw, const AxisSetting& setting) {
    // -32768 and 32767 are the two ends: each side is scaled by its own length.
    const double unit = raw < 0 ? raw / 32768.0 : raw / 32767.0;
    const double magnitude = std::fabs(unit) * 10000.0;
    const double centre = (static_cast<double>(setting.min) + setting.max) / 2.0;
    const double half = (static_cast<double>(setting.max) - setting.min) / 2.0;
    if (setting.deadZone >= 10000 || magnitude <= setting.deadZone) {
        return static_cast<int32_t>(std::lround(centre));
    }
    const double scaled = (magnitude - setting.deadZone) / (10000.0 - setting.deadZone);
    const double value = centre + (unit < 0 ? -scaled : scaled) * half;
    return static_cast<int32_t>(std::lround(value));
}

uint32_t PovFromHat(uint8_t bits) {
    switch (bits & 0xF) {
        case kHatUp: return 0;
        case kHatUp | kHatRight: return 4500;
        case kHatRight: return 9000;
        case kHatDown | kHatRight: return 13500;
        case kHatDown: return 18000;
        case kHatDown | kHatLeft: return 22500;
        case kHatLeft: return 27000;
        case kHatUp | kHatLeft: return 31500;
        default: return 0xFFFFFFFFu;  // centred (or an impossible combination)
    }
}

void FillJoyState(const RawPadState& raw, const PadDescription& pad,
                  const AxisSetting axes[kAxisSlots], DiJoyState* out) {
    std::memset(out, 0, sizeof(*out));
    int32_t slots[kAxisSlots] = {};
    for (int i = 0; i < pad.axisCount && i < kMaxPadAxes; ++i) {
        const int slot = kSlotOfPadAxis[i];
        slots[slot] = MapAxis(raw.axes[i], axes[slot]);
    }
    out->lX = slots[0];
    out->lY = slots[1];
    out->lZ = slots[2];
    out->lRx = slots[3];
    out->lRy = slots[4];
    out->lRz = slots[5];
    out->rglSlider[0] = slots[6];
    out->rglSlider[1] = slots[7];
    for (int h = 0; h < kMaxPadHats; ++h) {
        out->rgdwPOV[h] = h < pad.hatCount ? PovFromHat(raw.hats[h]) : 0xFFFFFFFFu;
    }
    for (int b = 0; b < pad.buttonCount && b < kMaxPadButtons; ++b) {
        out->rgbButtons[b] = (raw.buttons >> b) & 1u ? 0x80 : 0;
    }
}

}  // namespace plat::dinput
