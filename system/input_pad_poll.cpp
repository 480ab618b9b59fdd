// The pad poll, through the pad's device or through the joystick functions.
#include <cstring>

#include "platform/core/clock.h"
#include "platform/dinput/joystick.h"
#include "platform/core/thread.h"
#include "system/input_host.h"
#include "system/input_internal.h"
#include "system/input_state.h"

namespace {

// Read again when the clock moved or the device signalled a change. A failed read is retried
// once after an acquire (pumping messages around it); a second failure keeps the last state,
// unless the pad is no longer attached.
int PollPadDevice(InputPadRecord& pad) {
    if (pad.device == nullptr) return 0;
    const uint32_t now = plat::MillisecondClock();
    const bool signalled =
        pad.event != nullptr && plat::WaitEvent(pad.event, 0) == plat::WaitResult::Signalled;
    if (now == pad.lastPollTime && !signalled) return 0;
    pad.lastPollTime = now;
    if (signalled) plat::ResetEvent(pad.event);
    pad.device->Poll();
    plat::DiJoyState state;
    plat::DiResult result = pad.device->GetDeviceState(sizeof(state), &state);
    if (plat::DiFailed(result)) {
        if (InputProcessMessage() != 0) return -1;
        if (pad.device->Acquire() == plat::DIERR_UNPLUGGED) {
            // The pad is gone: it no longer holds whatever it held when pulled out.
            ClearPadState(&pad.state);
            return 0;
        }
        if (InputProcessMessage() != 0) return -1;
        result = pad.device->GetDeviceState(sizeof(state), &state);
    }
    if (!plat::DiFailed(result)) pad.state = state;
    return 0;
}

// At most once per millisecond. A failed read (no pad with this id) leaves the pad centred
// with no button down.
int PollPadJoystick(InputPadRecord& pad, uint32_t id) {
    const uint32_t now = plat::MillisecondClock();
    if (now == pad.lastPollTime) return 0;
    pad.lastPollTime = now;
    plat::JoyInfoEx info{};
    info.flags = plat::JOY_RETURNALL;
    ClearPadState(&pad.state);
    if (plat::JoyGetPosEx(id, &info) != plat::JOYERR_NOERROR) return 0;
    pad.state.lX = MapJoystickAxis(info.xPos);
    pad.state.lY = MapJoystickAxis(info.yPos);
    if (pad.hasZAndR != 0) {
        pad.state.lZ = MapJoystickAxis(info.zPos);
        pad.state.lRz = MapJoystickAxis(info.rPos);
    }
    for (int k = 0; k < 24; ++k) {
        pad.state.rgbButtons[k] = ((info.buttons >> k) & 1u) != 0 ? 128 : 0;
    }
    return 0;
}

}  // namespace

int32_t MapJoystickAxis(uint32_t raw) {
    const int32_t value = static_cast<int32_t>(raw);
    if (value < 24576) return (value - 24576) * 1000 / 24576;
    if (value > 40960) return (value - 40960) * 1000 / 24576;
    return 0;
}

void ClearPadState(plat::DiJoyState* state) {
    std::memset(state, 0, sizeof(*state));
    for (uint32_t& pov : state->rgdwPOV) pov = 0xFFFFFFFFu;
}

int PollPad(int index) {
    if (index < 0 || index >= kMaxPads) return -1;
    InputState& s = GetInputState();
    InputPadRecord& pad = s.pads[index];
    if (s.directInput != nullptr) return PollPadDevice(pad);
    return PollPadJoystick(pad, static_cast<uint32_t>(index));
}
