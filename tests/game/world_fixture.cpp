#include "tests/game/world_fixture.h"

#include <cstdlib>

#include "pattern.h"

void WorldTest::SetUp() {
    std::srand(12345);
    lib_.setGraphSize("res\\Player.bmp", 32, 32);
    lib_.setGraphSize("res\\PlayerTail.bmp", 32, 32);
    lib_.setGraphSize("res\\Bullet1.bmp", 8, 8);
    lib_.setGraphSize("res\\EnemyL1.bmp", 32, 32);
    lib_.setGraphSize("res\\EnemyL2.bmp", 32, 32);
    lib_.setGraphSize("res\\EnemyA1.bmp", 32, 32);
    lib_.setGraphSize("res\\EnemyA2.bmp", 32, 32);
    lib_.setGraphSize("res\\bg.bmp", 128, 128);

    // The graph table in the main frame's load order.
    graphs_.resize(16);
    graphs_.loadGraphAt(0, "res\\Player.bmp");
    graphs_.loadGraphAt(1, "res\\PlayerTail.bmp");
    graphs_.loadGraphAt(2, "res\\Bullet1.bmp");
    graphs_.loadDivGraphAt(3, "res\\Enemy.bmp", 20, 5, 4, 48, 48);
    graphs_.loadGraphAt(4, "res\\EnemyL1.bmp");
    graphs_.loadGraphAt(6, "res\\EnemyA1.bmp");
    graphs_.loadGraphAt(5, "res\\EnemyL2.bmp");
    graphs_.loadGraphAt(7, "res\\EnemyA2.bmp");
    graphs_.loadDivGraphAt(10, "res\\frame.bmp", 4, 2, 2, 32, 32);
    graphs_.loadDivGraphAt(8, "res\\fonts.bmp", 50, 10, 5, 16, 16);
    graphs_.loadDivGraphAt(9, "res\\fontl.bmp", 50, 10, 5, 32, 32);
    graphs_.loadDivGraphAt(11, "res\\splinter.bmp", 8, 8, 1, 16, 16);
    graphs_.loadDivGraphAt(12, "res\\bomb.bmp", 8, 8, 1, 16, 32);
    graphs_.loadDivGraphAt(13, "res\\barrier.bmp", 6, 6, 1, 48, 48);
    graphs_.loadGraphAt(14, "res\\bg.bmp");
    graphs_.loadDivGraphAt(15, "res\\explode.bmp", 12, 3, 4, 48, 48);

    sounds_.resize(7);
    const char* files[] = {"res\\shoot.wav",  "res\\explode.wav", "res\\levelup.wav",
                           "res\\bomb.wav",   "res\\charge.wav",  "res\\extend.wav",
                           "res\\main.ogg"};
    for (int i = 0; i < 7; ++i) sounds_.loadAt(i, files[i]);

    world_ = std::make_unique<GameWorld>();
    world_->setup();
    world_->setJoypad(&joypad_);
    world_->setGraphResource(&graphs_);
    world_->setSoundResource(&sounds_);
    lib_.clearCalls();
}

void WorldTest::TearDown() {
    world_.reset();
    Pattern::setWorld(nullptr);
    PlayArea = Rect();
}

void WorldTest::startGame(int choice, int readySteps) {
    while (world_->getStartLevel() != choice) world_->moveStartLevel(false);
    // Ready scene: entering it starts the game.
    world_->setDemo(true);
    world_->newGame();
    for (int i = 0; i < readySteps; ++i) readyStep();
    // Play scene entry.
    world_->setDemo(false);
    world_->playSound(GAME_SOUND_MUSIC, SOUND_PLAY_LOOP, 128);
}

void WorldTest::readyStep(uint32_t bits) {
    lib_.setPadBits(bits);
    joypad_.update();
    world_->updateBackground(false);
    world_->updatePlayer();
    sounds_.update();
}

StepResult WorldTest::playStep(uint32_t bits, bool spawn) {
    lib_.setPadBits(bits);
    joypad_.update();
    // Seeing the game-over flag switches scenes, but the rest of the play scene's step still
    // runs: the world gets one more update in this step.
    const bool gameOver = world_->isGameOver();
    if (gameOver) {
        world_->recordScore();
        world_->playSound(GAME_SOUND_MUSIC, SOUND_STOP, 255);
    }
    world_->updateBackground(true);
    world_->updateEnemies();
    world_->updateBullets();
    if (spawn && world_->isSpawnDue()) world_->spawnEnemy();
    if (world_->isLevelUpDue()) world_->levelUp();
    world_->updatePlayer();
    world_->updateEffects();
    world_->update(10);
    sounds_.update();
    return gameOver ? StepResult::GameOver : StepResult::Played;
}

StepResult WorldTest::playSteps(int n, uint32_t bits, bool spawn) {
    for (int i = 0; i < n; ++i) {
        if (playStep(bits, spawn) == StepResult::GameOver) return StepResult::GameOver;
    }
    return StepResult::Played;
}

Enemy* WorldTest::enemyOnPlayer(SourceKind kind, int level) {
    EnemyInfo* info = world_->getPatternSet().getSourceInfo(kind, 1);
    EnemyArray& pool = info->isFrontLayer() ? world_->getFrontEnemies() : world_->getRearEnemies();
    Enemy* e = pool.spawn(info, level);
    if (e == nullptr) return nullptr;
    e->setPosition(player().getX(), player().getY());
    e->setMotion(0.0, 0.0);
    e->setLife(100000);
    return e;
}
