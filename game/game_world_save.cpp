// The world's high-score table on disk.
#include "game_world.h"
#include "save_file.h"

void GameWorld::loadHiScores() { readSaveFile(kSaveFileName, hiScores_, startLevel_); }

// A failed save is silent: the table stays updated in memory.
void GameWorld::saveHiScores() { writeSaveFile(kSaveFileName, hiScores_, startLevel_); }
