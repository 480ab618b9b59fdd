// Runs a whole source through a codec-manager stream the way a reader does: open with the
// suggested PCM format, one prepared header over fixed buffers, pieces of a given size, the
// bytes not taken moved to the front for the next call, the last piece marked as the end
// (unless markEnd is false), and a drain at the end.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/acm/acm.h"

namespace acmtest {

struct Converted {
    plat::MMRESULT result = plat::MMSYSERR_NOERROR;  // first failure, or no error
    std::vector<int16_t> pcm;
    plat::WAVEFORMATEX format = {};
};

inline Converted ConvertAll(const plat::WAVEFORMATEX* src, const std::vector<uint8_t>& data,
                            uint32_t piece, uint32_t flags = 0, bool markEnd = true) {
    Converted c;
    c.format.wFormatTag = plat::WAVE_FORMAT_PCM;
    c.result = plat::acmFormatSuggest(nullptr, src, &c.format, sizeof c.format,
                                      plat::ACM_FORMATSUGGESTF_WFORMATTAG);
    if (c.result != plat::MMSYSERR_NOERROR) return c;
    plat::HACMSTREAM stream = nullptr;
    c.result = plat::acmStreamOpen(&stream, nullptr, src, &c.format, nullptr, 0, 0,
                                   plat::ACM_STREAMOPENF_NONREALTIME);
    if (c.result != plat::MMSYSERR_NOERROR) return c;
    uint32_t dstSize = 0;
    c.result = plat::acmStreamSize(stream, piece, &dstSize, plat::ACM_STREAMSIZEF_SOURCE);
    if (c.result != plat::MMSYSERR_NOERROR) {
        plat::acmStreamClose(stream, 0);
        return c;
    }
    std::vector<uint8_t> srcBuffer(piece);
    std::vector<uint8_t> dstBuffer(dstSize);
    plat::ACMSTREAMHEADER h{};
    h.cbStruct = sizeof h;
    h.pbSrc = srcBuffer.data();
    h.cbSrcLength = piece;
    h.pbDst = dstBuffer.data();
    h.cbDstLength = dstSize;
    EXPECT_EQ(plat::acmStreamPrepareHeader(stream, &h, 0), plat::MMSYSERR_NOERROR);
    size_t next = 0;
    uint32_t waiting = 0;
    for (int guard = 0; guard < 1000000; ++guard) {
        const uint32_t take = static_cast<uint32_t>(std::min<size_t>(piece - waiting, data.size() - next));
        std::memcpy(srcBuffer.data() + waiting, data.data() + next, take);
        next += take;
        waiting += take;
        const bool last = next == data.size();
        h.cbSrcLength = waiting;
        const plat::MMRESULT r = plat::acmStreamConvert(
            stream, &h, flags | (last && markEnd ? plat::ACM_STREAMCONVERTF_END : 0u));
        if (r != plat::MMSYSERR_NOERROR) {
            c.result = r;
            break;
        }
        EXPECT_LE(h.cbSrcLengthUsed, waiting);
        EXPECT_LE(h.cbDstLengthUsed, dstSize);
        const auto* out = reinterpret_cast<const int16_t*>(dstBuffer.data());
        c.pcm.insert(c.pcm.end(), out, out + h.cbDstLengthUsed / 2);
        std::memmove(srcBuffer.data(), srcBuffer.data() + h.cbSrcLengthUsed, waiting - h.cbSrcLengthUsed);
        waiting -= h.cbSrcLengthUsed;
        if (last && h.cbSrcLengthUsed == 0 && h.cbDstLengthUsed == 0) break;
    }
    EXPECT_EQ(plat::acmStreamUnprepareHeader(stream, &h, 0), plat::MMSYSERR_NOERROR);
    EXPECT_EQ(plat::acmStreamClose(stream, 0), plat::MMSYSERR_NOERROR);
    return c;
}

}  // namespace acmtest
