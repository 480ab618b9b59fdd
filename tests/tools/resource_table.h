// The game's resource files as the game loads them: each image whole or cut into tiles
// (count, per row, rows, tile size), and the sounds. The tests check the made files against
// this table, written out here apart from the tool.
#pragma once

#include <string>
#include <vector>

struct ImageEntry {
    std::string name;
    bool tiled;
    int count, perRow, rows, width, height;  // tiled images only
    bool opaque;  // drawn without transparency over the whole area: no key colour at all
};

inline const std::vector<ImageEntry>& ImageTable() {
    static const std::vector<ImageEntry> table = {
        {"Player.bmp", false, 1, 1, 1, 0, 0, false},
        {"PlayerTail.bmp", false, 1, 1, 1, 0, 0, false},
        {"Bullet1.bmp", false, 1, 1, 1, 0, 0, false},
        {"Enemy.bmp", true, 20, 5, 4, 48, 48, false},
        {"EnemyL1.bmp", false, 1, 1, 1, 0, 0, false},
        {"EnemyL2.bmp", false, 1, 1, 1, 0, 0, false},
        {"EnemyA1.bmp", false, 1, 1, 1, 0, 0, false},
        {"EnemyA2.bmp", false, 1, 1, 1, 0, 0, false},
        {"fonts.bmp", true, 50, 10, 5, 16, 16, false},
        {"fontl.bmp", true, 50, 10, 5, 32, 32, false},
        {"frame.bmp", true, 4, 2, 2, 32, 32, true},
        {"splinter.bmp", true, 8, 8, 1, 16, 16, false},
        {"bomb.bmp", true, 8, 8, 1, 16, 32, false},
        {"barrier.bmp", true, 6, 6, 1, 48, 48, false},
        {"bg.bmp", false, 1, 1, 1, 0, 0, true},
        {"explode.bmp", true, 12, 3, 4, 48, 48, false},
    };
    return table;
}

inline const std::vector<std::string>& EffectTable() {
    static const std::vector<std::string> table = {"shoot.wav", "explode.wav", "levelup.wav",
                                                   "bomb.wav",  "charge.wav",  "extend.wav"};
    return table;
}

// The font tiles the game draws: '0'-'9', 'A'-'Z', then '"', ':', '\'', '?', '!', '/' at 40-45.
inline bool FontTileUsed(int tile) { return tile < 36 || (tile >= 40 && tile <= 45); }

inline std::string ResourcePath(const std::string& name) {
    return std::string(ZN_RESOURCE_DIR) + "/" + name;
}
