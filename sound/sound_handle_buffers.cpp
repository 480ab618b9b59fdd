// A sound handle's buffers: made from the sound's format, copies of one buffer for a normal
// sound or one ring for a streaming sound, and the sound's PCM written into them.
#include "sound/sound_handle_buffers.h"

#include <cstring>

#include "base/fatal_exit.h"
#include "base/log.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"
#include "sound/stream/stream_ring.h"

namespace {

using plat::WAVEFORMATEX;

constexpr uint32_t kBufferFlags = plat::DSBCAPS_GLOBALFOCUS | plat::DSBCAPS_CTRLVOLUME |
                                  plat::DSBCAPS_CTRLPAN | plat::DSBCAPS_CTRLFREQUENCY |
                                  plat::DSBCAPS_STATIC;  // 0x80E2
constexpr uint32_t kBufferFlagsFallback =
    plat::DSBCAPS_CTRLVOLUME | plat::DSBCAPS_CTRLPAN | plat::DSBCAPS_STATIC;  // 0xC2

// One ring buffer of six seconds of the format's byte rate for a streaming sound, which then
// joins the stream list. A format the ring cannot take is refused with a log line (it comes
// from the sound data, so it must not end the program).
int CreateStreamRing(SoundRecord* record, const WAVEFORMATEX* format, HandleValue handle) {
    const uint64_t ringBytes =
        static_cast<uint64_t>(format->nAvgBytesPerSec) * kStreamRingSeconds;
    if (ringBytes > plat::DSBSIZE_MAX ||
        !SoundBufferCanHold(format, static_cast<uint32_t>(ringBytes))) {
        return LogFormat("ストリーム風サウンドバッファに使えない音声フォーマットです");
    }
    plat::DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = kBufferFlags | plat::DSBCAPS_GETCURRENTPOSITION2;  // 0x180E2
    desc.dwBufferBytes = static_cast<uint32_t>(ringBytes);
    desc.lpwfxFormat = format;
    if (CreateBufferWrapper(&record->buffers[0], &desc) != 0) {
        FatalExit("ストリーム風サウンドバッファの作成に失敗しました");
        return -1;
    }
    record->bufferCount = 1;
    for (int32_t& flag : record->skipCopy) flag = 0;
    record->stream = 1;
    record->format = *format;
    record->streaming.ringBytes = static_cast<int64_t>(ringBytes);
    AddToSoundStreamList(record, handle);
    return 0;
}

}  // namespace

bool SoundBufferCanHold(const WAVEFORMATEX* f, uint32_t bytes) {
    return f->wFormatTag == plat::WAVE_FORMAT_PCM && f->nChannels >= 1 && f->nChannels <= 2 &&
           (f->wBitsPerSample == 8 || f->wBitsPerSample == 16) &&
           f->nBlockAlign == f->nChannels * f->wBitsPerSample / 8 &&
           f->nSamplesPerSec >= plat::DSBFREQUENCY_MIN &&
           f->nSamplesPerSec <= plat::DSBFREQUENCY_MAX &&
           f->nAvgBytesPerSec == f->nSamplesPerSec * f->nBlockAlign &&
           bytes >= plat::DSBSIZE_MIN && bytes <= plat::DSBSIZE_MAX && bytes % f->nBlockAlign == 0;
}

int CopyPcmToBuffer(SoundRecord* record, SoundBufferWrapper* buffer) {
    const uint32_t pcmBytes = record->pcmBytes;
    void* ptr1 = nullptr;
    void* ptr2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    if (LockBufferWrapper(buffer, 0, pcmBytes, &ptr1, &bytes1, &ptr2, &bytes2) != 0) {
        return LogFormat("サウンドデータの転送に失敗しました_1");
    }
    const uint32_t first = bytes1 < pcmBytes ? bytes1 : pcmBytes;
    std::memcpy(ptr1, record->pcm, first);
    uint32_t second = 0;
    if (ptr2 != nullptr && first < pcmBytes) {
        second = bytes2 < pcmBytes - first ? bytes2 : pcmBytes - first;
        std::memcpy(ptr2, static_cast<const unsigned char*>(record->pcm) + first, second);
    }
    if (UnlockBufferWrapper(buffer, ptr1, first, ptr2, second) != 0) {
        return LogFormat("サウンドデータの転送に失敗しました_2");
    }
    return 0;
}

int CreateSoundHandleBuffers(const WAVEFORMATEX* format, uint32_t bytes, int mode,
                             int bufferCount, HandleValue handle) {
    if (GetSoundOutput().device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (mode != 0) return CreateStreamRing(record, format, handle);
    if (bufferCount < 1) bufferCount = 1;
    if (bufferCount > kSoundBuffersMax) bufferCount = kSoundBuffersMax;
    plat::DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = kBufferFlags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = format;
    if (CreateBufferWrapper(&record->buffers[0], &desc) != 0) {
        desc.dwFlags = kBufferFlagsFallback;
        if (CreateBufferWrapper(&record->buffers[0], &desc) != 0) {
            FatalExit("DirectSoundBuffer の作成に失敗しました");
            return -1;
        }
    }
    int32_t made = 1;
    while (made < bufferCount &&
           DuplicateBufferWrapper(&record->buffers[made], &record->buffers[0]) == 0) {
        ++made;
    }
    record->bufferCount = made;
    for (int32_t& flag : record->skipCopy) flag = 0;
    record->stream = mode;
    record->format = *format;
    return 0;
}
