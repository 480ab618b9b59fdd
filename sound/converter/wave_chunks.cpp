#include "sound/converter/wave_chunks.h"

#include <cstring>

namespace {

uint32_t ReadLe32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t ReadLe16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool ReadExactly(DataStream* stream, void* buffer, size_t bytes) {
    return stream->functions.read(buffer, 1, bytes, stream->handle) == bytes;
}

}  // namespace

WaveFormatFields ParseWaveFormatFields(const unsigned char* bytes, uint32_t size) {
    unsigned char padded[18] = {};
    std::memcpy(padded, bytes, size < 18 ? size : 18);
    WaveFormatFields fields{};
    fields.formatTag = ReadLe16(padded + 0);
    fields.channels = ReadLe16(padded + 2);
    fields.samplesPerSec = ReadLe32(padded + 4);
    fields.avgBytesPerSec = ReadLe32(padded + 8);
    fields.blockAlign = ReadLe16(padded + 12);
    fields.bitsPerSample = ReadLe16(padded + 14);
    fields.extraSize = size >= 18 ? ReadLe16(padded + 16) : 0;
    return fields;
}

int ReadWaveFileLayout(DataStream* stream, WaveFileLayout* out) {
    if (stream->functions.seek(stream->handle, 0, 2) != 0) return -1;
    const int64_t streamSize = stream->functions.tell(stream->handle);
    if (stream->functions.seek(stream->handle, 0, 0) != 0) return -1;

    unsigned char header[12];
    if (!ReadExactly(stream, header, 12)) return -1;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) {
        return -1;
    }

    // The format chunk comes first.
    unsigned char chunk[8];
    if (!ReadExactly(stream, chunk, 8) || std::memcmp(chunk, "fmt ", 4) != 0) return -1;
    const uint32_t formatSize = ReadLe32(chunk + 4);
    if (formatSize < 16) return -1;
    out->formatChunkBytes = formatSize;
    out->formatBytes = formatSize < kWaveFormatKeepMax ? formatSize : kWaveFormatKeepMax;
    std::memset(out->format, 0, sizeof(out->format));
    if (!ReadExactly(stream, out->format, out->formatBytes)) return -1;
    out->fields = ParseWaveFormatFields(out->format, out->formatBytes);
    const WaveFormatFields& f = out->fields;
    if (f.channels == 0 || f.blockAlign == 0 || f.samplesPerSec == 0 || f.bitsPerSample > 32) {
        return -1;
    }

    // The chunks after it, up to the data chunk. Positions are 64-bit, so no size wraps.
    int64_t position = 12 + 8 + static_cast<int64_t>(formatSize) + (formatSize & 1);
    while (position + 8 <= streamSize) {
        if (stream->functions.seek(stream->handle, position, 0) != 0) return -1;
        if (!ReadExactly(stream, chunk, 8)) return -1;
        const uint32_t size = ReadLe32(chunk + 4);
        const int64_t body = position + 8;
        if (std::memcmp(chunk, "data", 4) == 0) {
            const int64_t held = streamSize - body;
            out->dataStart = body;
            out->dataBytes = static_cast<int64_t>(size) < held ? static_cast<int64_t>(size) : held;
            return 0;
        }
        position = body + static_cast<int64_t>(size) + (size & 1);
    }
    return -1;
}
