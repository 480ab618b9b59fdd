// The platform's joystick functions: capabilities and positions of joystick ids 0..15, the
// ids following the order of the attached pads (the same pads the device-input interface
// lists, dinput.h). Positions are raw: each axis 0..65535 with 32767 centred (a pad's axes
// in order are X, Y, Z, R, U, V), buttons as a bit mask, the first hat as a point-of-view
// angle.
#pragma once
#include <cstdint>

namespace plat {

inline constexpr uint32_t JOYERR_NOERROR = 0;
inline constexpr uint32_t JOYERR_PARMS = 165;
inline constexpr uint32_t JOYERR_UNPLUGGED = 167;

inline constexpr uint32_t kMaxJoystickIds = 16;

// Capability flags.
inline constexpr uint32_t JOYCAPS_HASZ = 0x01;
inline constexpr uint32_t JOYCAPS_HASR = 0x02;
inline constexpr uint32_t JOYCAPS_HASU = 0x04;
inline constexpr uint32_t JOYCAPS_HASV = 0x08;
inline constexpr uint32_t JOYCAPS_HASPOV = 0x10;
inline constexpr uint32_t JOYCAPS_POV4DIR = 0x20;

// What a position read returns.
inline constexpr uint32_t JOY_RETURNX = 0x01;
inline constexpr uint32_t JOY_RETURNY = 0x02;
inline constexpr uint32_t JOY_RETURNZ = 0x04;
inline constexpr uint32_t JOY_RETURNR = 0x08;
inline constexpr uint32_t JOY_RETURNU = 0x10;
inline constexpr uint32_t JOY_RETURNV = 0x20;
inline constexpr uint32_t JOY_RETURNPOV = 0x40;
inline constexpr uint32_t JOY_RETURNBUTTONS = 0x80;
inline constexpr uint32_t JOY_RETURNALL = 0xFF;
inline constexpr uint32_t JOY_POVCENTERED = 0xFFFF;

struct JoyCaps {
    char name[32];  // Shift-JIS
    uint32_t xMin, xMax, yMin, yMax, zMin, zMax, rMin, rMax, uMin, uMax, vMin, vMax;
    uint32_t numButtons;
    uint32_t maxButtons;
    uint32_t numAxes;
    uint32_t maxAxes;
    uint32_t caps;  // JOYCAPS_*
};

struct JoyInfoEx {
    uint32_t flags;  // JOY_RETURN* asked for; fields not asked for are left as they are
    uint32_t xPos, yPos, zPos, rPos, uPos, vPos;
    uint32_t buttons;       // bit k: button k down
    uint32_t buttonNumber;  // how many buttons are down
    uint32_t pov;           // hundredths of a degree, JOY_POVCENTERED when centred
};

// kMaxJoystickIds.
uint32_t JoyGetNumDevs();
// JOYERR_NOERROR, JOYERR_PARMS for an id out of range or a null record, JOYERR_UNPLUGGED when
// no pad has this id now.
uint32_t JoyGetDevCaps(uint32_t id, JoyCaps* caps);
// JOYERR_NOERROR, JOYERR_PARMS, or JOYERR_UNPLUGGED when no pad has this id or its read
// failed.
uint32_t JoyGetPosEx(uint32_t id, JoyInfoEx* info);

}  // namespace plat
