#include "sound/converter/mp3_frame.h"

#include <cstring>

namespace {

// Bitrates in kbit/s by bitrate index: MPEG-1 layer III, and MPEG-2 layers II and III.
constexpr int32_t kBitrateMpeg1Layer3[16] = {0,   32,  40,  48,  56,  64,  80, 96,
                                             112, 128, 160, 192, 224, 256, 320, 0};
constexpr int32_t kBitrateMpeg2Layer3[16] = {0,  8,  16,  24,  32,  40,  48,  56,
                                             64, 80, 96, 112, 128, 144, 160, 0};
constexpr int32_t kRateMpeg1[3] = {44100, 48000, 32000};
constexpr int32_t kRateMpeg2[3] = {22050, 24000, 16000};

// Reads the stream through a window of bytes, so that the byte-by-byte frame search does not
// call the stream for every byte.
class WindowReader {
public:
    WindowReader(DataStream* stream, int64_t size) : stream_(stream), size_(size) {}

    // Copies `count` bytes at `position` into out; false when they are not all there.
    bool Get(int64_t position, unsigned char* out, int count) {
        if (position < 0 || position + count > size_) return false;
        if (position < start_ || position + count > start_ + filled_) {
            if (stream_->functions.seek(stream_->handle, position, 0) != 0) return false;
            const size_t got = stream_->functions.read(window_, 1, sizeof(window_),
                                                      stream_->handle);
            start_ = position;
            filled_ = static_cast<int64_t>(got);
            if (position + count > start_ + filled_) return false;
        }
        std::memcpy(out, window_ + (position - start_), static_cast<size_t>(count));
        return true;
    }

private:
    DataStream* stream_;
    int64_t size_;
    int64_t start_ = 0;
    int64_t filled_ = 0;
    unsigned char window_[8192];
};

// The first position at or after `from` (and before `end`) where a frame sync lies (0xFF and a
// byte whose top four bits are set), with the four header bytes in `bytes`; -1 if none.
int64_t FindSync(WindowReader& reader, int64_t from, int64_t end, unsigned char bytes[4]) {
    for (int64_t position = from; position + 4 <= end; ++position) {
        if (!reader.Get(position, bytes, 4)) return -1;
        if (bytes[0] == 0xFF && (bytes[1] & 0xF0) == 0xF0) return position;
    }
    return -1;
}

// The first position at or after `from` (and before `end`) where a header parses; -1 if none.
// Between frames: a damaged frame, or bytes that are not a frame, are passed over.
int64_t FindFrame(WindowReader& reader, int64_t from, int64_t end, Mp3FrameHeader* header) {
    unsigned char bytes[4];
    for (int64_t position = FindSync(reader, from, end, bytes); position >= 0;
         position = FindSync(reader, position + 1, end, bytes)) {
        if (ParseMp3FrameHeader(bytes, header) == 0) return position;
    }
    return -1;
}

}  // namespace

int ParseMp3FrameHeader(const unsigned char bytes[4], Mp3FrameHeader* out) {
    if (bytes[0] != 0xFF || (bytes[1] & 0xF0) != 0xF0) return -2;
    Mp3FrameHeader header{};
    header.mpeg1 = (bytes[1] & 0x08) != 0 ? 1 : 0;
    header.layer = 3 - ((bytes[1] >> 1) & 3);
    // Only layer III is decoded: the stream is declared to the codec as layer III whatever its
    // frames say, so frames of the other layers are not frames of this stream.
    if (header.layer != 2) return -1;
    const int bitrateIndex = bytes[2] >> 4;
    const int rateIndex = (bytes[2] >> 2) & 3;
    // Index 0 is the free format, whose frame length the header does not give.
    if (bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return -1;
    header.bitrateKbps = header.mpeg1 ? kBitrateMpeg1Layer3[bitrateIndex]
                                      : kBitrateMpeg2Layer3[bitrateIndex];
    header.sampleRate = header.mpeg1 ? kRateMpeg1[rateIndex] : kRateMpeg2[rateIndex];
    header.padding = (bytes[2] >> 1) & 1;
    header.channels = (bytes[3] >> 6) == 3 ? 1 : 2;
    if (header.mpeg1) {
        header.frameBytes = 144000 * header.bitrateKbps / header.sampleRate + header.padding;
        header.samplesPerFrame = 1152;
    } else {
        header.frameBytes = 72000 * header.bitrateKbps / header.sampleRate + header.padding;
        header.samplesPerFrame = 576;
    }
    *out = header;
    return 0;
}

int64_t Mp3Id3TagBytes(const unsigned char header[10]) {
    if (std::memcmp(header, "ID3", 3) != 0) return 0;
    const int64_t size = (static_cast<int64_t>(header[6] & 0x7F) << 21) |
                         (static_cast<int64_t>(header[7] & 0x7F) << 14) |
                         (static_cast<int64_t>(header[8] & 0x7F) << 7) |
                         static_cast<int64_t>(header[9] & 0x7F);
    int64_t bytes = 10 + size;
    if (header[3] == 4 && (header[5] & 0x10) != 0) bytes += 10;  // footer
    return bytes;
}

int ScanMp3Stream(DataStream* stream, Mp3StreamLayout* out) {
    if (stream->functions.seek(stream->handle, 0, 2) != 0) return -1;
    const int64_t size = stream->functions.tell(stream->handle);
    if (size < 4) return -1;
    WindowReader reader(stream, size);

    int64_t start = 0;
    unsigned char id3[10];
    if (reader.Get(0, id3, 10)) start = Mp3Id3TagBytes(id3);
    int64_t dataEnd = size;
    unsigned char tag[3];
    if (size > 128 && reader.Get(size - 128, tag, 3) && std::memcmp(tag, "TAG", 3) == 0) {
        dataEnd = size - 128;
    }
    if (start >= dataEnd) return -1;

    Mp3StreamLayout layout{};
    layout.dataEnd = dataEnd;
    // The first sync after the tag must be a header that parses: bytes that only happen to
    // hold a frame header somewhere further on are not an MP3 stream.
    unsigned char bytes[4];
    layout.firstFrame = FindSync(reader, start, dataEnd, bytes);
    if (layout.firstFrame < 0 || ParseMp3FrameHeader(bytes, &layout.first) != 0) return -1;

    int64_t position = layout.firstFrame;
    Mp3FrameHeader header = layout.first;
    for (;;) {
        layout.totalSamples += header.samplesPerFrame;
        ++layout.frameCount;
        // Every frame parsed is at least 24 bytes long, so the walk always moves on.
        position += header.frameBytes;
        if (position >= dataEnd) break;
        position = FindFrame(reader, position, dataEnd, &header);
        if (position < 0) break;
    }
    *out = layout;
    return 0;
}
