#include "zn_sound_resource.h"

#include "api.h"

bool ZnSoundResource::loadAt(int i, const char* file) {
    DhSound& sound = at(static_cast<uint32_t>(i));
    sound.handle = ApiLoadSoundFromFile(file, 3, -1);
    return sound.handle != -1;
}

void ZnSoundResource::update() {
    for (uint32_t i = 0; i < size(); ++i) {
        DhSound& sound = at(i);
        ApiSetSoundHandleVolume(sound.volume, sound.handle);
        switch (sound.request) {
        case SOUND_STOP:
            ApiStopSoundHandle(sound.handle);
            break;
        case SOUND_PLAY_WAIT:
            ApiPlaySoundHandle(sound.handle, 0, 1);
            break;
        case SOUND_PLAY_BACKGROUND:
            ApiPlaySoundHandle(sound.handle, 1, 1);
            break;
        case SOUND_PLAY_LOOP:
            ApiPlaySoundHandle(sound.handle, 3, 1);
            break;
        default:
            break;
        }
        sound.request = SOUND_NONE;
    }
}
