// Joypad effects: each pad's sine vibration and constant force follow its vibration request,
// timed by the message pump's calls and stopped while the window is inactive.
#include "platform/core/clock.h"
#include "system/input.h"
#include "system/input_host.h"
#include "system/input_internal.h"
#include "system/input_state.h"

namespace {

void StopEffect(plat::DirectInputEffect* effect, uint32_t* playing) {
    if (*playing != 0 && effect != nullptr) effect->Stop();
    *playing = 0;
}

// Starts or stops an effect so that it plays exactly when wanted.
void MatchEffect(plat::DirectInputEffect* effect, bool wanted, uint32_t* playing) {
    if (effect == nullptr || wanted == (*playing != 0)) return;
    if (wanted) {
        effect->Start(1, 0);
    } else {
        effect->Stop();
    }
    *playing = wanted ? 1 : 0;
}

}  // namespace

int RefreshPadEffects() {
    InputState& s = GetInputState();
    if (s.directInput == nullptr) return 0;
    const bool active = InputWindowActive();
    for (int i = 0; i < s.padCount; ++i) {
        InputPadRecord& pad = s.pads[i];
        if (!active) {
            StopEffect(pad.periodicEffect, &pad.periodicPlaying);
            StopEffect(pad.constantEffect, &pad.constantPlaying);
            continue;
        }
        const bool on = pad.vibrationRequest == 1;
        MatchEffect(pad.periodicEffect, on, &pad.periodicPlaying);
        MatchEffect(pad.constantEffect, on && pad.vibrationPower > 5000, &pad.constantPlaying);
    }
    return 0;
}

void StopPadVibration(int index) {
    InputState& s = GetInputState();
    if (index < 0 || index >= s.padCount) return;
    InputPadRecord& pad = s.pads[index];
    if (pad.device == nullptr || pad.periodicEffect == nullptr || pad.vibrationRequest != 1) return;
    pad.vibrationRequest = 0;
    pad.vibrationPower = 10000;
    RefreshPadEffects();
}

int StopJoypadVibration(int inputType) {
    int started = 0;
    if (StartInputForRead(&started)) return started;
    StopPadVibration((inputType & ~kInputTypeKeyboard) - 1);
    return 0;
}

int ProcessPadEffects() {
    InputState& s = GetInputState();
    const uint32_t now = plat::MillisecondClock();
    for (int i = 0; i < s.padCount; ++i) {
        InputPadRecord& pad = s.pads[i];
        if (pad.device == nullptr || pad.vibrationRequest != 1 || pad.playTime < 0) continue;
        if (now != pad.lastTimerStep) {
            // Compared by difference, so the clock's wrap counts as time going on; a clock
            // that went back restarts the step from now.
            const int32_t step = static_cast<int32_t>(now - pad.lastTimerStep);
            if (step > 0) pad.elapsedPlayTime += step;
            pad.lastTimerStep = now;
        }
        // Stopped here without the inactive-window wait: this runs inside the message pump.
        if (pad.elapsedPlayTime >= pad.playTime) StopPadVibration(i);
    }
    return RefreshPadEffects();
}

void StepJoypadEffects() { ProcessPadEffects(); }
