// The reader of Ogg Vorbis: vorbisfile decodes the pages read through the converter's stream,
// into 16-bit samples (or unsigned 8-bit when the sound output asks for one byte a sample).
#include "sound/converter/converter_readers.h"

namespace {

int32_t oggBytesPerSample = 2;

constexpr uint32_t kOggWorkBytes = 4096;
// A length no real stream has; a larger one comes from damaged granule positions.
constexpr int64_t kOggSamplesMax = int64_t{1} << 40;

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

}  // namespace

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
    c->format = MakePcmFormat(static_cast<uint32_t>(info->channels),
                              static_cast<uint32_t>(info->rate), static_cast<uint32_t>(bytes) * 8);
    c->dataBytes = total * info->channels * bytes;
    c->kind = kSoundConverterOgg;
    c->workBytes = kOggWorkBytes;
    return 0;
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

void SetOggBytesPerSample(int32_t bytes) { oggBytesPerSample = bytes; }
