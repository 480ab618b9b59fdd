#include "base/archive/lz_unpack.h"

#include "base/archive/archive_format.h"

int64_t PackedBlockUnpackedSize(const void* packed, size_t available) {
    const auto* in = static_cast<const unsigned char*>(packed);
    if (in == nullptr || available < kArchivePackedHeaderSize) return -1;
    const uint32_t packedSize = ReadLe32(in + 4);
    if (packedSize < kArchivePackedHeaderSize || packedSize > available) return -1;
    return ReadLe32(in);
}

uint32_t PackedBlockPackedSize(const void* packed) {
    return ReadLe32(static_cast<const unsigned char*>(packed) + 4);
}

int64_t UnpackLz(const void* packed, size_t available, void* destination) {
    const int64_t declared = PackedBlockUnpackedSize(packed, available);
    if (declared < 0 || destination == nullptr) return declared;

    const auto* in = static_cast<const unsigned char*>(packed);
    auto* out = static_cast<unsigned char*>(destination);
    const size_t end = PackedBlockPackedSize(packed);
    const size_t outSize = static_cast<size_t>(declared);
    const unsigned char escape = in[8];
    size_t src = kArchivePackedHeaderSize;
    size_t dst = 0;

    while (src < end) {
        const unsigned char byte = in[src++];
        if (byte != escape) {
            if (dst >= outSize) return -1;
            out[dst++] = byte;
            continue;
        }
        if (src >= end) return -1;
        unsigned int code = in[src++];
        if (code == escape) {
            if (dst >= outSize) return -1;
            out[dst++] = escape;
            continue;
        }
        if (code > escape) --code;
        size_t length = code >> 3;
        if ((code & 4) != 0) {
            if (src >= end) return -1;
            length += static_cast<size_t>(in[src++]) << 5;
        }
        length += 4;
        const size_t offsetBytes = (code & 3) + 1;
        if (offsetBytes > 3 || end - src < offsetBytes) return -1;
        size_t offset = 0;
        for (size_t i = 0; i < offsetBytes; ++i) offset |= static_cast<size_t>(in[src++]) << (8 * i);
        const size_t distance = offset + 1;
        if (distance > dst || length > outSize - dst) return -1;
        // Byte by byte: a distance shorter than the length repeats the bytes just written.
        const unsigned char* from = out + dst - distance;
        for (size_t i = 0; i < length; ++i) out[dst + i] = from[i];
        dst += length;
    }
    return dst == outSize ? declared : -1;
}
