// The checks of a source format: what each tag needs, and sizes that keep every product
// inside 32 bits.
#include <cstring>

#include "platform/acm/acm_internal.h"

namespace plat::acm {

namespace {

constexpr uint32_t kMaxRate = 384000;

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

MMRESULT ParseSourceFormat(const WAVEFORMATEX* src, SourceFormat* out) {
    if (src == nullptr) return MMSYSERR_INVALPARAM;
    const WAVEFORMATEX f = *src;
    if (f.nChannels < 1 || f.nChannels > 2) return ACMERR_NOTPOSSIBLE;
    if (f.nSamplesPerSec == 0 || f.nSamplesPerSec > kMaxRate) return ACMERR_NOTPOSSIBLE;
    if (f.nBlockAlign == 0) return ACMERR_NOTPOSSIBLE;
    if (sizeof(WAVEFORMATEX) + f.cbSize > kAcmMaxFormatBytes) return ACMERR_NOTPOSSIBLE;
    const uint8_t* extra = reinterpret_cast<const uint8_t*>(src) + sizeof(WAVEFORMATEX);
    const uint32_t ch = f.nChannels;

    SourceFormat s;
    s.tag = f.wFormatTag;
    s.channels = f.nChannels;
    s.rate = f.nSamplesPerSec;
    s.avgBytesPerSec = f.nAvgBytesPerSec;
    s.blockAlign = f.nBlockAlign;

    switch (f.wFormatTag) {
    case WAVE_FORMAT_IMA_ADPCM: {
        if (f.wBitsPerSample != 4 || f.cbSize < 2) return ACMERR_NOTPOSSIBLE;
        // Per block: a 4-byte header per channel, then groups of 4 bytes (8 samples) per
        // channel.
        if (f.nBlockAlign < 4 * ch || (f.nBlockAlign - 4 * ch) % (4 * ch) != 0) {
            return ACMERR_NOTPOSSIBLE;
        }
        const uint32_t samples = 1 + (f.nBlockAlign - 4 * ch) / (4 * ch) * 8;
        if (ReadU16(extra) != samples) return ACMERR_NOTPOSSIBLE;
        s.samplesPerBlock = samples;
        break;
    }
    case WAVE_FORMAT_ADPCM: {
        if (f.wBitsPerSample != 4 || f.cbSize < 4) return ACMERR_NOTPOSSIBLE;
        // Per block: a 7-byte header per channel (two samples), then one nibble per sample.
        if (f.nBlockAlign < 7 * ch) return ACMERR_NOTPOSSIBLE;
        const uint32_t most = 2 + (f.nBlockAlign - 7 * ch) * 2 / ch;
        const uint32_t samples = ReadU16(extra);
        const uint32_t count = ReadU16(extra + 2);
        if (samples < 2 || samples > most) return ACMERR_NOTPOSSIBLE;
        if (count == 0 || 4 + 4 * count > f.cbSize) return ACMERR_NOTPOSSIBLE;
        s.samplesPerBlock = samples;
        s.coefs.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            s.coefs[i].iCoef1 = static_cast<int16_t>(ReadU16(extra + 4 + 4 * i));
            s.coefs[i].iCoef2 = static_cast<int16_t>(ReadU16(extra + 6 + 4 * i));
        }
        break;
    }
    case WAVE_FORMAT_ALAW:
    case WAVE_FORMAT_MULAW:
        if (f.wBitsPerSample != 8 || f.nBlockAlign != ch) return ACMERR_NOTPOSSIBLE;
        break;
    case WAVE_FORMAT_MPEGLAYER3:
        if (f.cbSize < MPEGLAYER3_WFX_EXTRA_BYTES || f.nAvgBytesPerSec == 0) return ACMERR_NOTPOSSIBLE;
        if (f.nSamplesPerSec < 8000 || f.nSamplesPerSec > 48000) return ACMERR_NOTPOSSIBLE;
        break;
    default:
        return ACMERR_NOTPOSSIBLE;
    }
    if (out != nullptr) *out = std::move(s);
    return MMSYSERR_NOERROR;
}

WAVEFORMATEX PcmFormatFor(const SourceFormat& src) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = src.channels;
    f.nSamplesPerSec = src.rate;
    f.nBlockAlign = static_cast<uint16_t>(src.channels * 2);
    f.nAvgBytesPerSec = src.rate * f.nBlockAlign;
    f.wBitsPerSample = 16;
    f.cbSize = 0;
    return f;
}

}  // namespace plat::acm
