// The converter's entries: the open that tries each reader in turn, reads and seeks over the
// decoded bytes through the work buffer, the size and format of the output, and the whole
// decode a load makes.
#include "sound/converter/sound_converter.h"

#include <cstring>

#include "base/tracked_memory.h"
#include "sound/converter/converter_readers.h"

namespace {

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

}  // namespace

int OpenSoundConverter(DataStream* stream, SoundConverter* converter) {
    SoundConverter& c = *converter;
    std::memset(&c, 0, sizeof(c));
    c.stream = *stream;
    int (*const readers[])(SoundConverter*) = {OpenWavePcm, OpenWaveAcm, OpenOggConverter,
                                               OpenMp3};
    bool opened = false;
    for (auto reader : readers) {
        if (!SeekConverterStream(&c.stream, 0)) break;
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
    if (c.kind == kSoundConverterPcm) SeekConverterStream(&c.stream, c.dataStart);
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
            if (!SeekConverterStream(&c.stream, c.dataStart + clamped)) return -1;
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
