// Internal to the sound layer: the mixer that sums the playing buffers of one device into
// 16-bit stereo at the output rate, and the sinks that take its output (dsound.h describes
// both). Everything in a Mixer, and in the voices it lists, is guarded by its mutex; the
// audio thread of a sink takes that mutex and nothing else.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/dsound/dsound_types.h"

namespace plat::snd {

inline constexpr uint32_t kOutputRate = 44100;
inline constexpr uint32_t kOutputChannels = 2;
// Gains are fixed point with this many fraction bits: 0 dB is exactly 1 << kGainBits.
inline constexpr int kGainBits = 14;

// The samples of a buffer, shared by the buffer and its duplicates.
struct SampleStore {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
};

// The play state of one secondary buffer.
struct Voice {
    std::shared_ptr<SampleStore> samples;
    WAVEFORMATEX format = {};
    uint32_t frames = 0;            // whole frames in the buffer
    uint64_t position = 0;          // 16.16 fixed-point frame position
    uint32_t frequency = 0;         // samples per second
    uint64_t step = 0;              // 16.16 frames per output frame
    int32_t volume = 0;             // hundredths of a decibel
    int32_t pan = 0;
    int32_t gainLeft = 1 << kGainBits;
    int32_t gainRight = 1 << kGainBits;
    bool playing = false;
    bool looping = false;
    bool lost = false;

    // Recomputes step from frequency and the gains from volume and pan.
    void UpdateStep();
    void UpdateGains();
};

// The gain factor for hundredths of a decibel: 10^(v / 2000) in kGainBits fixed point, 0 at
// -10000 and below.
int32_t GainForLevel(int32_t hundredthsOfDb);

class Mixer {
public:
    std::mutex mutex;
    std::vector<Voice*> voices;     // the device's secondary buffers
    uint64_t framesOut = 0;         // output frames mixed (or skipped) so far
    std::vector<int32_t> scratch;   // the 32-bit sums of one mix
    int32_t masterGain = 1 << kGainBits;  // the primary buffer's volume

    // Mixes frames output frames into out (interleaved left, right), or, with out null,
    // moves the voices as far as that mix would. Caller holds mutex.
    void MixLocked(int16_t* out, uint32_t frames);
    void AdvanceLocked(uint64_t frames);
};

// Where a device's mix goes.
enum class SinkKind { Null, Memory, Sdl2 };

class AudioSink {
public:
    virtual ~AudioSink() = default;
    virtual SinkKind Kind() const = 0;
    virtual const char* Name() const = 0;
    // Called with the mixer's mutex held before the device reads or changes play state:
    // a clocked sink mixes up to the present here.
    virtual void CatchUpLocked() {}
};

// The memory sink (platform/backend/headless): nothing moves until RenderLocked.
class MemoryAudioSink : public AudioSink {
public:
    explicit MemoryAudioSink(Mixer* mixer) : mixer_(mixer) {}
    SinkKind Kind() const override { return SinkKind::Memory; }
    const char* Name() const override { return "memory"; }
    // Mixes frames output frames, appends them to the record and, when out is given, to out.
    // Caller holds the mixer's mutex.
    void RenderLocked(uint32_t frames, std::vector<int16_t>* out);
    // Everything mixed so far (interleaved stereo).
    const std::vector<int16_t>& RecordLocked() const { return record_; }

private:
    Mixer* mixer_;
    std::vector<int16_t> record_;
};

}  // namespace plat::snd
