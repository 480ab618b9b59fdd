// The sound table. Game objects set a play or stop request and a volume on a sound's slot
// during a step; the flush after the scene's update applies them once, in slot order.
#pragma once
#include "simple_array.h"

// Requests of a sound slot.
enum SoundRequest {
    SOUND_NONE = 0,
    SOUND_STOP = 1,
    SOUND_PLAY_WAIT = 2,        // play and wait
    SOUND_PLAY_BACKGROUND = 3,  // play in the background
    SOUND_PLAY_LOOP = 4,        // play looped
};

struct DhSound {
    int request = SOUND_NONE;
    int handle = 0;   // -1 when loading failed
    int volume = 0;   // 0..255
};

class DhSoundResource : public SimpleArray<DhSound> {
public:
    // Both are stored only; the next flush applies them. The last setting of a step wins.
    void setRequest(int i, int request) { at(static_cast<uint32_t>(i)).request = request; }
    void setVolume(int i, int volume) { at(static_cast<uint32_t>(i)).volume = volume; }
};

class ZnSoundResource : public DhSoundResource {
public:
    // Slot i <- file, with three buffers so that up to three copies overlap. False when the
    // sound could not be loaded (the slot's handle is then -1).
    bool loadAt(int i, const char* file);
    // The per-step flush: every slot gets its volume, then its request is carried out and
    // cleared.
    void update();
};
