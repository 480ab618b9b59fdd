// The RIFF WAVE chunk walk.
#include <gtest/gtest.h>

#include "sound/converter/wave_chunks.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

using namespace soundfix;

namespace {

int Walk(const Bytes& file, WaveFileLayout* layout) {
    MemoryDataStream stream(file);
    return ReadWaveFileLayout(stream.get(), layout);
}

TEST(WaveChunksTest, FindsFormatAndDataOfAPlainFile) {
    WaveFormat format;
    format.channels = 2;
    format.rate = 11025;
    const Bytes data(40, 7);
    const Bytes file = soundfix::SimpleWave(format, data);
    WaveFileLayout layout{};
    ASSERT_EQ(Walk(file, &layout), 0);
    EXPECT_EQ(layout.fields.formatTag, 1);
    EXPECT_EQ(layout.fields.channels, 2);
    EXPECT_EQ(layout.fields.samplesPerSec, 11025u);
    EXPECT_EQ(layout.fields.blockAlign, 4);
    EXPECT_EQ(layout.fields.bitsPerSample, 16);
    EXPECT_EQ(layout.formatBytes, 16u);
    EXPECT_EQ(layout.dataStart, 12 + 8 + 16 + 8);
    EXPECT_EQ(layout.dataBytes, 40);
}

TEST(WaveChunksTest, OddChunksBeforeDataSkipTheirPaddingByte) {
    WaveFormat format;
    format.chunkSize = 19;  // odd format chunk: one padding byte after it
    const Bytes file = RiffWave({Chunk("fmt ", FormatChunkBody(format)),
                                 Chunk("LIST", Bytes(3, 'x')), Chunk("junk", Bytes(1, 'y')),
                                 Chunk("data", Bytes(10, 1))});
    WaveFileLayout layout{};
    ASSERT_EQ(Walk(file, &layout), 0);
    EXPECT_EQ(layout.formatBytes, 19u);
    EXPECT_EQ(layout.fields.extraSize, 1);
    EXPECT_EQ(layout.dataStart, 12 + (8 + 20) + (8 + 4) + (8 + 2) + 8);
    EXPECT_EQ(layout.dataBytes, 10);
}

TEST(WaveChunksTest, AChunkBeforeTheFormatChunkIsNotRead) {
    WaveFormat format;
    const Bytes file = RiffWave({Chunk("LIST", Bytes(4, 'x')),
                                 Chunk("fmt ", FormatChunkBody(format)), Chunk("data", Bytes(8))});
    WaveFileLayout layout{};
    EXPECT_EQ(Walk(file, &layout), -1);
}

TEST(WaveChunksTest, LongFormatChunkKeepsWhatFitsAndWalksOn) {
    WaveFormat format;
    format.tag = 2;
    format.chunkSize = 18 + 3000;
    const Bytes file = RiffWave({Chunk("fmt ", FormatChunkBody(format)), Chunk("data", Bytes(6))});
    WaveFileLayout layout{};
    ASSERT_EQ(Walk(file, &layout), 0);
    EXPECT_EQ(layout.formatBytes, kWaveFormatKeepMax);
    EXPECT_EQ(layout.formatChunkBytes, 3018u);
    EXPECT_EQ(layout.fields.extraSize, 3000);
    EXPECT_EQ(layout.dataBytes, 6);
}

TEST(WaveChunksTest, DataChunkClaimingMoreThanTheStreamIsClamped) {
    WaveFormat format;
    const Bytes file =
        RiffWave({Chunk("fmt ", FormatChunkBody(format)), Chunk("data", Bytes(20), 0xFFFFFFF0)});
    WaveFileLayout layout{};
    ASSERT_EQ(Walk(file, &layout), 0);
    EXPECT_EQ(layout.dataBytes, 20);
}

// Headers that must be refused.
struct HostileCase {
    const char* what;
    Bytes file;
};

Bytes WithFormat(void (*change)(WaveFormat&)) {
    WaveFormat format;
    change(format);
    return soundfix::SimpleWave(format, Bytes(16));
}

TEST(WaveChunksTest, HostileHeadersAreRefused) {
    WaveFormat plain;
    const Bytes fmt = Chunk("fmt ", FormatChunkBody(plain));
    const std::vector<HostileCase> cases = {
        {"empty", {}},
        {"not RIFF", [] { Bytes b = soundfix::SimpleWave(WaveFormat{}, Bytes(4)); b[0] = 'X';
                          return b; }()},
        {"not WAVE", [] { Bytes b = soundfix::SimpleWave(WaveFormat{}, Bytes(4)); b[8] = 'X';
                          return b; }()},
        {"no channels", WithFormat([](WaveFormat& f) { f.channels = 0; f.blockAlign = 2; })},
        {"no block align", [] {
             WaveFormat f;
             Bytes body = FormatChunkBody(f);
             body[12] = body[13] = 0;
             return RiffWave({Chunk("fmt ", body), Chunk("data", Bytes(8))});
         }()},
        {"rate 0", WithFormat([](WaveFormat& f) { f.rate = 0; f.avgBytes = 2; })},
        {"absurd bits", WithFormat([](WaveFormat& f) { f.bits = 0xFFFF; f.blockAlign = 2; })},
        {"format chunk of 14 bytes", RiffWave({Chunk("fmt ", Bytes(14, 1)), Chunk("data", {})})},
        {"no data chunk", RiffWave({fmt, Chunk("LIST", Bytes(4))})},
        {"chunk size past the end", RiffWave({fmt, Chunk("LIST", Bytes(4), 0xFFFFFFFF),
                                              Chunk("data", Bytes(8))})},
        {"format chunk past the end", RiffWave({Chunk("fmt ", Bytes(16), 0x7FFFFFFF)})},
        {"data header cut", [&] { Bytes b = RiffWave({fmt}); b.insert(b.end(), {'d', 'a', 't'});
                                  return b; }()},
    };
    for (const HostileCase& c : cases) {
        WaveFileLayout layout{};
        EXPECT_EQ(Walk(c.file, &layout), -1) << c.what;
    }
}

TEST(WaveChunksTest, EveryTruncationIsRefusedOrShorter) {
    const Bytes file = soundfix::RiffWave(
        {Chunk("fmt ", FormatChunkBody(WaveFormat{})), Chunk("LIST", Bytes(5, 'l')),
         Chunk("data", Bytes(64, 3))});
    WaveFileLayout full{};
    ASSERT_EQ(Walk(file, &full), 0);
    for (size_t size = 0; size < file.size(); ++size) {
        const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        WaveFileLayout layout{};
        const int result = Walk(cut, &layout);
        if (result == 0) {
            EXPECT_EQ(layout.dataStart, full.dataStart);
            EXPECT_EQ(layout.dataBytes, static_cast<int64_t>(size) - full.dataStart);
        } else {
            EXPECT_EQ(result, -1);
            EXPECT_LT(static_cast<int64_t>(size), full.dataStart);
        }
    }
}

}  // namespace
