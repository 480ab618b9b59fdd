// Internal to the platform layer: the records of the window backends, one a backend, each with
// the entries that go with its windows (its input, its audio output and its null sink). The
// top of a program hands the records down with UseBackends before it uses windows, input or
// sound (the library's start-up does); the window layer chooses one of them on first use
// (window_backend.h), and the input and sound layers take their entries from the chosen
// record, so no layer below the backends names one.
#pragma once
#include <memory>

namespace plat {

class WindowBackend;
class InputBackend;

namespace snd {
class AudioSink;
class Mixer;
}  // namespace snd

struct BackendRecord {
    // The window backend; null when it cannot start (SDL's video does not start).
    WindowBackend* (*makeWindow)();
    // The input backend that goes with the window backend (SDL's joysticks with SDL's windows,
    // the test pads headless); null when it cannot start, and the headless record's stands in.
    InputBackend* (*makeInput)();
    // The backend's audio output for a sound device's mixer, or null when the backend has none
    // or it cannot start; called on the backend thread.
    std::unique_ptr<snd::AudioSink> (*openAudio)(snd::Mixer* mixer);
    // The clocked null sink a sound device plays into when there is no audio output: the mix
    // follows the platform clock and is thrown away.
    std::unique_ptr<snd::AudioSink> (*makeNullSink)(snd::Mixer* mixer);
};

// The records a program hands down, by the part each takes in the choice of ZN_VIDEO
// (window_backend.h): the SDL2 backend's for a display, the headless one's without.
struct BackendRecords {
    const BackendRecord* sdl2;
    const BackendRecord* headless;
};

// Hands the records down (they must outlive the program's use of the platform). A backend
// already chosen stays in use. Until a program hands its records down, the absent record
// stands in both places: its every entry ends the program saying no backend was handed down.
void UseBackends(const BackendRecords& records);

// The record of the backend in use, choosing the backend on first use as Backend() does.
const BackendRecord& ChosenBackendRecord();
// The record of the backend in use without choosing one: the headless record until one is
// chosen.
const BackendRecord& BackendRecordInUse();
// The headless record: chosen when no other backend can start, and its input stands in for
// the chosen record's when that cannot start (and for the tests' pads).
const BackendRecord& HeadlessBackendRecord();

}  // namespace plat
