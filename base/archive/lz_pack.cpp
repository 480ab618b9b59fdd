#include "base/archive/lz_pack.h"

#include <algorithm>

#include "base/archive/archive_format.h"

namespace {

constexpr size_t kMinMatch = 4;
constexpr size_t kMaxMatch = 4 + 31 + (255u << 5);  // longest copy one code can hold
constexpr size_t kMaxDistance = 1u << 24;           // three offset bytes
constexpr size_t kHashBits = 16;
constexpr int kMaxChain = 48;  // candidates looked at per position

uint32_t Hash4(const unsigned char* p) {
    const uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                       (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    return (v * 2654435761u) >> (32 - kHashBits);
}

unsigned char LeastFrequentByte(const unsigned char* data, size_t size) {
    size_t counts[256] = {};
    for (size_t i = 0; i < size; ++i) ++counts[data[i]];
    return static_cast<unsigned char>(std::min_element(counts, counts + 256) - counts);
}

size_t OffsetBytes(size_t offset) { return offset < 0x100 ? 1 : offset < 0x10000 ? 2 : 3; }

// Bytes a copy code takes in the stream.
size_t CopyCost(size_t length, size_t distance) {
    return 2 + (length - 4 >= 32 ? 1 : 0) + OffsetBytes(distance - 1);
}

void EmitCopy(std::vector<unsigned char>* out, unsigned char escape, size_t length,
              size_t distance) {
    const size_t extra = length - 4;
    const size_t offset = distance - 1;
    const size_t offsetBytes = OffsetBytes(offset);
    unsigned int code = static_cast<unsigned int>(((extra & 31) << 3) | (offsetBytes - 1));
    if (extra >= 32) code |= 4;
    if (code >= escape) ++code;  // the unpacker takes codes above the escape one lower
    out->push_back(escape);
    out->push_back(static_cast<unsigned char>(code));
    if (extra >= 32) out->push_back(static_cast<unsigned char>(extra >> 5));
    for (size_t i = 0; i < offsetBytes; ++i) {
        out->push_back(static_cast<unsigned char>(offset >> (8 * i)));
    }
}

}  // namespace

std::vector<unsigned char> PackLz(const void* data, size_t size) {
    const auto* in = static_cast<const unsigned char*>(data);
    const unsigned char escape = LeastFrequentByte(in, size);
    std::vector<unsigned char> out(kArchivePackedHeaderSize, 0);
    out.reserve(kArchivePackedHeaderSize + size + size / 8);

    std::vector<int64_t> head(size_t{1} << kHashBits, -1);
    std::vector<int64_t> previous(size, -1);
    auto insert = [&](size_t pos) {
        if (pos + kMinMatch > size) return;
        const uint32_t h = Hash4(in + pos);
        previous[pos] = head[h];
        head[h] = static_cast<int64_t>(pos);
    };

    size_t pos = 0;
    while (pos < size) {
        size_t bestLength = 0, bestDistance = 0;
        if (pos + kMinMatch <= size) {
            const size_t limit = std::min(kMaxMatch, size - pos);
            int64_t candidate = head[Hash4(in + pos)];
            for (int chain = 0; candidate >= 0 && chain < kMaxChain; ++chain) {
                const size_t distance = pos - static_cast<size_t>(candidate);
                if (distance > kMaxDistance) break;
                size_t length = 0;
                while (length < limit && in[candidate + length] == in[pos + length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                    if (length == limit) break;
                }
                candidate = previous[static_cast<size_t>(candidate)];
            }
        }
        // A copy only where it is shorter than the literals it replaces (escapes count twice).
        size_t literalCost = 0;
        for (size_t i = 0; i < bestLength; ++i) literalCost += in[pos + i] == escape ? 2 : 1;
        if (bestLength >= kMinMatch && CopyCost(bestLength, bestDistance) < literalCost) {
            EmitCopy(&out, escape, bestLength, bestDistance);
            for (size_t i = 0; i < bestLength; ++i) insert(pos + i);
            pos += bestLength;
            continue;
        }
        out.push_back(in[pos]);
        if (in[pos] == escape) out.push_back(escape);
        insert(pos);
        ++pos;
    }
    WriteLe32(out.data(), static_cast<uint32_t>(size));
    WriteLe32(out.data() + 4, static_cast<uint32_t>(out.size()));
    out[8] = escape;
    return out;
}
