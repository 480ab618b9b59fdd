#include "tools/resources/audio/synth.h"

#include <cmath>
#include <numbers>

namespace res {

float WaveSample(Wave wave, double phase, float duty) {
    const double p = phase - std::floor(phase);
    switch (wave) {
        case Wave::Sine:
            return static_cast<float>(std::sin(2 * std::numbers::pi * p));
        case Wave::Square:
            return p < duty ? 1.0f : -1.0f;
        case Wave::Triangle:
            return static_cast<float>(p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
        case Wave::Saw:
            return static_cast<float>(2 * p - 1);
    }
    return 0.0f;
}

double NoteFrequency(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

float Oscillator::Next(Wave wave, double frequency, float duty) {
    const float s = WaveSample(wave, phase_, duty);
    phase_ += frequency / rate_;
    phase_ -= std::floor(phase_);
    return s;
}

float AttackDecay(double t, double attack, double decay) {
    if (t < 0) return 0.0f;
    if (t < attack) return static_cast<float>(t / attack);
    return static_cast<float>(std::exp(-(t - attack) / decay));
}

float LowPass::Next(float input, double cutoff) {
    const double k = 1.0 - std::exp(-2 * std::numbers::pi * cutoff / rate_);
    state_ += static_cast<float>(k) * (input - state_);
    return state_;
}

}  // namespace res
