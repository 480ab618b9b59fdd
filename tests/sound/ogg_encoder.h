// An Ogg Vorbis encoder for the tests: turns 16-bit PCM into an Ogg Vorbis file in memory.
#pragma once
#include <cstdint>
#include <vector>

// Interleaved 16-bit samples of `channels` channels at `rate` Hz, encoded at the quality
// given (-0.1..1.0). Empty on failure.
std::vector<unsigned char> EncodeOggVorbis(const std::vector<int16_t>& samples, int channels,
                                           int rate, float quality = 0.6f);
