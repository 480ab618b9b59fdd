// The building blocks of the synthesised sounds: oscillators, envelopes, noise and simple
// filters, all over time in seconds and frequencies in hertz.
#pragma once

#include <cstdint>

#include "tools/resources/random.h"

namespace res {

enum class Wave { Sine, Square, Triangle, Saw };

// One sample of a wave at the given phase (in cycles); duty is the square's high share.
float WaveSample(Wave wave, double phase, float duty = 0.5f);

// The frequency of a note number (MIDI numbering: 69 is A4 at 440 Hz).
double NoteFrequency(int note);

// A phase-accumulating oscillator, so that frequency sweeps stay continuous.
class Oscillator {
public:
    explicit Oscillator(int rate) : rate_(rate) {}
    float Next(Wave wave, double frequency, float duty = 0.5f);

private:
    int rate_;
    double phase_ = 0;
};

// Attack then exponential decay: 0 at t = 0, 1 at t = attack, then e^-(t - attack)/decay.
float AttackDecay(double t, double attack, double decay);

// A one-pole low-pass filter; the cut-off may change every sample.
class LowPass {
public:
    explicit LowPass(int rate) : rate_(rate) {}
    float Next(float input, double cutoff);

private:
    int rate_;
    float state_ = 0;
};

// A one-pole high-pass filter (the input less its low-passed part).
class HighPass {
public:
    explicit HighPass(int rate) : low_(rate) {}
    float Next(float input, double cutoff) { return input - low_.Next(input, cutoff); }

private:
    LowPass low_;
};

// White noise from a fixed seed.
class Noise {
public:
    explicit Noise(uint32_t seed) : random_(seed) {}
    float Next() { return random_.Signed(); }

private:
    Random random_;
};

}  // namespace res
