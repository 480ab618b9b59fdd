// Result codes, constants and records of the platform's device-input interface (dinput.h).
// The numbers are the ones the library's input code is written against.
#pragma once
#include <cstdint>

namespace plat {

// ---- results ----------------------------------------------------------------------------
// Negative values are failures.
using DiResult = int32_t;
inline constexpr bool DiFailed(DiResult result) { return result < 0; }

inline constexpr DiResult DI_OK = 0;
// Nothing was to be done (already acquired, not acquired, a device that needs no poll).
inline constexpr DiResult DI_NOEFFECT = 1;
// The device is polled: its notification event is set only by reads that saw a change.
inline constexpr DiResult DI_POLLEDDEVICE = 2;
inline constexpr DiResult DIERR_GENERIC = static_cast<DiResult>(0x80004005u);
inline constexpr DiResult DIERR_UNSUPPORTED = static_cast<DiResult>(0x80004001u);
inline constexpr DiResult DIERR_NOINTERFACE = static_cast<DiResult>(0x80004002u);
inline constexpr DiResult DIERR_INVALIDPARAM = static_cast<DiResult>(0x80070057u);
inline constexpr DiResult DIERR_OBJECTNOTFOUND = static_cast<DiResult>(0x80070002u);
inline constexpr DiResult DIERR_NOTACQUIRED = static_cast<DiResult>(0x8007000Cu);
inline constexpr DiResult DIERR_NOTINITIALIZED = static_cast<DiResult>(0x80070015u);
inline constexpr DiResult DIERR_INPUTLOST = static_cast<DiResult>(0x8007001Eu);
inline constexpr DiResult DIERR_ACQUIRED = static_cast<DiResult>(0x800700AAu);
inline constexpr DiResult DIERR_OLDDIRECTINPUTVERSION = static_cast<DiResult>(0x8007047Eu);
inline constexpr DiResult DIERR_DEVICENOTREG = static_cast<DiResult>(0x80040154u);
inline constexpr DiResult DIERR_NOTEXCLUSIVEACQUIRED = static_cast<DiResult>(0x80040205u);
inline constexpr DiResult DIERR_UNPLUGGED = static_cast<DiResult>(0x80040209u);

// ---- versions, classes, enumeration -------------------------------------------------------
inline constexpr uint32_t kDirectInputVersion7 = 0x0700;
inline constexpr uint32_t kDirectInputVersion8 = 0x0800;

enum class DiDeviceClass : uint32_t { All = 0, Pointer = 2, Keyboard = 3, GameController = 4 };
inline constexpr uint32_t DIEDFL_ALLDEVICES = 0x0;
inline constexpr uint32_t DIEDFL_ATTACHEDONLY = 0x1;
// Enumeration callback results.
inline constexpr int DIENUM_STOP = 0;
inline constexpr int DIENUM_CONTINUE = 1;

// ---- device identity ----------------------------------------------------------------------
struct DiGuid {
    uint8_t bytes[16];
    friend bool operator==(const DiGuid&, const DiGuid&) = default;
};
// The system keyboard and the system mouse.
inline constexpr DiGuid GUID_SysKeyboard{{'z', 'n', '.', 's', 'y', 's', '.', 'k', 'e', 'y', 'b',
                                          'o', 'a', 'r', 'd', 0}};
inline constexpr DiGuid GUID_SysMouse{{'z', 'n', '.', 's', 'y', 's', '.', 'm', 'o', 'u', 's',
                                       'e', 0, 0, 0, 0}};

inline constexpr uint32_t DIDEVTYPE_MOUSE = 2;
inline constexpr uint32_t DIDEVTYPE_KEYBOARD = 3;
inline constexpr uint32_t DIDEVTYPE_JOYSTICK = 4;

// Names are Shift-JIS.
struct DiDeviceInstance {
    DiGuid instance;
    DiGuid product;
    uint32_t deviceType;
    char instanceName[260];
    char productName[260];
};

// ---- data formats and states --------------------------------------------------------------
enum class DiDataFormat { Keyboard, Mouse2, Joystick };

// Joystick state: six axes, two sliders, four point-of-view hats (hundredths of a degree
// clockwise from up, 0xFFFFFFFF centred), 32 buttons (bit 7 set while down).
struct DiJoyState {
    int32_t lX, lY, lZ;
    int32_t lRx, lRy, lRz;
    int32_t rglSlider[2];
    uint32_t rgdwPOV[4];
    uint8_t rgbButtons[32];
};
static_assert(sizeof(DiJoyState) == 80);

// Mouse state: movement since the last read, wheel, eight buttons (bit 7 set while down).
struct DiMouseState2 {
    int32_t lX, lY, lZ;
    uint8_t rgbButtons[8];
};
static_assert(sizeof(DiMouseState2) == 20);

inline constexpr uint32_t kDiKeyboardStateSize = 256;

// Axis objects of a joystick, by their byte offset in DiJoyState.
inline constexpr uint32_t DIJOFS_X = 0;
inline constexpr uint32_t DIJOFS_Y = 4;
inline constexpr uint32_t DIJOFS_Z = 8;
inline constexpr uint32_t DIJOFS_RX = 12;
inline constexpr uint32_t DIJOFS_RY = 16;
inline constexpr uint32_t DIJOFS_RZ = 20;
inline constexpr uint32_t DIJOFS_SLIDER0 = 24;
inline constexpr uint32_t DIJOFS_SLIDER1 = 28;

// How a property names its object: the whole device, or an object by its offset.
inline constexpr uint32_t DIPH_DEVICE = 0;
inline constexpr uint32_t DIPH_BYOFFSET = 1;

// ---- cooperative levels -------------------------------------------------------------------
inline constexpr uint32_t DISCL_EXCLUSIVE = 0x1;
inline constexpr uint32_t DISCL_NONEXCLUSIVE = 0x2;
inline constexpr uint32_t DISCL_FOREGROUND = 0x4;
inline constexpr uint32_t DISCL_BACKGROUND = 0x8;

// ---- effects ------------------------------------------------------------------------------
enum class DiEffectType { ConstantForce, Sine };

inline constexpr uint32_t DIEFF_OBJECTOFFSETS = 0x02;
inline constexpr uint32_t DIEFF_CARTESIAN = 0x10;
inline constexpr uint32_t DIEFF_POLAR = 0x20;
inline constexpr uint32_t DI_SECONDS = 1000000;  // effect times are in microseconds
inline constexpr uint32_t DI_FFNOMINALMAX = 10000;
inline constexpr uint32_t kDiInfinite = 0xFFFFFFFFu;

struct DiEnvelope {
    uint32_t attackLevel;
    uint32_t attackTime;
    uint32_t fadeLevel;
    uint32_t fadeTime;
};

struct DiEffect {
    DiEffectType type;
    uint32_t flags;            // DIEFF_*
    uint32_t duration;         // microseconds, kDiInfinite for endless
    uint32_t gain;             // 0..DI_FFNOMINALMAX
    uint32_t axisCount;        // 1 or 2
    uint32_t axes[2];          // DIJOFS_* of the axes
    int32_t direction[2];
    bool hasEnvelope;
    DiEnvelope envelope;
    // Constant force: magnitude. Periodic: magnitude, offset, phase and period (microseconds).
    int32_t magnitude;
    int32_t offset;
    uint32_t phase;
    uint32_t period;
};

}  // namespace plat
