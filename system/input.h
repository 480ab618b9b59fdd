// Input devices: the keyboard, the mouse buttons and up to eight joypads.
//
// Input is polled: every read polls the device itself, at most once per millisecond (a
// device whose notification event is set is read again within the same millisecond). The
// devices are read through the platform's device-input interface when it can be had (version
// 7, else 8), else through the joystick functions and the whole keyboard state; either way
// the game gets a 256-byte key snapshot by device key code and, per pad, a word of direction
// and button bits, optionally merged with keys of the keyboard.
//
// Joypad effects (a sine vibration and a constant force per pad) are kept and timed here and
// serviced from every message-pump call; nothing in the library switches them on.
//
// All of it runs under the library lock.
#pragma once
#include <cstdint>

// Input types of ReadPadInputBits and StopJoypadVibration: the pad number 1..8 (0 none), plus
// this to merge the keyboard.
inline constexpr int kInputTypeKeyboard = 0x1000;
// Masks of CheckAnyInput.
inline constexpr int kCheckKeyboardAndPads = 1;
inline constexpr int kCheckMouse = 4;

// Bits of the pad word.
inline constexpr int kPadDown = 0x1;
inline constexpr int kPadLeft = 0x2;
inline constexpr int kPadRight = 0x4;
inline constexpr int kPadUp = 0x8;
// Button k of a pad is bit 4 + k (k = 0..23).
inline constexpr int kPadFirstButtonBit = 4;

// Starts input and installs the joypad effects' pump service. 0 (also when already started);
// 1 when the keyboard's notification could not
// be set up (input then works without it); the mouse and keyboard devices' failures are
// fatal (without a fatal-error routine given, everything started is ended again and -1
// returned).
int InitInputSystem();
// Ends input (nothing when not started) and takes the pump service out. 0.
int TermInputSystem();

// buffer: 256 bytes; buffer[code] = 1 while the key with that device key code is down, else
// 0. 0; -1 for a null buffer. When input is not started yet, it is started instead, the
// buffer cleared and the start-up's result returned.
int ReadKeyStates(char* buffer);
// The bit word of pad (type & ~0x1000), merged with the keyboard when type has 0x1000: down
// 1, left 2, right 4, up 8, pad button k 16 << k; keys Down or numpad 2 0x1, Left or numpad 4
// 0x2, Right or numpad 6 0x4, Up or numpad 8 0x8, Z 0x10, X 0x20, C 0x40, A 0x80, S 0x100,
// D 0x200, Q 0x400, W 0x800, Escape 0x1000, Space 0x2000. 0 when nothing applies (and when
// this call had to start input).
int ReadPadInputBits(int inputType);
// mask 1: the first device key code held (Caps Lock, Kana and Kanji do not count), else 0x44
// while the F10 flag is set (window message 0x46F, kept by the window procedure), else -1 when a pad gives a non-zero word; mask 4: -1 while a
// mouse button is down. 0 for no input (and when this call had to start input).
int CheckAnyInput(int mask);
// Bit k set while mouse button k is down.
int GetMouseButtons();

// Lists the attached joypads again (at most eight). 0; -1 without the device-input interface.
int SetupJoypads();
// Switches the vibration of the pad off. 0 (the start-up's result when this call had to start
// input).
int StopJoypadVibration(int inputType);
// Times the pads' vibrations and stops those whose play time is over, then brings the effects
// in line with the requests. Called on every message-pump call. 0.
int ProcessPadEffects();
// The message pump's service entry for the joypad effects (ProcessPadEffects). Start-up of
// input installs it in the pump services (pump_services.h), shut-down takes it out.
void StepJoypadEffects();
// Starts or stops each pad's effects to match its request; all stop while the window is
// inactive. Called on window activation changes. 0.
int RefreshPadEffects();
// Acquires the pads again with the cooperative level for the window's new state (exclusive in
// the foreground while active, else shared in the background), and the keyboard. Called on
// window activation changes. 0.
int ReacquireInputDevices();

// Settings made before start-up, kept across it. 1: the device-input interface is not tried
// (joypads through the joystick functions, the keyboard through its whole state).
int SetNoDirectInput(int flag);
// 1: no keyboard device is made; the keyboard is read through its whole state.
int SetKeyboardWithoutDirectInput(int flag);
