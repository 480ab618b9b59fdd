// Sound files made by the tests: RIFF WAVE files chunk by chunk, PCM sample patterns, small
// G.711 and IMA ADPCM encoders, and raw MP3 frame streams. Header-only, so that the fuzz seed
// writer can use it as well.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace soundfix {

using Bytes = std::vector<unsigned char>;

inline void Put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

inline void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

inline void PutTag(Bytes& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(tag[i]));
}

// One chunk: tag, size field (the body's length unless `sizeField` is given), body, and the
// padding byte after an odd-sized body.
inline void PutChunk(Bytes& out, const char* tag, const Bytes& body, int64_t sizeField = -1,
                     bool pad = true) {
    PutTag(out, tag);
    Put32(out, sizeField < 0 ? static_cast<uint32_t>(body.size())
                             : static_cast<uint32_t>(sizeField));
    out.insert(out.end(), body.begin(), body.end());
    if (pad && (body.size() & 1) != 0) out.push_back(0x5A);
}

struct WaveFormat {
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint32_t avgBytes = 0;  // 0: rate × block align
    uint16_t blockAlign = 0;  // 0: channels × bits / 8
    uint16_t bits = 16;
    // 16: no cbSize field; 18 and more: cbSize = size - 18 and `extra` after it.
    uint32_t chunkSize = 16;
    Bytes extra;
};

inline Bytes FormatChunkBody(const WaveFormat& f) {
    Bytes body;
    const uint16_t block =
        f.blockAlign != 0 ? f.blockAlign : static_cast<uint16_t>(f.channels * f.bits / 8);
    Put16(body, f.tag);
    Put16(body, f.channels);
    Put32(body, f.rate);
    Put32(body, f.avgBytes != 0 ? f.avgBytes : f.rate * block);
    Put16(body, block);
    Put16(body, f.bits);
    if (f.chunkSize >= 18) {
        Put16(body, f.chunkSize - 18);
        Bytes extra = f.extra;
        extra.resize(f.chunkSize - 18, 0);
        body.insert(body.end(), extra.begin(), extra.end());
    }
    return body;
}

// A RIFF WAVE file: the chunks given in order, with the RIFF size set.
inline Bytes RiffWave(const std::vector<Bytes>& chunks) {
    Bytes body;
    PutTag(body, "WAVE");
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes file;
    PutTag(file, "RIFF");
    Put32(file, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

inline Bytes Chunk(const char* tag, const Bytes& body, int64_t sizeField = -1, bool pad = true) {
    Bytes out;
    PutChunk(out, tag, body, sizeField, pad);
    return out;
}

// A plain WAV file: format chunk, then the data chunk.
inline Bytes SimpleWave(const WaveFormat& format, const Bytes& data) {
    return RiffWave({Chunk("fmt ", FormatChunkBody(format)), Chunk("data", data)});
}

// A ramp of 16-bit samples that passes through every sign and many values.
inline std::vector<int16_t> Pcm16Pattern(size_t count, int channels = 1) {
    std::vector<int16_t> samples(count * static_cast<size_t>(channels));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(static_cast<int32_t>(i * 2654435761u >> 16) - 32768);
    }
    return samples;
}

inline Bytes Pcm16Bytes(const std::vector<int16_t>& samples) {
    Bytes out;
    for (int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
    return out;
}

// A sine of `frames` frames at `hz`, amplitude `amp`, the same in every channel (channel c
// shifted by c × 90 degrees).
inline std::vector<int16_t> Sine16(size_t frames, int channels, int rate, double hz,
                                   double amp) {
    std::vector<int16_t> out(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double t = static_cast<double>(i) / rate;
            out[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
                static_cast<int16_t>(std::lround(amp * std::sin(2 * M_PI * hz * t + c * M_PI / 2)));
        }
    }
    return out;
}

// --- G.711 --------------------------------------------------------------------------------

inline unsigned char MuLawEncode(int16_t sample) {
    const int bias = 0x84, clip = 32635;
    int s = sample;
    const int sign = (s >> 8) & 0x80;
    if (sign != 0) s = -s;
    if (s > clip) s = clip;
    s += bias;
    int exponent = 7;
    for (int mask = 0x4000; (s & mask) == 0 && exponent > 0; mask >>= 1) --exponent;
    const int mantissa = (s >> (exponent + 3)) & 0x0F;
    return static_cast<unsigned char>(~(sign | exponent << 4 | mantissa));
}

inline int16_t MuLawDecode(unsigned char code) {
    code = static_cast<unsigned char>(~code);
    const int sign = code & 0x80, exponent = (code >> 4) & 7, mantissa = code & 0x0F;
    int s = ((mantissa << 3) + 0x84) << exponent;
    s -= 0x84;
    return static_cast<int16_t>(sign != 0 ? -s : s);
}

inline unsigned char ALawEncode(int16_t sample) {
    int s = sample >> 3;  // 13-bit magnitude
    int mask;
    if (s >= 0) {
        mask = 0xD5;
    } else {
        mask = 0x55;
        s = -s - 1;
    }
    static const int kEnd[8] = {0x1F, 0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF};
    int seg = 0;
    while (seg < 8 && s > kEnd[seg]) ++seg;
    if (seg >= 8) return static_cast<unsigned char>(0x7F ^ mask);
    int aval = seg << 4;
    aval |= seg < 2 ? (s >> 1) & 0x0F : (s >> seg) & 0x0F;
    return static_cast<unsigned char>(aval ^ mask);
}

inline int16_t ALawDecode(unsigned char code) {
    code ^= 0x55;
    int t = (code & 0x0F) << 4;
    const int seg = (code & 0x70) >> 4;
    if (seg == 0) {
        t += 8;
    } else if (seg == 1) {
        t += 0x108;
    } else {
        t += 0x108;
        t <<= seg - 1;
    }
    return static_cast<int16_t>((code & 0x80) != 0 ? t : -t);
}

// --- IMA ADPCM (mono, 4 bits, blocks of `blockAlign` bytes) ---------------------------------

inline const int* ImaStepTable() {
    static const int kSteps[89] = {
        7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
        25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
        88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
        307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
        1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
        3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
        12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
    return kSteps;
}

inline int ImaIndexStep(int code) {
    static const int kIndex[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
    return kIndex[code & 7];
}

// One nibble: encodes `sample` against the predictor and updates it as a decoder would.
inline int ImaEncodeNibble(int sample, int* predictor, int* index) {
    const int step = ImaStepTable()[*index];
    int diff = sample - *predictor;
    int code = 0;
    if (diff < 0) {
        code = 8;
        diff = -diff;
    }
    int delta = step >> 3;
    if (diff >= step) { code |= 4; diff -= step; delta += step; }
    if (diff >= step >> 1) { code |= 2; diff -= step >> 1; delta += step >> 1; }
    if (diff >= step >> 2) { code |= 1; delta += step >> 2; }
    *predictor += (code & 8) != 0 ? -delta : delta;
    if (*predictor > 32767) *predictor = 32767;
    if (*predictor < -32768) *predictor = -32768;
    *index += ImaIndexStep(code);
    if (*index < 0) *index = 0;
    if (*index > 88) *index = 88;
    return code;
}

// Mono IMA ADPCM blocks; `decoded` receives what a decoder reproduces. The sample count is
// cut to whole blocks.
inline Bytes ImaAdpcmEncodeMono(const std::vector<int16_t>& samples, int blockAlign,
                                std::vector<int16_t>* decoded) {
    const size_t perBlock = static_cast<size_t>((blockAlign - 4) * 2 + 1);
    Bytes out;
    decoded->clear();
    for (size_t start = 0; start + perBlock <= samples.size(); start += perBlock) {
        int predictor = samples[start];
        int index = 0;
        Put16(out, static_cast<uint16_t>(predictor));
        out.push_back(static_cast<unsigned char>(index));
        out.push_back(0);
        decoded->push_back(static_cast<int16_t>(predictor));
        std::vector<int16_t> blockDecoded;
        for (size_t i = 1; i < perBlock; i += 2) {
            const int lo = ImaEncodeNibble(samples[start + i], &predictor, &index);
            decoded->push_back(static_cast<int16_t>(predictor));
            const int hi = ImaEncodeNibble(samples[start + i + 1], &predictor, &index);
            decoded->push_back(static_cast<int16_t>(predictor));
            out.push_back(static_cast<unsigned char>(lo | hi << 4));
        }
    }
    return out;
}

// --- MP3 frames ---------------------------------------------------------------------------

// A frame header: MPEG-1 (mpeg1) or MPEG-2, layer III, the indexes given, mono or stereo.
inline Bytes Mp3Header(bool mpeg1, int bitrateIndex, int rateIndex, int padding, bool mono) {
    Bytes h(4);
    h[0] = 0xFF;
    h[1] = static_cast<unsigned char>(0xF0 | (mpeg1 ? 0x08 : 0) | 0x02 | 0x01);  // layer III
    h[2] = static_cast<unsigned char>(bitrateIndex << 4 | rateIndex << 2 | padding << 1);
    h[3] = static_cast<unsigned char>((mono ? 3 : 0) << 6);
    return h;
}

// `frames` MPEG-1 layer III frames of 128 kbit/s at 44100 Hz (417 bytes each, no padding),
// their bodies zero.
inline Bytes Mp3Frames(int frames, bool mono = false) {
    Bytes out;
    for (int i = 0; i < frames; ++i) {
        Bytes h = Mp3Header(true, 9, 0, 0, mono);
        out.insert(out.end(), h.begin(), h.end());
        out.resize(out.size() + 417 - 4, 0);
    }
    return out;
}

// An ID3v2 tag of `bodyBytes` bytes (synchsafe size).
inline Bytes Id3v2Tag(uint32_t bodyBytes, int version = 3, bool footer = false) {
    Bytes out = {'I', 'D', '3', static_cast<unsigned char>(version), 0,
                 static_cast<unsigned char>(footer ? 0x10 : 0)};
    out.push_back(static_cast<unsigned char>((bodyBytes >> 21) & 0x7F));
    out.push_back(static_cast<unsigned char>((bodyBytes >> 14) & 0x7F));
    out.push_back(static_cast<unsigned char>((bodyBytes >> 7) & 0x7F));
    out.push_back(static_cast<unsigned char>(bodyBytes & 0x7F));
    out.resize(out.size() + bodyBytes + (footer ? 10 : 0), 0);
    return out;
}

}  // namespace soundfix
