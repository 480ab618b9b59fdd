// Hands the backend folders' entries to the layers that choose among them, before main runs:
// the window backends to the window layer, the input backends to the input layer and the
// clocked null sink to the sound mixer. The layers below name no backend; the build asks the
// linker for zn_platform_backends_registered, so every program that links the platform
// library carries this file and starts with its backends in place.
#include "platform/backend/backend_entries.h"
#include "platform/dinput/input_backend.h"
#include "platform/dsound/sound_mixer.h"
#include "platform/window/window_backend.h"

namespace plat {

namespace {

bool RegisterBackends() {
    RegisterWindowBackends({.makeSdl2 = CreateSdl2Backend, .makeHeadless = CreateHeadlessBackend});
    RegisterInputBackends({.makeSdl2 = CreateSdl2InputBackend, .makeTest = CreateTestInputBackend});
    snd::RegisterNullAudioSink(snd::MakeHeadlessNullAudioSink);
    return true;
}

}  // namespace

}  // namespace plat

extern "C" {
// Set when the backends are registered; its name is what the build keeps this file linked by.
bool zn_platform_backends_registered = plat::RegisterBackends();
}
