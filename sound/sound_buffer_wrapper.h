// The sound buffer wrapper: one operation for each sound-buffer call the sound system makes.
// In the normal mode each wrapper holds a buffer of the platform's sound layer; in the
// software-buffer mode (a setting of the sound output) it owns plain sample memory instead and
// only keeps the play state (playing, position, loop, volume) in its fields; nothing mixes
// those buffers.
#pragma once
#include <cstdint>

#include "platform/dsound/dsound.h"

struct SoundBufferWrapper {
    int32_t valid;                    // 1 after a create or duplicate, 0 after release
    plat::IDirectSoundBuffer* buffer;  // normal mode
    unsigned char* memory;            // software mode: the samples (tracked memory)
    int32_t playing;                  // software mode
    int32_t position;                 // software mode: in sample frames
    int32_t loop;                     // software mode
    int32_t loopStart;                // software mode: 0 at creation (reserved)
    int32_t loopEnd;                  // software mode: -1 at creation (reserved)
    int32_t volume;                   // software mode: a factor out of 256, 255 at creation
    int32_t length;                   // software mode: length in sample frames
    plat::WAVEFORMATEX format;        // software mode: the buffer's format
};

// The mode of every wrapper operation: 0 platform buffers (the default), 1 software buffers.
void SetSoundBufferSoftwareMode(int32_t mode);

// The sound output's device, which creates and duplicates platform buffers (null: none).
void SetSoundBufferDevice(plat::IDirectSound* device);

// Every operation returns 0, or -1 when the wrapper is not valid (create and duplicate: when it
// already is) or the call fails.
int CreateBufferWrapper(SoundBufferWrapper* wrapper, const plat::DSBUFFERDESC* desc);
int DuplicateBufferWrapper(SoundBufferWrapper* wrapper, const SoundBufferWrapper* source);
int ReleaseBufferWrapper(SoundBufferWrapper* wrapper);
int PlayBufferWrapper(SoundBufferWrapper* wrapper, int loop);
int StopBufferWrapper(SoundBufferWrapper* wrapper);
// *status gets the playing bit (status may be null in software mode).
int QueryBufferWrapperStatus(SoundBufferWrapper* wrapper, uint32_t* status);
// Locks bytes bytes from offset; past the end the rest comes from offset 0 as the second
// region. In software mode an offset at or past the end, 0 bytes or more bytes than the
// buffer holds give -1, so no region ever lies outside the buffer.
int LockBufferWrapper(SoundBufferWrapper* wrapper, uint32_t offset, uint32_t bytes,
                      void** ptr1, uint32_t* bytes1, void** ptr2, uint32_t* bytes2);
int UnlockBufferWrapper(SoundBufferWrapper* wrapper, void* ptr1, uint32_t bytes1, void* ptr2,
                        uint32_t bytes2);
// Gives a lost buffer its memory back (its samples must then be written again). Software
// buffers are never lost.
int RestoreBufferWrapper(SoundBufferWrapper* wrapper);
// Hundredths of a decibel, -10000..0.
int SetBufferWrapperVolume(SoundBufferWrapper* wrapper, int32_t volume);
int SetBufferWrapperPan(SoundBufferWrapper* wrapper, int32_t pan);
int SetBufferWrapperFrequency(SoundBufferWrapper* wrapper, uint32_t frequency);
int SetBufferWrapperPosition(SoundBufferWrapper* wrapper, uint32_t bytePosition);
// The play position in bytes (software mode: block align × the position field).
int GetBufferWrapperPosition(SoundBufferWrapper* wrapper, uint32_t* bytePosition);

// The software mode's volume factor (out of 256) for a volume in hundredths of a decibel.
int32_t SoftwareVolumeFactor(int32_t volume);
