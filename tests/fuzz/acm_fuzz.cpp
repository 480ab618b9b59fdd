// libFuzzer target of the codec manager's decoders (IMA and MS ADPCM, A-law, mu-law, MPEG
// layer III). The input starts with a small header that picks the format:
//   byte 0      codec: 0 IMA ADPCM, 1 MS ADPCM, 2 A-law, 3 mu-law, 4 MPEG layer III,
//               5 and above: a raw format record follows (18 bytes and its extra part)
//   byte 1      channels - 1 (bit 0) and the conversion flags (bit 1: whole blocks only,
//               bit 2: the last piece is marked as the end)
//   bytes 2..3  block align (little-endian)
//   byte 4      piece size in 64-byte steps (0: the whole rest at once)
// and the rest is the data, converted piece by piece as a reader does. Every call must keep
// inside its buffers and report no more than it was given room for.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/acm/acm.h"

namespace {

constexpr size_t kHeader = 5;

// Builds the format record for the header's codec; returns the bytes of the input it used.
size_t MakeFormat(const uint8_t* data, size_t size, std::vector<uint8_t>* record) {
    record->assign(plat::kAcmMaxFormatBytes, 0);
    const uint8_t codec = data[0];
    const uint16_t channels = static_cast<uint16_t>(1 + (data[1] & 1));
    const uint16_t align = static_cast<uint16_t>(data[2] | (data[3] << 8));
    auto* f = reinterpret_cast<plat::WAVEFORMATEX*>(record->data());
    if (codec >= 5) {
        const size_t raw = std::min<size_t>(size - kHeader, plat::kAcmMaxFormatBytes);
        std::memcpy(record->data(), data + kHeader, raw);
        // The record the caller hands over holds its extra part: keep the claim inside it.
        if (raw < sizeof(plat::WAVEFORMATEX)) return kHeader + raw;
        f->cbSize = static_cast<uint16_t>(std::min<size_t>(f->cbSize, raw - sizeof(plat::WAVEFORMATEX)));
        return kHeader + sizeof(plat::WAVEFORMATEX) + f->cbSize;
    }
    f->nChannels = channels;
    f->nSamplesPerSec = 22050;
    f->nBlockAlign = align;
    switch (codec) {
    case 0: {
        auto* ima = reinterpret_cast<plat::IMAADPCMWAVEFORMAT*>(record->data());
        f->wFormatTag = plat::WAVE_FORMAT_IMA_ADPCM;
        f->wBitsPerSample = 4;
        f->cbSize = 2;
        const uint32_t header = 4u * channels;
        ima->wSamplesPerBlock = static_cast<uint16_t>(align >= header ? 1 + (align - header) / header * 8 : 0);
        break;
    }
    case 1: {
        static const int16_t kCoef[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64},
                                            {240, 0}, {460, -208}, {392, -232}};
        auto* ms = reinterpret_cast<plat::ADPCMWAVEFORMAT*>(record->data());
        f->wFormatTag = plat::WAVE_FORMAT_ADPCM;
        f->wBitsPerSample = 4;
        f->cbSize = 32;
        ms->wSamplesPerBlock = static_cast<uint16_t>(align >= 7u * channels ? 2 + (align - 7u * channels) * 2 / channels : 0);
        ms->wNumCoef = 7;
        for (int i = 0; i < 7; ++i) ms->aCoef[i] = {kCoef[i][0], kCoef[i][1]};
        break;
    }
    case 2:
    case 3:
        f->wFormatTag = codec == 2 ? plat::WAVE_FORMAT_ALAW : plat::WAVE_FORMAT_MULAW;
        f->wBitsPerSample = 8;
        f->nBlockAlign = channels;
        break;
    default: {
        auto* mp3 = reinterpret_cast<plat::MPEGLAYER3WAVEFORMAT*>(record->data());
        f->wFormatTag = plat::WAVE_FORMAT_MPEGLAYER3;
        f->nSamplesPerSec = 44100;
        f->nBlockAlign = 1;
        f->cbSize = plat::MPEGLAYER3_WFX_EXTRA_BYTES;
        mp3->wID = plat::MPEGLAYER3_ID_MPEG;
        mp3->nBlockSize = align;
        mp3->nFramesPerBlock = 1;
        break;
    }
    }
    f->nAvgBytesPerSec = f->nSamplesPerSec * std::max<uint16_t>(1, f->nBlockAlign) / 4 + 1;
    return kHeader;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeader) return 0;
    std::vector<uint8_t> record;
    const size_t start = std::min(MakeFormat(data, size, &record), size);
    const auto* src = reinterpret_cast<const plat::WAVEFORMATEX*>(record.data());
    plat::WAVEFORMATEX pcm{};
    pcm.wFormatTag = plat::WAVE_FORMAT_PCM;
    if (plat::acmFormatSuggest(nullptr, src, &pcm, sizeof pcm, plat::ACM_FORMATSUGGESTF_WFORMATTAG) !=
        plat::MMSYSERR_NOERROR) {
        return 0;
    }
    plat::HACMSTREAM stream = nullptr;
    if (plat::acmStreamOpen(&stream, nullptr, src, &pcm, nullptr, 0, 0, 0) != plat::MMSYSERR_NOERROR) {
        return 0;
    }
    const size_t rest = size - start;
    uint32_t piece = data[4] == 0 ? static_cast<uint32_t>(std::max<size_t>(rest, 1)) : data[4] * 64u;
    piece = std::min<uint32_t>(piece, 1u << 20);
    uint32_t dstSize = 0;
    if (plat::acmStreamSize(stream, piece, &dstSize, plat::ACM_STREAMSIZEF_SOURCE) != plat::MMSYSERR_NOERROR ||
        dstSize > (64u << 20)) {
        plat::acmStreamClose(stream, 0);
        return 0;
    }
    // Exactly sized buffers, so that a write past them shows.
    std::vector<uint8_t> srcBuffer(piece);
    std::vector<uint8_t> dstBuffer(dstSize);
    plat::ACMSTREAMHEADER h{};
    h.cbStruct = sizeof h;
    h.pbSrc = srcBuffer.data();
    h.cbSrcLength = piece;
    h.pbDst = dstBuffer.data();
    h.cbDstLength = dstSize;
    if (plat::acmStreamPrepareHeader(stream, &h, 0) != plat::MMSYSERR_NOERROR) __builtin_trap();
    const uint32_t flags = (data[1] & 2) != 0 ? plat::ACM_STREAMCONVERTF_BLOCKALIGN : 0;
    size_t next = start;
    uint32_t waiting = 0;
    volatile uint32_t sum = 0;
    for (int round = 0; round < 100000; ++round) {
        const uint32_t take = static_cast<uint32_t>(std::min<size_t>(piece - waiting, size - next));
        std::memcpy(srcBuffer.data() + waiting, data + next, take);
        next += take;
        waiting += take;
        h.cbSrcLength = waiting;
        const uint32_t end = (data[1] & 4) != 0 && next == size ? plat::ACM_STREAMCONVERTF_END : 0;
        if (plat::acmStreamConvert(stream, &h, flags | end) != plat::MMSYSERR_NOERROR) break;
        if (h.cbSrcLengthUsed > waiting || h.cbDstLengthUsed > dstSize) __builtin_trap();
        for (uint32_t i = 0; i < h.cbDstLengthUsed; ++i) sum = sum + dstBuffer[i];
        std::memmove(srcBuffer.data(), srcBuffer.data() + h.cbSrcLengthUsed, waiting - h.cbSrcLengthUsed);
        waiting -= h.cbSrcLengthUsed;
        if (h.cbSrcLengthUsed == 0 && h.cbDstLengthUsed == 0 && (next == size || waiting == piece)) break;
    }
    if (plat::acmStreamUnprepareHeader(stream, &h, 0) != plat::MMSYSERR_NOERROR) __builtin_trap();
    if (plat::acmStreamClose(stream, 0) != plat::MMSYSERR_NOERROR) __builtin_trap();
    return 0;
}
