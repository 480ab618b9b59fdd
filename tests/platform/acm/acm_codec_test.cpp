// The decoders against the test encoders: ADPCM of both kinds and G.711 come back exactly as
// the encoders reconstructed them, whole or in pieces, mono and stereo.
#include <gtest/gtest.h>

#include "tests/platform/acm/acm_convert.h"
#include "tests/platform/acm/test_encoders.h"

namespace {

using acmtest::ConvertAll;
using acmtest::Encoded;

struct BlockCase {
    const char* name;
    bool ms;  // Microsoft ADPCM, else IMA
    uint32_t channels;
    uint16_t blockAlign;
    uint32_t piece;  // source bytes per conversion
    uint32_t flags;  // pieces that are not whole blocks convert with ACM_STREAMCONVERTF_BLOCKALIGN
};

constexpr uint32_t kWhole = plat::ACM_STREAMCONVERTF_BLOCKALIGN;

class AdpcmTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(AdpcmTest, DecodesExactlyWhatTheEncoderReconstructed) {
    const BlockCase& c = GetParam();
    const std::vector<int16_t> pcm = acmtest::Signal(5000, c.channels, 12000.0);
    const Encoded e = c.ms ? acmtest::EncodeMs(pcm, c.channels, 22050, c.blockAlign)
                           : acmtest::EncodeIma(pcm, c.channels, 22050, c.blockAlign);
    const acmtest::Converted out = ConvertAll(e.Format(), e.bytes, c.piece, c.flags);
    ASSERT_EQ(out.result, plat::MMSYSERR_NOERROR);
    EXPECT_EQ(out.format.nChannels, c.channels);
    EXPECT_EQ(out.format.wBitsPerSample, 16);
    EXPECT_EQ(out.format.nSamplesPerSec, 22050u);
    ASSERT_EQ(out.pcm.size(), e.decoded.size());
    for (size_t i = 0; i < out.pcm.size(); ++i) ASSERT_EQ(out.pcm[i], e.decoded[i]) << "sample " << i;
    // The encoders are good enough that the decoded signal follows the original.
    double error = 0;
    for (size_t i = 0; i < pcm.size(); ++i) error += std::abs(out.pcm[i] - pcm[i]);
    EXPECT_LT(error / pcm.size(), 1500.0);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, AdpcmTest,
    ::testing::Values(BlockCase{"ImaMono", false, 1, 256, 256, 0},
                      BlockCase{"ImaStereo", false, 2, 512, 512, 0},
                      BlockCase{"ImaMonoOddPieces", false, 1, 256, 1000, kWhole},
                      BlockCase{"ImaStereoSmallBlocks", false, 2, 40, 97, kWhole},
                      BlockCase{"MsMono", true, 1, 256, 256, 0},
                      BlockCase{"MsStereo", true, 2, 512, 512, 0},
                      BlockCase{"MsMonoOddPieces", true, 1, 256, 1000, kWhole},
                      BlockCase{"MsStereoSmallBlocks", true, 2, 30, 77, kWhole}),
    [](const ::testing::TestParamInfo<BlockCase>& info) { return info.param.name; });

TEST(AdpcmPartialBlock, LastPartialBlockDecodesAsFarAsItsBytesGo) {
    const std::vector<int16_t> pcm = acmtest::Signal(1000, 1, 9000.0);
    struct Case {
        bool ms;
        uint32_t cutBytes;   // bytes of the last block kept
        uint32_t samples;    // samples they hold
    };
    // IMA: 4-byte header (1 sample) + whole 4-byte groups of 8; MS: 7-byte header (2 samples)
    // + 2 per byte.
    const Case cases[] = {{false, 4, 1}, {false, 7, 1}, {false, 8, 9}, {false, 12, 17},
                          {false, 100, 193}, {false, 3, 0}, {true, 7, 2},  {true, 8, 4},
                          {true, 100, 188}, {true, 6, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.ms ? "ms " : "ima ") << c.cutBytes);
        const Encoded e = c.ms ? acmtest::EncodeMs(pcm, 1, 22050, 256) : acmtest::EncodeIma(pcm, 1, 22050, 256);
        const uint32_t perBlock = c.ms ? 500 : 505;
        std::vector<uint8_t> cut(e.bytes.begin(), e.bytes.begin() + 256 + c.cutBytes);
        const acmtest::Converted out = ConvertAll(e.Format(), cut, 256);
        ASSERT_EQ(out.result, plat::MMSYSERR_NOERROR);
        ASSERT_EQ(out.pcm.size(), perBlock + c.samples);
        for (size_t i = 0; i < out.pcm.size(); ++i) ASSERT_EQ(out.pcm[i], e.decoded[i]) << i;
        // Whole blocks only: the partial one is left untaken, unless the piece is the last.
        for (bool last : {false, true}) {
            const acmtest::Converted whole =
                ConvertAll(e.Format(), cut, 512, plat::ACM_STREAMCONVERTF_BLOCKALIGN, last);
            ASSERT_EQ(whole.result, plat::MMSYSERR_NOERROR);
            EXPECT_EQ(whole.pcm.size(), perBlock + (last ? c.samples : 0)) << last;
        }
    }
}

TEST(G711, DecodesEveryCodeAsTheLevelItStandsFor) {
    for (uint32_t code = 0; code < 256; ++code) {
        std::vector<uint8_t> one = {static_cast<uint8_t>(code)};
        for (bool alaw : {false, true}) {
            SCOPED_TRACE(testing::Message() << (alaw ? "A-law " : "mu-law ") << code);
            Encoded e = acmtest::EncodeG711({0}, 1, 8000, alaw);
            const acmtest::Converted out = ConvertAll(e.Format(), one, 1);
            ASSERT_EQ(out.result, plat::MMSYSERR_NOERROR);
            ASSERT_EQ(out.pcm.size(), 1u);
            EXPECT_EQ(out.pcm[0], alaw ? acmtest::ALawLevel(static_cast<uint8_t>(code))
                                       : acmtest::MuLawLevel(static_cast<uint8_t>(code)));
        }
    }
}

TEST(G711, KnownCodes) {
    struct Case {
        bool alaw;
        uint8_t code;
        int16_t level;
    };
    const Case cases[] = {{false, 0x00, -32124}, {false, 0x80, 32124}, {false, 0xFF, 0},
                          {false, 0x7F, 0},      {true, 0xD5, 8},      {true, 0x55, -8},
                          {true, 0xAA, 32256},   {true, 0x2A, -32256}};
    for (const Case& c : cases) {
        Encoded e = acmtest::EncodeG711({0}, 1, 8000, c.alaw);
        const acmtest::Converted out = ConvertAll(e.Format(), {c.code}, 1);
        ASSERT_EQ(out.pcm.size(), 1u);
        EXPECT_EQ(out.pcm[0], c.level) << static_cast<int>(c.code);
    }
}

TEST(G711, StereoSignalsComeBackAsReconstructed) {
    for (bool alaw : {false, true}) {
        const std::vector<int16_t> pcm = acmtest::Signal(3000, 2, 20000.0);
        const Encoded e = acmtest::EncodeG711(pcm, 2, 8000, alaw);
        const acmtest::Converted out = ConvertAll(e.Format(), e.bytes, 333);
        ASSERT_EQ(out.result, plat::MMSYSERR_NOERROR);
        ASSERT_EQ(out.pcm, e.decoded);
        // A companded sample is within a step of its segment of the original.
        for (size_t i = 0; i < pcm.size(); ++i) {
            ASSERT_NEAR(out.pcm[i], pcm[i], std::max(64.0, std::abs(pcm[i]) / 16.0)) << i;
        }
    }
}

}  // namespace

namespace {

TEST(MsAdpcmFormat, CoefficientSetsBeyondTheUsualSevenAreRead) {
    const std::vector<int16_t> pcm = acmtest::Signal(1500, 1, 9000.0);
    const Encoded e = acmtest::EncodeMs(pcm, 1, 22050, 256);
    // An eighth set, equal to the first block's own, and that block pointing at it.
    std::vector<uint8_t> format(sizeof(plat::ADPCMWAVEFORMAT) + 4, 0);
    ASSERT_EQ(e.format.size(), sizeof(plat::ADPCMWAVEFORMAT));
    std::memcpy(format.data(), e.format.data(), sizeof(plat::ADPCMWAVEFORMAT));
    auto* f = reinterpret_cast<plat::ADPCMWAVEFORMAT*>(format.data());
    f->wfx.cbSize = 36;
    f->wNumCoef = 8;
    const uint8_t used = e.bytes[0];
    std::memcpy(format.data() + sizeof(plat::ADPCMWAVEFORMAT), &f->aCoef[used], 4);
    std::vector<uint8_t> data = e.bytes;
    data[0] = 7;
    const acmtest::Converted out =
        ConvertAll(reinterpret_cast<const plat::WAVEFORMATEX*>(format.data()), data, 256);
    ASSERT_EQ(out.result, plat::MMSYSERR_NOERROR);
    ASSERT_EQ(out.pcm, e.decoded);
}

}  // namespace
