// The sound system: the start and end of the sound output, the table of sound handles and the
// operations the game uses for effects and music. A loaded sound is decoded whole to PCM and
// copied into up to ten sound buffers of the same data, started in turn so that one effect
// can sound several times at once. Everything runs on the caller's thread under the library
// lock. While the output is not started every operation returns -1.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "platform/dsound/dsound.h"
#include "sound/sound_buffer_wrapper.h"
#include "sound/stream/sound_stream_types.h"

constexpr int32_t kSoundBuffersMax = 10;

// Play types: 0 waits for the end, 1 plays in the background, 3 loops in the background.
constexpr int32_t kSoundPlayNormal = 0;
constexpr int32_t kSoundPlayBackground = 1;
constexpr int32_t kSoundPlayLoop = 3;

struct SoundRecord {
    uint32_t serial;  // the handle's 11-bit check serial
    SoundBufferWrapper buffers[kSoundBuffersMax];
    plat::WAVEFORMATEX format;  // the PCM format of the sound
    int32_t stream;             // 0 normal sound, 1 streaming sound
    int32_t lastPlayType;
    uint32_t playStartTime;     // millisecond clock at the last play start
    uint32_t pcmBytes;          // the whole PCM block (owned)
    void* pcm;
    int32_t skipCopy[kSoundBuffersMax];  // 1: loading copies no PCM into that buffer
    int32_t bufferCount;        // 1..10
    int32_t current;            // the buffer started last (round-robin cursor)
    SoundStreamState streaming;  // streaming sounds only (stream = 1)
};

struct SoundHandleTable {
    SoundRecord* slots[kMaxSoundHandles];
    int32_t count;
    int32_t areaEnd;        // one past the highest used slot
    int32_t serialCounter;  // 0..2047
};

struct SoundOutputObjects {
    plat::IDirectSound* device;          // null: sound is not started
    plat::IDirectSoundBuffer* primary;
    plat::IDirectSoundBuffer* silent;    // a silent looping buffer that keeps the output going
    int32_t musicMode;         // 0 sound buffers (the only mode built)
    int32_t softwareBuffers;   // the buffer wrapper's software mode
    int32_t createType;        // 0: a load decodes the whole file; 2 or 3: a load makes a
                               // streaming sound of that data type
    int32_t oggBytesPerSample;
    SoundStreamList streams;   // every streaming sound's record
};

SoundOutputObjects& GetSoundOutput();
SoundHandleTable& GetSoundHandleTable();

// Start-up and shut-down of the sound output. 0, or -1.
int StartSoundOutput();
int StopSoundOutput();
// Stops every sound (the first step of shut-down). 0, or -1 when sound is not started.
int StopAllSounds();

// The record behind a sound handle, or null.
SoundRecord* GetSoundRecord(HandleValue handle);

HandleValue AddSoundData(HandleValue handle);
HandleValue LoadSoundFromFile(const char* path, int bufferCount, HandleValue unionHandle);
HandleValue LoadSoundFromMemory(const void* image, uint32_t imageBytes, int bufferCount,
                                HandleValue unionHandle);
int CreateSoundHandleBuffers(const plat::WAVEFORMATEX* format, uint32_t bytes, int mode,
                             int bufferCount, HandleValue handle);
int PlaySoundHandle(HandleValue handle, int playType, int topFlag);
int StopSoundHandle(HandleValue handle);
int IsSoundHandlePlaying(HandleValue handle);
// Volume 0..255 (0 and below: silence; above 255 as 255), set on every buffer of the handle.
int SetSoundHandleVolume(int volume, HandleValue handle);
// The handle's volume in hundredths of a decibel for a volume of 0..255.
int32_t SoundVolumeToDecibels(int volume);
// Pan -10000 (left) .. 10000 (right), clamped, on every buffer.
int SetSoundHandlePan(int pan, HandleValue handle);
// Samples per second (100..200000, clamped; 0: the sound's own rate), on every buffer.
int SetSoundHandleFrequency(int frequency, HandleValue handle);
int DeleteSoundHandle(HandleValue handle);
int DeleteAllSoundHandles();
// Reads a whole file through the file access table into a new tracked block.
int LoadWholeFile(const char* path, void** image, uint32_t* bytes);
