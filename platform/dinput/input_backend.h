// Internal to the platform layer: where the input devices' states come from.
//
// The keyboard and the mouse buttons are the window layer's key state; the joypads come from
// an input backend: the one of the window backend's record (backend_record.h), SDL2 joysticks
// with the SDL2 backend and the test backend headless, whose pads exist only when the test
// controls attach them (so a headless run never sees the machine's pads). Every read goes
// through the counted reads below, which the test controls can make fail and whose number they
// can ask.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/dinput/dinput_types.h"
#include "platform/dinput/input_injection.h"

namespace plat {

inline constexpr int kMaxPadAxes = 8;
inline constexpr int kMaxPadHats = 4;
inline constexpr int kMaxPadButtons = 32;

// SDL's hat bits.
inline constexpr uint8_t kHatUp = 0x1;
inline constexpr uint8_t kHatRight = 0x2;
inline constexpr uint8_t kHatDown = 0x4;
inline constexpr uint8_t kHatLeft = 0x8;

// What an attached pad says of itself. The id stays the same while the pad stays attached;
// a pad plugged in again gets a new one.
struct PadDescription {
    uint32_t id = 0;
    DiGuid instance{};
    DiGuid product{};
    std::string name;         // UTF-8
    std::string productName;  // UTF-8
    int axisCount = 0;
    int buttonCount = 0;
    int hatCount = 0;
    bool forceFeedback = false;
};

// Raw pad state: axes -32768..32767 (0 centred), hats as SDL hat bits, button k in bit k.
struct RawPadState {
    int16_t axes[kMaxPadAxes] = {};
    uint8_t hats[kMaxPadHats] = {};
    uint32_t buttons = 0;
};

class InputBackend {
public:
    virtual ~InputBackend() = default;
    virtual const char* Name() const = 0;
    // The attached pads in joystick-id order.
    virtual std::vector<PadDescription> Pads() = 0;
    // False when the pad is not attached (any more).
    virtual bool ReadPad(uint32_t id, RawPadState* out) = 0;
};

// The backend in use, made on first use from the window backend's record (the headless
// record's when that one cannot start).
InputBackend& GetInputBackend();
// Replaces the backend with the headless record's, the test backend (tests).
void UseTestInputBackend();
// Ends the backend in use: the next use makes one again from the window backend's record
// (tests).
void ForgetInputBackendForTests();
// Detaches every pad of the test backend.
void ResetTestPads();

// ---- counted reads --------------------------------------------------------------------------
// The window layer's key state by virtual key (0x80 while down); false when the test
// controls made this read fail.
bool ReadVirtualKeys(InputDeviceKind kind, uint8_t keys[256]);
// The pad's raw state; false when it is not attached or the read was made to fail.
bool ReadPadState(uint32_t id, RawPadState* out);
// The attached pad of this product that no device holds yet, or 0.
uint32_t FindPadOfProduct(const DiGuid& product, const std::vector<uint32_t>& taken);
// The description of an attached pad; false when it is gone.
bool DescribePad(uint32_t id, PadDescription* out);

// Forgets the read counts and the pending read failures (FailNextInputReads and
// InputReadCount of input_injection.h are the other side).
void ResetInputReads();

}  // namespace plat
