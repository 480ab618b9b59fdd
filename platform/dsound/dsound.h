// The platform's sound output, shaped like DirectSound: a device object that makes a primary
// buffer and secondary buffers of PCM samples, and a mixer of the layer's own that plays them.
//
// The mixer sums every playing secondary buffer into 16-bit stereo at the output rate (44100 Hz):
// each buffer is stepped in 16.16 fixed point by its frequency over the output rate, with
// linear interpolation between neighbouring frames (a looping buffer interpolates across its
// end into its first frame, so a loop has no seam); 8-bit samples are centred on 128 and
// widened to 16 bits; mono feeds both sides. Volume (hundredths of a decibel, -10000..0) and
// pan (-10000 left .. 10000 right, the far side attenuated) scale a buffer by 10^(v / 2000);
// -10000 is silence. The sum is accumulated in 32 bits and saturated to 16 bits at the end.
// The primary buffer stands for the output: its volume (with DSBCAPS_CTRLVOLUME) scales the
// whole sum before the saturation; its format is kept and reported, but the output stays
// 44100 Hz 16-bit stereo.
//
// Where the mix goes (the sink, chosen by Initialize):
//  - SDL2's audio device when SDL2 is the window backend, Initialize runs on the backend's
//    thread, the real clock runs and the device opens; SDL's audio thread pulls the mix
//    through a callback;
//  - otherwise a clocked null sink: the mix is computed as the platform clock (clock.h) moves
//    and thrown away, so play cursors advance in real time, or deterministically under the
//    virtual clock (ZN_CLOCK=virtual);
//  - a memory sink that tests select (sound_test_controls.h): nothing moves until the test
//    asks for frames, which are recorded.
// No output device is not an error: the device then works on the null sink.
//
// Play and write cursors are byte offsets in a buffer. The play cursor is where the mixer will
// read next; the write cursor is the first byte that is safe to write, 10 ms of the buffer's
// own rate ahead of the play cursor while the buffer plays (equal to it when stopped). A
// buffer that is not looping stops at its end and its position returns to 0.
//
// Locks copy: Lock hands out regions of a staging copy of the locked bytes, and Unlock writes
// them back into the samples under the mixer's lock, so the audio thread never reads memory
// the caller is writing. A region pair covers at most the whole buffer: past the end it wraps
// into a second region at offset 0. Several locks of one buffer may be open at once; each
// Unlock must give back the pointers its Lock handed out.
//
// Duplicates share the samples of their original (a write through either is heard in both)
// but have their own position, volume, pan, frequency and play state.
//
// Objects are reference-counted: creation hands out one reference; a buffer holds one on its
// device. The calls may come from any thread; the mixer's state has a mutex of its own, and
// the audio thread takes nothing else.
#pragma once
#include <cstdint>

#include "platform/dsound/dsound_types.h"
#include "platform/window/window.h"

namespace plat {

class IDirectSound;

class IDirectSoundBuffer {
public:
    virtual uint32_t AddRef() = 0;
    // The remaining references; at 0 the buffer stops and is freed (the samples go with the
    // last buffer that shares them).
    virtual uint32_t Release() = 0;

    // Flags it was made with, its size in bytes. DSERR_INVALIDPARAM when dwSize is wrong.
    virtual DSResult GetCaps(DSBCAPS* out) = 0;
    // Either pointer may be null. Primary buffer: the output position in its format's bytes.
    virtual DSResult GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) = 0;
    // Copies up to size bytes of the buffer's format (18 bytes: WAVEFORMATEX) into format
    // (null: only *written, the size it needs). written may be null.
    virtual DSResult GetFormat(WAVEFORMATEX* format, uint32_t size, uint32_t* written) = 0;
    // Hundredths of a decibel. DSERR_CONTROLUNAVAIL without DSBCAPS_CTRLVOLUME.
    virtual DSResult GetVolume(int32_t* out) = 0;
    // DSERR_CONTROLUNAVAIL without DSBCAPS_CTRLPAN.
    virtual DSResult GetPan(int32_t* out) = 0;
    // Samples per second. DSERR_CONTROLUNAVAIL without DSBCAPS_CTRLFREQUENCY.
    virtual DSResult GetFrequency(uint32_t* out) = 0;
    // DSBSTATUS_* bits.
    virtual DSResult GetStatus(uint32_t* out) = 0;

    // Locks bytes bytes from offset (flags: DSBLOCK_FROMWRITECURSOR takes the write cursor as
    // the offset, DSBLOCK_ENTIREBUFFER the whole buffer as the count). The first region runs
    // from offset to at most the buffer's end; what is left over is the second region, from
    // offset 0 (*ptr2 null and *bytes2 0 when there is none). ptr2 and bytes2 may be null when
    // the lock does not wrap. DSERR_INVALIDPARAM for an offset past the end, 0 bytes or more
    // bytes than the buffer; DSERR_BUFFERLOST while lost; DSERR_INVALIDCALL on the primary.
    virtual DSResult Lock(uint32_t offset, uint32_t bytes, void** ptr1, uint32_t* bytes1,
                          void** ptr2, uint32_t* bytes2, uint32_t flags) = 0;
    // Ends a lock: ptr1 must be the first region of an open lock, ptr2 its second (or null).
    // The byte counts say how much was written (at most the region's size); those bytes go
    // into the samples. DSERR_INVALIDPARAM for pointers no open lock handed out.
    virtual DSResult Unlock(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) = 0;

    // Plays from the current position, to the end (flags 0) or round and round
    // (DSBPLAY_LOOPING). reserved1 must be 0. Playing an already playing buffer changes only
    // its looping. The primary buffer must be played looping; it then keeps the output running.
    virtual DSResult Play(uint32_t reserved1, uint32_t priority, uint32_t flags) = 0;
    virtual DSResult Stop() = 0;
    // Moves the play position (rounded down to a whole block). DSERR_INVALIDPARAM past the end.
    virtual DSResult SetCurrentPosition(uint32_t position) = 0;
    // Primary buffer only (DSERR_INVALIDCALL on a secondary; DSERR_PRIOLEVELNEEDED below
    // DSSCL_PRIORITY): PCM, 1 or 2 channels, 8 or 16 bits, 8000..48000 Hz (DSERR_BADFORMAT).
    // The format is kept and reported; the mixer's output stays at its own rate.
    virtual DSResult SetFormat(const WAVEFORMATEX* format) = 0;
    // DSBVOLUME_MIN..DSBVOLUME_MAX, else DSERR_INVALIDPARAM.
    virtual DSResult SetVolume(int32_t volume) = 0;
    // DSBPAN_LEFT..DSBPAN_RIGHT, else DSERR_INVALIDPARAM.
    virtual DSResult SetPan(int32_t pan) = 0;
    // DSBFREQUENCY_MIN..DSBFREQUENCY_MAX, or DSBFREQUENCY_ORIGINAL.
    virtual DSResult SetFrequency(uint32_t frequency) = 0;
    // Gives a lost buffer its memory back (zeroed: the caller must rewrite its samples).
    // DS_OK also when it was not lost.
    virtual DSResult Restore() = 0;

protected:
    virtual ~IDirectSoundBuffer() = default;
};

class IDirectSound {
public:
    virtual uint32_t AddRef() = 0;
    // Each buffer holds a reference on its device, so the device and its sink close with the
    // last of the device's own references and its buffers' ones.
    virtual uint32_t Release() = 0;

    // Finishes an object made by CoCreateDirectSound (guid: the device, null for the default
    // one). Chooses the sink (above). DSERR_ALREADYINITIALIZED the second time; DSERR_NODRIVER
    // for a device the enumeration does not list, or when the test controls refuse it. Until
    // it succeeds every other call but AddRef and Release gives DSERR_NOTINITIALIZED.
    virtual DSResult Initialize(const GUID* guid) = 0;
    // DSSCL_NORMAL, DSSCL_PRIORITY, DSSCL_EXCLUSIVE or DSSCL_WRITEPRIMARY; window must not be
    // 0 (DSERR_INVALIDPARAM). Before a level is set no buffer can be made.
    virtual DSResult SetCooperativeLevel(WindowHandle window, uint32_t level) = 0;
    // Makes a buffer from desc (see DSBUFFERDESC); outer must be null (DSERR_NOAGGREGATION).
    // A primary buffer: one per device; each call hands out a reference to the same one.
    // Secondary buffers start stopped at position 0, volume 0, pan 0, the format's frequency,
    // filled with silence (0, or 128 for 8-bit samples). DSERR_BADFORMAT for a format that is
    // not PCM with 1 or 2 channels of 8 or 16 bits, 100..200000 Hz and a matching block align
    // and byte rate; DSERR_INVALIDPARAM for a size outside DSBSIZE_MIN..DSBSIZE_MAX or smaller
    // than one frame (bytes after the last whole frame are kept but not played);
    // DSERR_PRIOLEVELNEEDED before SetCooperativeLevel; DSERR_OUTOFMEMORY when the samples
    // cannot be had.
    virtual DSResult CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out,
                                       void* outer) = 0;
    // Capabilities of the device. DSERR_INVALIDPARAM when dwSize is wrong.
    virtual DSResult GetCaps(DSCAPS* out) = 0;
    // A new buffer that shares original's samples (it starts stopped at 0 with the original's
    // volume, pan and frequency). DSERR_INVALIDCALL for the primary buffer or a buffer of
    // another device.
    virtual DSResult DuplicateSoundBuffer(IDirectSoundBuffer* original,
                                          IDirectSoundBuffer** out) = 0;
    // Nothing to compact: DS_OK (DSERR_PRIOLEVELNEEDED below DSSCL_PRIORITY).
    virtual DSResult Compact() = 0;
    virtual DSResult GetSpeakerConfig(uint32_t* out) = 0;
    virtual DSResult SetSpeakerConfig(uint32_t config) = 0;

protected:
    virtual ~IDirectSound() = default;
};

// A new, uninitialised device object (one reference), as the COM class factory hands it out:
// Initialize must follow. DSERR_GENERIC when the test controls refuse the creation; *out is
// then null.
DSResult CoCreateDirectSound(IDirectSound** out);
// A new device object already initialised for guid (null: the default device).
DSResult DirectSoundCreate(const GUID* guid, IDirectSound** out, void* outer);

// ---- device enumeration ------------------------------------------------------------------
// Called once per output device: its identifier (null for the primary sound driver), a
// description and a module name (both ASCII); return 1 to go on, 0 to stop.
using LPDSENUMCALLBACKA = int32_t (*)(const GUID* guid, const char* description,
                                      const char* module, void* context);
using DirectSoundEnumerateProc = DSResult (*)(LPDSENUMCALLBACKA callback, void* context);
// Lists the primary sound driver and the device behind it.
DSResult DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, void* context);

// The sound layer's system library, loaded by its file name as the library looks up
// DirectSoundEnumerateA by name. "DSOUND.DLL" (any case) loads; other names, or a refusal by
// the test controls, give null.
struct SoundSystemLibrary;
SoundSystemLibrary* LoadSoundSystemLibrary(const char* fileName);
// "DirectSoundEnumerateA" gives the enumeration; other names (or a refusal) give null.
DirectSoundEnumerateProc GetSoundSystemProcedure(SoundSystemLibrary* library,
                                                  const char* name);
void FreeSoundSystemLibrary(SoundSystemLibrary* library);

}  // namespace plat
