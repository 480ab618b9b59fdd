// An MPEG layer III encoder for tests (libmp3lame): turns 16-bit PCM into a raw stream of
// frames, so decoding tests start from a stream made on the spot.
#pragma once
#include <cstdint>
#include <vector>

namespace plat {

// Encodes interleaved 16-bit samples (channels 1 or 2) at rate at a constant bitrate (kbit/s),
// without a tag frame. Empty when the encoder refuses the settings.
std::vector<uint8_t> EncodeMp3ForTests(const std::vector<int16_t>& samples, uint32_t channels,
                                       uint32_t rate, uint32_t kbps);

}  // namespace plat
