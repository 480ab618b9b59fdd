#include "zn_sound_resource.h"

#include "library_entries.h"

bool ZnSoundResource::loadAt(int i, const char* file) {
    DhSound& sound = at(static_cast<uint32_t>(i));
    sound.handle = libraryEntries().loadSoundFromFile(file, 3, -1);
    return sound.handle != -1;
}

void ZnSoundResource::update() {
    const LibraryEntries& entries = libraryEntries();
    for (uint32_t i = 0; i < size(); ++i) {
        DhSound& sound = at(i);
        entries.setSoundHandleVolume(sound.volume, sound.handle);
        switch (sound.request) {
        case SOUND_STOP:
            entries.stopSoundHandle(sound.handle);
            break;
        case SOUND_PLAY_WAIT:
            entries.playSoundHandle(sound.handle, 0, 1);
            break;
        case SOUND_PLAY_BACKGROUND:
            entries.playSoundHandle(sound.handle, 1, 1);
            break;
        case SOUND_PLAY_LOOP:
            entries.playSoundHandle(sound.handle, 3, 1);
            break;
        default:
            break;
        }
        sound.request = SOUND_NONE;
    }
}
