#include "platform/testing/sound_test_controls.h"

#include "platform/dsound/dsound_internal.h"

namespace plat {

namespace {

snd::SoundLayerState& State() { return snd::LayerState(); }

void SetCounter(int snd::SoundLayerState::*counter, int count) {
    std::lock_guard<std::mutex> hold(State().mutex);
    State().*counter = count;
}

// The newest live device with the memory sink, or null; called with the layer's mutex held.
snd::DeviceImpl* NewestMemoryDevice() {
    auto& devices = State().devices;
    for (auto it = devices.rbegin(); it != devices.rend(); ++it) {
        snd::DeviceImpl* d = *it;
        std::lock_guard<std::mutex> hold(d->mixer.mutex);
        if (d->sink != nullptr && d->sink->Kind() == snd::SinkKind::Memory) return d;
    }
    return nullptr;
}

}  // namespace

void UseSoundSink(SoundSink sink) {
    std::lock_guard<std::mutex> hold(State().mutex);
    State().sink = sink == SoundSink::Memory ? snd::SinkChoice::Memory
                   : sink == SoundSink::Null ? snd::SinkChoice::Null
                                             : snd::SinkChoice::Automatic;
}

bool RenderSoundOutput(uint32_t frames, std::vector<int16_t>* out) {
    std::lock_guard<std::mutex> hold(State().mutex);
    snd::DeviceImpl* d = NewestMemoryDevice();
    if (d == nullptr) return false;
    std::lock_guard<std::mutex> mix(d->mixer.mutex);
    static_cast<snd::MemoryAudioSink*>(d->sink.get())->RenderLocked(frames, out);
    return true;
}

std::vector<int16_t> SoundOutputRecord() {
    std::lock_guard<std::mutex> hold(State().mutex);
    snd::DeviceImpl* d = NewestMemoryDevice();
    if (d == nullptr) return {};
    std::lock_guard<std::mutex> mix(d->mixer.mutex);
    return static_cast<snd::MemoryAudioSink*>(d->sink.get())->RecordLocked();
}

const char* CurrentSoundSinkName() {
    std::lock_guard<std::mutex> hold(State().mutex);
    if (State().devices.empty()) return nullptr;
    snd::DeviceImpl* d = State().devices.back();
    std::lock_guard<std::mutex> mix(d->mixer.mutex);
    return d->sink != nullptr ? d->sink->Name() : nullptr;
}

int LiveSoundDevices() {
    std::lock_guard<std::mutex> hold(State().mutex);
    return static_cast<int>(State().devices.size());
}

int LiveSoundBuffers() {
    std::lock_guard<std::mutex> hold(State().mutex);
    return State().liveBuffers;
}

void FailNextSoundDeviceCreates(int count) { SetCounter(&snd::SoundLayerState::failDeviceCreates, count); }
void FailNextSoundInitializes(int count) { SetCounter(&snd::SoundLayerState::failInitializes, count); }
void FailNextSoundBufferCreates(int count) { SetCounter(&snd::SoundLayerState::failBufferCreates, count); }
void FailNextSoundDuplicates(int count) { SetCounter(&snd::SoundLayerState::failDuplicates, count); }
void FailNextSoundLocks(int count) { SetCounter(&snd::SoundLayerState::failLocks, count); }
void FailNextSoundLibraryLoads(int count) { SetCounter(&snd::SoundLayerState::failLibraryLoads, count); }

void LoseSoundBuffers() {
    std::lock_guard<std::mutex> hold(State().mutex);
    for (snd::DeviceImpl* d : State().devices) {
        std::lock_guard<std::mutex> mix(d->mixer.mutex);
        if (d->sink != nullptr) d->sink->CatchUpLocked();
        for (snd::Voice* v : d->mixer.voices) {
            v->lost = true;
            v->playing = false;
        }
    }
}

void ResetSoundTestControls() {
    std::lock_guard<std::mutex> hold(State().mutex);
    State().sink = snd::SinkChoice::Automatic;
    State().failDeviceCreates = 0;
    State().failInitializes = 0;
    State().failBufferCreates = 0;
    State().failDuplicates = 0;
    State().failLocks = 0;
    State().failLibraryLoads = 0;
}

}  // namespace plat
