// The world's high-score table on disk.
#include "game_world.h"
#include "save_file.h"

#include <cstdio>

void GameWorld::loadHiScores() { readSaveFile(kSaveFileName, hiScores_, startLevel_); }

// A failed save keeps the table updated in memory; the player is told once, on the standard
// error, that the scores will not outlast the game, however often the save fails again.
void GameWorld::saveHiScores() {
    if (writeSaveFile(kSaveFileName, hiScores_, startLevel_) || saveFailureReported_) return;
    saveFailureReported_ = true;
    std::fputs("save.dat: the high scores could not be saved (kept until the game ends)\n", stderr);
}
