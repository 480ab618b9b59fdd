// The six sound effects, synthesised as mono 44.1 kHz sound.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/resources/audio/sounds.h"
#include "tools/resources/audio/synth.h"

namespace res {

namespace {

constexpr int kRate = 44100;

SoundBuffer Mono(double seconds) {
    SoundBuffer s;
    s.rate = kRate;
    s.channels = 1;
    s.samples.assign(static_cast<size_t>(seconds * kRate), 0.0f);
    return s;
}

double TimeOf(size_t i) { return static_cast<double>(i) / kRate; }

// Scales the effect to the given peak (so none clips and their loudness is set here), then
// fades both ends over 2 ms, so no effect starts or stops with a click.
void Finish(SoundBuffer* s, float peak) {
    float highest = 1e-6f;
    for (float v : s->samples) highest = std::max(highest, std::fabs(v));
    for (float& v : s->samples) v *= peak / highest;
    const size_t fade = kRate / 500;
    const size_t n = s->samples.size();
    for (size_t i = 0; i < fade && i < n; ++i) {
        const float k = static_cast<float>(i) / fade;
        s->samples[i] *= k;
        s->samples[n - 1 - i] *= k;
    }
}

// Adds a note of a wave with an attack-decay envelope, from start for length seconds.
void AddNote(SoundBuffer* s, Wave wave, double frequency, double start, double length,
             float volume, double decay, float duty = 0.5f) {
    Oscillator osc(kRate);
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t count = static_cast<size_t>(length * kRate);
    for (size_t i = 0; i < count && first + i < s->samples.size(); ++i) {
        const double t = TimeOf(i);
        const float release = t > length - 0.01 ? static_cast<float>((length - t) / 0.01) : 1.0f;
        s->samples[first + i] +=
            osc.Next(wave, frequency, duty) * AttackDecay(t, 0.004, decay) * volume * release;
    }
}

}  // namespace

SoundBuffer MakeShootSound() {
    SoundBuffer s = Mono(0.14);
    Oscillator osc(kRate);
    Noise noise(0x5407u);
    LowPass smooth(kRate);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        const double t = TimeOf(i);
        const double frequency = 1400.0 * std::exp(-t * 18.0) + 180.0;
        const float tone = osc.Next(Wave::Square, frequency, 0.3f);
        const float tick = noise.Next() * AttackDecay(t, 0.001, 0.01);
        s.samples[i] = smooth.Next(tone * 0.4f + tick * 0.3f, 6000) * AttackDecay(t, 0.002, 0.04);
    }
    Finish(&s, 0.5f);
    return s;
}

SoundBuffer MakeExplodeSound() {
    SoundBuffer s = Mono(1.4);
    Noise noise(0xE8B1u);
    LowPass body(kRate), body2(kRate);
    Oscillator thump(kRate);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        const double t = TimeOf(i);
        const double cutoff = 3500.0 * std::exp(-t * 3.0) + 120.0;
        const float rumble = body2.Next(body.Next(noise.Next(), cutoff), cutoff);
        const float low = thump.Next(Wave::Sine, 90.0 * std::exp(-t * 2.0) + 35.0);
        s.samples[i] = (rumble * 1.6f * AttackDecay(t, 0.003, 0.35) +
                        low * 0.5f * AttackDecay(t, 0.002, 0.2)) * 0.8f;
    }
    Finish(&s, 0.85f);
    return s;
}

SoundBuffer MakeLevelUpSound() {
    SoundBuffer s = Mono(0.75);
    // C5 E5 G5 C6 E6, each a little later, then a held shimmer of the top.
    const int notes[] = {72, 76, 79, 84, 88};
    for (int i = 0; i < 5; ++i) {
        AddNote(&s, Wave::Square, NoteFrequency(notes[i]), 0.07 * i, 0.75 - 0.07 * i, 0.16f,
                0.18, 0.25f);
        AddNote(&s, Wave::Triangle, NoteFrequency(notes[i] - 12), 0.07 * i, 0.75 - 0.07 * i,
                0.14f, 0.25);
    }
    Finish(&s, 0.7f);
    return s;
}

SoundBuffer MakeBombSound() {
    SoundBuffer s = Mono(1.8);
    Noise noise(0xB0B1u);
    LowPass rush(kRate), boomFilter(kRate);
    Oscillator boom(kRate);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        const double t = TimeOf(i);
        const float n = noise.Next();
        const float low = boom.Next(Wave::Sine, 110.0 * std::exp(-t * 2.5) + 28.0);
        const float body = boomFilter.Next(n, 400.0 + 900.0 * std::exp(-t * 4.0));
        const float wind = rush.Next(n, 2500.0 * std::exp(-t * 1.5) + 200.0);
        s.samples[i] = low * 0.6f * AttackDecay(t, 0.004, 0.45) +
                       body * 1.4f * AttackDecay(t, 0.002, 0.3) +
                       wind * 0.5f * AttackDecay(t, 0.15, 0.5);
    }
    Finish(&s, 0.85f);
    return s;
}

SoundBuffer MakeChargeSound() {
    SoundBuffer s = Mono(0.9);
    // A bell: a fundamental and inharmonic partials that die away faster.
    struct Partial {
        double ratio;
        float volume;
        double decay;
    };
    const Partial partials[] = {{1.0, 0.3f, 0.30}, {2.76, 0.12f, 0.15}, {5.4, 0.06f, 0.08},
                                {2.0, 0.10f, 0.25}};
    for (double start : {0.0, 0.09}) {
        const double base = start == 0.0 ? NoteFrequency(88) : NoteFrequency(93);  // E6, A6
        for (const Partial& p : partials) {
            AddNote(&s, Wave::Sine, base * p.ratio, start, 0.9 - start, p.volume, p.decay);
        }
    }
    Finish(&s, 0.7f);
    return s;
}

SoundBuffer MakeExtendSound() {
    SoundBuffer s = Mono(1.1);
    // G5 C6 E6 G6 quick, then C7 held.
    const int notes[] = {79, 84, 88, 91};
    for (int i = 0; i < 4; ++i) {
        AddNote(&s, Wave::Square, NoteFrequency(notes[i]), 0.08 * i, 0.1, 0.18f, 0.08, 0.5f);
    }
    AddNote(&s, Wave::Square, NoteFrequency(96), 0.34, 0.76, 0.16f, 0.3, 0.25f);
    AddNote(&s, Wave::Triangle, NoteFrequency(84), 0.34, 0.76, 0.2f, 0.35);
    Finish(&s, 0.7f);
    return s;
}

}  // namespace res
