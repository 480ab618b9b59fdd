#include "sound/sound_buffer_wrapper.h"

#include <cmath>
#include <cstring>

#include "base/tracked_memory.h"

namespace {

int32_t softwareMode = 0;
plat::IDirectSound* device = nullptr;

uint32_t SoftwareBytes(const SoundBufferWrapper* wrapper) {
    return static_cast<uint32_t>(wrapper->length) * wrapper->format.nBlockAlign;
}

// A software buffer over its new memory: stopped at the start, not looping, full volume.
void StartSoftwareBuffer(SoundBufferWrapper* wrapper, unsigned char* memory) {
    wrapper->memory = memory;
    wrapper->playing = 0;
    wrapper->position = 0;
    wrapper->loop = 0;
    wrapper->loopStart = 0;
    wrapper->loopEnd = -1;
    wrapper->volume = 255;
}

}  // namespace

void SetSoundBufferSoftwareMode(int32_t mode) { softwareMode = mode; }
void SetSoundBufferDevice(plat::IDirectSound* soundDevice) { device = soundDevice; }

int32_t SoftwareVolumeFactor(int32_t volume) {
    if (volume <= -10000) return 0;
    if (volume >= 0) return 256;
    return static_cast<int32_t>(std::pow(10.0, volume / 1000.0) * 1.0000000001 * 256.0);
}

int CreateBufferWrapper(SoundBufferWrapper* wrapper, const plat::DSBUFFERDESC* desc) {
    if (wrapper->valid) return -1;
    if (softwareMode == 0) {
        if (device == nullptr) return -1;
        plat::IDirectSoundBuffer* buffer = nullptr;
        if (!plat::DSSucceeded(device->CreateSoundBuffer(desc, &buffer, nullptr))) return -1;
        wrapper->buffer = buffer;
    } else {
        if (desc->lpwfxFormat == nullptr || desc->lpwfxFormat->nBlockAlign == 0 ||
            desc->dwBufferBytes < desc->lpwfxFormat->nBlockAlign) {
            return -1;
        }
        auto* memory = static_cast<unsigned char*>(ZN_ALLOC_ZERO(desc->dwBufferBytes));
        if (memory == nullptr) return -1;
        StartSoftwareBuffer(wrapper, memory);
        wrapper->length =
            static_cast<int32_t>(desc->dwBufferBytes / desc->lpwfxFormat->nBlockAlign);
        std::memcpy(&wrapper->format, desc->lpwfxFormat, sizeof(plat::WAVEFORMATEX));
    }
    wrapper->valid = 1;
    return 0;
}

int DuplicateBufferWrapper(SoundBufferWrapper* wrapper, const SoundBufferWrapper* source) {
    if (wrapper->valid || !source->valid) return -1;
    if (softwareMode == 0) {
        if (device == nullptr) return -1;
        plat::IDirectSoundBuffer* buffer = nullptr;
        if (!plat::DSSucceeded(device->DuplicateSoundBuffer(source->buffer, &buffer))) {
            return -1;
        }
        wrapper->buffer = buffer;
    } else {
        // New memory of the same size; the samples are not copied.
        auto* memory = static_cast<unsigned char*>(ZN_ALLOC_ZERO(SoftwareBytes(source)));
        if (memory == nullptr) return -1;
        StartSoftwareBuffer(wrapper, memory);
        wrapper->length = source->length;
        wrapper->format = source->format;
    }
    wrapper->valid = 1;
    return 0;
}

int ReleaseBufferWrapper(SoundBufferWrapper* wrapper) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        wrapper->buffer->Release();
        wrapper->buffer = nullptr;
    } else {
        TrackedFree(wrapper->memory);
        wrapper->memory = nullptr;
    }
    wrapper->valid = 0;
    return 0;
}

int PlayBufferWrapper(SoundBufferWrapper* wrapper, int loop) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        wrapper->buffer->Play(0, 0, loop ? plat::DSBPLAY_LOOPING : 0);
    } else {
        wrapper->playing = 1;
        wrapper->loop = loop;
    }
    return 0;
}

int StopBufferWrapper(SoundBufferWrapper* wrapper) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        wrapper->buffer->Stop();
    } else {
        wrapper->playing = 0;
    }
    return 0;
}

int QueryBufferWrapperStatus(SoundBufferWrapper* wrapper, uint32_t* status) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        uint32_t value = 0;
        if (!plat::DSSucceeded(wrapper->buffer->GetStatus(&value))) return -1;
        if (status != nullptr) *status = value;
    } else if (status != nullptr) {
        *status = wrapper->playing ? 1 : 0;
    }
    return 0;
}

int LockBufferWrapper(SoundBufferWrapper* wrapper, uint32_t offset, uint32_t bytes,
                      void** ptr1, uint32_t* bytes1, void** ptr2, uint32_t* bytes2) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        return plat::DSSucceeded(
                   wrapper->buffer->Lock(offset, bytes, ptr1, bytes1, ptr2, bytes2, 0))
                   ? 0
                   : -1;
    }
    const uint32_t size = SoftwareBytes(wrapper);
    if (offset >= size || bytes == 0 || bytes > size) return -1;
    *ptr1 = wrapper->memory + offset;
    if (bytes > size - offset) {
        *bytes1 = size - offset;
        if (ptr2 != nullptr) *ptr2 = wrapper->memory;
        if (bytes2 != nullptr) *bytes2 = bytes - (size - offset);
    } else {
        *bytes1 = bytes;
        if (ptr2 != nullptr) *ptr2 = nullptr;
        if (bytes2 != nullptr) *bytes2 = 0;
    }
    return 0;
}

int UnlockBufferWrapper(SoundBufferWrapper* wrapper, void* ptr1, uint32_t bytes1, void* ptr2,
                        uint32_t bytes2) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        return plat::DSSucceeded(wrapper->buffer->Unlock(ptr1, bytes1, ptr2, bytes2)) ? 0 : -1;
    }
    return 0;
}

int RestoreBufferWrapper(SoundBufferWrapper* wrapper) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        return plat::DSSucceeded(wrapper->buffer->Restore()) ? 0 : -1;
    }
    return 0;
}

int SetBufferWrapperVolume(SoundBufferWrapper* wrapper, int32_t volume) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        wrapper->buffer->SetVolume(volume);
    } else {
        wrapper->volume = SoftwareVolumeFactor(volume);
    }
    return 0;
}

int SetBufferWrapperPan(SoundBufferWrapper* wrapper, int32_t pan) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        return plat::DSSucceeded(wrapper->buffer->SetPan(pan)) ? 0 : -1;
    }
    return 0;
}

int SetBufferWrapperFrequency(SoundBufferWrapper* wrapper, uint32_t frequency) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        return plat::DSSucceeded(wrapper->buffer->SetFrequency(frequency)) ? 0 : -1;
    }
    return 0;
}

int SetBufferWrapperPosition(SoundBufferWrapper* wrapper, uint32_t bytePosition) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        return plat::DSSucceeded(wrapper->buffer->SetCurrentPosition(bytePosition)) ? 0 : -1;
    }
    const int32_t frame = static_cast<int32_t>(bytePosition / wrapper->format.nBlockAlign);
    wrapper->position = frame < wrapper->length ? frame : 0;
    return 0;
}

int GetBufferWrapperPosition(SoundBufferWrapper* wrapper, uint32_t* bytePosition) {
    if (!wrapper->valid) return -1;
    if (softwareMode == 0) {
        uint32_t play = 0;
        if (!plat::DSSucceeded(wrapper->buffer->GetCurrentPosition(&play, nullptr))) return -1;
        *bytePosition = play;
    } else {
        *bytePosition = static_cast<uint32_t>(wrapper->position) * wrapper->format.nBlockAlign;
    }
    return 0;
}
