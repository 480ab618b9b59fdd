// Writes 16-bit PCM sound as a RIFF WAVE file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace res {

struct SoundBuffer {
    int rate = 44100;
    int channels = 1;
    std::vector<float> samples;  // interleaved, -1 .. 1
};

// True when the file was written whole; on failure a line names the file on stderr.
bool WriteWav(const std::string& path, const SoundBuffer& sound);

// A sample from -1 .. 1 as a 16-bit value (clipped).
int16_t ToPcm16(float v);

}  // namespace res
