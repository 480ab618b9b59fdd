// The codec manager's calls: format suggestion, streams and their headers.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "platform/acm/acm_internal.h"

namespace plat {

struct AcmStream {
    acm::SourceFormat source;
    WAVEFORMATEX destination = {};
    std::unique_ptr<acm::Decoder> decoder;
    // Headers prepared on this stream, with the memory they were prepared for.
    struct Prepared {
        ACMSTREAMHEADER* header;
        uint8_t* src;
        uint32_t srcLength;
        uint8_t* dst;
        uint32_t dstLength;
    };
    std::vector<Prepared> prepared;
};

namespace {

// Live streams, so that a stale or made-up handle is refused rather than followed.
std::mutex g_streamsMutex;
std::vector<AcmStream*> g_streams;

bool Live(HACMSTREAM stream) {
    std::lock_guard<std::mutex> hold(g_streamsMutex);
    return stream != nullptr && std::find(g_streams.begin(), g_streams.end(), stream) != g_streams.end();
}

bool SamePcm(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
    return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels &&
           a.nSamplesPerSec == b.nSamplesPerSec && a.nAvgBytesPerSec == b.nAvgBytesPerSec &&
           a.nBlockAlign == b.nBlockAlign && a.wBitsPerSample == b.wBitsPerSample;
}

std::unique_ptr<acm::Decoder> MakeDecoder(const acm::SourceFormat& f) {
    switch (f.tag) {
    case WAVE_FORMAT_IMA_ADPCM: return acm::MakeImaAdpcmDecoder(f);
    case WAVE_FORMAT_ADPCM: return acm::MakeMsAdpcmDecoder(f);
    case WAVE_FORMAT_ALAW:
    case WAVE_FORMAT_MULAW: return acm::MakeG711Decoder(f);
    case WAVE_FORMAT_MPEGLAYER3: return acm::MakeMpegLayer3Decoder(f);
    default: return nullptr;
    }
}

AcmStream::Prepared* FindPrepared(AcmStream* stream, const ACMSTREAMHEADER* header) {
    for (auto& p : stream->prepared) {
        if (p.header == header) return &p;
    }
    return nullptr;
}

}  // namespace

MMRESULT acmMetrics(HACMOBJ, uint32_t metric, void* out) {
    if (out == nullptr) return MMSYSERR_INVALPARAM;
    if (metric != ACM_METRIC_MAX_SIZE_FORMAT) return MMSYSERR_NOTSUPPORTED;
    const uint32_t size = kAcmMaxFormatBytes;
    std::memcpy(out, &size, sizeof(size));
    return MMSYSERR_NOERROR;
}

MMRESULT acmFormatSuggest(HACMDRIVER driver, const WAVEFORMATEX* src, WAVEFORMATEX* dst,
                          uint32_t dstSize, uint32_t flags) {
    if (driver != nullptr) return MMSYSERR_INVALHANDLE;
    if (src == nullptr || dst == nullptr || dstSize < sizeof(WAVEFORMATEX)) return MMSYSERR_INVALPARAM;
    constexpr uint32_t kKnown = ACM_FORMATSUGGESTF_WFORMATTAG | ACM_FORMATSUGGESTF_NCHANNELS |
                                ACM_FORMATSUGGESTF_NSAMPLESPERSEC |
                                ACM_FORMATSUGGESTF_WBITSPERSAMPLE;
    if ((flags & ~kKnown) != 0) return MMSYSERR_INVALFLAG;
    acm::SourceFormat source;
    const MMRESULT r = acm::ParseSourceFormat(src, &source);
    if (r != MMSYSERR_NOERROR) return r;
    const WAVEFORMATEX pcm = acm::PcmFormatFor(source);
    if ((flags & ACM_FORMATSUGGESTF_WFORMATTAG) != 0 && dst->wFormatTag != WAVE_FORMAT_PCM) {
        return ACMERR_NOTPOSSIBLE;
    }
    if ((flags & ACM_FORMATSUGGESTF_NCHANNELS) != 0 && dst->nChannels != pcm.nChannels) {
        return ACMERR_NOTPOSSIBLE;
    }
    if ((flags & ACM_FORMATSUGGESTF_NSAMPLESPERSEC) != 0 && dst->nSamplesPerSec != pcm.nSamplesPerSec) {
        return ACMERR_NOTPOSSIBLE;
    }
    if ((flags & ACM_FORMATSUGGESTF_WBITSPERSAMPLE) != 0 && dst->wBitsPerSample != 16) {
        return ACMERR_NOTPOSSIBLE;
    }
    *dst = pcm;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamOpen(HACMSTREAM* out, HACMDRIVER driver, const WAVEFORMATEX* src,
                       const WAVEFORMATEX* dst, const void* filter, uintptr_t, uintptr_t,
                       uint32_t flags) {
    const bool query = (flags & ACM_STREAMOPENF_QUERY) != 0;
    if (out != nullptr) *out = nullptr;
    if (driver != nullptr) return MMSYSERR_INVALHANDLE;
    if ((flags & ~(ACM_STREAMOPENF_QUERY | ACM_STREAMOPENF_NONREALTIME)) != 0) return MMSYSERR_INVALFLAG;
    if (src == nullptr || dst == nullptr || filter != nullptr) return MMSYSERR_INVALPARAM;
    if (!query && out == nullptr) return MMSYSERR_INVALPARAM;
    acm::SourceFormat source;
    MMRESULT r = acm::ParseSourceFormat(src, &source);
    if (r != MMSYSERR_NOERROR) return r;
    if (!SamePcm(*dst, acm::PcmFormatFor(source))) return ACMERR_NOTPOSSIBLE;
    if (query) return MMSYSERR_NOERROR;

    auto* stream = new (std::nothrow) AcmStream;
    if (stream == nullptr) return MMSYSERR_NOMEM;
    stream->decoder = MakeDecoder(source);
    if (stream->decoder == nullptr) {
        delete stream;
        return MMSYSERR_NOMEM;
    }
    stream->source = std::move(source);
    stream->destination = acm::PcmFormatFor(stream->source);
    {
        std::lock_guard<std::mutex> hold(g_streamsMutex);
        g_streams.push_back(stream);
    }
    *out = stream;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamClose(HACMSTREAM stream, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    if (!stream->prepared.empty()) return ACMERR_BUSY;
    {
        std::lock_guard<std::mutex> hold(g_streamsMutex);
        g_streams.erase(std::remove(g_streams.begin(), g_streams.end(), stream), g_streams.end());
    }
    delete stream;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamSize(HACMSTREAM stream, uint32_t input, uint32_t* output, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    if (output == nullptr) return MMSYSERR_INVALPARAM;
    *output = 0;
    uint64_t answer = 0;
    if (flags == ACM_STREAMSIZEF_SOURCE) {
        answer = stream->decoder->DestinationFor(input);
    } else if (flags == ACM_STREAMSIZEF_DESTINATION) {
        answer = stream->decoder->SourceFor(input);
    } else {
        return MMSYSERR_INVALFLAG;
    }
    if (answer == 0 || answer > UINT32_MAX) return ACMERR_NOTPOSSIBLE;
    *output = static_cast<uint32_t>(answer);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamPrepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    if (header == nullptr || header->cbStruct != sizeof(ACMSTREAMHEADER)) return MMSYSERR_INVALPARAM;
    if (header->pbSrc == nullptr || header->pbDst == nullptr || header->cbSrcLength == 0 ||
        header->cbDstLength == 0) {
        return MMSYSERR_INVALPARAM;
    }
    if (FindPrepared(stream, header) != nullptr) return ACMERR_BUSY;
    stream->prepared.push_back(
        {header, header->pbSrc, header->cbSrcLength, header->pbDst, header->cbDstLength});
    header->fdwStatus = ACMSTREAMHEADER_STATUSF_PREPARED;
    header->cbSrcLengthUsed = 0;
    header->cbDstLengthUsed = 0;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamConvert(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    constexpr uint32_t kKnown =
        ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END;
    if ((flags & ~kKnown) != 0) return MMSYSERR_INVALFLAG;
    if (header == nullptr || header->cbStruct != sizeof(ACMSTREAMHEADER)) return MMSYSERR_INVALPARAM;
    AcmStream::Prepared* p = FindPrepared(stream, header);
    if (p == nullptr) return ACMERR_UNPREPARED;
    // The memory must be the prepared memory, the lengths no longer than prepared.
    if (header->pbSrc != p->src || header->pbDst != p->dst || header->cbSrcLength > p->srcLength ||
        header->cbDstLength > p->dstLength) {
        return MMSYSERR_INVALPARAM;
    }
    if ((flags & ACM_STREAMCONVERTF_START) != 0) stream->decoder->Reset();
    header->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_DONE;
    uint32_t srcUsed = 0;
    uint32_t dstUsed = 0;
    const MMRESULT r = stream->decoder->Convert(header->pbSrc, header->cbSrcLength, header->pbDst,
                                                header->cbDstLength, flags, &srcUsed, &dstUsed);
    header->cbSrcLengthUsed = srcUsed;
    header->cbDstLengthUsed = dstUsed;
    header->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
    return r;
}

MMRESULT acmStreamUnprepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    if (header == nullptr || header->cbStruct != sizeof(ACMSTREAMHEADER)) return MMSYSERR_INVALPARAM;
    AcmStream::Prepared* p = FindPrepared(stream, header);
    if (p == nullptr) return ACMERR_UNPREPARED;
    if (header->pbSrc != p->src || header->pbDst != p->dst) return MMSYSERR_INVALPARAM;
    stream->prepared.erase(stream->prepared.begin() + (p - stream->prepared.data()));
    header->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamReset(HACMSTREAM stream, uint32_t flags) {
    if (!Live(stream)) return MMSYSERR_INVALHANDLE;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    stream->decoder->Reset();
    return MMSYSERR_NOERROR;
}

}  // namespace plat
