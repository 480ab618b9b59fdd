#include "platform/testing/mp3_test_encoder.h"

#include <lame/lame.h>

namespace plat {

std::vector<uint8_t> EncodeMp3ForTests(const std::vector<int16_t>& samples, uint32_t channels,
                                       uint32_t rate, uint32_t kbps) {
    lame_global_flags* lame = lame_init();
    if (lame == nullptr) return {};
    lame_set_num_channels(lame, static_cast<int>(channels));
    lame_set_in_samplerate(lame, static_cast<int>(rate));
    lame_set_out_samplerate(lame, static_cast<int>(rate));
    lame_set_brate(lame, static_cast<int>(kbps));
    lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_bWriteVbrTag(lame, 0);
    lame_set_quality(lame, 5);
    std::vector<uint8_t> out;
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return out;
    }
    const int frames = static_cast<int>(samples.size() / channels);
    std::vector<unsigned char> buffer(static_cast<size_t>(frames) * 5 / 4 + 7200 + 16384);
    int n = 0;
    if (channels == 1) {
        n = lame_encode_buffer(lame, samples.data(), samples.data(), frames, buffer.data(),
                               static_cast<int>(buffer.size()));
    } else {
        n = lame_encode_buffer_interleaved(lame, const_cast<short*>(samples.data()), frames,
                                           buffer.data(), static_cast<int>(buffer.size()));
    }
    if (n >= 0) {
        out.assign(buffer.begin(), buffer.begin() + n);
        n = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
        if (n >= 0) out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    }
    if (n < 0) out.clear();
    lame_close(lame);
    return out;
}

}  // namespace plat
