// The platform's media control interface, shaped like MCI's command interface: a device is
// opened by type or file name, then played, stopped and closed by its id; a play with
// MCI_NOTIFY posts MM_MCINOTIFY to the callback window when it ends.
//
// No MCI device is installed on this platform: nothing in the library creates music, so every
// open fails with MCIERR_CANNOT_LOAD_DRIVER and every command for a device id answers
// MCIERR_INVALID_DEVICE_ID. The commands sent are kept, so that a test can see what the
// library asked for (platform/testing/mci_test_controls.h).
#pragma once
#include <cstdint>

namespace plat {

using MCIDEVICEID = uint32_t;
using MCIERROR = uint32_t;

inline constexpr MCIERROR MCI_NOERROR = 0;
inline constexpr MCIERROR MCIERR_BASE = 256;
inline constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
inline constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
inline constexpr MCIERROR MCIERR_CANNOT_LOAD_DRIVER = MCIERR_BASE + 10;
inline constexpr MCIERROR MCIERR_NULL_PARAMETER_BLOCK = MCIERR_BASE + 41;

// Commands.
inline constexpr uint32_t MCI_OPEN = 0x0803;
inline constexpr uint32_t MCI_CLOSE = 0x0804;
inline constexpr uint32_t MCI_PLAY = 0x0806;
inline constexpr uint32_t MCI_SEEK = 0x0807;
inline constexpr uint32_t MCI_STOP = 0x0808;
inline constexpr uint32_t MCI_STATUS = 0x0814;

// Command flags.
inline constexpr uint32_t MCI_NOTIFY = 0x00000001;
inline constexpr uint32_t MCI_WAIT = 0x00000002;
inline constexpr uint32_t MCI_FROM = 0x00000004;
inline constexpr uint32_t MCI_TO = 0x00000008;
inline constexpr uint32_t MCI_OPEN_TYPE = 0x00002000;
inline constexpr uint32_t MCI_OPEN_ELEMENT = 0x00000200;

// Every parameter block starts with the callback window (a WindowHandle value).
struct MCI_GENERIC_PARMS {
    uintptr_t dwCallback;
};

struct MCI_OPEN_PARMS {
    uintptr_t dwCallback;
    MCIDEVICEID wDeviceID;        // set by a successful open
    const char* lpstrDeviceType;  // "sequencer" for MIDI
    const char* lpstrElementName;  // the file
    const char* lpstrAlias;
};

struct MCI_PLAY_PARMS {
    uintptr_t dwCallback;
    uint32_t dwFrom;
    uint32_t dwTo;
};

// Sends a command to a device (MCI_OPEN: device 0). MCI_NOERROR or an MCIERR_ code;
// MCIERR_NULL_PARAMETER_BLOCK when a command that needs parameters gets none.
MCIERROR mciSendCommand(MCIDEVICEID device, uint32_t message, uint32_t flags, void* params);

}  // namespace plat
