// MP3 frame headers and the frame scan.
#include <gtest/gtest.h>

#include "sound/converter/mp3_frame.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/sound/sound_test_support.h"

using soundfix::Bytes;

namespace {

struct HeaderCase {
    const char* what;
    unsigned char bytes[4];
    int result;
    int kbps = 0, rate = 0, channels = 0, frameBytes = 0, samples = 0;
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.what; }

class Mp3HeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(Mp3HeaderTest, ParsesOrRefuses) {
    const HeaderCase& c = GetParam();
    Mp3FrameHeader h{};
    ASSERT_EQ(ParseMp3FrameHeader(c.bytes, &h), c.result) << c.what;
    if (c.result != 0) return;
    EXPECT_EQ(h.bitrateKbps, c.kbps);
    EXPECT_EQ(h.sampleRate, c.rate);
    EXPECT_EQ(h.channels, c.channels);
    EXPECT_EQ(h.frameBytes, c.frameBytes);
    EXPECT_EQ(h.samplesPerFrame, c.samples);
    EXPECT_EQ(h.layer, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Mp3HeaderTest,
    ::testing::Values(
        HeaderCase{"MPEG-1 128k 44.1k stereo", {0xFF, 0xFB, 0x90, 0x00}, 0, 128, 44100, 2, 417,
                   1152},
        HeaderCase{"MPEG-1 128k 44.1k padded mono", {0xFF, 0xFB, 0x92, 0xC0}, 0, 128, 44100, 1,
                   418, 1152},
        HeaderCase{"MPEG-1 320k 48k", {0xFF, 0xFB, 0xE4, 0x00}, 0, 320, 48000, 2, 960, 1152},
        HeaderCase{"MPEG-1 32k 32k", {0xFF, 0xFB, 0x18, 0x00}, 0, 32, 32000, 2, 144, 1152},
        HeaderCase{"MPEG-2 index 13 is 144k", {0xFF, 0xF3, 0xD0, 0x00}, 0, 144, 22050, 2, 470,
                   576},
        HeaderCase{"MPEG-2 8k 24k", {0xFF, 0xF3, 0x14, 0x00}, 0, 8, 24000, 2, 24, 576},
        HeaderCase{"MPEG-2 16k 16k", {0xFF, 0xF3, 0x28, 0x00}, 0, 16, 16000, 2, 72, 576},
        HeaderCase{"no sync first byte", {0xFE, 0xFB, 0x90, 0x00}, -2},
        HeaderCase{"no sync second byte", {0xFF, 0xEB, 0x90, 0x00}, -2},
        HeaderCase{"reserved layer", {0xFF, 0xF9, 0x90, 0x00}, -1},
        HeaderCase{"layer I", {0xFF, 0xFF, 0x90, 0x00}, -1},
        HeaderCase{"layer II", {0xFF, 0xFD, 0x90, 0x00}, -1},
        HeaderCase{"free-format bitrate", {0xFF, 0xFB, 0x00, 0x00}, -1},
        HeaderCase{"bitrate index 15", {0xFF, 0xFB, 0xF0, 0x00}, -1},
        HeaderCase{"rate index 3", {0xFF, 0xFB, 0x9C, 0x00}, -1}));

TEST(Mp3Id3Test, TagSizeIsSynchsafeWithOptionalFooter) {
    // Size bytes 00 00 02 01 are 2 << 7 | 1 = 257 body bytes.
    const Bytes tag = soundfix::Id3v2Tag(257);
    ASSERT_EQ(tag[6], 0x00);
    ASSERT_EQ(tag[7], 0x00);
    ASSERT_EQ(tag[8], 0x02);
    ASSERT_EQ(tag[9], 0x01);
    EXPECT_EQ(Mp3Id3TagBytes(tag.data()), 10 + 257);
    EXPECT_EQ(Mp3Id3TagBytes(soundfix::Id3v2Tag(100, 4, true).data()), 10 + 100 + 10);
    // The footer flag counts only in version 4.
    Bytes v3 = soundfix::Id3v2Tag(100, 3, false);
    v3[5] = 0x10;
    EXPECT_EQ(Mp3Id3TagBytes(v3.data()), 110);
    const unsigned char notTag[10] = {'I', 'D', '4'};
    EXPECT_EQ(Mp3Id3TagBytes(notTag), 0);
}

TEST(Mp3ScanTest, Id3TagOfSize0x00000201StartsTheSearchAt10Plus257) {
    // A sync pattern inside the tag must not be taken for a frame.
    Bytes file = soundfix::Id3v2Tag(257);
    file[20] = 0xFF;
    file[21] = 0xFB;
    file[22] = 0x90;
    const Bytes frames = soundfix::Mp3Frames(3);
    file.insert(file.end(), frames.begin(), frames.end());
    MemoryDataStream stream(file);
    Mp3StreamLayout layout{};
    ASSERT_EQ(ScanMp3Stream(stream.get(), &layout), 0);
    EXPECT_EQ(layout.firstFrame, 10 + 257);
    EXPECT_EQ(layout.frameCount, 3);
    EXPECT_EQ(layout.totalSamples, 3 * 1152);
    EXPECT_EQ(layout.dataEnd, static_cast<int64_t>(file.size()));
}

TEST(Mp3ScanTest, GarbageBetweenFramesAndBadHeadersAreSkippedAndTheId3v1TagLeftOut) {
    // Bytes with no frame sync before the first frame are searched past.
    Bytes file = {0x00, 0x11, 0xFF, 0x00, 0xFF, 0xEF};
    const size_t first = file.size();
    const Bytes frames = soundfix::Mp3Frames(2, true);
    file.insert(file.end(), frames.begin(), frames.end());
    file.insert(file.end(), {1, 2, 3, 4, 5});
    // After the first frame, a header with bitrate index 0 and a layer II header: neither is
    // a frame, and both are passed over.
    const Bytes freeFormat = soundfix::Mp3Header(true, 0, 0, 0, false);
    file.insert(file.end(), freeFormat.begin(), freeFormat.end());
    file.insert(file.end(), {0xFF, 0xFD, 0x90, 0x00});
    const Bytes more = soundfix::Mp3Frames(1);
    file.insert(file.end(), more.begin(), more.end());
    const size_t dataEnd = file.size();
    Bytes tag(128, 0);
    tag[0] = 'T', tag[1] = 'A', tag[2] = 'G';
    // A frame sync inside the ID3v1 tag lies beyond the data end and is not counted.
    tag[10] = 0xFF, tag[11] = 0xFB, tag[12] = 0x90;
    file.insert(file.end(), tag.begin(), tag.end());

    MemoryDataStream stream(file);
    Mp3StreamLayout layout{};
    ASSERT_EQ(ScanMp3Stream(stream.get(), &layout), 0);
    EXPECT_EQ(layout.firstFrame, static_cast<int64_t>(first));
    EXPECT_EQ(layout.dataEnd, static_cast<int64_t>(dataEnd));
    EXPECT_EQ(layout.frameCount, 3);
    EXPECT_EQ(layout.first.channels, 1);
}

// The first frame sync after the tag is the first header, and it must parse: a stream whose
// first sync is anything else is not MP3, however many good frames follow it.
struct FirstSyncCase {
    const char* what;
    Bytes before;  // put between the ID3v2 tag and good frames
};

void PrintTo(const FirstSyncCase& c, std::ostream* os) { *os << c.what; }

class Mp3FirstHeaderTest : public ::testing::TestWithParam<FirstSyncCase> {};

TEST_P(Mp3FirstHeaderTest, AFirstSyncThatDoesNotParseRefusesTheStream) {
    const FirstSyncCase& c = GetParam();
    for (const bool tagged : {false, true}) {
        Bytes file = tagged ? soundfix::Id3v2Tag(40) : Bytes{};
        file.insert(file.end(), c.before.begin(), c.before.end());
        const Bytes frames = soundfix::Mp3Frames(4);
        file.insert(file.end(), frames.begin(), frames.end());
        MemoryDataStream stream(file);
        Mp3StreamLayout layout{};
        EXPECT_EQ(ScanMp3Stream(stream.get(), &layout), -1) << (tagged ? "after a tag" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Mp3FirstHeaderTest,
    ::testing::Values(
        FirstSyncCase{"layer I", {0xFF, 0xFF, 0x90, 0x00}},
        FirstSyncCase{"layer II", {0x41, 0x42, 0xFF, 0xFD, 0x90, 0x00}},
        FirstSyncCase{"reserved layer", {0xFF, 0xF9, 0x90, 0x00}},
        FirstSyncCase{"free-format bitrate", {0x00, 0xFF, 0xFB, 0x00, 0x00}},
        FirstSyncCase{"bitrate index 15", {0xFF, 0xFB, 0xF0, 0x00}},
        FirstSyncCase{"rate index 3", {0xFF, 0xFB, 0x9C, 0x00}},
        FirstSyncCase{"text with a run of 0xFF", {'a', 'b', 0xFF, 0xFF, 0xFF, 'c'}}));

TEST(Mp3ScanTest, NoFrameOrTagPastTheEndFails) {
    const std::vector<Bytes> cases = {
        {},
        {0xFF, 0xFB, 0x90},
        Bytes(1000, 0x00),
        // A tag claiming far more bytes than the file has hides the frame after it.
        Bytes{'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F, 0xFF, 0xFB, 0x90, 0},
    };
    for (const Bytes& file : cases) {
        MemoryDataStream stream(file);
        Mp3StreamLayout layout{};
        EXPECT_EQ(ScanMp3Stream(stream.get(), &layout), -1) << file.size();
    }
}

}  // namespace
