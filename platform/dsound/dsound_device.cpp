// The device object: initialisation and the choice of sink, cooperative level, buffer
// creation and duplication, caps.
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/core/clock.h"
#include "platform/dsound/dsound_internal.h"
#include "platform/window/backend_record.h"
#include "platform/window/window_backend.h"

namespace plat::snd {

SoundLayerState& LayerState() {
    static SoundLayerState state;
    return state;
}

bool ConsumeFault(int SoundLayerState::*counter) {
    SoundLayerState& s = LayerState();
    std::lock_guard<std::mutex> hold(s.mutex);
    if (s.*counter <= 0) return false;
    --(s.*counter);
    return true;
}

namespace {

// A playable PCM format: 1 or 2 channels of 8 or 16 bits at 100..200000 Hz with the block
// align and byte rate that follow.
bool PlayableFormat(const WAVEFORMATEX& f) {
    if (f.wFormatTag != WAVE_FORMAT_PCM) return false;
    if (f.nChannels < 1 || f.nChannels > 2) return false;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) return false;
    if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX) return false;
    if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8) return false;
    return f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
}

std::unique_ptr<AudioSink> ChooseSink(Mixer* mixer) {
    SinkChoice choice;
    {
        SoundLayerState& s = LayerState();
        std::lock_guard<std::mutex> hold(s.mutex);
        choice = s.sink;
    }
    if (choice == SinkChoice::Memory) return std::make_unique<MemoryAudioSink>(mixer);
    // The audio output of the window backend's record (SDL's device with the SDL2 backend), on
    // the backend's thread and with the real clock (under the virtual clock the output has to
    // follow the run's own time).
    if (choice == SinkChoice::Automatic && !VirtualClockInUse() && OnBackendThread()) {
        if (std::unique_ptr<AudioSink> output = BackendRecordInUse().openAudio(mixer)) {
            return output;
        }
    }
    return BackendRecordInUse().makeNullSink(mixer);
}

}  // namespace

DeviceImpl::DeviceImpl() {
    SoundLayerState& s = LayerState();
    std::lock_guard<std::mutex> hold(s.mutex);
    s.devices.push_back(this);
}

DeviceImpl::~DeviceImpl() {
    {
        SoundLayerState& s = LayerState();
        std::lock_guard<std::mutex> hold(s.mutex);
        s.devices.erase(std::remove(s.devices.begin(), s.devices.end(), this), s.devices.end());
    }
    // The sink goes before the mixer: an audio thread stops pulling first.
    sink.reset();
}

uint32_t DeviceImpl::AddRef() { return ++refCount; }

uint32_t DeviceImpl::Release() {
    const uint32_t left = --refCount;
    if (left == 0) delete this;
    return left;
}

DSResult DeviceImpl::Initialize(const GUID* guid) {
    {
        std::lock_guard<std::mutex> hold(mixer.mutex);
        if (initialized) return DSERR_ALREADYINITIALIZED;
    }
    // The primary sound driver (null) and the device behind it are the same output.
    if (guid != nullptr && std::memcmp(guid, &kMixerDeviceGuid, sizeof(GUID)) != 0) {
        return DSERR_NODRIVER;
    }
    if (ConsumeFault(&SoundLayerState::failInitializes)) return DSERR_NODRIVER;
    std::unique_ptr<AudioSink> chosen = ChooseSink(&mixer);
    {
        std::lock_guard<std::mutex> hold(mixer.mutex);
        if (!initialized) {
            sink = std::move(chosen);
            initialized = true;
            return DS_OK;
        }
    }
    // Another thread initialised the device meanwhile: this sink goes, outside the mixer's
    // lock (an audio thread may be waiting for it).
    chosen.reset();
    return DSERR_ALREADYINITIALIZED;
}

DSResult DeviceImpl::SetCooperativeLevel(WindowHandle window, uint32_t newLevel) {
    std::lock_guard<std::mutex> hold(mixer.mutex);
    if (!initialized) return DSERR_NOTINITIALIZED;
    if (window == 0 || newLevel < DSSCL_NORMAL || newLevel > DSSCL_WRITEPRIMARY) {
        return DSERR_INVALIDPARAM;
    }
    level = newLevel;
    return DS_OK;
}

DSResult DeviceImpl::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out,
                                       void* outer) {
    if (out == nullptr) return DSERR_INVALIDPARAM;
    *out = nullptr;
    if (outer != nullptr) return DSERR_NOAGGREGATION;
    if (desc == nullptr || desc->dwSize != sizeof(DSBUFFERDESC)) return DSERR_INVALIDPARAM;
    {
        std::lock_guard<std::mutex> hold(mixer.mutex);
        if (!initialized) return DSERR_NOTINITIALIZED;
        if (level == 0) return DSERR_PRIOLEVELNEEDED;
        if ((desc->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0) {
            if (desc->dwBufferBytes != 0 || desc->lpwfxFormat != nullptr) return DSERR_INVALIDPARAM;
            if (primaryBuffer != nullptr) {
                primaryBuffer->AddRef();
                *out = primaryBuffer;
                return DS_OK;
            }
        }
    }
    if (ConsumeFault(&SoundLayerState::failBufferCreates)) return DSERR_OUTOFMEMORY;

    if ((desc->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0) {
        auto* buffer = new (std::nothrow) BufferImpl(this, true, desc->dwFlags);
        if (buffer == nullptr) return DSERR_OUTOFMEMORY;
        buffer->primaryFormat = WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
        std::lock_guard<std::mutex> hold(mixer.mutex);
        primaryBuffer = buffer;
        *out = buffer;
        return DS_OK;
    }

    if (desc->lpwfxFormat == nullptr) return DSERR_INVALIDPARAM;
    const WAVEFORMATEX format = *desc->lpwfxFormat;
    if (!PlayableFormat(format)) return DSERR_BADFORMAT;
    if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX ||
        desc->dwBufferBytes < format.nBlockAlign) {
        return DSERR_INVALIDPARAM;
    }
    auto store = std::make_shared<SampleStore>();
    store->bytes.reset(new (std::nothrow) uint8_t[desc->dwBufferBytes]);
    if (store->bytes == nullptr) return DSERR_OUTOFMEMORY;
    store->size = desc->dwBufferBytes;
    std::memset(store->bytes.get(), format.wBitsPerSample == 8 ? 128 : 0, store->size);

    auto* buffer = new (std::nothrow) BufferImpl(this, false, desc->dwFlags);
    if (buffer == nullptr) return DSERR_OUTOFMEMORY;
    Voice& v = buffer->voice;
    v.samples = std::move(store);
    v.format = format;
    v.format.cbSize = 0;
    v.frames = desc->dwBufferBytes / format.nBlockAlign;
    v.frequency = format.nSamplesPerSec;
    v.UpdateStep();
    v.UpdateGains();
    std::lock_guard<std::mutex> hold(mixer.mutex);
    mixer.voices.push_back(&buffer->voice);
    *out = buffer;
    return DS_OK;
}

DSResult DeviceImpl::DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** out) {
    if (out == nullptr) return DSERR_INVALIDPARAM;
    *out = nullptr;
    if (original == nullptr) return DSERR_INVALIDPARAM;
    auto* source = static_cast<BufferImpl*>(original);
    {
        std::lock_guard<std::mutex> hold(mixer.mutex);
        if (!initialized) return DSERR_NOTINITIALIZED;
        if (source->device != this || source->primary) return DSERR_INVALIDCALL;
    }
    if (ConsumeFault(&SoundLayerState::failDuplicates)) return DSERR_OUTOFMEMORY;
    auto* buffer = new (std::nothrow) BufferImpl(this, false, source->flags);
    if (buffer == nullptr) return DSERR_OUTOFMEMORY;
    std::lock_guard<std::mutex> hold(mixer.mutex);
    Voice& v = buffer->voice;
    const Voice& from = source->voice;
    v.samples = from.samples;
    v.format = from.format;
    v.frames = from.frames;
    v.frequency = from.frequency;
    v.volume = from.volume;
    v.pan = from.pan;
    v.lost = from.lost;
    v.UpdateStep();
    v.UpdateGains();
    mixer.voices.push_back(&buffer->voice);
    *out = buffer;
    return DS_OK;
}

DSResult DeviceImpl::GetCaps(DSCAPS* out) {
    if (out == nullptr || out->dwSize != sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(mixer.mutex);
    if (!initialized) return DSERR_NOTINITIALIZED;
    std::memset(out, 0, sizeof(DSCAPS));
    out->dwSize = sizeof(DSCAPS);
    out->dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT |
                   DSCAPS_PRIMARY16BIT | DSCAPS_CONTINUOUSRATE | DSCAPS_EMULDRIVER |
                   DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT |
                   DSCAPS_SECONDARY16BIT;
    out->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
    out->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
    out->dwPrimaryBuffers = 1;
    // Everything is mixed in software: no hardware buffers or memory.
    out->dwPlayCpuOverheadSwBuffers = 1;
    return DS_OK;
}

DSResult DeviceImpl::Compact() {
    std::lock_guard<std::mutex> hold(mixer.mutex);
    if (!initialized) return DSERR_NOTINITIALIZED;
    return level >= DSSCL_PRIORITY ? DS_OK : DSERR_PRIOLEVELNEEDED;
}

DSResult DeviceImpl::GetSpeakerConfig(uint32_t* out) {
    if (out == nullptr) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(mixer.mutex);
    if (!initialized) return DSERR_NOTINITIALIZED;
    *out = speakerConfig;
    return DS_OK;
}

DSResult DeviceImpl::SetSpeakerConfig(uint32_t config) {
    std::lock_guard<std::mutex> hold(mixer.mutex);
    if (!initialized) return DSERR_NOTINITIALIZED;
    speakerConfig = config;
    return DS_OK;
}

}  // namespace plat::snd

namespace plat {

DSResult CoCreateDirectSound(IDirectSound** out) {
    if (out == nullptr) return DSERR_INVALIDPARAM;
    *out = nullptr;
    if (snd::ConsumeFault(&snd::SoundLayerState::failDeviceCreates)) return DSERR_GENERIC;
    auto* device = new (std::nothrow) snd::DeviceImpl;
    if (device == nullptr) return DSERR_OUTOFMEMORY;
    *out = device;
    return DS_OK;
}

DSResult DirectSoundCreate(const GUID* guid, IDirectSound** out, void* outer) {
    if (out == nullptr) return DSERR_INVALIDPARAM;
    *out = nullptr;
    if (outer != nullptr) return DSERR_NOAGGREGATION;
    IDirectSound* device = nullptr;
    DSResult r = CoCreateDirectSound(&device);
    if (!DSSucceeded(r)) return r;
    r = device->Initialize(guid);
    if (!DSSucceeded(r)) {
        device->Release();
        return r;
    }
    *out = device;
    return DS_OK;
}

}  // namespace plat
