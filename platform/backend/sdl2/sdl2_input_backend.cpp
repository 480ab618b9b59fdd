// The SDL2 input backend: SDL joysticks as pads. SDL is called on the window backend's thread
// only (the main thread); a call from another thread gets the pad list and the states last
// read there.
#include <SDL.h>

#include <map>
#include <mutex>

#include "platform/backend/backend_entries.h"
#include "platform/dinput/input_backend.h"
#include "platform/window/window_backend.h"

namespace plat {

namespace {

class Sdl2InputBackend final : public InputBackend {
public:
    ~Sdl2InputBackend() override {
        if (!started_ || !OnBackendThread()) return;
        for (auto& [instance, joystick] : open_) SDL_JoystickClose(joystick);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    const char* Name() const override { return "sdl2"; }

    std::vector<PadDescription> Pads() override {
        std::lock_guard<std::mutex> hold(mutex_);
        if (StartHere()) RefreshPadsLocked();
        return pads_;
    }

    bool ReadPad(uint32_t id, RawPadState* out) override {
        std::lock_guard<std::mutex> hold(mutex_);
        if (!StartHere()) {
            const auto cached = states_.find(id);
            if (cached == states_.end()) return false;
            *out = cached->second;
            return true;
        }
        SDL_JoystickUpdate();
        const auto it = open_.find(static_cast<SDL_JoystickID>(id - 1));
        if (it == open_.end() || SDL_JoystickGetAttached(it->second) != SDL_TRUE) {
            states_.erase(id);
            return false;
        }
        SDL_Joystick* joystick = it->second;
        RawPadState raw;
        const int axes = SDL_JoystickNumAxes(joystick);
        for (int i = 0; i < axes && i < kMaxPadAxes; ++i) raw.axes[i] = SDL_JoystickGetAxis(joystick, i);
        const int hats = SDL_JoystickNumHats(joystick);
        for (int i = 0; i < hats && i < kMaxPadHats; ++i) raw.hats[i] = SDL_JoystickGetHat(joystick, i) & 0xF;
        const int buttons = SDL_JoystickNumButtons(joystick);
        for (int i = 0; i < buttons && i < kMaxPadButtons; ++i) {
            if (SDL_JoystickGetButton(joystick, i) != 0) raw.buttons |= 1u << i;
        }
        states_[id] = raw;
        *out = raw;
        return true;
    }

private:
    // True when SDL may be called now; starts SDL's joysticks on the first such call.
    bool StartHere() {
        if (!OnBackendThread()) return false;
        if (!started_) {
            if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
            started_ = true;
        }
        return true;
    }

    // Opens every attached joystick, closes the ones gone, and lists them in SDL's order.
    void RefreshPadsLocked() {
        SDL_JoystickUpdate();
        std::map<SDL_JoystickID, SDL_Joystick*> stillOpen;
        std::vector<PadDescription> pads;
        const int count = SDL_NumJoysticks();
        for (int index = 0; index < count; ++index) {
            const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(index);
            if (instance < 0) continue;
            SDL_Joystick* joystick = nullptr;
            const auto it = open_.find(instance);
            if (it != open_.end()) {
                joystick = it->second;
                open_.erase(it);
            } else {
                joystick = SDL_JoystickOpen(index);
            }
            if (joystick == nullptr) continue;
            stillOpen[instance] = joystick;
            pads.push_back(Describe(joystick, instance));
        }
        for (auto& [instance, joystick] : open_) SDL_JoystickClose(joystick);
        open_ = std::move(stillOpen);
        pads_ = std::move(pads);
    }

    static PadDescription Describe(SDL_Joystick* joystick, SDL_JoystickID instance) {
        PadDescription d;
        d.id = static_cast<uint32_t>(instance) + 1;
        const SDL_JoystickGUID guid = SDL_JoystickGetGUID(joystick);
        for (int i = 0; i < 16; ++i) d.product.bytes[i] = guid.data[i];
        d.instance = d.product;
        for (int i = 0; i < 4; ++i) d.instance.bytes[12 + i] = static_cast<uint8_t>(d.id >> (8 * i));
        const char* name = SDL_JoystickName(joystick);
        d.name = name != nullptr ? name : "Joystick";
        d.productName = d.name;
        d.axisCount = SDL_JoystickNumAxes(joystick);
        d.buttonCount = SDL_JoystickNumButtons(joystick);
        d.hatCount = SDL_JoystickNumHats(joystick);
        if (d.axisCount > kMaxPadAxes) d.axisCount = kMaxPadAxes;
        if (d.buttonCount > kMaxPadButtons) d.buttonCount = kMaxPadButtons;
        if (d.hatCount > kMaxPadHats) d.hatCount = kMaxPadHats;
        if (d.axisCount < 0) d.axisCount = 0;
        if (d.buttonCount < 0) d.buttonCount = 0;
        if (d.hatCount < 0) d.hatCount = 0;
#if SDL_VERSION_ATLEAST(2, 0, 18)
        d.forceFeedback = SDL_JoystickHasRumble(joystick) == SDL_TRUE;
#endif
        return d;
    }

    std::mutex mutex_;
    bool started_ = false;
    std::map<SDL_JoystickID, SDL_Joystick*> open_;
    std::vector<PadDescription> pads_;
    std::map<uint32_t, RawPadState> states_;
};

}  // namespace

InputBackend* CreateSdl2InputBackend() { return new Sdl2InputBackend; }

}  // namespace plat
