// Small encoders for the codec tests: IMA ADPCM, Microsoft ADPCM, A-law and mu-law. Each
// keeps the reconstruction a decoder must give back, so decoders are checked exactly.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

#include "platform/acm/acm.h"

namespace acmtest {

inline int16_t Clamp16(int32_t v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

inline void PutS16(std::vector<uint8_t>& out, int16_t v) {
    out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) & 0xFF));
    out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
}

// Interleaved test signal: a sine per channel (the second a fifth above), with some noise so
// that every nibble value turns up.
inline std::vector<int16_t> Signal(uint32_t frames, uint32_t channels, double amplitude) {
    std::vector<int16_t> s(static_cast<size_t>(frames) * channels);
    uint32_t noise = 12345;
    for (uint32_t i = 0; i < frames; ++i) {
        for (uint32_t c = 0; c < channels; ++c) {
            noise = noise * 1103515245u + 12345u;
            const double hz = c == 0 ? 440.0 : 660.0;
            const double v = amplitude * std::sin(2.0 * std::numbers::pi * hz * i / 22050.0) +
                             static_cast<double>((noise >> 16) % 2001) - 1000.0;
            s[static_cast<size_t>(i) * channels + c] = Clamp16(static_cast<int32_t>(std::lround(v)));
        }
    }
    return s;
}

struct Encoded {
    std::vector<uint8_t> bytes;    // the data chunk
    std::vector<int16_t> decoded;  // what a decoder gives back
    std::vector<uint8_t> format;   // the fmt chunk (WAVEFORMATEX and its extra part)
    const plat::WAVEFORMATEX* Format() const {
        return reinterpret_cast<const plat::WAVEFORMATEX*>(format.data());
    }
};

// ---- IMA ADPCM ------------------------------------------------------------------------------
inline constexpr int32_t kImaStepTable[89] = {
    7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25, 28, 31, 34, 37, 41, 45, 50, 55, 60,
    66, 73, 80, 88, 97, 107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307, 337, 371,
    408, 449, 494, 544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552, 1707, 1878,
    2066, 2272, 2499, 2749, 3024, 3327, 3660, 4026, 4428, 4871, 5358, 5894, 6484, 7132, 7845,
    8630, 9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086,
    29794, 32767};
inline constexpr int32_t kImaIndexTable[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

// Whole blocks of blockAlign bytes; the signal is padded with its last frame to fill the last.
inline Encoded EncodeIma(const std::vector<int16_t>& pcm, uint32_t channels, uint32_t rate,
                         uint16_t blockAlign) {
    const uint32_t perBlock = 1 + (blockAlign - 4 * channels) / (4 * channels) * 8;
    const uint32_t frames = static_cast<uint32_t>(pcm.size() / channels);
    const uint32_t blocks = (frames + perBlock - 1) / perBlock;
    Encoded e;
    e.decoded.resize(static_cast<size_t>(blocks) * perBlock * channels);
    int32_t index[2] = {0, 0};
    for (uint32_t b = 0; b < blocks; ++b) {
        auto at = [&](uint32_t f, uint32_t c) {
            const uint32_t frame = std::min(b * perBlock + f, frames - 1);
            return static_cast<int32_t>(pcm[static_cast<size_t>(frame) * channels + c]);
        };
        std::vector<uint8_t> block(blockAlign, 0);
        for (uint32_t c = 0; c < channels; ++c) {
            int32_t pred = at(0, c);
            block[4 * c] = static_cast<uint8_t>(pred & 0xFF);
            block[4 * c + 1] = static_cast<uint8_t>((pred >> 8) & 0xFF);
            block[4 * c + 2] = static_cast<uint8_t>(index[c]);
            e.decoded[(static_cast<size_t>(b) * perBlock) * channels + c] = static_cast<int16_t>(pred);
            for (uint32_t s = 1; s < perBlock; ++s) {
                const int32_t step = kImaStepTable[index[c]];
                int32_t diff = at(s, c) - pred;
                uint32_t nibble = 0;
                if (diff < 0) {
                    nibble = 8;
                    diff = -diff;
                }
                int32_t part = step;
                for (uint32_t mask = 4; mask != 0; mask >>= 1) {
                    if (diff >= part) {
                        nibble |= mask;
                        diff -= part;
                    }
                    part >>= 1;
                }
                int32_t d = step >> 3;
                if (nibble & 4) d += step;
                if (nibble & 2) d += step >> 1;
                if (nibble & 1) d += step >> 2;
                pred = Clamp16((nibble & 8) ? pred - d : pred + d);
                index[c] = std::clamp(index[c] + kImaIndexTable[nibble & 7], 0, 88);
                e.decoded[(static_cast<size_t>(b) * perBlock + s) * channels + c] = static_cast<int16_t>(pred);
                const uint32_t n = s - 1;
                uint8_t& byte = block[4 * channels + (n / 8) * 4 * channels + c * 4 + (n % 8) / 2];
                byte |= static_cast<uint8_t>((n % 2 == 0) ? nibble : nibble << 4);
            }
        }
        e.bytes.insert(e.bytes.end(), block.begin(), block.end());
    }
    plat::IMAADPCMWAVEFORMAT f{};
    f.wfx.wFormatTag = plat::WAVE_FORMAT_IMA_ADPCM;
    f.wfx.nChannels = static_cast<uint16_t>(channels);
    f.wfx.nSamplesPerSec = rate;
    f.wfx.nBlockAlign = blockAlign;
    f.wfx.nAvgBytesPerSec = rate * blockAlign / perBlock;
    f.wfx.wBitsPerSample = 4;
    f.wfx.cbSize = 2;
    f.wSamplesPerBlock = static_cast<uint16_t>(perBlock);
    e.format.resize(sizeof f);
    std::memcpy(e.format.data(), &f, sizeof f);
    return e;
}

// ---- Microsoft ADPCM ---------------------------------------------------------------------------
inline constexpr int32_t kMsCoef[7][2] = {{256, 0},  {512, -256}, {0, 0},     {192, 64},
                                          {240, 0},  {460, -208}, {392, -232}};
inline constexpr int32_t kMsAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                         768, 614, 512, 409, 307, 230, 230, 230};

// One channel of one block with one predictor: the nibbles, the output and its squared error.
struct MsChannel {
    std::vector<uint8_t> nibbles;
    std::vector<int16_t> out;
    int16_t delta0 = 16;
    double error = 0;
};

inline MsChannel EncodeMsChannel(const std::vector<int32_t>& x, uint32_t predictor) {
    MsChannel r;
    const int32_t c1 = kMsCoef[predictor][0];
    const int32_t c2 = kMsCoef[predictor][1];
    int32_t delta = std::max(16, std::abs(x[2] - x[1]) / 4);
    r.delta0 = static_cast<int16_t>(std::min(delta, 32767));
    delta = r.delta0;
    int32_t s2 = x[0];
    int32_t s1 = x[1];
    r.out = {static_cast<int16_t>(s2), static_cast<int16_t>(s1)};
    for (size_t i = 2; i < x.size(); ++i) {
        const int32_t predicted = (s1 * c1 + s2 * c2) >> 8;
        const double want = static_cast<double>(x[i] - predicted) / delta;
        const int32_t n = std::clamp(static_cast<int32_t>(std::lround(want)), -8, 7);
        const int32_t sample = Clamp16(predicted + n * delta);
        r.error += static_cast<double>(sample - x[i]) * (sample - x[i]);
        s2 = s1;
        s1 = sample;
        const uint32_t nibble = static_cast<uint32_t>(n) & 0x0F;
        delta = std::max(16, (kMsAdapt[nibble] * delta) >> 8);
        r.nibbles.push_back(static_cast<uint8_t>(nibble));
        r.out.push_back(static_cast<int16_t>(sample));
    }
    return r;
}

inline Encoded EncodeMs(const std::vector<int16_t>& pcm, uint32_t channels, uint32_t rate,
                        uint16_t blockAlign) {
    const uint32_t perBlock = 2 + (blockAlign - 7 * channels) * 2 / channels;
    const uint32_t frames = static_cast<uint32_t>(pcm.size() / channels);
    const uint32_t blocks = (frames + perBlock - 1) / perBlock;
    Encoded e;
    e.decoded.resize(static_cast<size_t>(blocks) * perBlock * channels);
    for (uint32_t b = 0; b < blocks; ++b) {
        std::vector<MsChannel> best(channels);
        std::vector<uint8_t> chosen(channels);
        for (uint32_t c = 0; c < channels; ++c) {
            std::vector<int32_t> x(perBlock);
            for (uint32_t s = 0; s < perBlock; ++s) {
                const uint32_t frame = std::min(b * perBlock + s, frames - 1);
                x[s] = pcm[static_cast<size_t>(frame) * channels + c];
            }
            for (uint32_t p = 0; p < 7; ++p) {
                MsChannel m = EncodeMsChannel(x, p);
                if (p == 0 || m.error < best[c].error) {
                    best[c] = std::move(m);
                    chosen[c] = static_cast<uint8_t>(p);
                }
            }
            for (uint32_t s = 0; s < perBlock; ++s) {
                e.decoded[(static_cast<size_t>(b) * perBlock + s) * channels + c] = best[c].out[s];
            }
        }
        std::vector<uint8_t> block;
        for (uint32_t c = 0; c < channels; ++c) block.push_back(chosen[c]);
        for (uint32_t c = 0; c < channels; ++c) PutS16(block, best[c].delta0);
        for (uint32_t c = 0; c < channels; ++c) PutS16(block, best[c].out[1]);
        for (uint32_t c = 0; c < channels; ++c) PutS16(block, best[c].out[0]);
        const uint32_t nibbles = (perBlock - 2) * channels;
        for (uint32_t n = 0; n < nibbles; n += 2) {
            const uint8_t hi = best[n % channels].nibbles[n / channels];
            const uint8_t lo = best[(n + 1) % channels].nibbles[(n + 1) / channels];
            block.push_back(static_cast<uint8_t>((hi << 4) | lo));
        }
        block.resize(blockAlign, 0);
        e.bytes.insert(e.bytes.end(), block.begin(), block.end());
    }
    plat::ADPCMWAVEFORMAT f{};
    f.wfx.wFormatTag = plat::WAVE_FORMAT_ADPCM;
    f.wfx.nChannels = static_cast<uint16_t>(channels);
    f.wfx.nSamplesPerSec = rate;
    f.wfx.nBlockAlign = blockAlign;
    f.wfx.nAvgBytesPerSec = rate * blockAlign / perBlock;
    f.wfx.wBitsPerSample = 4;
    f.wfx.cbSize = 32;
    f.wSamplesPerBlock = static_cast<uint16_t>(perBlock);
    f.wNumCoef = 7;
    for (int i = 0; i < 7; ++i) {
        f.aCoef[i].iCoef1 = static_cast<int16_t>(kMsCoef[i][0]);
        f.aCoef[i].iCoef2 = static_cast<int16_t>(kMsCoef[i][1]);
    }
    e.format.resize(sizeof f);
    std::memcpy(e.format.data(), &f, sizeof f);
    return e;
}

// ---- G.711 ------------------------------------------------------------------------------------
inline uint8_t LinearToMuLaw(int16_t sample) {
    int32_t pcm = sample;
    const uint8_t sign = pcm < 0 ? 0x80 : 0;
    if (pcm < 0) pcm = -pcm;
    pcm = std::min(pcm, 32635) + 0x84;
    uint8_t exponent = 7;
    for (int32_t mask = 0x4000; (pcm & mask) == 0 && exponent > 0; mask >>= 1) --exponent;
    const uint8_t mantissa = static_cast<uint8_t>((pcm >> (exponent + 3)) & 0x0F);
    return static_cast<uint8_t>(~(sign | (exponent << 4) | mantissa));
}

// The level a mu-law code stands for: ((2m + 33) << (e + 2)) - 132, signed.
inline int16_t MuLawLevel(uint8_t code) {
    const uint8_t u = static_cast<uint8_t>(~code);
    const int32_t e = (u >> 4) & 7;
    const int32_t m = u & 0x0F;
    const int32_t magnitude = ((2 * m + 33) << (e + 2)) - 132;
    return static_cast<int16_t>((u & 0x80) ? -magnitude : magnitude);
}

inline uint8_t LinearToALaw(int16_t sample) {
    int32_t pcm = sample >> 3;
    uint8_t mask = 0xD5;
    if (pcm < 0) {
        mask = 0x55;
        pcm = -pcm - 1;
    }
    static constexpr int32_t kEnds[8] = {0x1F, 0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF};
    int32_t segment = 0;
    while (segment < 8 && pcm > kEnds[segment]) ++segment;
    if (segment >= 8) return static_cast<uint8_t>(0x7F ^ mask);
    uint8_t value = static_cast<uint8_t>(segment << 4);
    value |= static_cast<uint8_t>((segment < 2 ? (pcm >> 1) : (pcm >> segment)) & 0x0F);
    return static_cast<uint8_t>(value ^ mask);
}

// The level an A-law code stands for: (2m + 1) << 3 in segment 0, (2m + 33) << (s + 2) above.
inline int16_t ALawLevel(uint8_t code) {
    const uint8_t a = static_cast<uint8_t>(code ^ 0x55);
    const int32_t s = (a >> 4) & 7;
    const int32_t m = a & 0x0F;
    const int32_t magnitude = s == 0 ? (2 * m + 1) << 3 : (2 * m + 33) << (s + 2);
    return static_cast<int16_t>((a & 0x80) ? magnitude : -magnitude);
}

inline Encoded EncodeG711(const std::vector<int16_t>& pcm, uint32_t channels, uint32_t rate,
                          bool alaw) {
    Encoded e;
    for (int16_t s : pcm) {
        const uint8_t code = alaw ? LinearToALaw(s) : LinearToMuLaw(s);
        e.bytes.push_back(code);
        e.decoded.push_back(alaw ? ALawLevel(code) : MuLawLevel(code));
    }
    plat::WAVEFORMATEX f{};
    f.wFormatTag = alaw ? plat::WAVE_FORMAT_ALAW : plat::WAVE_FORMAT_MULAW;
    f.nChannels = static_cast<uint16_t>(channels);
    f.nSamplesPerSec = rate;
    f.nBlockAlign = static_cast<uint16_t>(channels);
    f.nAvgBytesPerSec = rate * channels;
    f.wBitsPerSample = 8;
    e.format.resize(sizeof f);
    std::memcpy(e.format.data(), &f, sizeof f);
    return e;
}

}  // namespace acmtest
