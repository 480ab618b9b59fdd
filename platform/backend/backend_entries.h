// The platform's backends as a program's top hands them down (UseBackends of
// platform/window/backend_record.h): the SDL2 backend's record and the headless one's, and the
// entries each backend folder fills them with.
#pragma once
#include <memory>

#include "platform/window/backend_record.h"

namespace plat {

// SDL's windows, joysticks and audio device, with the clocked null sink when no audio device
// opens.
extern const BackendRecord kSdl2BackendRecord;
// Windows without a display, the test pads, no audio output and the clocked null sink.
extern const BackendRecord kHeadlessBackendRecord;

// Both records in their places of the choice.
inline BackendRecords PlatformBackends() {
    return {.sdl2 = &kSdl2BackendRecord, .headless = &kHeadlessBackendRecord};
}

// ---- the records' entries -------------------------------------------------------------------
// Null when SDL's video cannot be started.
WindowBackend* CreateSdl2Backend();
WindowBackend* CreateHeadlessBackend();
// Null when SDL's joysticks cannot be started.
InputBackend* CreateSdl2InputBackend();
InputBackend* CreateTestInputBackend();

namespace snd {
// The clocked null sink: the mix follows the platform clock and is thrown away.
std::unique_ptr<AudioSink> MakeHeadlessNullAudioSink(Mixer* mixer);
}  // namespace snd

}  // namespace plat
