#include "resource_tables.h"

#include "zn_graph_resource.h"
#include "zn_sound_resource.h"

const GraphFile kGraphFiles[GRAPH_SLOTS] = {
    {GRAPH_PLAYER, "res\\Player.bmp", 0, 0, 0, 0, 0},
    {GRAPH_TAIL, "res\\PlayerTail.bmp", 0, 0, 0, 0, 0},
    {GRAPH_BULLET, "res\\Bullet1.bmp", 0, 0, 0, 0, 0},
    {GRAPH_MARKER, "res\\Enemy.bmp", 20, 5, 4, 48, 48},
    {GRAPH_REAR_AIM, "res\\EnemyL1.bmp", 0, 0, 0, 0, 0},
    {GRAPH_FRONT_AIM, "res\\EnemyA1.bmp", 0, 0, 0, 0, 0},
    {GRAPH_REAR_FAN, "res\\EnemyL2.bmp", 0, 0, 0, 0, 0},
    {GRAPH_FRONT_FAN, "res\\EnemyA2.bmp", 0, 0, 0, 0, 0},
    {GRAPH_FRAME, "res\\frame.bmp", 4, 2, 2, 32, 32},
    {GRAPH_SMALL_FONT, "res\\fonts.bmp", 50, 10, 5, 16, 16},
    {GRAPH_LARGE_FONT, "res\\fontl.bmp", 50, 10, 5, 32, 32},
    {GRAPH_SPLINTER, "res\\splinter.bmp", 8, 8, 1, 16, 16},
    {GRAPH_BOMB, "res\\bomb.bmp", 8, 8, 1, 16, 32},
    {GRAPH_BARRIER, "res\\barrier.bmp", 6, 6, 1, 48, 48},
    {GRAPH_BACKGROUND, "res\\bg.bmp", 0, 0, 0, 0, 0},
    {GRAPH_EXPLODE, "res\\explode.bmp", 12, 3, 4, 48, 48},
};

const char* const kEffectFiles[kSoundSlots - 1] = {
    "res\\shoot.wav", "res\\explode.wav", "res\\levelup.wav",
    "res\\bomb.wav",  "res\\charge.wav",  "res\\extend.wav",
};

const char* const kMusicFiles[kMusicFileCount] = {"res\\main.ogg", "res\\main.mp3",
                                                  "res\\main.wav"};

void loadGraphTable(ZnGraphResource& graphs) {
    graphs.resize(GRAPH_SLOTS);
    for (const GraphFile& g : kGraphFiles) {
        if (g.tiles == 0) {
            graphs.loadGraphAt(g.slot, g.file);
        } else {
            graphs.loadDivGraphAt(g.slot, g.file, g.tiles, g.perRow, g.rows, g.width, g.height);
        }
    }
}

int loadSoundTable(ZnSoundResource& sounds) {
    sounds.resize(kSoundSlots);
    int loaded = 0;
    for (int i = 0; i < kSoundSlots - 1; ++i) {
        if (sounds.loadAt(i, kEffectFiles[i])) ++loaded;
    }
    for (const char* music : kMusicFiles) {
        if (sounds.loadAt(kSoundSlots - 1, music)) {
            ++loaded;
            break;
        }
    }
    return loaded;
}
