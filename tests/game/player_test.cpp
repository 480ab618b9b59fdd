#include <gtest/gtest.h>

#include "tests/game/world_fixture.h"

namespace {

class PlayerTest : public WorldTest {};

TEST_F(PlayerTest, FieldsStartAtZeroBeforeTheFirstGame) {
    Player p;
    EXPECT_FALSE(p.isAlive());
    EXPECT_EQ(p.getLives(), 0);
    EXPECT_EQ(p.getBombs(), 0);
    EXPECT_EQ(p.getRotation(), 0);
    EXPECT_EQ(p.getInvincible(), 0);
    EXPECT_EQ(p.getRespawnWait(), 0);
    EXPECT_EQ(p.getBombTime(), 0);
    EXPECT_FALSE(p.isBoosting());
    EXPECT_FALSE(p.hasAutoBomb());
    EXPECT_FALSE(p.isDemo());
}

TEST_F(PlayerTest, NewGameStartsAtTheBottomCentreWithTwoLivesAndThreeBombs) {
    startGame(1);
    EXPECT_TRUE(player().isAlive());
    EXPECT_EQ(player().getX(), 211);
    EXPECT_EQ(player().getY(), 420);
    EXPECT_EQ(player().getLives(), 2);
    EXPECT_EQ(player().getBombs(), 3);
    EXPECT_FALSE(player().isInvincible());
    EXPECT_FALSE(player().hasAutoBomb());
    EXPECT_EQ(player().getCharge().getThreshold(), 20000);
    EXPECT_EQ(player().getCharge().getValue(), 0);
}

TEST_F(PlayerTest, DirectionBitsMoveAndRoll) {
    struct Case {
        uint32_t bits;
        int dx;
        int dy;
        int roll;  // roll after one step from 0
    };
    const Case cases[] = {
        {0, 0, 0, 0},    {1, 0, 3, 0},   {2, -3, 0, 79}, {3, -2, 2, 79},
        {4, 3, 0, 1},    {5, 2, 2, 1},   {6, 0, 0, 0},   {7, 0, 3, 0},
        {8, 0, -3, 0},   {9, 0, 0, 0},   {10, -2, -2, 79}, {11, -3, 0, 79},
        {12, 2, -2, 1},  {13, 3, 0, 1},  {14, 0, -3, 0}, {15, 0, 0, 0},
    };
    for (const Case& c : cases) {
        startGame(1);
        playStep(c.bits, false);
        EXPECT_EQ(player().getX(), 211 + c.dx) << "bits " << c.bits;
        EXPECT_EQ(player().getY(), 420 + c.dy) << "bits " << c.bits;
        EXPECT_EQ(player().getRotation(), c.roll) << "bits " << c.bits;
    }
}

TEST_F(PlayerTest, ShipIsClampedToTheFieldByItsHitRectangle) {
    struct Case {
        uint32_t bits;
        double x;
        double y;
    };
    for (Case c : {Case{PAD_LEFT | PAD_UP, 35, 3}, Case{PAD_RIGHT | PAD_DOWN, 388, 476}}) {
        startGame(1);
        playSteps(300, c.bits, false);
        EXPECT_EQ(player().getX(), c.x);
        EXPECT_EQ(player().getY(), c.y);
    }
}

TEST_F(PlayerTest, RollRunsOnAfterReleaseAndStopsAtAHalfTurn) {
    startGame(1);
    playSteps(5, PAD_RIGHT, false);
    EXPECT_EQ(player().getRotation(), 5);
    playSteps(34, 0, false);
    EXPECT_EQ(player().getRotation(), 39);
    playStep(0, false);
    EXPECT_EQ(player().getRotation(), 40);
    playSteps(10, 0, false);
    EXPECT_EQ(player().getRotation(), 40);

    // Rolling left from 40 stops at 0 (80 wraps to 0).
    playSteps(3, PAD_LEFT, false);
    EXPECT_EQ(player().getRotation(), 37);
    playSteps(37, 0, false);
    EXPECT_EQ(player().getRotation(), 0);
    playSteps(5, 0, false);
    EXPECT_EQ(player().getRotation(), 0);
    EXPECT_EQ(player().getRollStep(), 0);
}

TEST_F(PlayerTest, BombFiresOncePerPressOnlyWithBombsAndNoActiveBomb) {
    startGame(1);
    playStep(PAD_BOMB, false);
    EXPECT_EQ(player().getBombs(), 2);
    EXPECT_TRUE(player().isBombing());
    EXPECT_EQ(player().getBombTime(), 2000);
    EXPECT_EQ(player().getInvincible(), 4990);
    EXPECT_TRUE(lib_.played(soundHandle(GAME_SOUND_BOMB)));

    // Held through the whole bomb and beyond: nothing more.
    playSteps(300, PAD_BOMB, false);
    EXPECT_EQ(player().getBombs(), 2);
    // Pressed again while a bomb is active: nothing.
    playStep(0, false);
    playStep(PAD_BOMB, false);
    EXPECT_EQ(player().getBombs(), 1);
    playStep(0, false);
    playStep(PAD_BOMB, false);
    EXPECT_EQ(player().getBombs(), 1);
    // Used up: pressing with 0 bombs does nothing.
    playSteps(200, 0, false);
    playStep(PAD_BOMB, false);
    EXPECT_EQ(player().getBombs(), 0);
    playSteps(200, 0, false);
    EXPECT_FALSE(player().isBombing());
    lib_.clearCalls();
    playStep(PAD_BOMB, false);
    EXPECT_EQ(player().getBombs(), 0);
    EXPECT_FALSE(player().isBombing());
    EXPECT_FALSE(lib_.played(soundHandle(GAME_SOUND_BOMB)));
}

TEST_F(PlayerTest, BombIsActiveForTwoHundredSteps) {
    startGame(1);
    playStep(PAD_BOMB, false);
    int steps = 0;
    while (player().isBombing()) {
        playStep(0, false);
        ++steps;
    }
    EXPECT_EQ(steps, 200);
}

TEST_F(PlayerTest, ChargeGainsABombAboveItsThresholdThenNeedsTenThousandMore) {
    startGame(4);  // charges 4 per step
    playSteps(5000, 0, false);
    EXPECT_EQ(player().getBombs(), 3);
    EXPECT_EQ(player().getChargePercent(), 100);  // 20000 of 20000: not yet above
    lib_.clearCalls();
    playStep(0, false);
    EXPECT_EQ(player().getBombs(), 4);
    EXPECT_EQ(player().getCharge().getValue(), 4);
    EXPECT_EQ(player().getCharge().getThreshold(), 30000);
    EXPECT_TRUE(lib_.played(soundHandle(GAME_SOUND_CHARGE)));

    playSteps(7499, 0, false);
    EXPECT_EQ(player().getBombs(), 4);
    playStep(0, false);
    EXPECT_EQ(player().getBombs(), 5);
    EXPECT_EQ(player().getCharge().getThreshold(), 40000);
}

TEST_F(PlayerTest, ChargeStopsGrowingAtNineBombs) {
    startGame(4);
    while (player().getBombs() < 9) player().gainBomb();
    int value = player().getCharge().getValue();
    playSteps(100, 0, false);
    EXPECT_EQ(player().getCharge().getValue(), value);
    EXPECT_EQ(player().getBombs(), 9);
}

TEST_F(PlayerTest, BeginnerNeverCharges) {
    startGame(0);
    playSteps(1000, 0, false);
    EXPECT_EQ(player().getCharge().getValue(), 0);
    EXPECT_EQ(player().getChargePercent(), 0);
}

TEST_F(PlayerTest, DemoModeMovesButNeitherChargesBoostsNorBombs) {
    startGame(4);
    world().setDemo(true);
    playStep(PAD_SHOT | PAD_BOMB | PAD_RIGHT, false);
    EXPECT_EQ(player().getX(), 214);
    EXPECT_EQ(player().getCharge().getValue(), 0);
    EXPECT_FALSE(player().isBoosting());
    EXPECT_EQ(player().getBombs(), 3);
}

TEST_F(PlayerTest, BeginnerAutoBombAbsorbsTheFirstHitAfterEachRespawn) {
    startGame(0);
    EXPECT_TRUE(player().hasAutoBomb());
    enemyOnPlayer(SOURCE_FRONT, 0);
    playStep(0, false);
    EXPECT_TRUE(player().isAlive());
    EXPECT_TRUE(player().isBombing());
    EXPECT_EQ(player().getBombs(), 0);
    EXPECT_FALSE(player().hasAutoBomb());
    EXPECT_TRUE(lib_.played(soundHandle(GAME_SOUND_BOMB)));

    playSteps(500, 0, false);  // the bomb's barrier runs out
    ASSERT_FALSE(player().isInvincible());
    enemyOnPlayer(SOURCE_FRONT, 0);
    lib_.clearCalls();
    playStep(0, false);
    EXPECT_FALSE(player().isAlive());
    EXPECT_TRUE(lib_.played(soundHandle(GAME_SOUND_EXPLODE)));

    playSteps(200, 0, false);
    EXPECT_TRUE(player().isAlive());
    EXPECT_TRUE(player().hasAutoBomb());
    EXPECT_EQ(player().getBombs(), 3);
}

TEST_F(PlayerTest, RespawnAfterTwoSecondsWithThreeSecondsOfBarrier) {
    startGame(1);
    enemyOnPlayer(SOURCE_FRONT, 10);
    playStep(0, false);
    ASSERT_FALSE(player().isAlive());
    EXPECT_EQ(player().getLives(), 2);
    int deadSteps = 1;  // the step of the hit counts the first 10 ms
    while (!player().isAlive()) {
        playStep(0, false);
        ++deadSteps;
    }
    EXPECT_EQ(deadSteps, 200);
    EXPECT_EQ(player().getLives(), 1);
    EXPECT_EQ(player().getX(), 211);
    EXPECT_EQ(player().getY(), 420);
    EXPECT_EQ(player().getInvincible(), 2990);
    int barrierSteps = 1;
    while (player().isInvincible()) {
        playStep(0, false);
        ++barrierSteps;
    }
    EXPECT_EQ(barrierSteps, 300);
}

TEST_F(PlayerTest, ResetAndRespawnClearAStaleBoost) {
    startGame(1);
    playStep(PAD_SHOT, false);
    ASSERT_TRUE(player().isBoosting());
    world().newGame();
    EXPECT_FALSE(player().isBoosting());

    world().setDemo(false);
    playStep(PAD_SHOT, false);
    ASSERT_TRUE(player().isBoosting());
    enemyOnPlayer(SOURCE_FRONT, 10);
    playStep(PAD_SHOT, false);
    ASSERT_FALSE(player().isAlive());
    // Dead and waiting: the shot button is not read, and the new ship starts without boost.
    while (!player().isAlive()) playStep(PAD_SHOT, false);
    EXPECT_FALSE(player().isBoosting());
}

TEST_F(PlayerTest, BarrierTileRunsThroughTheLastSixTilesAndIsClamped) {
    startGame(1);
    DhGraph& barrier = graphs_.at(13);
    struct Case {
        int invincible;
        int tile;
    };
    // The barrier's countdown starts at 3000 on respawn; use the bomb's 5000 and count down.
    playStep(PAD_BOMB, false);
    for (Case c : {Case{4990, 0}, Case{1250, 0}, Case{1240, 1}, Case{500, 3}, Case{240, 5},
                   Case{10, 5}}) {
        while (player().getInvincible() > c.invincible) playStep(0, false);
        ASSERT_EQ(player().getInvincible(), c.invincible);
        EXPECT_EQ(player().getBarrierTile(), c.tile) << c.invincible;
        EXPECT_EQ(player().getBarrierHandle(), barrier.getHandle(c.tile));
    }
    // A barrier graph with fewer tiles than the countdown asks for.
    DhGraph small;
    small.handles().resize(3);
    for (int i = 0; i < 3; ++i) small.handles().at(i) = 70 + i;
    player().setBarrierGraph(&small);
    EXPECT_EQ(player().getBarrierTile(), 2);
    EXPECT_EQ(player().getBarrierHandle(), 72);
}

TEST_F(PlayerTest, TailTrailsTheShipOnlyWhileItIsNotInvincible) {
    startGame(1);
    playSteps(50, PAD_RIGHT, false);
    int alive = 0;
    for (uint32_t i = 0; i < world().getTails().size(); ++i) {
        if (world().getTails().at(i).isAlive()) ++alive;
    }
    EXPECT_EQ(alive, 20);
    playStep(PAD_BOMB, false);
    for (uint32_t i = 0; i < world().getTails().size(); ++i) {
        EXPECT_FALSE(world().getTails().at(i).isAlive());
    }
}

}  // namespace
