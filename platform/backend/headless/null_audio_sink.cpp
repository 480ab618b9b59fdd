// The clocked null sink: the mix follows the platform clock and goes nowhere, so buffers play,
// end and loop in time without an output device. Under the virtual clock the time is read
// without moving it, so a run's sound positions depend on its timeline alone.
#include <memory>

#include "platform/backend/backend_entries.h"
#include "platform/core/clock.h"
#include "platform/dsound/sound_mixer.h"

namespace plat::snd {

namespace {

class NullAudioSink final : public AudioSink {
public:
    explicit NullAudioSink(Mixer* mixer) : mixer_(mixer) { Rebase(Now()); }

    SinkKind Kind() const override { return SinkKind::Null; }
    const char* Name() const override { return "null"; }

    void CatchUpLocked() override {
        const Reading now = Now();
        // A switch between the real and the virtual clock, or a clock that went back, starts
        // counting anew from here.
        if (now.isVirtual != base_.isVirtual || now.microseconds < base_.microseconds) {
            Rebase(now);
            return;
        }
        const uint64_t elapsed = now.microseconds - base_.microseconds;
        const uint64_t due = framesAtBase_ + elapsed / 1000000 * kOutputRate +
                             elapsed % 1000000 * kOutputRate / 1000000;
        if (due > mixer_->framesOut) mixer_->AdvanceLocked(due - mixer_->framesOut);
    }

private:
    struct Reading {
        bool isVirtual;
        uint64_t microseconds;
    };

    static Reading Now() {
        if (VirtualClockInUse()) return {true, VirtualClockMicroseconds()};
        const uint64_t ticks = PerformanceCounter();
        const uint64_t perSecond = PerformanceFrequency();
        return {false, ticks / perSecond * 1000000 + ticks % perSecond * 1000000 / perSecond};
    }

    void Rebase(const Reading& now) {
        base_ = now;
        framesAtBase_ = mixer_->framesOut;
    }

    Mixer* mixer_;
    Reading base_ = {};
    uint64_t framesAtBase_ = 0;
};

}  // namespace

std::unique_ptr<AudioSink> MakeHeadlessNullAudioSink(Mixer* mixer) {
    return std::make_unique<NullAudioSink>(mixer);
}

}  // namespace plat::snd
