#include "platform/dsound/sound_mixer.h"

#include <algorithm>
#include <cmath>

namespace plat::snd {

namespace {

// One channel's sample of frame index (0 left, 1 right; mono feeds both), widened to 16 bits.
int32_t SampleAt(const Voice& v, uint32_t index, uint32_t channel) {
    const uint8_t* frame = v.samples->bytes.get() + static_cast<size_t>(index) * v.format.nBlockAlign;
    const uint32_t c = v.format.nChannels == 2 ? channel : 0;
    if (v.format.wBitsPerSample == 8) return (static_cast<int32_t>(frame[c]) - 128) * 256;
    const uint8_t* p = frame + c * 2;
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

// Interpolated sample at the voice's position; a looping voice reads across its end into
// frame 0, a one-shot holds its last frame.
int32_t Interpolated(const Voice& v, uint32_t index, uint32_t frac, uint32_t channel) {
    const int32_t s0 = SampleAt(v, index, channel);
    if (frac == 0) return s0;
    uint32_t next = index + 1;
    if (next >= v.frames) next = v.looping ? 0 : index;
    const int32_t s1 = SampleAt(v, next, channel);
    return s0 + static_cast<int32_t>((static_cast<int64_t>(s1 - s0) * frac) >> 16);
}

// Moves the position by delta (16.16); wraps a looping voice, stops a one-shot at its end
// (its position then returns to 0).
void Move(Voice& v, uint64_t delta) {
    const uint64_t end = static_cast<uint64_t>(v.frames) << 16;
    uint64_t pos = v.position + delta;
    if (pos >= end) {
        if (v.looping) {
            pos %= end;
        } else {
            v.playing = false;
            pos = 0;
        }
    }
    v.position = pos;
}

}  // namespace

int32_t GainForLevel(int32_t hundredthsOfDb) {
    if (hundredthsOfDb <= DSBVOLUME_MIN) return 0;
    if (hundredthsOfDb >= 0) return 1 << kGainBits;
    const double factor = std::pow(10.0, hundredthsOfDb / 2000.0);
    return static_cast<int32_t>(std::lround(factor * (1 << kGainBits)));
}

void Voice::UpdateStep() {
    step = (static_cast<uint64_t>(frequency) << 16) / kOutputRate;
    if (step == 0) step = 1;
}

void Voice::UpdateGains() {
    const int64_t base = GainForLevel(volume);
    const int64_t left = pan > 0 ? GainForLevel(-pan) : (1 << kGainBits);
    const int64_t right = pan < 0 ? GainForLevel(pan) : (1 << kGainBits);
    gainLeft = static_cast<int32_t>((base * left) >> kGainBits);
    gainRight = static_cast<int32_t>((base * right) >> kGainBits);
}

void Mixer::MixLocked(int16_t* out, uint32_t frames) {
    if (out == nullptr) {
        AdvanceLocked(frames);
        return;
    }
    std::vector<int32_t>& acc = scratch;
    acc.assign(static_cast<size_t>(frames) * kOutputChannels, 0);
    for (Voice* v : voices) {
        if (!v->playing || v->lost || v->frames == 0) continue;
        for (uint32_t i = 0; i < frames && v->playing; ++i) {
            const uint32_t index = static_cast<uint32_t>(v->position >> 16);
            const uint32_t frac = static_cast<uint32_t>(v->position & 0xFFFF);
            const int32_t l = Interpolated(*v, index, frac, 0);
            const int32_t r = Interpolated(*v, index, frac, 1);
            acc[i * 2] += static_cast<int32_t>((static_cast<int64_t>(l) * v->gainLeft) >> kGainBits);
            acc[i * 2 + 1] +=
                static_cast<int32_t>((static_cast<int64_t>(r) * v->gainRight) >> kGainBits);
            Move(*v, v->step);
        }
    }
    if (masterGain != (1 << kGainBits)) {
        for (int32_t& v : acc) v = static_cast<int32_t>((static_cast<int64_t>(v) * masterGain) >> kGainBits);
    }
    for (size_t i = 0; i < acc.size(); ++i) {
        out[i] = static_cast<int16_t>(std::clamp<int32_t>(acc[i], -32768, 32767));
    }
    framesOut += frames;
}

void Mixer::AdvanceLocked(uint64_t frames) {
    for (Voice* v : voices) {
        if (!v->playing || v->lost || v->frames == 0) continue;
        Move(*v, v->step * frames);
    }
    framesOut += frames;
}

}  // namespace plat::snd
