// The made sounds: the six effects as 16-bit PCM WAV files that are short, audible and start
// and end quietly; the music as an Ogg Vorbis stream of about 30 seconds.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/tools/resource_table.h"

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

TEST(SoundFileTest, EffectsArePcm16WavesThatAreShortAudibleAndClickFree) {
    for (const std::string& name : EffectTable()) {
        std::ifstream in(ResourcePath(name), std::ios::binary);
        const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
        ASSERT_GE(b.size(), 44u) << name;
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF") << name;
        EXPECT_EQ(Le32(b, 4), b.size() - 8) << name;
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ") << name;
        EXPECT_EQ(Le32(b, 16), 16u) << name;
        EXPECT_EQ(Le16(b, 20), 1) << name << ": PCM";
        const uint16_t channels = Le16(b, 22);
        const uint32_t rate = Le32(b, 24);
        EXPECT_EQ(channels, 1) << name;
        EXPECT_EQ(rate, 44100u) << name;
        EXPECT_EQ(Le32(b, 28), rate * channels * 2) << name;
        EXPECT_EQ(Le16(b, 32), channels * 2) << name;
        EXPECT_EQ(Le16(b, 34), 16) << name;
        ASSERT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data") << name;
        const uint32_t bytes = Le32(b, 40);
        ASSERT_EQ(bytes + 44, b.size()) << name;

        std::vector<int16_t> samples(bytes / 2);
        for (size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<int16_t>(Le16(b, 44 + i * 2));
        }
        const double seconds = static_cast<double>(samples.size()) / rate;
        EXPECT_GT(seconds, 0.05) << name;
        EXPECT_LT(seconds, 3.0) << name;
        int peak = 0;
        for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
        EXPECT_GT(peak, 3000) << name << " is nearly silent";
        EXPECT_LT(peak, 32000) << name << " clips";
        EXPECT_LT(std::abs(static_cast<int>(samples.front())), 200) << name;
        EXPECT_LT(std::abs(static_cast<int>(samples.back())), 200) << name;
    }
}

TEST(SoundFileTest, MusicIsAThirtySecondStereoVorbisStream) {
    OggVorbis_File file;
    ASSERT_EQ(ov_fopen(ResourcePath("main.ogg").c_str(), &file), 0);
    const vorbis_info* info = ov_info(&file, -1);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->channels, 2);
    EXPECT_EQ(info->rate, 44100);
    const double seconds = static_cast<double>(ov_pcm_total(&file, -1)) / info->rate;
    EXPECT_NEAR(seconds, 30.0, 0.5);

    // Sound from the first seconds on: the drums and bass start at once.
    std::vector<char> buffer(4096);
    int section = 0;
    long total = 0;
    int peak = 0;
    while (total < 44100 * 4) {
        const long got = ov_read(&file, buffer.data(), static_cast<int>(buffer.size()), 0, 2, 1,
                                 &section);
        ASSERT_GE(got, 0);
        if (got == 0) break;
        for (long i = 0; i + 1 < got; i += 2) {
            const int16_t s = static_cast<int16_t>(static_cast<uint8_t>(buffer[i]) |
                                                   static_cast<uint8_t>(buffer[i + 1]) << 8);
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        }
        total += got;
    }
    EXPECT_GT(peak, 8000);
    ov_clear(&file);
}

}  // namespace
