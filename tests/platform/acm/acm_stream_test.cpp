// The stream protocol (open, sizes, headers) and what hostile formats and data get: a clean
// refusal or a bounded result, never a crash.
#include <gtest/gtest.h>

#include "platform/testing/mp3_test_encoder.h"
#include "tests/platform/acm/acm_convert.h"
#include "tests/platform/acm/test_encoders.h"

namespace {

using acmtest::ConvertAll;

std::vector<uint8_t> ImaFormat(uint16_t channels, uint16_t blockAlign, uint16_t samplesPerBlock) {
    plat::IMAADPCMWAVEFORMAT f{};
    f.wfx = {plat::WAVE_FORMAT_IMA_ADPCM, channels, 22050, 11100, blockAlign, 4, 2};
    f.wSamplesPerBlock = samplesPerBlock;
    std::vector<uint8_t> out(sizeof f);
    std::memcpy(out.data(), &f, sizeof f);
    return out;
}

std::vector<uint8_t> MsFormat(uint16_t channels, uint16_t blockAlign, uint16_t samplesPerBlock,
                              uint16_t coefs, uint16_t cbSize = 32) {
    plat::ADPCMWAVEFORMAT f{};
    f.wfx = {plat::WAVE_FORMAT_ADPCM, channels, 22050, 11100, blockAlign, 4, cbSize};
    f.wSamplesPerBlock = samplesPerBlock;
    f.wNumCoef = coefs;
    std::vector<uint8_t> out(std::max<size_t>(sizeof f, 18 + cbSize), 0);
    std::memcpy(out.data(), &f, sizeof f);
    return out;
}

std::vector<uint8_t> Plain(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t avg,
                           uint16_t align, uint16_t bits, uint16_t cbSize = 0) {
    plat::WAVEFORMATEX f{tag, channels, rate, avg, align, bits, cbSize};
    std::vector<uint8_t> out(sizeof f);
    std::memcpy(out.data(), &f, sizeof f);
    out.resize(18 + cbSize, 0);
    return out;
}

std::vector<uint8_t> Mp3Format(uint16_t channels, uint32_t rate, uint32_t avg) {
    plat::MPEGLAYER3WAVEFORMAT f{};
    f.wfx = {plat::WAVE_FORMAT_MPEGLAYER3, channels, rate, avg, 1, 0, plat::MPEGLAYER3_WFX_EXTRA_BYTES};
    f.wID = plat::MPEGLAYER3_ID_MPEG;
    f.nBlockSize = 417;
    f.nFramesPerBlock = 1;
    f.nCodecDelay = 700;
    std::vector<uint8_t> out(sizeof f);
    std::memcpy(out.data(), &f, sizeof f);
    return out;
}

const plat::WAVEFORMATEX* AsFormat(const std::vector<uint8_t>& bytes) {
    return reinterpret_cast<const plat::WAVEFORMATEX*>(bytes.data());
}

TEST(AcmFormats, HostileFormatsAreRefusedCleanly) {
    struct Case {
        const char* what;
        std::vector<uint8_t> format;
    };
    const Case cases[] = {
        {"IMA zero channels", ImaFormat(0, 256, 505)},
        {"IMA three channels", ImaFormat(3, 256, 505)},
        {"IMA zero block align", ImaFormat(1, 0, 505)},
        {"IMA block smaller than its header", ImaFormat(2, 4, 1)},
        {"IMA block not whole groups", ImaFormat(1, 258, 505)},
        {"IMA samples per block that do not fit", ImaFormat(1, 256, 60000)},
        {"MS zero channels", MsFormat(0, 256, 500, 7)},
        {"MS zero block align", MsFormat(1, 0, 500, 7)},
        {"MS block smaller than its header", MsFormat(2, 13, 2, 7)},
        {"MS more samples than the block holds", MsFormat(1, 256, 501, 7)},
        {"MS no coefficient sets", MsFormat(1, 256, 500, 0)},
        {"MS more sets than the record holds", MsFormat(1, 256, 500, 8)},
        {"MS record beyond the largest format", MsFormat(1, 256, 500, 7, 300)},
        {"A-law zero channels", Plain(plat::WAVE_FORMAT_ALAW, 0, 8000, 8000, 1, 8)},
        {"A-law block align not the channels", Plain(plat::WAVE_FORMAT_ALAW, 2, 8000, 16000, 1, 8)},
        {"mu-law zero rate", Plain(plat::WAVE_FORMAT_MULAW, 1, 0, 0, 1, 8)},
        {"mu-law absurd rate", Plain(plat::WAVE_FORMAT_MULAW, 1, 4000000000u, 8000, 1, 8)},
        {"mu-law 16 bits", Plain(plat::WAVE_FORMAT_MULAW, 1, 8000, 8000, 1, 16)},
        {"MP3 without its extra part", Plain(plat::WAVE_FORMAT_MPEGLAYER3, 2, 44100, 16000, 1, 0)},
        {"MP3 no byte rate", Mp3Format(2, 44100, 0)},
        {"MP3 rate no MPEG audio has", Mp3Format(2, 96000, 16000)},
        {"PCM is no source", Plain(plat::WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16)},
        {"unknown tag", Plain(0x1234, 1, 8000, 8000, 1, 8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::WAVEFORMATEX dst{};
        dst.wFormatTag = plat::WAVE_FORMAT_PCM;
        EXPECT_EQ(plat::acmFormatSuggest(nullptr, AsFormat(c.format), &dst, sizeof dst,
                                         plat::ACM_FORMATSUGGESTF_WFORMATTAG),
                  plat::ACMERR_NOTPOSSIBLE);
        const plat::WAVEFORMATEX pcm = {plat::WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
        plat::HACMSTREAM s = reinterpret_cast<plat::HACMSTREAM>(1);
        EXPECT_EQ(plat::acmStreamOpen(&s, nullptr, AsFormat(c.format), &pcm, nullptr, 0, 0, 0),
                  plat::ACMERR_NOTPOSSIBLE);
        EXPECT_EQ(s, nullptr);
    }
}

TEST(AcmFormats, SuggestionIsSixteenBitPcmOfTheSource) {
    const std::vector<uint8_t> ima = ImaFormat(2, 512, 505);
    plat::WAVEFORMATEX dst{};
    dst.wFormatTag = plat::WAVE_FORMAT_PCM;
    ASSERT_EQ(plat::acmFormatSuggest(nullptr, AsFormat(ima), &dst, 18, plat::ACM_FORMATSUGGESTF_WFORMATTAG),
              plat::MMSYSERR_NOERROR);
    const plat::WAVEFORMATEX expected = {plat::WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
    EXPECT_EQ(std::memcmp(&dst, &expected, 18), 0);
    dst.wFormatTag = 0x11;
    EXPECT_EQ(plat::acmFormatSuggest(nullptr, AsFormat(ima), &dst, 18, plat::ACM_FORMATSUGGESTF_WFORMATTAG),
              plat::ACMERR_NOTPOSSIBLE);
    EXPECT_EQ(plat::acmFormatSuggest(nullptr, AsFormat(ima), &dst, 16, 0), plat::MMSYSERR_INVALPARAM);
    // A destination other than what the source gives cannot be opened.
    plat::HACMSTREAM s = nullptr;
    plat::WAVEFORMATEX eight = {plat::WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0};
    EXPECT_EQ(plat::acmStreamOpen(&s, nullptr, AsFormat(ima), &eight, nullptr, 0, 0, 0), plat::ACMERR_NOTPOSSIBLE);
    EXPECT_EQ(plat::acmStreamOpen(nullptr, nullptr, AsFormat(ima), &expected, nullptr, 0, 0,
                                  plat::ACM_STREAMOPENF_QUERY),
              plat::MMSYSERR_NOERROR);
    uint32_t largest = 0;
    ASSERT_EQ(plat::acmMetrics(nullptr, plat::ACM_METRIC_MAX_SIZE_FORMAT, &largest), plat::MMSYSERR_NOERROR);
    EXPECT_GE(largest, sizeof(plat::MPEGLAYER3WAVEFORMAT));
    EXPECT_GE(largest, sizeof(plat::ADPCMWAVEFORMAT));
}

TEST(AcmStreams, HeadersFollowThePrepareConvertUnprepareOrder) {
    const std::vector<uint8_t> mu = Plain(plat::WAVE_FORMAT_MULAW, 1, 8000, 8000, 1, 8);
    const plat::WAVEFORMATEX pcm = {plat::WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
    plat::HACMSTREAM s = nullptr;
    ASSERT_EQ(plat::acmStreamOpen(&s, nullptr, AsFormat(mu), &pcm, nullptr, 0, 0, 0), plat::MMSYSERR_NOERROR);
    uint32_t n = 0;
    ASSERT_EQ(plat::acmStreamSize(s, 100, &n, plat::ACM_STREAMSIZEF_SOURCE), plat::MMSYSERR_NOERROR);
    EXPECT_EQ(n, 200u);
    ASSERT_EQ(plat::acmStreamSize(s, 200, &n, plat::ACM_STREAMSIZEF_DESTINATION), plat::MMSYSERR_NOERROR);
    EXPECT_EQ(n, 100u);
    EXPECT_EQ(plat::acmStreamSize(s, 0, &n, plat::ACM_STREAMSIZEF_SOURCE), plat::ACMERR_NOTPOSSIBLE);
    EXPECT_EQ(plat::acmStreamSize(s, 1, &n, 7), plat::MMSYSERR_INVALFLAG);

    uint8_t src[100] = {};
    uint8_t dst[200] = {};
    plat::ACMSTREAMHEADER h{};
    h.cbStruct = sizeof h;
    h.pbSrc = src;
    h.cbSrcLength = 100;
    h.pbDst = dst;
    h.cbDstLength = 200;
    EXPECT_EQ(plat::acmStreamConvert(s, &h, 0), plat::ACMERR_UNPREPARED);
    plat::ACMSTREAMHEADER wrong = h;
    wrong.cbStruct = 12;
    EXPECT_EQ(plat::acmStreamPrepareHeader(s, &wrong, 0), plat::MMSYSERR_INVALPARAM);
    ASSERT_EQ(plat::acmStreamPrepareHeader(s, &h, 0), plat::MMSYSERR_NOERROR);
    EXPECT_NE(h.fdwStatus & plat::ACMSTREAMHEADER_STATUSF_PREPARED, 0u);
    EXPECT_EQ(plat::acmStreamPrepareHeader(s, &h, 0), plat::ACMERR_BUSY);
    EXPECT_EQ(plat::acmStreamClose(s, 0), plat::ACMERR_BUSY);
    // More than was prepared, or other memory, is refused.
    h.cbSrcLength = 101;
    EXPECT_EQ(plat::acmStreamConvert(s, &h, 0), plat::MMSYSERR_INVALPARAM);
    h.cbSrcLength = 100;
    h.pbDst = dst + 1;
    EXPECT_EQ(plat::acmStreamConvert(s, &h, 0), plat::MMSYSERR_INVALPARAM);
    h.pbDst = dst;
    // The destination limits what is taken.
    h.cbSrcLength = 100;
    h.cbDstLength = 51;
    ASSERT_EQ(plat::acmStreamConvert(s, &h, 0), plat::MMSYSERR_NOERROR);
    EXPECT_EQ(h.cbSrcLengthUsed, 25u);
    EXPECT_EQ(h.cbDstLengthUsed, 50u);
    EXPECT_NE(h.fdwStatus & plat::ACMSTREAMHEADER_STATUSF_DONE, 0u);
    EXPECT_EQ(plat::acmStreamUnprepareHeader(s, &h, 0), plat::MMSYSERR_NOERROR);
    EXPECT_EQ(h.fdwStatus & plat::ACMSTREAMHEADER_STATUSF_PREPARED, 0u);
    EXPECT_EQ(plat::acmStreamUnprepareHeader(s, &h, 0), plat::ACMERR_UNPREPARED);
    EXPECT_EQ(plat::acmStreamClose(s, 0), plat::MMSYSERR_NOERROR);
    // A closed stream is a stale handle everywhere.
    EXPECT_EQ(plat::acmStreamClose(s, 0), plat::MMSYSERR_INVALHANDLE);
    EXPECT_EQ(plat::acmStreamSize(s, 1, &n, 0), plat::MMSYSERR_INVALHANDLE);
    EXPECT_EQ(plat::acmStreamConvert(s, &h, 0), plat::MMSYSERR_INVALHANDLE);
    EXPECT_EQ(plat::acmStreamClose(nullptr, 0), plat::MMSYSERR_INVALHANDLE);
}

TEST(AcmStreams, DamagedAdpcmDataFailsOrDecodesBoundedNeverCrashes) {
    // An MS ADPCM block naming a coefficient set the format lacks fails the conversion.
    const std::vector<int16_t> pcm = acmtest::Signal(2000, 1, 8000.0);
    acmtest::Encoded ms = acmtest::EncodeMs(pcm, 1, 22050, 256);
    ms.bytes[256] = 7;
    const acmtest::Converted bad = ConvertAll(ms.Format(), ms.bytes, 256);
    EXPECT_EQ(bad.result, plat::ACMERR_NOTPOSSIBLE);
    EXPECT_EQ(bad.pcm.size(), 500u);  // the block before it came out

    // Noise in every byte: whatever comes out is no more than the blocks can hold.
    uint32_t seed = 99;
    for (bool isMs : {false, true}) {
        acmtest::Encoded e = isMs ? acmtest::EncodeMs(pcm, 1, 22050, 256) : acmtest::EncodeIma(pcm, 1, 22050, 256);
        for (uint8_t& b : e.bytes) {
            seed = seed * 1664525u + 1013904223u;
            b = static_cast<uint8_t>(seed >> 24);
            if (isMs && (&b - e.bytes.data()) % 256 == 0) b %= 7;  // keep the sets valid
        }
        const acmtest::Converted out = ConvertAll(e.Format(), e.bytes, 512);
        EXPECT_EQ(out.result, plat::MMSYSERR_NOERROR);
        EXPECT_LE(out.pcm.size(), e.decoded.size());
    }
}

// ---- MPEG layer III ---------------------------------------------------------------------------

// Goertzel power of one frequency in a mono signal.
double Power(const std::vector<int16_t>& s, size_t from, size_t count, double hz, double rate) {
    const double k = 2.0 * std::cos(2.0 * std::numbers::pi * hz / rate);
    double a = 0, b = 0;
    for (size_t i = from; i < from + count; ++i) {
        const double v = s[i] + k * a - b;
        b = a;
        a = v;
    }
    return a * a + b * b - k * a * b;
}

TEST(AcmMp3, DecodesAnEncodedSineWithinTolerance) {
    const uint32_t rate = 44100;
    std::vector<int16_t> tone(rate);
    for (uint32_t i = 0; i < rate; ++i) {
        tone[i] = static_cast<int16_t>(std::lround(10000.0 * std::sin(2.0 * std::numbers::pi * 1000.0 * i / rate)));
    }
    const std::vector<uint8_t> mp3 = plat::EncodeMp3ForTests(tone, 1, rate, 128);
    ASSERT_GT(mp3.size(), 1000u);
    const std::vector<uint8_t> format = Mp3Format(1, rate, 16000);
    // Pieces of an odd size, so that frames straddle them.
    const acmtest::Converted out = ConvertAll(AsFormat(format), mp3, 1001);
    ASSERT_EQ(out.result, plat::MMSYSERR_NOERROR);
    EXPECT_EQ(out.format.nChannels, 1);
    // Length: the input plus the encoder's and decoder's delay, within two frames.
    EXPECT_GE(out.pcm.size(), tone.size());
    EXPECT_LE(out.pcm.size(), tone.size() + 3 * 1152);
    // Tolerance: the middle half's RMS within 5% of the sine's (7071), and 1 kHz at least
    // 1000 times the power of 3 kHz or 500 Hz.
    const size_t from = rate / 4, count = rate / 2;
    double sum = 0;
    for (size_t i = from; i < from + count; ++i) sum += static_cast<double>(out.pcm[i]) * out.pcm[i];
    const double rms = std::sqrt(sum / count);
    EXPECT_NEAR(rms, 7071.0, 7071.0 * 0.05);
    const double tonePower = Power(out.pcm, from, count, 1000.0, rate);
    EXPECT_GT(tonePower, 1000.0 * Power(out.pcm, from, count, 3000.0, rate));
    EXPECT_GT(tonePower, 1000.0 * Power(out.pcm, from, count, 500.0, rate));
}

TEST(AcmMp3, StereoFromAMonoStreamAndSmallDestinations) {
    const uint32_t rate = 22050;
    std::vector<int16_t> tone(rate / 2);
    for (size_t i = 0; i < tone.size(); ++i) {
        tone[i] = static_cast<int16_t>(std::lround(8000.0 * std::sin(2.0 * std::numbers::pi * 500.0 * i / rate)));
    }
    const std::vector<uint8_t> mp3 = plat::EncodeMp3ForTests(tone, 1, rate, 64);
    ASSERT_FALSE(mp3.empty());
    // The format says stereo: the decoder gives both sides the mono signal.
    const std::vector<uint8_t> format = Mp3Format(2, rate, 8000);
    const acmtest::Converted out = ConvertAll(AsFormat(format), mp3, 200);
    ASSERT_EQ(out.result, plat::MMSYSERR_NOERROR);
    ASSERT_GE(out.pcm.size(), tone.size() * 2);
    for (size_t i = 0; i < out.pcm.size(); i += 2) ASSERT_EQ(out.pcm[i], out.pcm[i + 1]);
}

TEST(AcmMp3, TruncatedAndGarbageStreamsEndCleanly) {
    std::vector<int16_t> tone(44100 / 4, 0);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>((i * 37) % 2000);
    const std::vector<uint8_t> mp3 = plat::EncodeMp3ForTests(tone, 1, 44100, 96);
    ASSERT_FALSE(mp3.empty());
    const std::vector<uint8_t> format = Mp3Format(1, 44100, 12000);
    // Cut in the middle of a frame: the whole frames before the cut come out.
    std::vector<uint8_t> cut(mp3.begin(), mp3.begin() + static_cast<long>(mp3.size() / 2 + 17));
    const acmtest::Converted half = ConvertAll(AsFormat(format), cut, 512);
    EXPECT_EQ(half.result, plat::MMSYSERR_NOERROR);
    EXPECT_LE(half.pcm.size(), tone.size() + 3 * 1152);
    // Bytes that are no MPEG audio: nothing, or little, and no failure that crashes.
    std::vector<uint8_t> garbage(20000);
    uint32_t seed = 7;
    for (uint8_t& b : garbage) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    const acmtest::Converted junk = ConvertAll(AsFormat(format), garbage, 4096);
    EXPECT_LE(junk.pcm.size(), 20000u * 1152u);
}

}  // namespace
