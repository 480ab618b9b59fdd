#include "sound/sound_converter.h"

#include <cstring>

#include "base/tracked_memory.h"
#include "sound/mp3_frame.h"
#include "sound/wave_chunks.h"

namespace {

using plat::WAVEFORMATEX;

int32_t oggBytesPerSample = 2;

// Source bytes handed to the codec per conversion, and the largest work buffer accepted.
constexpr uint32_t kAcmPieceBytes = 65536;
constexpr uint32_t kMp3PieceBytes = 16384;
constexpr uint32_t kWorkBytesMax = 16u << 20;
constexpr uint32_t kOggWorkBytes = 4096;
// A length no real stream has; a larger one comes from damaged granule positions.
constexpr int64_t kOggSamplesMax = int64_t{1} << 40;

// The largest whole decode: a sound buffer holds no more.
constexpr int64_t kWholePcmBytesMax = plat::DSBSIZE_MAX;

WAVEFORMATEX PcmFormat(uint32_t channels, uint32_t rate, uint32_t bits) {
    WAVEFORMATEX f{};
    f.wFormatTag = plat::WAVE_FORMAT_PCM;
    f.nChannels = static_cast<uint16_t>(channels);
    f.nSamplesPerSec = rate;
    f.nBlockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    f.wBitsPerSample = static_cast<uint16_t>(bits);
    f.cbSize = 0;
    return f;
}

bool SeekTo(DataStream* stream, int64_t position) {
    return stream->functions.seek(stream->handle, position, 0) == 0;
}

// --- Readers ------------------------------------------------------------------------------

// RIFF WAVE with PCM data: 1 or 2 channels of 8 or 16 bits.
int OpenWavePcm(SoundConverter* c) {
    WaveFileLayout layout;
    if (ReadWaveFileLayout(&c->stream, &layout) != 0) return -1;
    const WaveFormatFields& f = layout.fields;
    if (f.formatTag != plat::WAVE_FORMAT_PCM) return -1;
    uint32_t bits = f.bitsPerSample;
    // A 16-byte format chunk is the old PCM record: the sample size follows from the block.
    if (layout.formatChunkBytes == 16) bits = f.blockAlign / f.channels * 8u;
    if (f.channels > 2 || (bits != 8 && bits != 16) || f.blockAlign != f.channels * bits / 8) {
        return -1;
    }
    c->format = PcmFormat(f.channels, f.samplesPerSec, bits);
    if (c->format.nAvgBytesPerSec == 0 || f.samplesPerSec > plat::DSBFREQUENCY_MAX) return -1;
    c->dataStart = layout.dataStart;
    // Whole sample frames only.
    c->dataBytes = layout.dataBytes - layout.dataBytes % f.blockAlign;
    c->kind = kSoundConverterPcm;
    c->workBytes = c->format.nAvgBytesPerSec;
    return 0;
}

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
    c->format = PcmFormat(suggested.nChannels, suggested.nSamplesPerSec,
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
    if (c->sourceBuffer == nullptr || !SeekTo(&c->stream, layout.firstFrame) ||
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

// --- Ogg Vorbis through vorbisfile, over the converter's stream ---------------------------

size_t OggReadCallback(void* ptr, size_t size, size_t count, void* source) {
    if (source == nullptr) return 0;
    auto* stream = static_cast<DataStream*>(source);
    return stream->functions.read(ptr, size, count, stream->handle);
}

int OggSeekCallback(void* source, ogg_int64_t offset, int whence) {
    if (source == nullptr) return -1;
    auto* stream = static_cast<DataStream*>(source);
    return stream->functions.seek(stream->handle, offset, whence);
}

// The stream belongs to the caller: closing the decoder leaves it open.
int OggCloseCallback(void* /*source*/) { return 0; }

long OggTellCallback(void* source) {
    if (source == nullptr) return -1;
    auto* stream = static_cast<DataStream*>(source);
    return static_cast<long>(stream->functions.tell(stream->handle));
}

void CloseOggConverter(SoundConverter* c) {
    if (c->oggOpen) ov_clear(&c->ogg);
    c->oggOpen = 0;
}

int OpenOggConverter(SoundConverter* c) {
    const ov_callbacks callbacks = {OggReadCallback, OggSeekCallback, OggCloseCallback,
                                    OggTellCallback};
    // A failed open clears the decoder itself.
    if (ov_open_callbacks(&c->stream, &c->ogg, nullptr, 0, callbacks) != 0) return -1;
    c->oggOpen = 1;
    const vorbis_info* info = ov_info(&c->ogg, -1);
    const ogg_int64_t total = ov_pcm_total(&c->ogg, -1);
    const int32_t bytes = oggBytesPerSample == 1 ? 1 : 2;
    if (info == nullptr || info->channels < 1 || info->channels > 2 || info->rate < 1 ||
        info->rate > static_cast<long>(plat::DSBFREQUENCY_MAX) || total < 0 ||
        total > kOggSamplesMax) {
        CloseOggConverter(c);
        return -1;
    }
    c->oggBytesPerSample = bytes;
    c->format = PcmFormat(static_cast<uint32_t>(info->channels),
                          static_cast<uint32_t>(info->rate), static_cast<uint32_t>(bytes) * 8);
    c->dataBytes = total * info->channels * bytes;
    c->kind = kSoundConverterOgg;
    c->workBytes = kOggWorkBytes;
    return 0;
}

// --- Refills of the work buffer; -1 at the end of the data ----------------------------------

// The next piece of the data, never past its end. A short read of the source ends the data.
int RefillPcm(SoundConverter* c) {
    const int64_t left = c->dataBytes - c->sourcePosition;
    if (left <= 0) return -1;
    const uint32_t want = left < c->workBytes ? static_cast<uint32_t>(left) : c->workBytes;
    if (!SeekTo(&c->stream, c->dataStart + c->sourcePosition)) return -1;
    const size_t got = c->stream.functions.read(c->work, 1, want, c->stream.handle);
    if (got == 0) {
        c->sourcePosition = c->dataBytes;
        return -1;
    }
    c->sourcePosition += static_cast<int64_t>(got);
    c->workFilled = static_cast<uint32_t>(got);
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
                if (!SeekTo(&c->stream, c->dataStart + c->sourcePosition)) return -1;
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

int RefillOgg(SoundConverter* c) {
    for (;;) {
        int section = 0;
        const long got = ov_read(&c->ogg, reinterpret_cast<char*>(c->work),
                                 static_cast<int>(c->workBytes), 0, c->oggBytesPerSample,
                                 c->oggBytesPerSample == 1 ? 0 : 1, &section);
        if (got == OV_HOLE) continue;  // a gap in the data: go on after it
        if (got <= 0) return -1;       // the end, or data that cannot be decoded
        // A chained stream whose next part has another layout would be read as noise.
        const vorbis_info* info = ov_info(&c->ogg, section);
        if (info == nullptr || info->channels != c->format.nChannels ||
            info->rate != static_cast<long>(c->format.nSamplesPerSec)) {
            return -1;
        }
        c->workFilled = static_cast<uint32_t>(got);
        return 0;
    }
}

int Refill(SoundConverter* c) {
    c->workOffset = 0;
    c->workFilled = 0;
    switch (c->kind) {
        case kSoundConverterPcm:
            return RefillPcm(c);
        case kSoundConverterAcm:
            return RefillAcm(c);
        default:
            return RefillOgg(c);
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

}  // namespace

int OpenSoundConverter(DataStream* stream, SoundConverter* converter) {
    SoundConverter& c = *converter;
    std::memset(&c, 0, sizeof(c));
    c.stream = *stream;
    int (*const readers[])(SoundConverter*) = {OpenWavePcm, OpenWaveAcm, OpenOggConverter,
                                               OpenMp3};
    bool opened = false;
    for (auto reader : readers) {
        if (!SeekTo(&c.stream, 0)) break;
        if (reader(&c) == 0) {
            opened = true;
            break;
        }
    }
    if (!opened) {
        std::memset(&c, 0, sizeof(c));
        return -1;
    }
    c.work = static_cast<unsigned char*>(ZN_ALLOC(c.workBytes));
    if (c.work == nullptr) {
        if (c.kind == kSoundConverterAcm) FreeAcm(&c);
        if (c.kind == kSoundConverterOgg) CloseOggConverter(&c);
        std::memset(&c, 0, sizeof(c));
        return -1;
    }
    c.workFilled = 0;
    c.workOffset = 0;
    c.bytePosition = 0;
    c.sourcePosition = 0;
    if (c.kind == kSoundConverterPcm) SeekTo(&c.stream, c.dataStart);
    c.valid = 1;
    return 0;
}

int CloseSoundConverter(SoundConverter* converter) {
    if (!converter->valid) return -1;
    TrackedFree(converter->work);
    converter->work = nullptr;
    if (converter->kind == kSoundConverterAcm) FreeAcm(converter);
    if (converter->kind == kSoundConverterOgg) CloseOggConverter(converter);
    converter->valid = 0;
    return 0;
}

int64_t ReadSoundConverter(SoundConverter* converter, void* buffer, int64_t bytes) {
    SoundConverter& c = *converter;
    if (!c.valid) return -1;
    if (c.end || bytes <= 0) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    int64_t delivered = 0;
    while (delivered < bytes) {
        if (c.workOffset >= c.workFilled) {
            if (Refill(&c) != 0) {
                c.end = 1;
                break;
            }
        }
        const int64_t waiting = c.workFilled - c.workOffset;
        const int64_t take = bytes - delivered < waiting ? bytes - delivered : waiting;
        std::memcpy(out + delivered, c.work + c.workOffset, static_cast<size_t>(take));
        c.workOffset += static_cast<uint32_t>(take);
        c.bytePosition += take;
        delivered += take;
    }
    return delivered;
}

int SeekSoundConverter(SoundConverter* converter, int64_t sample) {
    SoundConverter& c = *converter;
    if (!c.valid || sample < 0) return -1;
    const int64_t target = static_cast<int64_t>(c.format.nBlockAlign) * sample;
    const int64_t distance = target - c.bytePosition;
    if (distance > -16 && distance < 16) return 0;
    switch (c.kind) {
        case kSoundConverterPcm: {
            const int64_t clamped = target < c.dataBytes ? target : c.dataBytes;
            c.sourcePosition = clamped;
            c.workFilled = 0;
            c.workOffset = 0;
            if (!SeekTo(&c.stream, c.dataStart + clamped)) return -1;
            break;
        }
        case kSoundConverterAcm: {
            // Inside the bytes waiting in the work buffer: move the read offset there.
            const int64_t workStart = c.bytePosition - c.workOffset;
            if (target >= workStart && target < workStart + c.workFilled) {
                c.workOffset = static_cast<uint32_t>(target - workStart);
                break;
            }
            // Else convert from where the codec is (or from the start, for a target behind
            // it) and throw away the bytes before the target.
            if (target < c.bytePosition) RestartAcm(&c);
            c.end = 0;
            unsigned char scratch[4096];
            while (c.bytePosition < target) {
                const int64_t step = target - c.bytePosition < static_cast<int64_t>(sizeof(scratch))
                                         ? target - c.bytePosition
                                         : static_cast<int64_t>(sizeof(scratch));
                if (ReadSoundConverter(&c, scratch, step) <= 0) break;
            }
            break;
        }
        default:
            if (ov_pcm_seek(&c.ogg, sample) != 0) return -1;
            c.workFilled = 0;
            c.workOffset = 0;
            break;
    }
    c.bytePosition = target;
    c.end = 0;
    return 0;
}

int GetConverterFormat(const SoundConverter* converter, plat::WAVEFORMATEX* out) {
    std::memcpy(out, &converter->format, sizeof(plat::WAVEFORMATEX));
    return 0;
}

int64_t GetConverterPcmSize(const SoundConverter* converter) {
    const SoundConverter& c = *converter;
    switch (c.kind) {
        case kSoundConverterPcm:
            return c.dataBytes;
        case kSoundConverterAcm: {
            if (c.totalSamples >= 0) return c.totalSamples * c.format.nBlockAlign;
            uint32_t estimate = 0;
            if (c.dataBytes > 0xFFFFFFFFll ||
                plat::acmStreamSize(c.acmStream, static_cast<uint32_t>(c.dataBytes), &estimate,
                                    plat::ACM_STREAMSIZEF_SOURCE) != plat::MMSYSERR_NOERROR) {
                return -1;
            }
            return estimate;
        }
        default: {
            // One second more than the stream's length.
            const ogg_int64_t total = ov_pcm_total(const_cast<OggVorbis_File*>(&c.ogg), -1);
            if (total < 0) return -1;
            return (total + 44100) * c.format.nBlockAlign;
        }
    }
}

int ConvertWholeToPcm(SoundConverter* converter, plat::WAVEFORMATEX* format, void** pcm,
                      uint32_t* bytes) {
    SoundConverter& c = *converter;
    if (!c.valid) return -1;
    int64_t size = GetConverterPcmSize(&c);
    if (size <= 0 || size > kWholePcmBytesMax) return -1;
    // Whole sample frames.
    size -= size % c.format.nBlockAlign;
    if (size <= 0) return -1;
    void* block = ZN_ALLOC(static_cast<size_t>(size));
    if (block == nullptr) return -1;
    if (SeekSoundConverter(&c, 0) != 0) {
        TrackedFree(block);
        return -1;
    }
    int64_t got = ReadSoundConverter(&c, block, size);
    if (got < 0) got = 0;
    got -= got % c.format.nBlockAlign;
    // The PCM kind reports its whole block (a short read leaves the rest unwritten: silence).
    if (c.kind == kSoundConverterPcm) {
        if (got < size) {
            const unsigned char silence = c.format.wBitsPerSample == 8 ? 0x80 : 0;
            std::memset(static_cast<unsigned char*>(block) + got, silence,
                        static_cast<size_t>(size - got));
        }
        got = size;
    }
    *pcm = block;
    *bytes = static_cast<uint32_t>(got);
    *format = c.format;
    return 0;
}

void* BuildWaveFileImage(const void* format, uint32_t formatBytes, const void* data,
                         uint32_t dataBytes, uint32_t* imageBytes) {
    const uint64_t total = static_cast<uint64_t>(formatBytes) + dataBytes + 28;
    if (total > 0xFFFFFFFFull) return nullptr;
    auto* image = static_cast<unsigned char*>(ZN_ALLOC(static_cast<size_t>(total)));
    if (image == nullptr) return nullptr;
    auto put32 = [](unsigned char* p, uint32_t v) {
        p[0] = static_cast<unsigned char>(v);
        p[1] = static_cast<unsigned char>(v >> 8);
        p[2] = static_cast<unsigned char>(v >> 16);
        p[3] = static_cast<unsigned char>(v >> 24);
    };
    unsigned char* p = image;
    std::memcpy(p, "RIFF", 4);
    put32(p + 4, static_cast<uint32_t>(total - 8));
    std::memcpy(p + 8, "WAVE", 4);
    std::memcpy(p + 12, "fmt ", 4);
    put32(p + 16, formatBytes);
    p += 20;
    std::memcpy(p, format, formatBytes);
    p += formatBytes;
    std::memcpy(p, "data", 4);
    put32(p + 4, dataBytes);
    if (dataBytes != 0) std::memcpy(p + 8, data, dataBytes);
    if (imageBytes != nullptr) *imageBytes = static_cast<uint32_t>(total);
    return image;
}

void SetOggBytesPerSample(int32_t bytes) { oggBytesPerSample = bytes; }
