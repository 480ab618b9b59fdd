// The presentation behind a multimedia stream: its clock on the platform clock, and the
// default audio renderer, one secondary buffer of a sound device of its own.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/core/clock.h"
#include "platform/dsound/dsound.h"
#include "platform/media/media_internal.h"

namespace plat::media {

namespace {
constexpr uint32_t kAudioBlock = 4;  // 16-bit stereo
// The default renderer follows no window; the sound layer asks for one at the normal level
// but only keeps it, so a token stands in for it.
constexpr WindowHandle kRendererWindow = 1;
}  // namespace

int64_t PlatformTime100ns() {
    const uint64_t ticks = PerformanceCounter();
    const uint64_t frequency = PerformanceFrequency();
    if (frequency == 0) return 0;
    const unsigned __int128 scaled = static_cast<unsigned __int128>(ticks) * kStreamTimeUnits;
    return static_cast<int64_t>(scaled / frequency);
}

uint32_t AudioByteOffset(int64_t time) {
    if (time <= 0) return 0;
    // Past what any buffer holds: the end.
    constexpr int64_t kLastFrame = UINT32_MAX / kAudioBlock;
    const int64_t frames = time / kStreamTimeUnits * 44100 + time % kStreamTimeUnits * 44100 /
                                                                 kStreamTimeUnits;
    return static_cast<uint32_t>(std::min(frames, kLastFrame)) * kAudioBlock;
}

Presentation::~Presentation() {
    if (audio != nullptr) {
        audio->Stop();
        audio->Release();
    }
    if (sound != nullptr) sound->Release();
    video.reset();
    if (directDraw != nullptr) directDraw->Release();
}

int64_t Presentation::Now() const {
    if (!running) return base;
    const int64_t elapsed = PlatformTime100ns() - runStart;
    return base + (elapsed > 0 ? elapsed : 0);
}

void Presentation::SetRunning(bool run) {
    if (run == running) return;
    base = Now();
    running = run;
    runStart = PlatformTime100ns();
    SyncAudio();
}

void Presentation::SeekTo(int64_t time) {
    // Far enough for any file, and far from overflowing when the clock is added.
    constexpr int64_t kLatest = INT64_C(1) << 60;
    base = std::clamp<int64_t>(time, 0, kLatest);
    runStart = PlatformTime100ns();
    if (video != nullptr) video->SeekTo(base);
    SyncAudio();
}

bool Presentation::StartAudio(const std::vector<int16_t>& samples) {
    const size_t bytes = samples.size() * sizeof(int16_t) / kAudioBlock * kAudioBlock;
    if (bytes < kAudioBlock) return true;  // no audio to play
    if (DirectSoundCreate(nullptr, &sound, nullptr) < 0) {
        sound = nullptr;
        return false;
    }
    if (sound->SetCooperativeLevel(kRendererWindow, DSSCL_NORMAL) < 0) return false;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = kAudioBlock;
    format.nAvgBytesPerSec = 44100 * kAudioBlock;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS;
    desc.dwBufferBytes = static_cast<uint32_t>(bytes);
    desc.lpwfxFormat = &format;
    if (sound->CreateSoundBuffer(&desc, &audio, nullptr) < 0) {
        audio = nullptr;
        return false;
    }
    void* region = nullptr;
    uint32_t regionBytes = 0;
    if (audio->Lock(0, desc.dwBufferBytes, &region, &regionBytes, nullptr, nullptr, 0) < 0) {
        return false;
    }
    std::memcpy(region, samples.data(), regionBytes);
    audio->Unlock(region, regionBytes, nullptr, 0);
    audioBytes = desc.dwBufferBytes;
    return true;
}

void Presentation::SyncAudio() {
    if (audio == nullptr) return;
    audio->Stop();
    const int64_t now = Now();
    const uint32_t offset = AudioByteOffset(now);
    if (offset >= audioBytes) return;
    audio->SetCurrentPosition(offset);
    if (running) audio->Play(0, 0, 0);
}

}  // namespace plat::media
