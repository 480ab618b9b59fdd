#include <gtest/gtest.h>

#include <algorithm>

#include "tests/game/world_fixture.h"

namespace {

class GameWorldTest : public WorldTest {
protected:
    int aliveSources() {
        return world().getFrontEnemies().countAlive() + world().getRearEnemies().countAlive();
    }
};

TEST(SpawnIntervalTest, IntervalByLevel) {
    struct Case {
        int level;
        int interval;
    };
    for (Case c : {Case{0, 1000}, Case{1, 950}, Case{9, 550}, Case{10, 571}, Case{19, 391},
                   Case{20, 444}, Case{39, 349}, Case{40, 400}, Case{41, 398}, Case{99, 282}}) {
        EXPECT_EQ(GameWorld::spawnInterval(c.level), c.interval) << "level " << c.level;
    }
}

TEST_F(GameWorldTest, StartLevelAndFirstEnemyStepOfEachChoice) {
    struct Case {
        int choice;
        int level;
        int firstSpawnStep;  // the first step whose time (10 ms per step before it) passes the interval
    };
    for (Case c : {Case{0, 0, 102}, Case{1, 10, 59}, Case{2, 20, 46}, Case{3, 40, 42},
                   Case{4, 99, 30}}) {
        startGame(c.choice, 101);
        EXPECT_EQ(world().getLevel(), c.level);
        EXPECT_EQ(world().getNextSpawn(), GameWorld::spawnInterval(c.level));
        playSteps(c.firstSpawnStep - 1);
        EXPECT_EQ(aliveSources(), 0) << "choice " << c.choice;
        playStep();
        EXPECT_EQ(aliveSources(), 1) << "choice " << c.choice;
        EXPECT_EQ(world().getNextSpawn(), 2 * GameWorld::spawnInterval(c.level));
    }
}

TEST_F(GameWorldTest, LevelRisesEveryTwentySecondsOfGameTimeWithItsSound) {
    startGame(0);
    playSteps(2001, 0, false);
    EXPECT_EQ(world().getLevel(), 0);
    EXPECT_EQ(world().getTime(), 20010);
    lib_.clearCalls();
    playStep(0, false);
    EXPECT_EQ(world().getLevel(), 1);
    EXPECT_EQ(world().getTime(), 20);
    EXPECT_EQ(world().getNextSpawn(), 1000 - 20000);
    EXPECT_TRUE(lib_.played(soundHandle(GAME_SOUND_LEVEL_UP)));
}

TEST_F(GameWorldTest, BoostingRunsTheLevelClockTwiceAsFast) {
    startGame(0);
    playSteps(1001, PAD_SHOT, false);
    EXPECT_EQ(world().getLevel(), 0);
    EXPECT_EQ(world().getTime(), 20020);
    playStep(PAD_SHOT, false);
    EXPECT_EQ(world().getLevel(), 1);
}

TEST_F(GameWorldTest, LevelStaysAtNinetyNineWithoutSound) {
    startGame(4);
    playSteps(2001, 0, false);
    EXPECT_EQ(world().getLevel(), 99);
    EXPECT_FALSE(lib_.played(soundHandle(GAME_SOUND_LEVEL_UP)));
    playStep(0, false);
    EXPECT_EQ(world().getLevel(), 99);
    EXPECT_EQ(world().getTime(), 20);  // the clock still goes back by 20000
    EXPECT_FALSE(lib_.played(soundHandle(GAME_SOUND_LEVEL_UP)));
}

TEST_F(GameWorldTest, ThirdDeathEndsTheGameAndRecordsTheScoreOnce) {
    startGame(1);
    for (int death = 1; death <= 3; ++death) {
        while (player().isInvincible() || !player().isAlive()) playStep(0, false);
        ASSERT_EQ(player().getLives(), 3 - death);
        enemyOnPlayer(SOURCE_FRONT, 10);
        lib_.clearCalls();
        playStep(0, false);
        ASSERT_FALSE(player().isAlive()) << "death " << death;
        EXPECT_TRUE(lib_.played(soundHandle(GAME_SOUND_EXPLODE)));
        EXPECT_EQ(world().getTension(), 0);
        EXPECT_EQ(world().getSurvival(), 0);
        EXPECT_EQ(world().isGameOver(), death == 3);
        world().getFrontEnemies().clearAll();
    }
    const int score = world().getScore();
    ASSERT_GT(score, 0);
    const int time = world().getTime();
    lib_.clearCalls();
    EXPECT_EQ(playStep(0, false), StepResult::GameOver);
    EXPECT_EQ(world().getHiScores().at(0).getScore(), score);
    // The music stops, and the world still runs the rest of this step.
    EXPECT_NE(std::find(lib_.calls().begin(), lib_.calls().end(),
                        StandInCall{"stop", soundHandle(GAME_SOUND_MUSIC), 0, 0, ""}),
              lib_.calls().end());
    EXPECT_EQ(world().getTime(), time + 10);
    // Escape seen in the same step records nothing more.
    world().recordScore();
    EXPECT_EQ(world().getHiScores().at(1).getScore(), 0);
    // A new game records again.
    startGame(1);
    world().recordScore();
    EXPECT_EQ(world().getHiScores().at(1).getScore(), 0);  // 0 points do not enter
    EXPECT_EQ(world().getHiScores().at(0).getScore(), score);
}

TEST_F(GameWorldTest, NewGameRecordsAgainAfterTheLastGameWasRecorded) {
    startGame(1);
    world().addScore(500);
    world().recordScore();
    startGame(1);
    world().addScore(700);
    world().recordScore();
    EXPECT_EQ(world().getHiScores().at(0).getScore(), 700);
    EXPECT_EQ(world().getHiScores().at(1).getScore(), 500);
}

TEST_F(GameWorldTest, ExtraLivesAtTheThresholdsOnlyAboveBeginnerAndBelowNineLives) {
    struct Step {
        int points;
        int threshold;  // after the call
        int livesGained;
    };
    // 200000 -> 500000 -> 1000000 -> 2000000 -> 3000000, one life per call at most.
    const Step steps[] = {{200000, 200000, 0}, {1, 500000, 1},     {299999, 500000, 0},
                          {1, 1000000, 1},      {500000, 2000000, 1}, {5000000, 3000000, 1}};
    for (int choice : {0, 1, 4}) {
        startGame(choice);
        int lives = player().getLives();
        for (const Step& s : steps) {
            lib_.clearCalls();
            world().addScore(s.points);
            sounds_.update();
            EXPECT_EQ(world().getExtendThreshold(), s.threshold) << "choice " << choice;
            const int gained = choice > 0 ? s.livesGained : 0;
            lives += gained;
            EXPECT_EQ(player().getLives(), lives) << "choice " << choice;
            EXPECT_EQ(lib_.played(soundHandle(GAME_SOUND_EXTEND)), gained > 0);
        }
    }
}

TEST_F(GameWorldTest, NoExtraLifeAtNineLivesButTheThresholdAdvances) {
    startGame(2);
    while (player().getLives() < 9) player().addLife();
    world().addScore(200001);
    EXPECT_EQ(player().getLives(), 9);
    EXPECT_EQ(world().getExtendThreshold(), 500000);
}

TEST_F(GameWorldTest, ScoreTensionAndSurvivalOverTheFirstSteps) {
    startGame(1);  // level 10, survival band width 625
    world().addTension(100);  // 100 x (10 + 1)
    ASSERT_EQ(world().getTension(), 1100);
    struct Expected {
        int score;
        int remainder;
        int tension;
        int survival;
    };
    // rate = 11 x survival / 100 + tension; tension -= ceil(1 %); survival += 110 / 100 a step.
    const Expected steps[] = {
        {1, 100, 1089, 1},  // rate 1100
        {2, 189, 1078, 2},  // rate 0 + 1089
        {3, 267, 1067, 3},  // rate 0 + 1078
    };
    for (const Expected& e : steps) {
        playStep(0, false);
        EXPECT_EQ(world().getScore(), e.score);
        EXPECT_EQ(world().getScoreRemainder(), e.remainder);
        EXPECT_EQ(world().getTension(), e.tension);
        EXPECT_EQ(world().getSurvival(), e.survival);
    }
    // Boosting: rate x 5 (1067 x 5 = 5335 + 267 = 5602), tension decay on 10 ms, survival
    // and the clock on 20 ms (3 + (30 + 220) / 100 = 5).
    const int time = world().getTime();
    playStep(PAD_SHOT, false);
    EXPECT_EQ(world().getScore(), 3 + 5);
    EXPECT_EQ(world().getScoreRemainder(), 602);
    EXPECT_EQ(world().getTension(), 1067 - 11);
    EXPECT_EQ(world().getSurvival(), 5);
    EXPECT_EQ(world().getTime(), time + 20);
}

TEST_F(GameWorldTest, SurvivalSlowsDownBandByBandAndShrinksDuringABomb) {
    startGame(0);  // band width 500
    struct Expected {
        int steps;
        int survival;
    };
    // 1.1 a step below 500, then 1.0 a step.
    for (Expected e : {Expected{10, 11}, Expected{454, 499}, Expected{455, 500},
                       Expected{456, 501}, Expected{460, 505}}) {
        while (world().getTime() < e.steps * 10) playStep(0, false);
        EXPECT_EQ(world().getSurvival(), e.survival) << "after " << e.steps << " steps";
    }
    playStep(PAD_BOMB, false);  // 505 - ceil(505 x 10 / 5000)
    EXPECT_EQ(world().getSurvival(), 503);
    playStep(0, false);
    EXPECT_EQ(world().getSurvival(), 501);
}

TEST_F(GameWorldTest, TensionNeverFallsBelowZeroAndLosesAtLeastOne) {
    startGame(0);  // level 0
    world().addTension(3);
    playStep(0, false);
    EXPECT_EQ(world().getTension(), 2);
    playSteps(5, 0, false);
    EXPECT_EQ(world().getTension(), 0);
    world().addTension(2.9);  // the amount is truncated
    EXPECT_EQ(world().getTension(), 2);
}

TEST_F(GameWorldTest, ScoreRemainderCarriesIntoTheNextGame) {
    startGame(1);
    world().addTension(1);  // 11 thousandths a step
    playStep(0, false);
    const int remainder = world().getScoreRemainder();
    ASSERT_GT(remainder, 0);
    startGame(1);
    EXPECT_EQ(world().getScoreRemainder(), remainder);
    EXPECT_EQ(world().getScore(), 0);
}

TEST_F(GameWorldTest, HiScoreFollowsTheBestScoreSinceStartUp) {
    startGame(1);
    world().addScore(1234);
    EXPECT_EQ(world().getHiScore(), 1234);
    startGame(1);
    world().addScore(10);
    EXPECT_EQ(world().getHiScore(), 1234);
}

TEST_F(GameWorldTest, StartLevelChoiceWrapsBothWays) {
    EXPECT_EQ(world().getStartLevel(), 0);
    world().moveStartLevel(true);
    EXPECT_EQ(world().getStartLevel(), 4);
    world().moveStartLevel(false);
    world().moveStartLevel(false);
    EXPECT_EQ(world().getStartLevel(), 1);
}

TEST_F(GameWorldTest, FullPoolDropsTheEnemyButTheScheduleAdvances) {
    startGame(0);
    for (uint32_t i = 0; i < EnemyArray::kSize; ++i) {
        world().getFrontEnemies().spawn(world().getPatternSet().getSourceInfo(SOURCE_FRONT, 1), 0);
    }
    const int next = world().getNextSpawn();
    world().spawnEnemy();
    EXPECT_EQ(world().getFrontEnemies().countAlive(), 100);
    EXPECT_EQ(world().getRearEnemies().countAlive(), 0);
    EXPECT_EQ(world().getNextSpawn(), next + 1000);
}

TEST_F(GameWorldTest, NewGameClearsTheFieldWithoutDeathEffects) {
    startGame(3);
    playSteps(3000, PAD_RIGHT | PAD_SHOT);
    world().newGame();
    EXPECT_EQ(world().getFrontEnemies().countAlive(), 0);
    EXPECT_EQ(world().getRearEnemies().countAlive(), 0);
    EXPECT_EQ(world().getBullets().countAlive(), 0);
    EXPECT_EQ(world().getEffects().countAlive(), 0);
    EXPECT_EQ(world().getFrontBlasts().countAlive(), 0);
    EXPECT_EQ(world().getRearBlasts().countAlive(), 0);
    EXPECT_FALSE(world().getExplosion().isAlive());
    EXPECT_FALSE(world().isGameOver());
    EXPECT_EQ(world().getTime(), 0);
    EXPECT_EQ(world().getExtendThreshold(), 200000);
}

// A long scripted game: every rule runs together and the world's invariants hold.
TEST_F(GameWorldTest, ScriptedGameKeepsItsInvariants) {
    for (int choice = 0; choice < 5; ++choice) {
        std::srand(100 + choice);
        startGame(choice, 101);
        const uint32_t moves[] = {PAD_LEFT, PAD_UP | PAD_RIGHT, PAD_DOWN, PAD_RIGHT | PAD_SHOT,
                                  PAD_LEFT | PAD_DOWN | PAD_SHOT, PAD_BOMB, 0, PAD_UP};
        int step = 0;
        StepResult result = StepResult::Played;
        while (result == StepResult::Played && step < 20000) {
            result = playStep(moves[(step / 37) % 8]);
            ++step;
            ASSERT_GE(player().getLives(), 0);
            ASSERT_LE(world().getLevel(), 99);
            ASSERT_GE(world().getTension(), 0);
            ASSERT_GE(world().getSurvival(), 0);
            ASSERT_GE(world().getScore(), 0);
            ASSERT_LE(world().getTime(), 20020);
            ASSERT_GE(player().getX(), 35);
            ASSERT_LE(player().getX(), 388);
        }
        if (result == StepResult::GameOver) {
            EXPECT_TRUE(world().isGameOver());
            EXPECT_EQ(player().getLives(), 0);
        }
    }
}

}  // namespace
