// Types, flags and result codes of the platform's sound layer (dsound.h). The layer is shaped
// like the DirectSound interfaces the library is written against: the flag, caps and format
// values below are the numbers the library passes and tests, so its code reads as written.
#pragma once
#include <cstdint>

namespace plat {

// ---- results ------------------------------------------------------------------------------
// DS_OK or a negative failure code.
using DSResult = int32_t;

inline constexpr DSResult DS_OK = 0;
inline constexpr DSResult DSERR_GENERIC = -1;
inline constexpr DSResult DSERR_INVALIDPARAM = -2;      // a bad argument or description
inline constexpr DSResult DSERR_OUTOFMEMORY = -3;
inline constexpr DSResult DSERR_BADFORMAT = -4;         // a wave format the layer cannot play
inline constexpr DSResult DSERR_CONTROLUNAVAIL = -5;    // a control the buffer was not made with
inline constexpr DSResult DSERR_INVALIDCALL = -6;       // not allowed on this object now
inline constexpr DSResult DSERR_BUFFERLOST = -7;        // Restore must come first
inline constexpr DSResult DSERR_NODRIVER = -8;          // no such device
inline constexpr DSResult DSERR_NOTINITIALIZED = -9;    // Initialize has not succeeded yet
inline constexpr DSResult DSERR_ALREADYINITIALIZED = -10;
inline constexpr DSResult DSERR_PRIOLEVELNEEDED = -11;  // the cooperative level is too low
inline constexpr DSResult DSERR_UNSUPPORTED = -12;
inline constexpr DSResult DSERR_NOAGGREGATION = -13;    // an outer object was given
inline constexpr DSResult DSERR_ALLOCATED = -14;        // the resource is in use

inline constexpr bool DSSucceeded(DSResult result) { return result >= 0; }

// ---- buffer description flags (DSBUFFERDESC::dwFlags, DSBCAPS::dwFlags) --------------------
inline constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x1;
inline constexpr uint32_t DSBCAPS_STATIC = 0x2;
inline constexpr uint32_t DSBCAPS_LOCHARDWARE = 0x4;
inline constexpr uint32_t DSBCAPS_LOCSOFTWARE = 0x8;
inline constexpr uint32_t DSBCAPS_CTRL3D = 0x10;
inline constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
inline constexpr uint32_t DSBCAPS_CTRLPAN = 0x40;
inline constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x80;
inline constexpr uint32_t DSBCAPS_CTRLPOSITIONNOTIFY = 0x100;
inline constexpr uint32_t DSBCAPS_STICKYFOCUS = 0x4000;
inline constexpr uint32_t DSBCAPS_GLOBALFOCUS = 0x8000;
inline constexpr uint32_t DSBCAPS_GETCURRENTPOSITION2 = 0x10000;
inline constexpr uint32_t DSBCAPS_MUTE3DATMAXDISTANCE = 0x20000;

// ---- Play flags -----------------------------------------------------------------------------
inline constexpr uint32_t DSBPLAY_LOOPING = 0x1;

// ---- GetStatus bits -------------------------------------------------------------------------
inline constexpr uint32_t DSBSTATUS_PLAYING = 0x1;
inline constexpr uint32_t DSBSTATUS_BUFFERLOST = 0x2;
inline constexpr uint32_t DSBSTATUS_LOOPING = 0x4;

// ---- Lock flags -------------------------------------------------------------------------------
inline constexpr uint32_t DSBLOCK_FROMWRITECURSOR = 0x1;  // the offset is the write cursor
inline constexpr uint32_t DSBLOCK_ENTIREBUFFER = 0x2;     // the byte count is the whole buffer

// ---- SetCooperativeLevel levels ------------------------------------------------------------
inline constexpr uint32_t DSSCL_NORMAL = 1;
inline constexpr uint32_t DSSCL_PRIORITY = 2;
inline constexpr uint32_t DSSCL_EXCLUSIVE = 3;
inline constexpr uint32_t DSSCL_WRITEPRIMARY = 4;

// ---- device caps (DSCAPS::dwFlags) ---------------------------------------------------------
inline constexpr uint32_t DSCAPS_PRIMARYMONO = 0x1;
inline constexpr uint32_t DSCAPS_PRIMARYSTEREO = 0x2;
inline constexpr uint32_t DSCAPS_PRIMARY8BIT = 0x4;
inline constexpr uint32_t DSCAPS_PRIMARY16BIT = 0x8;
inline constexpr uint32_t DSCAPS_CONTINUOUSRATE = 0x10;
inline constexpr uint32_t DSCAPS_EMULDRIVER = 0x20;
inline constexpr uint32_t DSCAPS_CERTIFIED = 0x40;
inline constexpr uint32_t DSCAPS_SECONDARYMONO = 0x100;
inline constexpr uint32_t DSCAPS_SECONDARYSTEREO = 0x200;
inline constexpr uint32_t DSCAPS_SECONDARY8BIT = 0x400;
inline constexpr uint32_t DSCAPS_SECONDARY16BIT = 0x800;

// ---- value ranges ------------------------------------------------------------------------------
inline constexpr int32_t DSBVOLUME_MIN = -10000;  // hundredths of a decibel: silence
inline constexpr int32_t DSBVOLUME_MAX = 0;
inline constexpr int32_t DSBPAN_LEFT = -10000;
inline constexpr int32_t DSBPAN_CENTER = 0;
inline constexpr int32_t DSBPAN_RIGHT = 10000;
inline constexpr uint32_t DSBFREQUENCY_ORIGINAL = 0;  // SetFrequency: back to the format's rate
inline constexpr uint32_t DSBFREQUENCY_MIN = 100;
inline constexpr uint32_t DSBFREQUENCY_MAX = 200000;
inline constexpr uint32_t DSBSIZE_MIN = 4;
inline constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;

// ---- wave formats ------------------------------------------------------------------------------
inline constexpr uint16_t WAVE_FORMAT_PCM = 1;

#pragma pack(push, 2)
// A wave format as it stands in a RIFF "fmt " chunk: 18 bytes, little-endian, cbSize extra
// bytes following in formats that have them.
struct WAVEFORMATEX {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is the 18 bytes of the fmt chunk");

// ---- records ---------------------------------------------------------------------------------
// A 16-byte identifier (devices in the enumeration).
struct GUID {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

// What CreateSoundBuffer makes. dwSize must be sizeof(DSBUFFERDESC). A primary buffer
// (DSBCAPS_PRIMARYBUFFER) takes dwBufferBytes 0 and no format; a secondary buffer takes
// DSBSIZE_MIN..DSBSIZE_MAX bytes (a whole number of blocks) and a PCM format.
struct DSBUFFERDESC {
    uint32_t dwSize;
    uint32_t dwFlags;
    uint32_t dwBufferBytes;
    uint32_t dwReserved;
    const WAVEFORMATEX* lpwfxFormat;
};

// A buffer's capabilities. dwSize must be sizeof(DSBCAPS).
struct DSBCAPS {
    uint32_t dwSize;
    uint32_t dwFlags;
    uint32_t dwBufferBytes;
    uint32_t dwUnlockTransferRate;  // kilobytes per second
    uint32_t dwPlayCpuOverhead;     // per cent
};

// The device's capabilities. dwSize must be sizeof(DSCAPS).
struct DSCAPS {
    uint32_t dwSize;
    uint32_t dwFlags;
    uint32_t dwMinSecondarySampleRate;
    uint32_t dwMaxSecondarySampleRate;
    uint32_t dwPrimaryBuffers;
    uint32_t dwMaxHwMixingAllBuffers;
    uint32_t dwMaxHwMixingStaticBuffers;
    uint32_t dwMaxHwMixingStreamingBuffers;
    uint32_t dwFreeHwMixingAllBuffers;
    uint32_t dwFreeHwMixingStaticBuffers;
    uint32_t dwFreeHwMixingStreamingBuffers;
    uint32_t dwMaxHw3DAllBuffers;
    uint32_t dwMaxHw3DStaticBuffers;
    uint32_t dwMaxHw3DStreamingBuffers;
    uint32_t dwFreeHw3DAllBuffers;
    uint32_t dwFreeHw3DStaticBuffers;
    uint32_t dwFreeHw3DStreamingBuffers;
    uint32_t dwTotalHwMemBytes;
    uint32_t dwFreeHwMemBytes;
    uint32_t dwMaxContigFreeHwMemBytes;
    uint32_t dwUnlockTransferRateHwBuffers;
    uint32_t dwPlayCpuOverheadSwBuffers;
    uint32_t dwReserved1;
    uint32_t dwReserved2;
};

}  // namespace plat
