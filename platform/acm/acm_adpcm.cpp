// The block decoders: IMA ADPCM and Microsoft ADPCM, 4 bits per sample, each block starting
// from a header of its own.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/acm/acm_internal.h"

namespace plat::acm {

namespace {

int16_t Clamp16(int32_t v) { return static_cast<int16_t>(std::clamp<int32_t>(v, -32768, 32767)); }

int16_t ReadS16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

void WriteS16(uint8_t* p, int16_t v) {
    const uint16_t u = static_cast<uint16_t>(v);
    p[0] = static_cast<uint8_t>(u & 0xFF);
    p[1] = static_cast<uint8_t>(u >> 8);
}

// Converts whole blocks (and, unless asked for whole blocks only, a last partial one) of a
// block format; the subclass decodes one block of a given byte length.
class BlockDecoder : public Decoder {
public:
    explicit BlockDecoder(const SourceFormat& f) : format_(f) {}

    MMRESULT Convert(const uint8_t* src, uint32_t srcLength, uint8_t* dst, uint32_t dstLength,
                     uint32_t flags, uint32_t* srcUsed, uint32_t* dstUsed) override {
        *srcUsed = 0;
        *dstUsed = 0;
        const uint32_t block = format_.blockAlign;
        const uint32_t frameBytes = format_.channels * 2u;
        uint32_t used = 0;
        uint32_t written = 0;
        while (srcLength - used >= block) {
            const uint32_t bytes = format_.samplesPerBlock * frameBytes;
            if (dstLength - written < bytes) break;
            if (!DecodeBlock(src + used, block, dst + written)) return ACMERR_NOTPOSSIBLE;
            used += block;
            written += bytes;
        }
        const uint32_t left = srcLength - used;
        // The tail after the last whole block is a block cut short by the end of the data
        // when the caller says this is the end, or does not ask for whole blocks only.
        const bool tail = (flags & ACM_STREAMCONVERTF_END) != 0 ||
                          (flags & ACM_STREAMCONVERTF_BLOCKALIGN) == 0;
        if (left != 0 && left < block && tail) {
            const uint32_t samples = SamplesInPartial(left);
            if (samples != 0 && dstLength - written >= samples * frameBytes) {
                if (!DecodeBlock(src + used, left, dst + written)) return ACMERR_NOTPOSSIBLE;
                used += left;
                written += samples * frameBytes;
            }
        }
        *srcUsed = used;
        *dstUsed = written;
        return MMSYSERR_NOERROR;
    }

    uint64_t DestinationFor(uint64_t srcBytes) const override {
        const uint64_t blocks = (srcBytes + format_.blockAlign - 1) / format_.blockAlign;
        return blocks * format_.samplesPerBlock * format_.channels * 2;
    }

    uint64_t SourceFor(uint64_t dstBytes) const override {
        const uint64_t perBlock = static_cast<uint64_t>(format_.samplesPerBlock) * format_.channels * 2;
        return dstBytes / perBlock * format_.blockAlign;
    }

protected:
    // Samples per channel a block cut short at bytes bytes holds (0: not even its header).
    virtual uint32_t SamplesInPartial(uint32_t bytes) const = 0;
    // Decodes a block of bytes bytes (a whole block or a partial one) into dst; false for a
    // damaged block.
    virtual bool DecodeBlock(const uint8_t* block, uint32_t bytes, uint8_t* dst) = 0;

    SourceFormat format_;
};

// ---- IMA ADPCM ------------------------------------------------------------------------------

constexpr int16_t kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int8_t kImaIndexShift[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

class ImaAdpcmDecoder final : public BlockDecoder {
public:
    using BlockDecoder::BlockDecoder;

protected:
    uint32_t SamplesInPartial(uint32_t bytes) const override {
        const uint32_t header = 4u * format_.channels;
        if (bytes < header) return 0;
        return 1 + (bytes - header) / header * 8;
    }

    bool DecodeBlock(const uint8_t* block, uint32_t bytes, uint8_t* dst) override {
        const uint32_t ch = format_.channels;
        const uint32_t samples = bytes == format_.blockAlign ? format_.samplesPerBlock
                                                              : SamplesInPartial(bytes);
        const uint32_t frame = ch * 2;
        for (uint32_t c = 0; c < ch; ++c) {
            int32_t predictor = ReadS16(block + 4 * c);
            // A damaged step index is taken as the nearest one there is.
            int32_t index = std::min<int32_t>(block[4 * c + 2], 88);
            WriteS16(dst + c * 2, static_cast<int16_t>(predictor));
            // Groups of 4 bytes per channel, interleaved, 8 samples each, low nibble first.
            for (uint32_t s = 1; s < samples; ++s) {
                const uint32_t n = s - 1;
                const uint32_t group = n / 8;
                const uint32_t within = n % 8;
                const uint8_t byte = block[4 * ch + group * 4 * ch + c * 4 + within / 2];
                const uint32_t nibble = (within % 2 == 0) ? (byte & 0x0F) : (byte >> 4);
                const int32_t step = kImaSteps[index];
                int32_t diff = step >> 3;
                if ((nibble & 4) != 0) diff += step;
                if ((nibble & 2) != 0) diff += step >> 1;
                if ((nibble & 1) != 0) diff += step >> 2;
                predictor = (nibble & 8) != 0 ? predictor - diff : predictor + diff;
                predictor = Clamp16(predictor);
                index = std::clamp<int32_t>(index + kImaIndexShift[nibble & 7], 0, 88);
                WriteS16(dst + s * frame + c * 2, static_cast<int16_t>(predictor));
            }
        }
        return true;
    }
};

// ---- Microsoft ADPCM ------------------------------------------------------------------------

constexpr int32_t kMsAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                       768, 614, 512, 409, 307, 230, 230, 230};
// The step size never grows past what the next product can hold.
constexpr int32_t kMsMaxDelta = INT32_MAX / 768;

class MsAdpcmDecoder final : public BlockDecoder {
public:
    using BlockDecoder::BlockDecoder;

protected:
    uint32_t SamplesInPartial(uint32_t bytes) const override {
        const uint32_t ch = format_.channels;
        if (bytes < 7 * ch) return 0;
        return std::min<uint32_t>(format_.samplesPerBlock, 2 + (bytes - 7 * ch) * 2 / ch);
    }

    bool DecodeBlock(const uint8_t* block, uint32_t bytes, uint8_t* dst) override {
        const uint32_t ch = format_.channels;
        const uint32_t samples = bytes == format_.blockAlign ? format_.samplesPerBlock
                                                              : SamplesInPartial(bytes);
        const uint32_t frame = ch * 2;
        int32_t c1[2], c2[2], delta[2], s1[2], s2[2];
        for (uint32_t c = 0; c < ch; ++c) {
            const uint32_t predictor = block[c];
            if (predictor >= format_.coefs.size()) return false;
            c1[c] = format_.coefs[predictor].iCoef1;
            c2[c] = format_.coefs[predictor].iCoef2;
            delta[c] = ReadS16(block + ch + 2 * c);
            s1[c] = ReadS16(block + 3 * ch + 2 * c);
            s2[c] = ReadS16(block + 5 * ch + 2 * c);
            WriteS16(dst + c * 2, static_cast<int16_t>(s2[c]));
            if (samples > 1) WriteS16(dst + frame + c * 2, static_cast<int16_t>(s1[c]));
        }
        // One nibble per sample, high nibble first; stereo alternates left and right.
        const uint8_t* data = block + 7 * ch;
        for (uint32_t n = 0; n < (samples - std::min<uint32_t>(samples, 2)) * ch; ++n) {
            const uint32_t c = n % ch;
            const uint8_t byte = data[n / 2];
            const uint32_t nibble = (n % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
            const int32_t signedNibble = nibble >= 8 ? static_cast<int32_t>(nibble) - 16
                                                     : static_cast<int32_t>(nibble);
            const int32_t predicted = static_cast<int32_t>(
                (static_cast<int64_t>(s1[c]) * c1[c] + static_cast<int64_t>(s2[c]) * c2[c]) >> 8);
            const int32_t sample = Clamp16(static_cast<int32_t>(std::clamp<int64_t>(
                static_cast<int64_t>(predicted) + static_cast<int64_t>(signedNibble) * delta[c],
                INT32_MIN, INT32_MAX)));
            s2[c] = s1[c];
            s1[c] = sample;
            delta[c] = std::clamp<int32_t>((kMsAdaptation[nibble] * delta[c]) >> 8, 16, kMsMaxDelta);
            WriteS16(dst + (2 + n / ch) * frame + c * 2, static_cast<int16_t>(sample));
        }
        return true;
    }
};

}  // namespace

std::unique_ptr<Decoder> MakeImaAdpcmDecoder(const SourceFormat& format) {
    return std::make_unique<ImaAdpcmDecoder>(format);
}

std::unique_ptr<Decoder> MakeMsAdpcmDecoder(const SourceFormat& format) {
    return std::make_unique<MsAdpcmDecoder>(format);
}

}  // namespace plat::acm
