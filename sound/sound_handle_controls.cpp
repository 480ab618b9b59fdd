// The controls a sound handle's buffers are made with: volume, pan and frequency, set on
// every buffer the handle plays through.
#include <cmath>

#include "sound/sound_system.h"
#include "sound/stream/stream_ring.h"

namespace {

// The buffers that a handle's volume, pan and frequency are set on: its own, or for a stream
// handle the ring it plays through, which is its union handle's when it shares one (such a
// record holds no buffer itself). Null with count 0 when that ring is gone.
SoundBufferWrapper* HandleBuffers(SoundRecord* record, int32_t* count) {
    if (record->stream == 0) {
        *count = record->bufferCount;
        return record->buffers;
    }
    SoundRecord* holder = GetStreamRingHolder(record);
    *count = holder == nullptr ? 0 : 1;
    return holder == nullptr ? nullptr : holder->buffers;
}

}  // namespace

int32_t SoundVolumeToDecibels(int volume) {
    if (volume > 255) volume = 255;
    if (volume <= 0) return -10000;
    const int32_t value =
        static_cast<int32_t>(std::log10(volume * 0.00392156862745098) * 1000.0);
    return value < -10000 ? -10000 : value;
}

int SetSoundHandleVolume(int volume, HandleValue handle) {
    if (GetSoundOutput().device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    const int32_t decibels = SoundVolumeToDecibels(volume);
    int32_t count = 0;
    SoundBufferWrapper* buffers = HandleBuffers(record, &count);
    for (int32_t i = 0; i < count; ++i) SetBufferWrapperVolume(&buffers[i], decibels);
    return 0;
}

int SetSoundHandlePan(int pan, HandleValue handle) {
    if (GetSoundOutput().device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (pan < plat::DSBPAN_LEFT) pan = plat::DSBPAN_LEFT;
    if (pan > plat::DSBPAN_RIGHT) pan = plat::DSBPAN_RIGHT;
    int result = 0;
    int32_t count = 0;
    SoundBufferWrapper* buffers = HandleBuffers(record, &count);
    for (int32_t i = 0; i < count; ++i) {
        if (SetBufferWrapperPan(&buffers[i], pan) != 0) result = -1;
    }
    return result;
}

int SetSoundHandleFrequency(int frequency, HandleValue handle) {
    if (GetSoundOutput().device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    uint32_t value = plat::DSBFREQUENCY_ORIGINAL;
    if (frequency > 0) {
        value = static_cast<uint32_t>(frequency);
        if (value < plat::DSBFREQUENCY_MIN) value = plat::DSBFREQUENCY_MIN;
        if (value > plat::DSBFREQUENCY_MAX) value = plat::DSBFREQUENCY_MAX;
    }
    int result = 0;
    int32_t count = 0;
    SoundBufferWrapper* buffers = HandleBuffers(record, &count);
    for (int32_t i = 0; i < count; ++i) {
        if (SetBufferWrapperFrequency(&buffers[i], value) != 0) result = -1;
    }
    return result;
}
