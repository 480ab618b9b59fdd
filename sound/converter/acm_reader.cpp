// The reader of sources the codec manager converts: RIFF WAVE with a format tag other than PCM,
// read a piece of about 64 KB at a time, and raw MPEG audio layer III, held whole in memory
// and handed over in 16 KB pieces.
#include <cstring>

#include "base/tracked_memory.h"
#include "sound/converter/converter_readers.h"
#include "sound/converter/mp3_frame.h"
#include "sound/converter/wave_chunks.h"

namespace {

using plat::WAVEFORMATEX;

// Source bytes handed to the codec per conversion, and the largest work buffer accepted.
constexpr uint32_t kAcmPieceBytes = 65536;
constexpr uint32_t kMp3PieceBytes = 16384;
constexpr uint32_t kWorkBytesMax = 16u << 20;

// Opens the codec stream from the converter's source format to the PCM it suggests.
int OpenAcmStream(SoundConverter* c) {
    WAVEFORMATEX suggested{};
    suggested.wFormatTag = plat::WAVE_FORMAT_PCM;
    if (plat::acmFormatSuggest(nullptr, c->sourceFormat, &suggested, sizeof(suggested),
                               plat::ACM_FORMATSUGGESTF_WFORMATTAG) != plat::MMSYSERR_NOERROR) {
        return -1;
    }
    if (suggested.wFormatTag != plat::WAVE_FORMAT_PCM || suggested.nChannels == 0 ||
        suggested.nChannels > 2 || suggested.nBlockAlign == 0 ||
        (suggested.wBitsPerSample != 8 && suggested.wBitsPerSample != 16)) {
        return -1;
    }
    if (plat::acmStreamOpen(&c->acmStream, nullptr, c->sourceFormat, &suggested, nullptr, 0, 0,
                            plat::ACM_STREAMOPENF_NONREALTIME) != plat::MMSYSERR_NOERROR) {
        c->acmStream = nullptr;
        return -1;
    }
    c->format = MakePcmFormat(suggested.nChannels, suggested.nSamplesPerSec,
                              suggested.wBitsPerSample);
    return 0;
}

// The destination bytes of one source piece, as the work buffer's size.
int SizeAcmWork(SoundConverter* c, uint32_t pieceBytes) {
    uint32_t work = 0;
    if (plat::acmStreamSize(c->acmStream, pieceBytes, &work, plat::ACM_STREAMSIZEF_SOURCE) !=
            plat::MMSYSERR_NOERROR ||
        work == 0 || work > kWorkBytesMax) {
        return -1;
    }
    c->workBytes = work;
    return 0;
}

}  // namespace

void FreeAcm(SoundConverter* c) {
    if (c->acmStream != nullptr) plat::acmStreamClose(c->acmStream, 0);
    c->acmStream = nullptr;
    TrackedFree(c->sourceFormat);
    c->sourceFormat = nullptr;
    TrackedFree(c->sourceBuffer);
    c->sourceBuffer = nullptr;
}

// RIFF WAVE with any other format tag, converted by the codec manager.
int OpenWaveAcm(SoundConverter* c) {
    WaveFileLayout layout;
    if (ReadWaveFileLayout(&c->stream, &layout) != 0) return -1;
    const WaveFormatFields& f = layout.fields;
    if (f.formatTag == plat::WAVE_FORMAT_PCM || f.channels > 2) return -1;

    // The source format: the chunk's bytes, with cbSize no longer than what was kept.
    uint32_t formatBytes = layout.formatBytes < plat::kAcmMaxFormatBytes
                               ? layout.formatBytes
                               : plat::kAcmMaxFormatBytes;
    if (formatBytes < sizeof(WAVEFORMATEX)) formatBytes = sizeof(WAVEFORMATEX);
    c->sourceFormat = static_cast<WAVEFORMATEX*>(ZN_ALLOC_ZERO(formatBytes));
    if (c->sourceFormat == nullptr) return -1;
    c->sourceFormatBytes = formatBytes;
    std::memcpy(c->sourceFormat, layout.format,
                layout.formatBytes < formatBytes ? layout.formatBytes : formatBytes);
    const uint32_t extraRoom = formatBytes - static_cast<uint32_t>(sizeof(WAVEFORMATEX));
    if (layout.formatBytes < sizeof(WAVEFORMATEX)) {
        c->sourceFormat->cbSize = 0;
    } else if (c->sourceFormat->cbSize > extraRoom) {
        c->sourceFormat->cbSize = static_cast<uint16_t>(extraRoom);
    }

    if (OpenAcmStream(c) != 0) {
        FreeAcm(c);
        return -1;
    }
    // Whole source blocks per piece, about 64 KB.
    const uint32_t block = f.blockAlign;
    const uint32_t piece = block >= kAcmPieceBytes ? block : kAcmPieceBytes / block * block;
    c->sourceBuffer = static_cast<unsigned char*>(ZN_ALLOC(piece));
    if (c->sourceBuffer == nullptr || SizeAcmWork(c, piece) != 0) {
        FreeAcm(c);
        return -1;
    }
    c->sourceBufferBytes = piece;
    c->dataStart = layout.dataStart;
    c->dataBytes = layout.dataBytes;
    c->totalSamples = -1;
    c->kind = kSoundConverterAcm;
    return 0;
}

// Raw MPEG audio layer III, converted by the codec manager.
int OpenMp3(SoundConverter* c) {
    Mp3StreamLayout layout;
    if (ScanMp3Stream(&c->stream, &layout) != 0) return -1;
    const int64_t dataBytes = layout.dataEnd - layout.firstFrame;
    if (dataBytes <= 0 || dataBytes > kWholePcmBytesMax) return -1;

    uint32_t maxFormat = 0;
    if (plat::acmMetrics(nullptr, plat::ACM_METRIC_MAX_SIZE_FORMAT, &maxFormat) !=
            plat::MMSYSERR_NOERROR ||
        maxFormat < sizeof(plat::MPEGLAYER3WAVEFORMAT)) {
        maxFormat = sizeof(plat::MPEGLAYER3WAVEFORMAT);
    }
    auto* mp3 = static_cast<plat::MPEGLAYER3WAVEFORMAT*>(ZN_ALLOC_ZERO(maxFormat));
    if (mp3 == nullptr) return -1;
    const Mp3FrameHeader& h = layout.first;
    mp3->wfx.wFormatTag = plat::WAVE_FORMAT_MPEGLAYER3;
    mp3->wfx.nChannels = static_cast<uint16_t>(h.channels);
    mp3->wfx.nSamplesPerSec = static_cast<uint32_t>(h.sampleRate);
    mp3->wfx.nAvgBytesPerSec = static_cast<uint32_t>(h.bitrateKbps) * 1000 / 8;
    mp3->wfx.nBlockAlign = 1;
    mp3->wfx.wBitsPerSample = 0;
    mp3->wfx.cbSize = plat::MPEGLAYER3_WFX_EXTRA_BYTES;
    mp3->wID = plat::MPEGLAYER3_ID_MPEG;
    mp3->fdwFlags = static_cast<uint32_t>(h.padding);
    mp3->nBlockSize = static_cast<uint16_t>(h.frameBytes);
    mp3->nFramesPerBlock = 1;
    mp3->nCodecDelay = 700;
    c->sourceFormat = &mp3->wfx;
    c->sourceFormatBytes = maxFormat;

    if (OpenAcmStream(c) != 0) {
        FreeAcm(c);
        return -1;
    }
    // The whole data in memory.
    c->sourceBuffer = static_cast<unsigned char*>(ZN_ALLOC(static_cast<size_t>(dataBytes)));
    if (c->sourceBuffer == nullptr || !SeekConverterStream(&c->stream, layout.firstFrame) ||
        c->stream.functions.read(c->sourceBuffer, 1, static_cast<size_t>(dataBytes),
                                 c->stream.handle) != static_cast<size_t>(dataBytes) ||
        SizeAcmWork(c, kMp3PieceBytes) != 0) {
        FreeAcm(c);
        return -1;
    }
    c->sourceBufferBytes = static_cast<uint32_t>(dataBytes);
    c->dataStart = layout.firstFrame;
    c->dataBytes = dataBytes;
    c->totalSamples = layout.totalSamples;
    c->kind = kSoundConverterAcm;
    return 0;
}

// One conversion of the next source piece (or, once the source is used up, of nothing, so
// that the codec gives out what it still holds).
int RefillAcm(SoundConverter* c) {
    const bool mp3 = c->sourceFormat->wFormatTag == plat::WAVE_FORMAT_MPEGLAYER3;
    for (;;) {
        const int64_t left = c->dataBytes - c->sourcePosition;
        if (left <= 0 && c->acmDrained) return -1;
        uint32_t piece = 0;
        unsigned char* source = c->sourceBuffer;
        if (left > 0) {
            const uint32_t limit = mp3 ? kMp3PieceBytes : c->sourceBufferBytes;
            piece = left < limit ? static_cast<uint32_t>(left) : limit;
            if (mp3) {
                source = c->sourceBuffer + c->sourcePosition;
            } else {
                if (!SeekConverterStream(&c->stream, c->dataStart + c->sourcePosition)) {
                    return -1;
                }
                const size_t got = c->stream.functions.read(source, 1, piece, c->stream.handle);
                if (got == 0) {
                    c->sourcePosition = c->dataBytes;
                    continue;
                }
                piece = static_cast<uint32_t>(got);
            }
        }
        plat::ACMSTREAMHEADER& header = c->acmHeader;
        std::memset(&header, 0, sizeof(header));
        header.cbStruct = sizeof(header);
        header.pbSrc = source;
        header.cbSrcLength = piece != 0 ? piece : 1;  // prepared lengths must not be 0
        header.pbDst = c->work;
        header.cbDstLength = c->workBytes;
        if (plat::acmStreamPrepareHeader(c->acmStream, &header, 0) != plat::MMSYSERR_NOERROR) {
            return -1;
        }
        header.cbSrcLength = piece;
        uint32_t flags = plat::ACM_STREAMCONVERTF_BLOCKALIGN;
        if (c->acmStarted == 0) flags |= plat::ACM_STREAMCONVERTF_START;
        if (left <= static_cast<int64_t>(piece)) flags |= plat::ACM_STREAMCONVERTF_END;
        const plat::MMRESULT result = plat::acmStreamConvert(c->acmStream, &header, flags);
        plat::acmStreamUnprepareHeader(c->acmStream, &header, 0);
        if (result != plat::MMSYSERR_NOERROR) {
            // Damaged data ends the sound.
            c->sourcePosition = c->dataBytes;
            c->acmDrained = 1;
            return -1;
        }
        c->acmStarted = 1;
        const uint32_t used = header.cbSrcLengthUsed < piece ? header.cbSrcLengthUsed : piece;
        c->sourcePosition += used;
        const uint32_t produced =
            header.cbDstLengthUsed < c->workBytes ? header.cbDstLengthUsed : c->workBytes;
        if (piece == 0 && produced == 0) {
            c->acmDrained = 1;
            return -1;
        }
        // A piece the codec will not take (a partial block at the end) ends the source.
        if (piece != 0 && used == 0 && produced == 0) c->sourcePosition = c->dataBytes;
        if (produced > 0) {
            c->workFilled = produced;
            return 0;
        }
    }
}

// Starts the codec again at the start of the data.
int RestartAcm(SoundConverter* c) {
    plat::acmStreamReset(c->acmStream, 0);
    c->sourcePosition = 0;
    c->acmStarted = 0;
    c->acmDrained = 0;
    c->workFilled = 0;
    c->workOffset = 0;
    c->bytePosition = 0;
    c->end = 0;
    return 0;
}
