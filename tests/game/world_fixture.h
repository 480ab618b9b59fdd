// A game world set up as the main frame sets it up (graph and sound tables loaded through the
// recording stand-in, joypad, seeded rand()), in a temporary working directory, with helpers
// that run the steps of the ready and play scenes.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "game_world.h"
#include "tests/game/stand_in/library_stand_in.h"
#include "tests/support/temp_dir.h"
#include "zn_graph_resource.h"
#include "zn_joypad.h"
#include "zn_sound_resource.h"

// Sound handles the stand-in gives the seven sound slots (loaded in slot order).
constexpr int soundHandle(int slot) { return 100 + slot; }

enum class StepResult { Played, GameOver };

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Chooses the start level, starts a new game as the ready scene does, runs readySteps
    // steps of the ready scene, then enters play (music on).
    void startGame(int choice, int readySteps = 0);
    // One step of the main loop in the play scene: the joypad reads bits, the scene runs
    // (spawning only when spawn is true, so a test can keep the field empty), the sound table
    // is flushed. Returns GameOver when the scene saw the game-over flag (the score is then
    // recorded and the music stopped, as the play scene does; the world still runs this step).
    StepResult playStep(uint32_t bits = 0, bool spawn = true);
    // n play steps with the same bits; stops early at game over.
    StepResult playSteps(int n, uint32_t bits = 0, bool spawn = true);
    // One step of the ready scene.
    void readyStep(uint32_t bits = 0);
    // Puts a new enemy of the kind on the player's position, with a long life so it does not
    // fire.
    Enemy* enemyOnPlayer(SourceKind kind, int level);

    GameWorld& world() { return *world_; }
    Player& player() { return world_->getPlayer(); }

    ScopedTempDir dir_;
    LibraryStandIn lib_;
    ZnGraphResource graphs_;
    ZnSoundResource sounds_;
    ZnJoypad joypad_;
    std::unique_ptr<GameWorld> world_;
};
