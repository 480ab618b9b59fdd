// The game's resource files under "res\" in the working directory: 16 images in the graph
// table and 7 sounds in the sound table, with the order they are loaded in.
#pragma once

class ZnGraphResource;
class ZnSoundResource;

// Graph slots.
enum GraphSlot {
    GRAPH_PLAYER = 0,
    GRAPH_TAIL = 1,
    GRAPH_BULLET = 2,
    GRAPH_MARKER = 3,
    GRAPH_REAR_AIM = 4,
    GRAPH_REAR_FAN = 5,
    GRAPH_FRONT_AIM = 6,
    GRAPH_FRONT_FAN = 7,
    GRAPH_SMALL_FONT = 8,
    GRAPH_LARGE_FONT = 9,
    GRAPH_FRAME = 10,
    GRAPH_SPLINTER = 11,
    GRAPH_BOMB = 12,
    GRAPH_BARRIER = 13,
    GRAPH_BACKGROUND = 14,
    GRAPH_EXPLODE = 15,
    GRAPH_SLOTS = 16,
};

// One image of the graph table: a whole image when tiles is 0, else tiles cut row by row,
// perRow to a row, rows rows, each width x height pixels.
struct GraphFile {
    int slot;
    const char* file;
    int tiles;
    int perRow;
    int rows;
    int width;
    int height;
};

// The images in the order they are loaded.
extern const GraphFile kGraphFiles[GRAPH_SLOTS];

constexpr int kSoundSlots = 7;
// Sound slots 0..5 (shoot, explode, level up, bomb, charge, extend).
extern const char* const kEffectFiles[kSoundSlots - 1];
// Slot 6, the background music: the first of these files that loads.
constexpr int kMusicFileCount = 3;
extern const char* const kMusicFiles[kMusicFileCount];

// Sizes the graph table and loads every image in order; a failed load throws its message
// text (ZnGraphResource) and the images after it are not loaded.
void loadGraphTable(ZnGraphResource& graphs);
// Sizes the sound table and loads every sound; a sound that fails stays silent (handle -1).
// Returns the count of slots that loaded.
int loadSoundTable(ZnSoundResource& sounds);
