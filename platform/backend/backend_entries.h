// The entries each backend folder offers to the layers that choose among backends: the SDL2
// and headless window backends, SDL2's joysticks and the test pads, and the clocked null audio
// sink. Only the backends' registration (backend_registration.cpp) hands them on.
#pragma once
#include <memory>

namespace plat {

class WindowBackend;
class InputBackend;

// Null when SDL's video cannot be started.
WindowBackend* CreateSdl2Backend();
WindowBackend* CreateHeadlessBackend();
// Null when SDL's joysticks cannot be started.
InputBackend* CreateSdl2InputBackend();
InputBackend* CreateTestInputBackend();

namespace snd {
class AudioSink;
class Mixer;
// The clocked null sink: the mix follows the platform clock and is thrown away.
std::unique_ptr<AudioSink> MakeHeadlessNullAudioSink(Mixer* mixer);
}  // namespace snd

}  // namespace plat
