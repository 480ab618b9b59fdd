// The joystick functions over the input backend's pads.
#include "platform/dinput/joystick.h"

#include <cstdio>
#include <vector>

#include "platform/dinput/dinput_internal.h"
#include "platform/dinput/input_backend.h"
#include "platform/core/text_encoding.h"

namespace plat {

namespace {

bool PadOfId(uint32_t id, PadDescription* out) {
    const std::vector<PadDescription> pads = GetInputBackend().Pads();
    if (id >= pads.size()) return false;
    *out = pads[id];
    return true;
}

uint32_t RawAxis(int16_t value) { return static_cast<uint32_t>(static_cast<int32_t>(value) + 32768); }

}  // namespace

uint32_t JoyGetNumDevs() { return kMaxJoystickIds; }

uint32_t JoyGetDevCaps(uint32_t id, JoyCaps* caps) {
    if (caps == nullptr || id >= kMaxJoystickIds) return JOYERR_PARMS;
    PadDescription pad;
    if (!PadOfId(id, &pad)) return JOYERR_UNPLUGGED;
    *caps = JoyCaps{};
    std::snprintf(caps->name, sizeof(caps->name), "%s", Utf8ToSjis(pad.name).c_str());
    caps->xMax = caps->yMax = caps->zMax = caps->rMax = caps->uMax = caps->vMax = 65535;
    caps->numButtons = static_cast<uint32_t>(pad.buttonCount);
    caps->maxButtons = kMaxPadButtons;
    caps->numAxes = static_cast<uint32_t>(pad.axisCount < 6 ? pad.axisCount : 6);
    caps->maxAxes = 6;
    if (pad.axisCount > 2) caps->caps |= JOYCAPS_HASZ;
    if (pad.axisCount > 3) caps->caps |= JOYCAPS_HASR;
    if (pad.axisCount > 4) caps->caps |= JOYCAPS_HASU;
    if (pad.axisCount > 5) caps->caps |= JOYCAPS_HASV;
    if (pad.hatCount > 0) caps->caps |= JOYCAPS_HASPOV | JOYCAPS_POV4DIR;
    return JOYERR_NOERROR;
}

uint32_t JoyGetPosEx(uint32_t id, JoyInfoEx* info) {
    if (info == nullptr || id >= kMaxJoystickIds) return JOYERR_PARMS;
    PadDescription pad;
    if (!PadOfId(id, &pad)) return JOYERR_UNPLUGGED;
    RawPadState raw;
    if (!ReadPadState(pad.id, &raw)) return JOYERR_UNPLUGGED;
    // Axes the pad does not have rest at the centre.
    auto axis = [&](int i) { return i < pad.axisCount ? RawAxis(raw.axes[i]) : 32767u; };
    const uint32_t flags = info->flags;
    if (flags & JOY_RETURNX) info->xPos = axis(0);
    if (flags & JOY_RETURNY) info->yPos = axis(1);
    if (flags & JOY_RETURNZ) info->zPos = axis(2);
    if (flags & JOY_RETURNR) info->rPos = axis(3);
    if (flags & JOY_RETURNU) info->uPos = axis(4);
    if (flags & JOY_RETURNV) info->vPos = axis(5);
    if (flags & JOY_RETURNBUTTONS) {
        const uint32_t mask = pad.buttonCount >= 32 ? 0xFFFFFFFFu : (1u << pad.buttonCount) - 1u;
        info->buttons = raw.buttons & mask;
        info->buttonNumber = 0;
        for (uint32_t b = info->buttons; b != 0; b &= b - 1) ++info->buttonNumber;
    }
    if (flags & JOY_RETURNPOV) {
        const uint32_t pov = pad.hatCount > 0 ? dinput::PovFromHat(raw.hats[0]) : 0xFFFFFFFFu;
        info->pov = pov == 0xFFFFFFFFu ? JOY_POVCENTERED : pov;
    }
    return JOYERR_NOERROR;
}

}  // namespace plat
