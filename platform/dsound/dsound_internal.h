// Internal to the sound layer: the objects behind IDirectSound and IDirectSoundBuffer, and
// the layer's process-wide state that the test controls (sound_test_controls.h) set.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/dsound/dsound.h"
#include "platform/dsound/sound_mixer.h"

namespace plat::snd {

// Which sink Initialize gives a device.
enum class SinkChoice { Automatic, Null, Memory };

class DeviceImpl;

class BufferImpl final : public IDirectSoundBuffer {
public:
    BufferImpl(DeviceImpl* device, bool primary, uint32_t flags);
    ~BufferImpl() override;

    uint32_t AddRef() override;
    uint32_t Release() override;
    DSResult GetCaps(DSBCAPS* out) override;
    DSResult GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) override;
    DSResult GetFormat(WAVEFORMATEX* format, uint32_t size, uint32_t* written) override;
    DSResult GetVolume(int32_t* out) override;
    DSResult GetPan(int32_t* out) override;
    DSResult GetFrequency(uint32_t* out) override;
    DSResult GetStatus(uint32_t* out) override;
    DSResult Lock(uint32_t offset, uint32_t bytes, void** ptr1, uint32_t* bytes1, void** ptr2,
                  uint32_t* bytes2, uint32_t flags) override;
    DSResult Unlock(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) override;
    DSResult Play(uint32_t reserved1, uint32_t priority, uint32_t flags) override;
    DSResult Stop() override;
    DSResult SetCurrentPosition(uint32_t position) override;
    DSResult SetFormat(const WAVEFORMATEX* format) override;
    DSResult SetVolume(int32_t volume) override;
    DSResult SetPan(int32_t pan) override;
    DSResult SetFrequency(uint32_t frequency) override;
    DSResult Restore() override;

    // An open lock: a staging copy of the locked bytes.
    struct OpenLock {
        std::unique_ptr<uint8_t[]> staging;
        uint32_t offset = 0;
        uint32_t bytes1 = 0;
        uint32_t bytes2 = 0;
    };

    DeviceImpl* device;
    const bool primary;
    const uint32_t flags;
    std::atomic<uint32_t> refCount{1};
    // Secondary buffers: the voice in the device's mixer (guarded by the mixer's mutex, as
    // everything below).
    Voice voice;
    std::vector<OpenLock> locks;
    // Primary buffer: its format and whether it was played.
    WAVEFORMATEX primaryFormat = {};
    bool primaryPlaying = false;
};

class DeviceImpl final : public IDirectSound {
public:
    DeviceImpl();
    ~DeviceImpl() override;

    uint32_t AddRef() override;
    uint32_t Release() override;
    DSResult Initialize(const GUID* guid) override;
    DSResult SetCooperativeLevel(WindowHandle window, uint32_t level) override;
    DSResult CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out,
                               void* outer) override;
    DSResult GetCaps(DSCAPS* out) override;
    DSResult DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** out) override;
    DSResult Compact() override;
    DSResult GetSpeakerConfig(uint32_t* out) override;
    DSResult SetSpeakerConfig(uint32_t config) override;

    std::atomic<uint32_t> refCount{1};
    Mixer mixer;
    std::unique_ptr<AudioSink> sink;  // set by Initialize, then fixed until the end
    // Guarded by the mixer's mutex:
    bool initialized = false;
    uint32_t level = 0;
    uint32_t speakerConfig = 0;
    BufferImpl* primaryBuffer = nullptr;  // not a reference: cleared by its release
};

struct SoundLayerState {
    std::mutex mutex;
    SinkChoice sink = SinkChoice::Automatic;
    int failDeviceCreates = 0;
    int failInitializes = 0;
    int failBufferCreates = 0;
    int failDuplicates = 0;
    int failLocks = 0;
    int failLibraryLoads = 0;
    std::vector<DeviceImpl*> devices;  // live devices, oldest first
    int liveBuffers = 0;
};

// The identifier the enumeration gives the one output device (Initialize takes it, or null).
extern const GUID kMixerDeviceGuid;

SoundLayerState& LayerState();
// Takes one pending failure of the counter when there is one.
bool ConsumeFault(int SoundLayerState::*counter);

}  // namespace plat::snd
