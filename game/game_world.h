// The state of one game and its rules: score and hi score, survival and tension (which drive
// the score rate), the level and its timer, enemy spawning, extra lives, death and game over.
// The scenes call its per-step operations; the behaviours reach it through theWorld.
#pragma once
#include "background.h"
#include "enemy_array.h"
#include "graph_holder.h"
#include "graph_text.h"
#include "hi_score.h"
#include "pattern_set.h"
#include "player.h"
#include "player_explosion.h"
#include "player_pattern.h"
#include "player_tail.h"

class ZnGraphResource;
class ZnJoypad;
class ZnSoundResource;

// Sound slots of the sound table.
enum GameSound {
    GAME_SOUND_SHOOT = 0,
    GAME_SOUND_EXPLODE = 1,
    GAME_SOUND_LEVEL_UP = 2,
    GAME_SOUND_BOMB = 3,
    GAME_SOUND_CHARGE = 4,
    GAME_SOUND_EXTEND = 5,
    GAME_SOUND_MUSIC = 6,
};

class GameWorld {
public:
    // The file of the high-score table and the start-level choice, in the working directory.
    static constexpr const char* kSaveFileName = "save.dat";

    GameWorld() = default;
    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    // ---- set-up, once ----
    // Loads the save file, takes the hi score from its first record, publishes this world to
    // the behaviours and gives the background a random motion.
    void setup();
    void setJoypad(ZnJoypad* joypad) { playerPattern_.setJoypad(joypad); }
    // Graphs of the player, barrier, tail, every enemy kind and the background.
    void setGraphResource(ZnGraphResource* graphs);
    void setSoundResource(ZnSoundResource* sounds) { soundHolder_.set(sounds); }

    // ---- per game ----
    void newGame();
    void moveStartLevel(bool up);
    void setDemo(bool demo) { player_.setDemo(demo); }
    // Inserts the score into the table and saves the file, at most once per game.
    void recordScore();
    void loadHiScores();
    void saveHiScores();

    // ---- per step, in the order the scenes call them ----
    void updateBackground(bool allowGlow);
    void updateEnemies();
    void updateBullets();
    bool isSpawnDue() const { return time_ > nextSpawn_; }
    void spawnEnemy();
    bool isLevelUpDue() const { return time_ > 20000; }
    void levelUp();
    void updatePlayer();
    void updateEffects();
    void update(int dt);

    // ---- used by the behaviours ----
    void addScore(int points);
    void addTension(double amount);
    void explodePlayer();
    void playSound(int slot, int request, int volume) { soundHolder_.play(slot, request, volume); }

    // ---- read by the screens ----
    int getScore() const { return score_; }
    int getHiScore() const { return hiScore_; }
    int getLevel() const { return level_; }
    int getLives() const { return player_.getLives(); }
    int getBombs() const { return player_.getBombs(); }
    int getChargePercent() const { return player_.getChargePercent(); }
    int getSurvival() const { return survival_; }
    int getTension() const { return tension_; }
    int getStartLevel() const { return startLevel_; }
    bool isGameOver() const { return gameOver_; }
    HiScoreArray& getHiScores() { return hiScores_; }
    int getTime() const { return time_; }
    int getNextSpawn() const { return nextSpawn_; }
    int getExtendThreshold() const { return extendThreshold_; }
    int getScoreRemainder() const { return scoreRemainder_; }
    // Points per step in thousandths.
    int getScoreRate() const;

    Player& getPlayer() { return player_; }
    EnemyArray& getFrontEnemies() { return frontEnemies_; }
    EnemyArray& getRearEnemies() { return rearEnemies_; }
    EnemyArray& getBullets() { return bullets_; }
    EnemyArray& getEffects() { return effects_; }
    EnemyArray& getFrontBlasts() { return frontBlasts_; }
    EnemyArray& getRearBlasts() { return rearBlasts_; }
    PlayerTailArray& getTails() { return tails_; }
    PatternSet& getPatternSet() { return patternSet_; }
    PlayerExplosion& getExplosion() { return explosion_; }
    Background& getBackground() { return background_; }
    // The texts of this step (cleared by the frame at the start of every step).
    GraphTextArray& getTexts() { return texts_; }

    // Spawn interval in ms at level L.
    static int spawnInterval(int level);

private:
    void scheduleSpawn() { nextSpawn_ += spawnInterval(level_); }
    void updateSurvival(int dt);
    void randomizeBackgroundMotion();

    int score_ = 0;
    int hiScore_ = 0;
    Player player_;
    EnemyArray frontEnemies_;
    EnemyArray rearEnemies_;
    EnemyArray bullets_;
    EnemyArray effects_;
    PlayerPattern playerPattern_;
    PatternSet patternSet_;
    int time_ = 0;
    int nextSpawn_ = 0;
    int startLevel_ = 0;
    int level_ = 0;
    int scoreRemainder_ = 0;
    GraphHolder graphHolder_;
    SoundHolder soundHolder_;
    bool gameOver_ = false;
    PlayerExplosion explosion_;
    GraphTextArray texts_;
    int tension_ = 0;
    PlayerTailArray tails_;
    Background background_;
    HiScoreArray hiScores_;
    // Set once a failed save has been reported, so a save that keeps failing is told once.
    bool saveFailureReported_ = false;
    EnemyArray rearBlasts_;
    EnemyArray frontBlasts_;
    int survival_ = 0;
    int survivalRemainder_ = 0;
    int extendThreshold_ = 0;
    // Set when this game's score has been recorded; cleared by newGame.
    bool scoreRecorded_ = false;
};
