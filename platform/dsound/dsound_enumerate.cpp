// Device enumeration and the sound layer's system library, looked up by name.
#include <cctype>
#include <cstring>

#include "platform/dsound/dsound_internal.h"

namespace plat {

namespace snd {
const GUID kMixerDeviceGuid{0x7a5e0001, 0x5a4e, 0x4f10, {0x80, 0x53, 0x4f, 0x55, 0x4e, 0x44, 0x00, 0x01}};
}  // namespace snd

struct SoundSystemLibrary {
    int unused;
};

namespace {

SoundSystemLibrary g_library{0};

bool SameNameIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (std::toupper(static_cast<unsigned char>(*a)) !=
            std::toupper(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

}  // namespace

DSResult DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, void* context) {
    if (callback == nullptr) return DSERR_INVALIDPARAM;
    // The primary sound driver, then the one device behind it.
    if (callback(nullptr, "Primary Sound Driver", "", context) == 0) return DS_OK;
    callback(&snd::kMixerDeviceGuid, "Platform mixer output", "platform-mixer", context);
    return DS_OK;
}

SoundSystemLibrary* LoadSoundSystemLibrary(const char* fileName) {
    if (fileName == nullptr || !SameNameIgnoringCase(fileName, "DSOUND.DLL")) return nullptr;
    if (snd::ConsumeFault(&snd::SoundLayerState::failLibraryLoads)) return nullptr;
    return &g_library;
}

DirectSoundEnumerateProc GetSoundSystemProcedure(SoundSystemLibrary* library, const char* name) {
    if (library != &g_library || name == nullptr) return nullptr;
    if (std::strcmp(name, "DirectSoundEnumerateA") != 0) return nullptr;
    return &DirectSoundEnumerateA;
}

void FreeSoundSystemLibrary(SoundSystemLibrary*) {}

}  // namespace plat
