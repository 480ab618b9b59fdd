// The capture of the sound output to a RIFF WAVE file: 16-bit stereo at 44100 Hz. Nothing in
// this program starts a capture; the closing step writes the file's header for the frames
// written and closes it.
#pragma once
#include <cstdint>

#include "platform/core/file.h"

constexpr uint32_t kSoundCaptureHeaderBytes = 46;

struct SoundCaptureState {
    int32_t on;
    uint32_t frames;  // sample frames written
    plat::File* file;
};

SoundCaptureState& GetSoundCaptureState();

// The 46-byte header: "RIFF", 4 × frames + 38, "WAVE", "fmt " of 18 bytes (PCM, 2 channels,
// 44100 Hz, 176400 bytes per second, block 4, 16 bits, no extra bytes), "data", 4 × frames;
// little-endian. Sizes past 32 bits stop at 0xFFFFFFFF.
void BuildSoundCaptureHeader(uint32_t frames, unsigned char out[kSoundCaptureHeaderBytes]);

// Writes the header at the start of the capture file, closes it and ends the capture. 0; -1
// when no capture runs, the sound output is not started or the header cannot be written (the
// file is closed all the same).
int FinishSoundCaptureFile();
