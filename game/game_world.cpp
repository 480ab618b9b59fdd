#include "game_world.h"

#include <cmath>
#include <cstdlib>

#include "zn_sound_resource.h"

namespace {

// Graph slots of the graph table.
constexpr int kGraphPlayer = 0;
constexpr int kGraphTail = 1;
constexpr int kGraphBarrier = 13;
constexpr int kGraphBackground = 14;

// Start level of each start-level choice.
int startLevelOf(int choice) {
    switch (choice) {
    case 1:
        return 10;
    case 2:
        return 20;
    case 3:
        return 40;
    case 4:
        return 99;
    default:
        return 0;
    }
}

}  // namespace

void GameWorld::setup() {
    loadHiScores();
    hiScore_ = hiScores_.at(0).getScore();
    Pattern::setWorld(this);
    player_.setPattern(&playerPattern_);
    randomizeBackgroundMotion();
}

void GameWorld::setGraphResource(ZnGraphResource* graphs) {
    graphHolder_.set(graphs);
    player_.setGraph(graphHolder_.get(kGraphPlayer));
    player_.setBarrierGraph(graphHolder_.get(kGraphBarrier));
    tails_.setGraph(graphHolder_.get(kGraphTail));
    patternSet_.link();
    patternSet_.setGraphs(graphHolder_);
    background_.setGraph(graphHolder_.get(kGraphBackground));
}

void GameWorld::randomizeBackgroundMotion() {
    double speed = (std::rand() % 10 + 1) * 0.1;
    double direction = degreesToRadians(std::rand() % 360);
    background_.setMotion(direction, speed);
}

void GameWorld::newGame() {
    Pattern::setPlayArea(32, 0, 360, 480);
    time_ = 0;
    score_ = 0;
    tension_ = 0;
    survival_ = 0;
    survivalRemainder_ = 0;
    gameOver_ = false;
    nextSpawn_ = 0;
    extendThreshold_ = 200000;
    scoreRecorded_ = false;
    // The score remainder carries over from the last game.
    level_ = startLevelOf(startLevel_);
    scheduleSpawn();
    frontEnemies_.clearAll();
    rearEnemies_.clearAll();
    frontBlasts_.clearAll();
    rearBlasts_.clearAll();
    bullets_.clearAll();
    effects_.clearAll();
    explosion_.clear();
    player_.reset(startLevel_ == 0);
    tails_.clearAll();
    background_.clear();
    randomizeBackgroundMotion();
}

void GameWorld::moveStartLevel(bool up) {
    startLevel_ = up ? (startLevel_ - 1 + 5) % 5 : (startLevel_ + 1 + 5) % 5;
}

void GameWorld::recordScore() {
    if (scoreRecorded_) return;
    scoreRecorded_ = true;
    hiScores_.insert(score_);
    saveHiScores();
}

void GameWorld::updateBackground(bool allowGlow) {
    if (player_.isBoosting() && allowGlow) {
        background_.raiseGlow(FRAME_STEP);
    } else {
        background_.fadeGlow(FRAME_STEP);
    }
    background_.update();
}

void GameWorld::updateEnemies() {
    frontEnemies_.updateAll();
    frontBlasts_.updateAll();
    rearEnemies_.updateAll();
    rearBlasts_.updateAll();
}

void GameWorld::updateBullets() { bullets_.updateAll(); }

void GameWorld::updateEffects() {
    explosion_.update();
    effects_.updateAll();
}

int GameWorld::spawnInterval(int level) {
    if (level < 10) return 1000 - 50 * level;
    if (level < 20) return 571 - 20 * (level - 10);
    if (level < 40) return 444 - 5 * (level - 20);
    return 400 - (2 * level - 80);
}

void GameWorld::spawnEnemy() {
    scheduleSpawn();
    EnemyInfo* info = patternSet_.chooseEnemy(level_);
    EnemyArray& pool = info->isFrontLayer() ? frontEnemies_ : rearEnemies_;
    pool.spawn(info, level_);
}

void GameWorld::levelUp() {
    if (level_ < 99) {
        playSound(GAME_SOUND_LEVEL_UP, SOUND_PLAY_BACKGROUND, 255);
        level_ += 1;
    }
    time_ -= 20000;
    nextSpawn_ -= 20000;
    randomizeBackgroundMotion();
}

void GameWorld::updatePlayer() {
    player_.update();
    if (!player_.isAlive()) tension_ = 0;
    if (player_.isAlive() && !player_.isInvincible()) {
        tails_.add(player_);
        tails_.updateAll();
    } else {
        tension_ = 0;
        tails_.killAll();
    }
}

int GameWorld::getScoreRate() const {
    int rate = (1 + level_) * survival_ / 100 + tension_;
    if (player_.isBoosting()) rate *= 5;
    return rate;
}

void GameWorld::update(int dt) {
    if (player_.isAlive()) {
        scoreRemainder_ += getScoreRate();
        addScore(scoreRemainder_ / 1000);
        scoreRemainder_ %= 1000;

        tension_ -= static_cast<int>(std::ceil(tension_ * dt / 1000.0));
        if (tension_ < 0) tension_ = 0;

        if (player_.isBoosting()) dt *= 2;

        if (player_.isBombing()) {
            survival_ -= static_cast<int>(std::ceil(survival_ * dt / 5000.0));
            if (survival_ < 0) survival_ = 0;
        } else {
            updateSurvival(dt);
        }
    }
    time_ += dt;
}

void GameWorld::updateSurvival(int dt) {
    int k = startLevel_ * 125 + 500;
    if (survival_ < 10 * k) {
        survivalRemainder_ += (11 - survival_ / k) * dt;
    } else {
        survivalRemainder_ += dt;
    }
    survival_ += survivalRemainder_ / 100;
    survivalRemainder_ %= 100;
}

void GameWorld::addTension(double amount) { tension_ += static_cast<int>(amount) * (level_ + 1); }

void GameWorld::addScore(int points) {
    score_ += points;
    if (score_ > hiScore_) hiScore_ = score_;
    if (score_ > extendThreshold_) {
        if (startLevel_ > 0 && player_.getLives() < 9) {
            player_.addLife();
            playSound(GAME_SOUND_EXTEND, SOUND_PLAY_BACKGROUND, 255);
        }
        if (extendThreshold_ < 500000) {
            extendThreshold_ = 500000;
        } else if (extendThreshold_ < 1000000) {
            extendThreshold_ = 1000000;
        } else {
            extendThreshold_ += 1000000;
        }
    }
}

void GameWorld::explodePlayer() {
    playSound(GAME_SOUND_EXPLODE, SOUND_PLAY_BACKGROUND, 255);
    explosion_.start(player_.getX(), player_.getY());
    tension_ = 0;
    survival_ = 0;
    survivalRemainder_ = 0;
    if (player_.getLives() == 0) gameOver_ = true;
}
