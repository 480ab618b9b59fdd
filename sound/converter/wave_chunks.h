// The chunk walk of a RIFF WAVE file: the format chunk, which must come first, and the data
// chunk found after it.
#pragma once
#include <cstdint>

#include "base/data_stream.h"

// The largest format chunk kept; the bytes of a longer one are skipped. Real formats, the
// codec-specific ones included, are far shorter.
constexpr uint32_t kWaveFormatKeepMax = 1024;

// The first 18 bytes of a format chunk, as little-endian fields.
struct WaveFormatFields {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;  // cbSize; 0 when the chunk stops before it
};

struct WaveFileLayout {
    unsigned char format[kWaveFormatKeepMax];  // the format chunk's bytes, as many as were kept
    uint32_t formatBytes;    // bytes kept in format (at most kWaveFormatKeepMax)
    uint32_t formatChunkBytes;  // the chunk's own size field
    WaveFormatFields fields;
    int64_t dataStart;       // stream position of the sound data
    int64_t dataBytes;       // size of the sound data, never past the end of the stream
};

// Walks the RIFF WAVE file from the stream's start. 0 with the layout filled, or -1 when the
// stream is not a RIFF WAVE file, its first chunk is not a format chunk of at least 16 bytes,
// no data chunk follows, or the format is unusable: no channels, no block align, a rate of
// 0, or more than 32 bits per sample. Chunk sizes are unsigned; a chunk with an odd size is
// followed by one padding byte; the walk stops at the end of the stream; a data chunk that
// claims more bytes than the stream holds is cut to what it holds.
int ReadWaveFileLayout(DataStream* stream, WaveFileLayout* out);

// The format fields from the first bytes of a format chunk (missing bytes read as 0).
WaveFormatFields ParseWaveFormatFields(const unsigned char* bytes, uint32_t size);
