// MPEG audio frame headers and the frame scan of a raw MP3 stream: where the frames start,
// how long each one is and how many samples the stream holds.
#pragma once
#include <cstdint>

#include "base/data_stream.h"

struct Mp3FrameHeader {
    int32_t mpeg1;            // 1 MPEG-1, 0 MPEG-2
    int32_t layer;            // 0 layer I, 1 layer II, 2 layer III
    int32_t bitrateKbps;
    int32_t sampleRate;
    int32_t padding;          // 0 or 1
    int32_t channels;         // 1 or 2
    int32_t frameBytes;       // whole frame, header included
    int32_t samplesPerFrame;
};

// Parses the four header bytes. 0; -2 when there is no frame sync (0xFF and the top four bits
// of the next byte); -1 when the layer, bitrate or rate index is not one this library decodes:
// the reserved layer, layers I and II, bitrate index 0 (free format, whose frames have no
// length of their own) or 15, rate index 3.
int ParseMp3FrameHeader(const unsigned char bytes[4], Mp3FrameHeader* out);

// The byte length of an ID3v2 tag at the start of the 10 bytes given (its header, synchsafe
// size and footer), or 0 when they do not start with "ID3".
int64_t Mp3Id3TagBytes(const unsigned char header[10]);

struct Mp3StreamLayout {
    int64_t firstFrame;       // byte position of the first frame
    int64_t dataEnd;          // end of the audio data (before a trailing 128-byte "TAG")
    int64_t totalSamples;     // sum of the frames' samples
    int64_t frameCount;
    Mp3FrameHeader first;     // the first frame's header
};

// Scans the stream from its start: skips an ID3v2 tag, leaves out a trailing ID3v1 tag, takes
// the first frame sync after the tag as the first frame and walks the frames to the data end,
// searching byte by byte past anything between them that is not a frame. 0, or -1 when there
// is no sync or the first one is not a header that parses. Leaves the stream position anywhere.
int ScanMp3Stream(DataStream* stream, Mp3StreamLayout* out);
