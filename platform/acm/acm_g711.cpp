// A-law and mu-law: one byte per sample, expanded to 16 bits.
#include <algorithm>

#include "platform/acm/acm_internal.h"

namespace plat::acm {

int16_t DecodeALaw(uint8_t value) {
    const uint32_t a = value ^ 0x55u;
    int32_t t = static_cast<int32_t>(a & 0x0F) << 4;
    const uint32_t segment = (a & 0x70) >> 4;
    if (segment == 0) {
        t += 8;
    } else {
        t += 0x108;
        t <<= segment - 1;
    }
    return static_cast<int16_t>((a & 0x80) != 0 ? t : -t);
}

int16_t DecodeMuLaw(uint8_t value) {
    const uint32_t u = ~static_cast<uint32_t>(value) & 0xFF;
    int32_t t = (static_cast<int32_t>(u & 0x0F) << 3) + 0x84;
    t <<= (u & 0x70) >> 4;
    return static_cast<int16_t>((u & 0x80) != 0 ? 0x84 - t : t - 0x84);
}

namespace {

class G711Decoder final : public Decoder {
public:
    explicit G711Decoder(const SourceFormat& f) : channels_(f.channels) {
        const bool alaw = f.tag == WAVE_FORMAT_ALAW;
        for (uint32_t i = 0; i < 256; ++i) {
            table_[i] = alaw ? DecodeALaw(static_cast<uint8_t>(i)) : DecodeMuLaw(static_cast<uint8_t>(i));
        }
    }

    MMRESULT Convert(const uint8_t* src, uint32_t srcLength, uint8_t* dst, uint32_t dstLength,
                     uint32_t, uint32_t* srcUsed, uint32_t* dstUsed) override {
        const uint32_t frames = std::min(srcLength / channels_, dstLength / (2u * channels_));
        const uint32_t samples = frames * channels_;
        for (uint32_t i = 0; i < samples; ++i) {
            const uint16_t v = static_cast<uint16_t>(table_[src[i]]);
            dst[2 * i] = static_cast<uint8_t>(v & 0xFF);
            dst[2 * i + 1] = static_cast<uint8_t>(v >> 8);
        }
        *srcUsed = samples;
        *dstUsed = samples * 2;
        return MMSYSERR_NOERROR;
    }

    uint64_t DestinationFor(uint64_t srcBytes) const override {
        return srcBytes / channels_ * channels_ * 2;
    }
    uint64_t SourceFor(uint64_t dstBytes) const override {
        return dstBytes / (2u * channels_) * channels_;
    }

private:
    uint32_t channels_;
    int16_t table_[256];
};

}  // namespace

std::unique_ptr<Decoder> MakeG711Decoder(const SourceFormat& format) {
    return std::make_unique<G711Decoder>(format);
}

}  // namespace plat::acm
