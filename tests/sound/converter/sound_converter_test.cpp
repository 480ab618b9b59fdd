// The sound converters: each reader against files the tests make, whole decodes, piecewise
// reads and seeks, and the file image builder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/tracked_memory.h"
#include "sound/converter/sound_converter.h"
#include "platform/testing/mp3_test_encoder.h"
#include "tests/sound/ogg_encoder.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

using namespace soundfix;

namespace {

// The whole decode of a file: its format and PCM bytes; false when it is refused.
bool DecodeWhole(const Bytes& file, plat::WAVEFORMATEX* format, Bytes* pcm,
                 int* kind = nullptr) {
    MemoryDataStream stream(file);
    SoundConverter converter;
    if (OpenSoundConverter(stream.get(), &converter) != 0) return false;
    if (kind != nullptr) *kind = converter.kind;
    void* block = nullptr;
    uint32_t bytes = 0;
    const int result = ConvertWholeToPcm(&converter, format, &block, &bytes);
    CloseSoundConverter(&converter);
    if (result != 0) return false;
    const auto* p = static_cast<const unsigned char*>(block);
    pcm->assign(p, p + bytes);
    TrackedFree(block);
    return true;
}

std::vector<int16_t> AsSamples(const Bytes& pcm) {
    std::vector<int16_t> out(pcm.size() / 2);
    std::memcpy(out.data(), pcm.data(), out.size() * 2);
    return out;
}

// Signal-to-noise ratio in decibels of `got` against `want` over their common length.
double SnrDb(const std::vector<int16_t>& want, const std::vector<int16_t>& got) {
    const size_t n = want.size() < got.size() ? want.size() : got.size();
    double signal = 0, noise = 0;
    for (size_t i = 0; i < n; ++i) {
        signal += static_cast<double>(want[i]) * want[i];
        const double d = static_cast<double>(want[i]) - got[i];
        noise += d * d;
    }
    return noise == 0 ? 200.0 : 10.0 * std::log10(signal / noise);
}

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override { blocksBefore_ = GetAllocState().count; }
    void TearDown() override { EXPECT_EQ(GetAllocState().count, blocksBefore_); }
    uint32_t blocksBefore_ = 0;
};

// --- PCM ------------------------------------------------------------------------------------

struct PcmCase {
    uint16_t channels, bits;
    uint32_t formatChunk;
};

void PrintTo(const PcmCase& c, std::ostream* os) {
    *os << c.channels << " channels, " << c.bits << " bits, format chunk " << c.formatChunk;
}

class PcmDecodeTest : public ConverterTest, public ::testing::WithParamInterface<PcmCase> {};

TEST_P(PcmDecodeTest, DecodesExactly) {
    const PcmCase& c = GetParam();
    WaveFormat format;
    format.channels = c.channels;
    format.bits = c.bits;
    format.rate = 8000;
    format.chunkSize = c.formatChunk;
    Bytes data(1200 * c.channels * c.bits / 8);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 7 + 3);
    plat::WAVEFORMATEX out{};
    Bytes pcm;
    int kind = -1;
    ASSERT_TRUE(DecodeWhole(soundfix::SimpleWave(format, data), &out, &pcm, &kind));
    EXPECT_EQ(kind, kSoundConverterPcm);
    EXPECT_EQ(out.wFormatTag, 1);
    EXPECT_EQ(out.nChannels, c.channels);
    EXPECT_EQ(out.wBitsPerSample, c.bits);
    EXPECT_EQ(out.nSamplesPerSec, 8000u);
    EXPECT_EQ(out.nBlockAlign, c.channels * c.bits / 8);
    EXPECT_EQ(out.nAvgBytesPerSec, 8000u * out.nBlockAlign);
    EXPECT_EQ(out.cbSize, 0);
    EXPECT_EQ(pcm, data);
}

INSTANTIATE_TEST_SUITE_P(Formats, PcmDecodeTest,
                         ::testing::Values(PcmCase{1, 8, 16}, PcmCase{2, 8, 16},
                                           PcmCase{1, 16, 16}, PcmCase{2, 16, 16},
                                           PcmCase{1, 16, 18}, PcmCase{2, 8, 40}));

TEST_F(ConverterTest, OddChunksBeforeTheDataAreSkippedWithTheirPadding) {
    const Bytes data = {1, 2, 3, 4, 5, 6, 7, 8};
    const Bytes file = RiffWave({Chunk("fmt ", FormatChunkBody(WaveFormat{})),
                                 Chunk("LIST", Bytes(5, 0x33)), Chunk("data", data)});
    plat::WAVEFORMATEX out{};
    Bytes pcm;
    ASSERT_TRUE(DecodeWhole(file, &out, &pcm));
    EXPECT_EQ(pcm, data);
}

TEST_F(ConverterTest, OddDataSizeIsCutToWholeFrames) {
    WaveFormat format;
    format.channels = 2;  // 4-byte frames
    const Bytes data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    plat::WAVEFORMATEX out{};
    Bytes pcm;
    ASSERT_TRUE(DecodeWhole(soundfix::SimpleWave(format, data), &out, &pcm));
    EXPECT_EQ(pcm, Bytes(data.begin(), data.begin() + 8));
}

TEST_F(ConverterTest, DataClaimingMoreThanTheFileIsClampedAndDecoded) {
    const Bytes data = {9, 8, 7, 6};
    const Bytes file =
        RiffWave({Chunk("fmt ", FormatChunkBody(WaveFormat{})), Chunk("data", data, 100000)});
    plat::WAVEFORMATEX out{};
    Bytes pcm;
    ASSERT_TRUE(DecodeWhole(file, &out, &pcm));
    EXPECT_EQ(pcm, data);
}

TEST_F(ConverterTest, PiecewiseReadsAndSeeksFollowTheData) {
    WaveFormat format;  // 16-bit mono
    const Bytes data = soundfix::Pcm16Bytes(soundfix::Pcm16Pattern(30000));
    MemoryDataStream stream(soundfix::SimpleWave(format, data));
    SoundConverter c;
    ASSERT_EQ(OpenSoundConverter(stream.get(), &c), 0);
    EXPECT_EQ(GetConverterPcmSize(&c), static_cast<int64_t>(data.size()));

    Bytes piece(1000);
    ASSERT_EQ(ReadSoundConverter(&c, piece.data(), 1000), 1000);
    EXPECT_TRUE(std::equal(piece.begin(), piece.end(), data.begin()));

    // A seek less than 16 bytes away does nothing: the next read goes on at byte 1000.
    ASSERT_EQ(SeekSoundConverter(&c, 500 + 7), 0);
    ASSERT_EQ(ReadSoundConverter(&c, piece.data(), 10), 10);
    EXPECT_TRUE(std::equal(piece.begin(), piece.begin() + 10, data.begin() + 1000));

    // Far away, forward and back.
    ASSERT_EQ(SeekSoundConverter(&c, 20000), 0);
    ASSERT_EQ(ReadSoundConverter(&c, piece.data(), 100), 100);
    EXPECT_TRUE(std::equal(piece.begin(), piece.begin() + 100, data.begin() + 40000));
    ASSERT_EQ(SeekSoundConverter(&c, 100), 0);
    ASSERT_EQ(ReadSoundConverter(&c, piece.data(), 100), 100);
    EXPECT_TRUE(std::equal(piece.begin(), piece.begin() + 100, data.begin() + 200));

    // Reading past the end delivers what is left, then 0.
    ASSERT_EQ(SeekSoundConverter(&c, 29990), 0);
    EXPECT_EQ(ReadSoundConverter(&c, piece.data(), 1000), 20);
    EXPECT_EQ(ReadSoundConverter(&c, piece.data(), 1000), 0);
    EXPECT_EQ(c.end, 1);
    // A seek clears the end.
    ASSERT_EQ(SeekSoundConverter(&c, 0), 0);
    EXPECT_EQ(ReadSoundConverter(&c, piece.data(), 4), 4);

    EXPECT_EQ(CloseSoundConverter(&c), 0);
    EXPECT_EQ(CloseSoundConverter(&c), -1);
    EXPECT_EQ(ReadSoundConverter(&c, piece.data(), 4), -1);
}

// --- Codec-manager formats ---------------------------------------------------------------

TEST_F(ConverterTest, MuLawAndALawDecodeToTheG711Values) {
    const std::vector<int16_t> source = soundfix::Sine16(4000, 1, 8000, 440, 20000);
    for (const uint16_t tag : {plat::WAVE_FORMAT_MULAW, plat::WAVE_FORMAT_ALAW}) {
        Bytes coded;
        std::vector<int16_t> expected;
        for (int16_t s : source) {
            const unsigned char code =
                tag == plat::WAVE_FORMAT_MULAW ? soundfix::MuLawEncode(s) : soundfix::ALawEncode(s);
            coded.push_back(code);
            expected.push_back(tag == plat::WAVE_FORMAT_MULAW ? soundfix::MuLawDecode(code)
                                                              : soundfix::ALawDecode(code));
        }
        WaveFormat format;
        format.tag = tag;
        format.bits = 8;
        format.rate = 8000;
        format.chunkSize = 18;
        plat::WAVEFORMATEX out{};
        Bytes pcm;
        int kind = -1;
        ASSERT_TRUE(DecodeWhole(soundfix::SimpleWave(format, coded), &out, &pcm, &kind)) << tag;
        EXPECT_EQ(kind, kSoundConverterAcm);
        EXPECT_EQ(out.wBitsPerSample, 16);
        EXPECT_EQ(out.nChannels, 1);
        EXPECT_EQ(out.nSamplesPerSec, 8000u);
        EXPECT_EQ(AsSamples(pcm), expected) << tag;
        EXPECT_GT(SnrDb(source, AsSamples(pcm)), 30.0) << tag;
    }
}

TEST_F(ConverterTest, ImaAdpcmDecodesCloseToTheSource) {
    const int blockAlign = 256;
    const int perBlock = (blockAlign - 4) * 2 + 1;
    const std::vector<int16_t> source = soundfix::Sine16(perBlock * 8, 1, 22050, 300, 12000);
    std::vector<int16_t> reproduced;
    const Bytes coded = soundfix::ImaAdpcmEncodeMono(source, blockAlign, &reproduced);
    WaveFormat format;
    format.tag = plat::WAVE_FORMAT_IMA_ADPCM;
    format.bits = 4;
    format.blockAlign = blockAlign;
    format.avgBytes = 22050 * blockAlign / perBlock;
    format.chunkSize = 20;
    format.extra = {static_cast<unsigned char>(perBlock & 0xFF),
                    static_cast<unsigned char>(perBlock >> 8)};
    plat::WAVEFORMATEX out{};
    Bytes pcm;
    ASSERT_TRUE(DecodeWhole(soundfix::SimpleWave(format, coded), &out, &pcm));
    EXPECT_EQ(out.nSamplesPerSec, 22050u);
    const std::vector<int16_t> got = AsSamples(pcm);
    ASSERT_GE(got.size(), reproduced.size());
    // The codec's reconstruction may round differently from the encoder's own model; both
    // must stay close to the source.
    EXPECT_GT(SnrDb(reproduced, got), 25.0);
    EXPECT_GT(SnrDb(source, got), 20.0);
}

TEST_F(ConverterTest, RawMp3FramesOpenThroughTheCodecManager) {
    Bytes file = soundfix::Id3v2Tag(64);
    const Bytes frames = soundfix::Mp3Frames(20);
    file.insert(file.end(), frames.begin(), frames.end());
    MemoryDataStream stream(file);
    SoundConverter c;
    ASSERT_EQ(OpenSoundConverter(stream.get(), &c), 0);
    EXPECT_EQ(c.kind, kSoundConverterAcm);
    EXPECT_EQ(c.dataStart, 74);
    EXPECT_EQ(c.totalSamples, 20 * 1152);
    plat::WAVEFORMATEX out{};
    GetConverterFormat(&c, &out);
    EXPECT_EQ(out.nChannels, 2);
    EXPECT_EQ(out.nSamplesPerSec, 44100u);
    EXPECT_EQ(out.wBitsPerSample, 16);
    EXPECT_EQ(GetConverterPcmSize(&c), 20 * 1152 * 4);
    // Frames with empty side information decode to silence, never more than the frames hold.
    void* block = nullptr;
    uint32_t bytes = 0;
    ASSERT_EQ(ConvertWholeToPcm(&c, &out, &block, &bytes), 0);
    EXPECT_LE(bytes, 20u * 1152 * 4);
    const auto* p = static_cast<const unsigned char*>(block);
    EXPECT_TRUE(std::all_of(p, p + bytes, [](unsigned char b) { return b == 0; }));
    TrackedFree(block);
    CloseSoundConverter(&c);
}

// The best signal-to-noise ratio of `got` against `want` over the lags 0..maxLag frames of
// `got` (MPEG audio decoders start late by the codec's delay).
double BestLagSnrDb(const std::vector<int16_t>& want, const std::vector<int16_t>& got,
                    int channels, size_t maxLag, size_t length) {
    double best = -100;
    for (size_t lag = 0; lag <= maxLag; ++lag) {
        const size_t offset = lag * static_cast<size_t>(channels);
        if (offset + length > got.size() || length > want.size()) break;
        const std::vector<int16_t> a(want.begin(), want.begin() + static_cast<long>(length));
        const std::vector<int16_t> b(got.begin() + static_cast<long>(offset),
                                     got.begin() + static_cast<long>(offset + length));
        const double snr = SnrDb(a, b);
        if (snr > best) best = snr;
    }
    return best;
}

TEST_F(ConverterTest, EncodedMp3WithAnId3TagDecodesCloseToTheSource) {
    for (const int channels : {1, 2}) {
        const std::vector<int16_t> source = soundfix::Sine16(44100, channels, 44100, 440, 12000);
        const std::vector<uint8_t> stream =
            plat::EncodeMp3ForTests(source, static_cast<uint32_t>(channels), 44100, 128);
        ASSERT_FALSE(stream.empty());
        Bytes file = soundfix::Id3v2Tag(257);
        file.insert(file.end(), stream.begin(), stream.end());
        MemoryDataStream input(file);
        SoundConverter c;
        ASSERT_EQ(OpenSoundConverter(input.get(), &c), 0);
        EXPECT_EQ(c.kind, kSoundConverterAcm);
        EXPECT_EQ(c.dataStart, 10 + 257);
        EXPECT_GE(c.totalSamples, 44100);
        EXPECT_EQ(c.totalSamples % 1152, 0);
        plat::WAVEFORMATEX out{};
        void* block = nullptr;
        uint32_t bytes = 0;
        ASSERT_EQ(ConvertWholeToPcm(&c, &out, &block, &bytes), 0);
        EXPECT_EQ(out.nChannels, channels);
        EXPECT_EQ(out.nSamplesPerSec, 44100u);
        EXPECT_LE(bytes, c.totalSamples * channels * 2);
        const auto* p = static_cast<const int16_t*>(block);
        const std::vector<int16_t> got(p, p + bytes / 2);
        TrackedFree(block);
        ASSERT_GT(got.size(), 30000u * channels);
        // Seeks forward and back give the samples of the whole decode.
        for (const int64_t frame : {int64_t{30000}, int64_t{1000}}) {
            ASSERT_EQ(SeekSoundConverter(&c, frame), 0);
            std::vector<int16_t> piece(64 * static_cast<size_t>(channels));
            ASSERT_EQ(ReadSoundConverter(&c, piece.data(), static_cast<int64_t>(piece.size() * 2)),
                      static_cast<int64_t>(piece.size() * 2));
            EXPECT_TRUE(std::equal(piece.begin(), piece.end(), got.begin() + frame * channels))
                << channels << " channels at " << frame;
        }
        CloseSoundConverter(&c);
        EXPECT_GT(BestLagSnrDb(source, got, channels, 2400, 20000 * channels), 15.0) << channels;
    }
}

// --- Ogg Vorbis -----------------------------------------------------------------------------

TEST_F(ConverterTest, OggVorbisDecodesCloseToTheSourceAndSeeks) {
    for (const int channels : {1, 2}) {
        const std::vector<int16_t> source = soundfix::Sine16(22050, channels, 22050, 440, 16000);
        const Bytes file = EncodeOggVorbis(source, channels, 22050, 0.6f);
        ASSERT_FALSE(file.empty());
        MemoryDataStream stream(file);
        SoundConverter c;
        ASSERT_EQ(OpenSoundConverter(stream.get(), &c), 0);
        EXPECT_EQ(c.kind, kSoundConverterOgg);
        plat::WAVEFORMATEX out{};
        GetConverterFormat(&c, &out);
        EXPECT_EQ(out.nChannels, channels);
        EXPECT_EQ(out.nSamplesPerSec, 22050u);
        EXPECT_EQ(out.wBitsPerSample, 16);
        EXPECT_EQ(out.nBlockAlign, channels * 2);
        // One second more than the stream, for whole decodes.
        EXPECT_EQ(GetConverterPcmSize(&c), (22050 + 44100) * channels * 2);

        void* block = nullptr;
        uint32_t bytes = 0;
        ASSERT_EQ(ConvertWholeToPcm(&c, &out, &block, &bytes), 0);
        EXPECT_EQ(bytes, source.size() * 2);  // the bytes actually decoded
        const auto* p = static_cast<const int16_t*>(block);
        const std::vector<int16_t> whole(p, p + bytes / 2);
        TrackedFree(block);
        EXPECT_GT(SnrDb(source, whole), 20.0) << channels;

        // A seek to a sample gives what the whole decode has there.
        ASSERT_EQ(SeekSoundConverter(&c, 10000), 0);
        std::vector<int16_t> piece(200 * static_cast<size_t>(channels));
        ASSERT_EQ(ReadSoundConverter(&c, piece.data(), static_cast<int64_t>(piece.size() * 2)),
                  static_cast<int64_t>(piece.size() * 2));
        const std::vector<int16_t> there(whole.begin() + 10000 * channels,
                                         whole.begin() + 10200 * channels);
        EXPECT_GT(SnrDb(there, piece), 40.0);
        CloseSoundConverter(&c);
    }
}

TEST_F(ConverterTest, OggVorbisWithMoreThanTwoChannelsIsRefused) {
    const Bytes file = EncodeOggVorbis(soundfix::Sine16(4000, 3, 22050, 440, 8000), 3, 22050);
    ASSERT_FALSE(file.empty());
    MemoryDataStream stream(file);
    SoundConverter c;
    EXPECT_EQ(OpenSoundConverter(stream.get(), &c), -1);
}

TEST_F(ConverterTest, EveryTruncationOfAnOggFileIsRefusedOrShorter) {
    const std::vector<int16_t> source = soundfix::Sine16(6000, 1, 11025, 300, 10000);
    const Bytes file = EncodeOggVorbis(source, 1, 11025, 0.0f);
    ASSERT_FALSE(file.empty());
    for (size_t size = 0; size < file.size(); size += 7) {
        const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        plat::WAVEFORMATEX out{};
        Bytes pcm;
        if (DecodeWhole(cut, &out, &pcm)) {
            EXPECT_LE(pcm.size(), source.size() * 2 + 44100 * 2) << size;
        }
    }
}

TEST_F(ConverterTest, DamagedOggPagesEndTheSoundOrAreSkipped) {
    const std::vector<int16_t> source = soundfix::Sine16(11025, 2, 11025, 300, 10000);
    const Bytes file = EncodeOggVorbis(source, 2, 11025, 0.2f);
    ASSERT_FALSE(file.empty());
    for (size_t at = 0; at < file.size(); at += file.size() / 23 + 1) {
        for (const unsigned char value : {0x00, 0xFF, 0x4F}) {
            Bytes damaged = file;
            damaged[at] = value;
            plat::WAVEFORMATEX out{};
            Bytes pcm;
            if (DecodeWhole(damaged, &out, &pcm)) {
                EXPECT_LE(pcm.size(), (source.size() + 44100 * 2) * 2) << at;
                EXPECT_EQ(pcm.size() % 4, 0u) << at;
            }
        }
    }
}

// --- Refusals and hostile input -----------------------------------------------------------

TEST_F(ConverterTest, FilesNoReaderTakesAreRefused) {
    WaveFormat three;
    three.channels = 3;
    WaveFormat bits24;
    bits24.bits = 24;
    WaveFormat mismatched;
    mismatched.chunkSize = 18;
    mismatched.blockAlign = 3;  // 16-bit mono has 2-byte frames
    WaveFormat unknownTag;
    unknownTag.tag = 0x1234;
    WaveFormat fastRate;
    fastRate.rate = 1000000;
    WaveFormat threeAdpcm;
    threeAdpcm.tag = plat::WAVE_FORMAT_MULAW;
    threeAdpcm.channels = 3;
    threeAdpcm.bits = 8;
    const Bytes silence(64, 0);
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"empty", {}},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o'}},
        {"three PCM channels", soundfix::SimpleWave(three, silence)},
        {"24-bit PCM", soundfix::SimpleWave(bits24, silence)},
        {"block align that does not match", soundfix::SimpleWave(mismatched, silence)},
        {"unknown codec", soundfix::SimpleWave(unknownTag, silence)},
        {"rate beyond any buffer", soundfix::SimpleWave(fastRate, silence)},
        {"three mu-law channels", soundfix::SimpleWave(threeAdpcm, silence)},
        {"chunk before fmt", RiffWave({Chunk("LIST", Bytes(4, 1)),
                                       Chunk("fmt ", FormatChunkBody(WaveFormat{})),
                                       Chunk("data", silence)})},
        {"empty data", soundfix::SimpleWave(WaveFormat{}, {})},
    };
    for (const auto& [what, file] : cases) {
        plat::WAVEFORMATEX out{};
        Bytes pcm;
        EXPECT_FALSE(DecodeWhole(file, &out, &pcm)) << what;
    }
}

TEST_F(ConverterTest, EveryTruncationOfAWavFileIsRefusedOrShorter) {
    const Bytes data = soundfix::Pcm16Bytes(soundfix::Pcm16Pattern(100));
    const Bytes file = RiffWave({Chunk("fmt ", FormatChunkBody(WaveFormat{})),
                                 Chunk("fact", Bytes(3, 1)), Chunk("data", data)});
    for (size_t size = 0; size < file.size(); ++size) {
        const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        plat::WAVEFORMATEX out{};
        Bytes pcm;
        if (DecodeWhole(cut, &out, &pcm)) {
            EXPECT_LT(pcm.size(), data.size()) << size;
            EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), data.begin())) << size;
        }
    }
}

// --- File images --------------------------------------------------------------------------

TEST_F(ConverterTest, BuiltWaveFileImageReadsBack) {
    plat::WAVEFORMATEX format{};
    format.wFormatTag = 1;
    format.nChannels = 2;
    format.nSamplesPerSec = 11025;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100;
    format.wBitsPerSample = 16;
    const Bytes data = soundfix::Pcm16Bytes(soundfix::Pcm16Pattern(64, 2));
    uint32_t imageBytes = 0;
    void* image = BuildWaveFileImage(&format, sizeof(format), data.data(),
                                     static_cast<uint32_t>(data.size()), &imageBytes);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(imageBytes, 18 + data.size() + 28);
    const auto* p = static_cast<const unsigned char*>(image);
    const Bytes file(p, p + imageBytes);
    TrackedFree(image);
    EXPECT_EQ(std::memcmp(file.data(), "RIFF", 4), 0);
    EXPECT_EQ(file[4] | file[5] << 8 | file[6] << 16 | file[7] << 24,
              static_cast<int>(imageBytes - 8));
    plat::WAVEFORMATEX out{};
    Bytes pcm;
    ASSERT_TRUE(DecodeWhole(file, &out, &pcm));
    EXPECT_EQ(out.nChannels, 2);
    EXPECT_EQ(out.nSamplesPerSec, 11025u);
    EXPECT_EQ(pcm, data);
}

}  // namespace

// --- Codec formats decoded exactly, against the encoders of the codec tests ------------------

#include "tests/platform/acm/test_encoders.h"

namespace {

struct CodecCase {
    const char* what;
    acmtest::Encoded (*encode)(const std::vector<int16_t>&, uint32_t);
    uint32_t channels;
};

void PrintTo(const CodecCase& c, std::ostream* os) { *os << c.what; }

class CodecWaveTest : public ConverterTest, public ::testing::WithParamInterface<CodecCase> {};

TEST_P(CodecWaveTest, WholeDecodeAndSeeksGiveTheCodecsReconstruction) {
    const CodecCase& c = GetParam();
    const std::vector<int16_t> source = acmtest::Signal(30000, c.channels, 9000);
    const acmtest::Encoded e = c.encode(source, c.channels);
    const Bytes file = RiffWave({Chunk("fmt ", e.format), Chunk("fact", Bytes(4, 0)),
                                 Chunk("data", e.bytes)});
    plat::WAVEFORMATEX out{};
    Bytes pcm;
    int kind = -1;
    ASSERT_TRUE(DecodeWhole(file, &out, &pcm, &kind)) << c.what;
    EXPECT_EQ(kind, kSoundConverterAcm);
    EXPECT_EQ(out.nChannels, c.channels);
    EXPECT_EQ(out.wBitsPerSample, 16);
    EXPECT_EQ(out.nSamplesPerSec, 22050u);
    const std::vector<int16_t> got = AsSamples(pcm);
    ASSERT_EQ(got.size(), e.decoded.size()) << c.what;
    EXPECT_EQ(got, e.decoded) << c.what;

    // Forward within and past the work buffer, then back behind it.
    MemoryDataStream stream(file);
    SoundConverter conv;
    ASSERT_EQ(OpenSoundConverter(stream.get(), &conv), 0);
    for (const int64_t frame : {int64_t{20000}, int64_t{25000}, int64_t{300}, int64_t{0}}) {
        ASSERT_EQ(SeekSoundConverter(&conv, frame), 0);
        std::vector<int16_t> piece(64 * c.channels);
        ASSERT_EQ(ReadSoundConverter(&conv, piece.data(), static_cast<int64_t>(piece.size() * 2)),
                  static_cast<int64_t>(piece.size() * 2))
            << frame;
        EXPECT_TRUE(std::equal(piece.begin(), piece.end(),
                               e.decoded.begin() + frame * c.channels))
            << c.what << " at " << frame;
    }
    CloseSoundConverter(&conv);
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, CodecWaveTest,
    ::testing::Values(
        CodecCase{"IMA ADPCM mono",
                  [](const std::vector<int16_t>& s, uint32_t ch) {
                      return acmtest::EncodeIma(s, ch, 22050, 512);
                  },
                  1},
        CodecCase{"IMA ADPCM stereo",
                  [](const std::vector<int16_t>& s, uint32_t ch) {
                      return acmtest::EncodeIma(s, ch, 22050, 1024);
                  },
                  2},
        CodecCase{"MS ADPCM mono",
                  [](const std::vector<int16_t>& s, uint32_t ch) {
                      return acmtest::EncodeMs(s, ch, 22050, 256);
                  },
                  1},
        CodecCase{"MS ADPCM stereo",
                  [](const std::vector<int16_t>& s, uint32_t ch) {
                      return acmtest::EncodeMs(s, ch, 22050, 512);
                  },
                  2},
        CodecCase{"A-law stereo",
                  [](const std::vector<int16_t>& s, uint32_t ch) {
                      return acmtest::EncodeG711(s, ch, 22050, true);
                  },
                  2},
        CodecCase{"mu-law stereo",
                  [](const std::vector<int16_t>& s, uint32_t ch) {
                      return acmtest::EncodeG711(s, ch, 22050, false);
                  },
                  2}));

}  // namespace
