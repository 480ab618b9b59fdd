// Test controls of the sound layer (dsound.h): which sink new devices get, the memory sink's
// output, refusals of the next calls of a kind, and lost buffers.
#pragma once
#include <cstdint>
#include <vector>

namespace plat {

enum class SoundSink {
    Automatic,  // as Initialize chooses (SDL2's device or the clocked null sink)
    Null,       // the clocked null sink
    Memory,     // the memory sink: nothing plays until RenderSoundOutput
};

// The sink that devices initialised from now on get.
void UseSoundSink(SoundSink sink);
// Mixes frames output frames (44100 Hz, interleaved 16-bit stereo) on the newest live device
// that has the memory sink and appends them to out (may be null). False when there is none.
bool RenderSoundOutput(uint32_t frames, std::vector<int16_t>* out);
// Everything the newest memory-sink device mixed so far (empty when there is none).
std::vector<int16_t> SoundOutputRecord();
// The sink of the newest live device ("sdl2", "null", "memory"), or null without one.
const char* CurrentSoundSinkName();
// Live devices and buffers (a test can see that everything was released).
int LiveSoundDevices();
int LiveSoundBuffers();

// The next count calls of the kind fail: CoCreateDirectSound (DSERR_GENERIC), Initialize
// (DSERR_NODRIVER), CreateSoundBuffer (DSERR_OUTOFMEMORY), DuplicateSoundBuffer
// (DSERR_OUTOFMEMORY), Lock (DSERR_GENERIC), LoadSoundSystemLibrary (null).
void FailNextSoundDeviceCreates(int count);
void FailNextSoundInitializes(int count);
void FailNextSoundBufferCreates(int count);
void FailNextSoundDuplicates(int count);
void FailNextSoundLocks(int count);
void FailNextSoundLibraryLoads(int count);

// Every secondary buffer of every live device is lost: it stops, reports
// DSBSTATUS_BUFFERLOST and refuses Lock and Play with DSERR_BUFFERLOST until Restore.
void LoseSoundBuffers();

// Back to the automatic sink with no pending failures.
void ResetSoundTestControls();

}  // namespace plat
