// The background music: sixteen bars in A minor at 128 beats per minute (exactly 30 s), lead,
// arpeggio, bass and drums on chiptune waves. Sound that rings past the end is folded back to
// the start, so the piece loops without a seam.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/resources/audio/sounds.h"
#include "tools/resources/audio/synth.h"

namespace res {

namespace {

constexpr int kRate = 44100;
constexpr double kEighth = 60.0 / 128.0 / 2.0;
constexpr int kBars = 16;
constexpr size_t kFrames = static_cast<size_t>(kBars * 8 * kEighth * kRate + 0.5);

struct Note {
    int pitch;  // MIDI note number
    int eighths;
};

// Bar by bar over Am, F, C, G (twice per half): a calm first half, a higher second one.
const std::vector<std::vector<Note>> kMelody = {
    {{76, 2}, {81, 2}, {79, 1}, {76, 1}, {72, 2}},
    {{74, 2}, {72, 1}, {69, 1}, {72, 4}},
    {{76, 2}, {79, 2}, {81, 1}, {79, 1}, {76, 2}},
    {{74, 3}, {71, 1}, {67, 2}, {71, 2}},
    {{69, 1}, {72, 1}, {76, 1}, {81, 1}, {79, 2}, {76, 2}},
    {{77, 2}, {76, 1}, {74, 1}, {72, 2}, {69, 2}},
    {{67, 1}, {72, 1}, {76, 1}, {79, 1}, {76, 2}, {72, 2}},
    {{74, 2}, {76, 1}, {74, 1}, {71, 4}},
    {{81, 2}, {84, 2}, {83, 1}, {81, 1}, {76, 2}},
    {{77, 1}, {81, 1}, {84, 2}, {81, 2}, {77, 2}},
    {{79, 2}, {76, 1}, {79, 1}, {84, 2}, {83, 1}, {79, 1}},
    {{86, 3}, {83, 1}, {79, 2}, {74, 2}},
    {{76, 1}, {81, 1}, {84, 1}, {88, 1}, {86, 2}, {84, 2}},
    {{84, 2}, {81, 1}, {77, 1}, {81, 2}, {84, 2}},
    {{88, 2}, {86, 1}, {84, 1}, {79, 2}, {76, 2}},
    {{74, 1}, {79, 1}, {83, 1}, {86, 1}, {83, 2}, {81, 2}},
};

struct Chord {
    int root;        // bass note
    int tones[3];    // for the arpeggio
};
const Chord kChords[4] = {{45, {69, 72, 76}}, {41, {65, 69, 72}}, {48, {67, 72, 76}},
                          {43, {67, 71, 74}}};

class Mixer {
public:
    Mixer() : left_(kFrames, 0.0f), right_(kFrames, 0.0f) {}

    // Adds a mono voice at a pan from -1 (left) to 1 (right), from start seconds on; voice(t)
    // gives the sample t seconds into the voice, for length seconds.
    template <typename Voice>
    void Add(double start, double length, float pan, Voice voice) {
        const float l = std::sqrt((1.0f - pan) * 0.5f), r = std::sqrt((1.0f + pan) * 0.5f);
        const size_t first = static_cast<size_t>(std::lround(start * kRate));
        const size_t count = static_cast<size_t>(length * kRate);
        for (size_t i = 0; i < count; ++i) {
            const float s = voice(static_cast<double>(i) / kRate);
            const size_t at = (first + i) % kFrames;
            left_[at] += s * l;
            right_[at] += s * r;
        }
    }

    SoundBuffer Finish() const {
        float peak = 1e-6f;
        for (size_t i = 0; i < kFrames; ++i) {
            peak = std::max({peak, std::fabs(left_[i]), std::fabs(right_[i])});
        }
        const float gain = 0.85f / peak;
        SoundBuffer out;
        out.rate = kRate;
        out.channels = 2;
        out.samples.resize(kFrames * 2);
        for (size_t i = 0; i < kFrames; ++i) {
            out.samples[i * 2] = left_[i] * gain;
            out.samples[i * 2 + 1] = right_[i] * gain;
        }
        return out;
    }

private:
    std::vector<float> left_, right_;
};

// A gate that closes over the last 15 ms of a note.
float Release(double t, double length) {
    return t > length - 0.015 ? static_cast<float>(std::max(0.0, (length - t) / 0.015)) : 1.0f;
}

void AddLead(Mixer* mix) {
    double time = 0;
    for (const std::vector<Note>& bar : kMelody) {
        for (const Note& n : bar) {
            const double length = n.eighths * kEighth;
            const double f = NoteFrequency(n.pitch);
            Oscillator osc(kRate);
            mix->Add(time, length, 0.2f, [=](double t) mutable {
                const double vibrato = t > 0.12 ? 1.0 + 0.006 * std::sin(2 * 3.14159 * 5.5 * t) : 1.0;
                const float env = 0.55f + 0.45f * AttackDecay(t, 0.005, 0.12);
                return osc.Next(Wave::Square, f * vibrato, 0.25f) * env * 0.13f * Release(t, length);
            });
            // A quiet echo three sixteenths later, on the other side.
            Oscillator echo(kRate);
            mix->Add(time + 1.5 * kEighth, length, -0.6f, [=](double t) mutable {
                return echo.Next(Wave::Square, f, 0.5f) * AttackDecay(t, 0.005, 0.1) * 0.04f *
                       Release(t, length);
            });
            time += length;
        }
    }
}

void AddBassAndArpeggio(Mixer* mix) {
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& chord = kChords[bar % 4];
        const double barStart = bar * 8 * kEighth;
        // Bass: driving eighths, jumping an octave on the off-beats.
        for (int i = 0; i < 8; ++i) {
            const double f = NoteFrequency(chord.root + (i % 2 == 1 ? 12 : 0));
            Oscillator tri(kRate), sq(kRate);
            const double length = kEighth * 0.9;
            mix->Add(barStart + i * kEighth, length, 0.0f, [=](double t) mutable {
                const float env = AttackDecay(t, 0.003, 0.15);
                return (tri.Next(Wave::Triangle, f) * 0.32f + sq.Next(Wave::Square, f, 0.125f) * 0.05f) *
                       env * Release(t, length);
            });
        }
        // Arpeggio: sixteenths over the chord's tones and the root an octave up.
        for (int i = 0; i < 16; ++i) {
            const int step = i % 4;
            const int pitch = step < 3 ? chord.tones[step] : chord.tones[0] + 12;
            const double f = NoteFrequency(pitch);
            Oscillator osc(kRate);
            const double length = kEighth * 0.5;
            const float volume = bar < 8 ? 0.035f : 0.05f;
            mix->Add(barStart + i * kEighth * 0.5, length, -0.4f, [=](double t) mutable {
                return osc.Next(Wave::Square, f, 0.125f) * AttackDecay(t, 0.002, 0.05) * volume *
                       Release(t, length);
            });
        }
    }
}

void AddDrums(Mixer* mix) {
    Noise noise(0xD2D2u);
    for (int bar = 0; bar < kBars; ++bar) {
        const double barStart = bar * 8 * kEighth;
        // Kick on beats one and three, and a push before the bar's end every second bar.
        std::vector<int> kicks = {0, 4};
        if (bar % 2 == 1) kicks.push_back(7);
        for (int k : kicks) {
            Oscillator osc(kRate);
            mix->Add(barStart + k * kEighth, 0.25, 0.0f, [=](double t) mutable {
                const double f = 45.0 + 110.0 * std::exp(-t * 30.0);
                return osc.Next(Wave::Sine, f) * AttackDecay(t, 0.001, 0.09) * 0.55f;
            });
        }
        // Snare on beats two and four: noise with a little tone.
        for (int s : {2, 6}) {
            Oscillator osc(kRate);
            HighPass hp(kRate);
            Noise n(noise.Next() > 0 ? 11u + bar : 29u + bar);
            mix->Add(barStart + s * kEighth, 0.2, 0.1f, [=](double t) mutable {
                const float body = hp.Next(n.Next(), 900.0) * AttackDecay(t, 0.001, 0.06);
                const float tone = osc.Next(Wave::Triangle, 185.0) * AttackDecay(t, 0.001, 0.03);
                return (body * 0.3f + tone * 0.15f);
            });
        }
        // Hats on every eighth, the off-beats louder.
        for (int h = 0; h < 8; ++h) {
            HighPass hp(kRate);
            Noise n(1000u + static_cast<uint32_t>(bar * 8 + h));
            const float volume = h % 2 == 1 ? 0.09f : 0.05f;
            mix->Add(barStart + h * kEighth, 0.06, -0.3f, [=](double t) mutable {
                return hp.Next(n.Next(), 7000.0) * AttackDecay(t, 0.0005, 0.015) * volume;
            });
        }
    }
}

}  // namespace

SoundBuffer MakeMainMusic() {
    Mixer mix;
    AddLead(&mix);
    AddBassAndArpeggio(&mix);
    AddDrums(&mix);
    return mix.Finish();
}

}  // namespace res
