#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "tests/game/world_fixture.h"

namespace {

constexpr double kPi = std::numbers::pi;

class EnemyTest : public WorldTest {
protected:
    std::vector<Enemy*> alive(EnemyArray& pool) {
        std::vector<Enemy*> out;
        for (uint32_t i = 0; i < pool.size(); ++i) {
            if (pool.at(i).isAlive()) out.push_back(&pool.at(i));
        }
        return out;
    }
    EnemyInfo* info(SourceKind kind, int variant = 1) {
        return world().getPatternSet().getSourceInfo(kind, variant);
    }
};

TEST_F(EnemyTest, EntryPositionLifeAndMotionOfEachKind) {
    startGame(1);
    const double px = player().getX();
    const double py = player().getY();
    const int w = 32;  // tile size of every source graph in the fixture
    const int W = 359;
    const int H = 479;
    struct Case {
        SourceKind kind;
        int level;
    };
    for (Case c : {Case{SOURCE_FRONT, 30}, Case{SOURCE_FRONT_SIDE, 30}, Case{SOURCE_REAR_SIDE, 30},
                   Case{SOURCE_REAR, 50}}) {
        for (unsigned seed : {1u, 2u, 3u, 77u}) {
            // The same random numbers, drawn by hand in the order the entry draws them.
            std::srand(seed);
            const int r1 = std::rand();
            const int r2 = std::rand();
            const int r3 = std::rand();
            std::srand(seed);
            EnemyArray& pool = info(c.kind)->isFrontLayer() ? world().getFrontEnemies()
                                                            : world().getRearEnemies();
            pool.clearAll();
            Enemy* e = pool.spawn(info(c.kind), c.level);
            ASSERT_NE(e, nullptr);
            SCOPED_TRACE(testing::Message() << "kind " << c.kind << " seed " << seed);
            switch (c.kind) {
            case SOURCE_FRONT: {
                const int l = 30;
                EXPECT_EQ(e->getLevel(), l);
                EXPECT_EQ(e->getLife(), (r1 % 20) * l + 1000 - 5 * l);
                const double x = 32 + r2 % W;
                const double y = 0 - w;
                EXPECT_EQ(e->getX(), x);
                EXPECT_EQ(e->getY(), y);
                EXPECT_NEAR(e->getDirection(), std::atan2(px - x, py - y), 1e-9);
                EXPECT_DOUBLE_EQ(e->getSpeed(), 1.0);
                break;
            }
            case SOURCE_FRONT_SIDE:
            case SOURCE_REAR_SIDE: {
                const bool front = c.kind == SOURCE_FRONT_SIDE;
                const int l = front ? 20 : 10;
                EXPECT_EQ(e->getLevel(), l);
                EXPECT_EQ(e->getLife(),
                          front ? (r1 % 30) * l + 1500 - 10 * l : (r1 % 30) * l + 1500);
                const double x = 32 + (r2 % 2 == 0 ? -w : W + w);
                const double y = front ? r3 % (H / 2) : r3 % (H / 2) + H / 2;
                EXPECT_EQ(e->getX(), x);
                EXPECT_EQ(e->getY(), y);
                EXPECT_NEAR(e->getDirection(), std::atan2(px - x, py / 2 - y), 1e-9);
                EXPECT_DOUBLE_EQ(e->getSpeed(), front ? 0.75 : 0.5);
                break;
            }
            case SOURCE_REAR: {
                const int l = 10;
                EXPECT_EQ(e->getLevel(), l);
                EXPECT_EQ(e->getLife(), (r1 % 20) * l + 3000 - 20 * l);
                EXPECT_EQ(e->getX(), 32 + r2 % W);
                EXPECT_EQ(e->getY(), H + w);
                EXPECT_DOUBLE_EQ(e->getDirection(), kPi);
                EXPECT_DOUBLE_EQ(e->getSpeed(), 0.5);
                break;
            }
            }
            EXPECT_EQ(e->getMaxLife(), e->getLife());
            EXPECT_EQ(e->getAge(), 0);
        }
    }
}

TEST_F(EnemyTest, ChosenKindFollowsTheLevelBands) {
    PatternSet& set = world().getPatternSet();
    for (int level : {0, 9, 10, 19, 20, 39, 40, 99}) {
        for (unsigned seed = 1; seed <= 40; ++seed) {
            std::srand(seed);
            const int r = std::rand();
            const int variant = (std::rand() & 7) == 0 ? 2 : 1;
            const int k = level < 10 ? r & 3 : level < 20 ? r & 7 : level < 40 ? r % 11 : r % 12;
            const SourceKind kind = k < 4   ? SOURCE_FRONT
                                    : k < 8 ? SOURCE_FRONT_SIDE
                                    : k < 11 ? SOURCE_REAR_SIDE
                                             : SOURCE_REAR;
            std::srand(seed);
            EXPECT_EQ(set.chooseEnemy(level), set.getSourceInfo(kind, variant))
                << "level " << level << " seed " << seed;
        }
    }
    // Kinds appear only from their level on.
    std::srand(5);
    for (int i = 0; i < 2000; ++i) {
        EnemyInfo* chosen = set.chooseEnemy(9);
        EXPECT_TRUE(chosen == set.getSourceInfo(SOURCE_FRONT, 1) ||
                    chosen == set.getSourceInfo(SOURCE_FRONT, 2));
    }
}

TEST_F(EnemyTest, AimedShotHeadsForThePlayer) {
    startGame(1);
    Enemy* source = world().getFrontEnemies().spawn(info(SOURCE_FRONT, 1), 0);
    Pattern::setPosition(*source, 60, 100);
    source->setMotion(0.0, 0.0);
    source->setLife(1);
    lib_.clearCalls();
    playStep(0, false);
    EXPECT_FALSE(source->isAlive());
    EXPECT_TRUE(lib_.played(soundHandle(GAME_SOUND_SHOOT)));
    std::vector<Enemy*> bullets = alive(world().getBullets());
    ASSERT_EQ(bullets.size(), 1u);  // the emitter died in the same step
    Enemy* b = bullets[0];
    EXPECT_EQ(b->getLevel(), 30);  // (0 + 100) * 3 / 10
    EXPECT_NEAR(b->getSpeed(), 3.1, 1e-12);
    const double tx = player().getX() - b->getX();
    const double ty = player().getY() - b->getY();
    EXPECT_NEAR(b->getVelocityX() * ty - b->getVelocityY() * tx, 0.0, 1e-6);
    EXPECT_GT(b->getVelocityX() * tx + b->getVelocityY() * ty, 0.0);
    // Three blasts of the source's death in the front blasts.
    EXPECT_EQ(alive(world().getFrontBlasts()).size(), 3u);
}

TEST_F(EnemyTest, FanIsCentredOnTheAimAndSlowerPerBullet) {
    startGame(3);
    for (unsigned seed : {3u, 8u, 21u}) {
        world().getBullets().clearAll();
        Enemy* source = world().getRearEnemies().spawn(info(SOURCE_REAR, 2), 40 + 51);
        Pattern::setPosition(*source, 100, 100);
        source->setMotion(0.0, 0.0);
        source->setLife(1);
        const double aim = source->angleTo(player().getX(), player().getY());
        std::srand(seed);
        // The source fires before it bursts, so the fan draws the first random numbers.
        const int n = std::rand() % (51 / 17 + 3) + 1;
        const int count = n < 2 ? 2 : n;
        const double s = (std::rand() % 10 + 1) * 0.025;
        std::srand(seed);
        playStep(0, false);
        std::vector<Enemy*> bullets = alive(world().getBullets());
        ASSERT_EQ(static_cast<int>(bullets.size()), count) << "seed " << seed;
        double sum = 0;
        for (int i = 0; i < count; ++i) {
            Enemy* b = bullets[i];
            EXPECT_EQ(b->getLevel(), (51 + 100 - 17 * count) * 3 / 10);
            EXPECT_NEAR(b->getDirection(), aim - s * (count - 1) + 2 * s * i, 1e-9);
            sum += b->getDirection();
        }
        EXPECT_NEAR(sum / count, aim, 1e-9);
    }
}

TEST_F(EnemyTest, FrontEnemiesKillOnContactRearOnesDoNot) {
    struct Case {
        SourceKind kind;
        int level;
        bool kills;
    };
    for (Case c : {Case{SOURCE_FRONT, 0, true}, Case{SOURCE_FRONT_SIDE, 10, true},
                   Case{SOURCE_REAR_SIDE, 20, false}, Case{SOURCE_REAR, 40, false}}) {
        startGame(1);
        ASSERT_NE(enemyOnPlayer(c.kind, c.level), nullptr);
        playStep(0, false);
        EXPECT_EQ(player().isAlive(), !c.kills) << "kind " << c.kind;
    }
}

TEST_F(EnemyTest, BulletOnThePlayerKills) {
    startGame(1);
    Enemy* b = world().getBullets().spawn(world().getPatternSet().getBulletInfo(), 30);
    b->setPosition(player().getX() + 5, player().getY());
    b->setMotion(0.0, 0.0);
    playStep(0, false);
    EXPECT_FALSE(player().isAlive());
    EXPECT_FALSE(world().isGameOver());
}

TEST_F(EnemyTest, GrazingBulletRaisesTensionOncePerStepAndThrowsASplinter) {
    startGame(1);  // level 10
    playSteps(15, PAD_RIGHT, false);
    // A tail laid ten steps ago lies 30 pixels left of the ship, next to two others.
    Enemy* b = world().getBullets().spawn(world().getPatternSet().getBulletInfo(), 5);
    b->setPosition(player().getX() - 30, player().getY());
    b->setMotion(0.0, 0.0);
    const int before = world().getTension();
    ASSERT_EQ(before, 0);
    playStep(0, false);
    ASSERT_TRUE(player().isAlive());
    const int raised = 5 * (10 + 1);                                // level x (world level + 1)
    const int expected = raised - (raised + 99) / 100;              // minus 1 % rounded up
    EXPECT_EQ(world().getTension(), expected);
    EXPECT_EQ(alive(world().getEffects()).size(), 1u);
    Enemy* splinter = alive(world().getEffects())[0];
    EXPECT_EQ(splinter->getInfo(), world().getPatternSet().getSplinterInfo());
    EXPECT_NEAR(splinter->getSpeed(), 3.0, 1e-12);
    EXPECT_TRUE(b->isAlive());  // the bullet goes on
}

TEST_F(EnemyTest, SourceCountdownRunsOnlyInsideTheFieldAndTwiceAsFastWhileBoosting) {
    startGame(3);
    Enemy* e = world().getRearEnemies().spawn(info(SOURCE_REAR), 40);
    e->setMotion(0.0, 0.0);
    e->setLife(5000);
    e->setPosition(PlayArea.left - 10, 200);  // in view, outside the field
    playStep(0, false);
    EXPECT_EQ(e->getLife(), 5000);
    e->setPosition(PlayArea.left + 10, 200);
    playStep(0, false);
    EXPECT_EQ(e->getLife(), 4990);
    playStep(PAD_SHOT, false);  // boost starts in this step's player update, after the enemies
    EXPECT_EQ(e->getLife(), 4980);
    playStep(PAD_SHOT, false);
    EXPECT_EQ(e->getLife(), 4960);
}

TEST_F(EnemyTest, OutOfViewSourcesGetTwoSecondsBulletsNone) {
    startGame(3);
    Enemy* e = world().getRearEnemies().spawn(info(SOURCE_REAR), 40);
    e->setMotion(0.0, 0.0);
    // Out of view (the source's tile is 32 wide) where its 48-pixel blasts are still in view.
    e->setPosition(PlayArea.left - 42, 200);
    while (e->getAge() < 2000) playStep(0, false);
    EXPECT_TRUE(e->isAlive());
    playStep(0, false);
    EXPECT_FALSE(e->isAlive());
    EXPECT_EQ(alive(world().getRearBlasts()).size(), 3u);

    // A bullet one pixel beyond its tile outside the field dies at once, leaving a blast.
    Enemy* b = world().getBullets().spawn(world().getPatternSet().getBulletInfo(), 10);
    b->setMotion(0.0, 0.0);
    b->setPosition(PlayArea.left - 8, 100);
    playStep(0, false);
    EXPECT_TRUE(b->isAlive());
    b->setPosition(PlayArea.left - 9, 100);
    world().getEffects().clearAll();
    playStep(0, false);
    EXPECT_FALSE(b->isAlive());
    std::vector<Enemy*> effects = alive(world().getEffects());
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(effects[0]->getInfo(), world().getPatternSet().getBlastInfo());
}

TEST_F(EnemyTest, BombKillsEverySourceAndBulletForTwoSeconds) {
    startGame(3);
    playStep(PAD_BOMB, false);
    // Killed in each of the 200 following steps, with three blasts per source and one per bullet.
    for (int step = 1; step <= 201; ++step) {
        world().getRearBlasts().clearAll();
        world().getEffects().clearAll();
        Enemy* e = world().getRearEnemies().spawn(info(SOURCE_REAR), 40);
        e->setMotion(0.0, 0.0);
        e->setLife(100000);
        Pattern::setPosition(*e, 100, 100);
        Enemy* b = world().getBullets().spawn(world().getPatternSet().getBulletInfo(), 10);
        b->setMotion(0.0, 0.0);
        Pattern::setPosition(*b, 300, 100);
        playStep(0, false);
        if (step <= 200) {
            ASSERT_FALSE(e->isAlive()) << "step " << step;
            ASSERT_FALSE(b->isAlive()) << "step " << step;
            EXPECT_EQ(alive(world().getRearBlasts()).size(), 3u);
            int blasts = 0;
            for (Enemy* fx : alive(world().getEffects())) {
                if (fx->getInfo() == world().getPatternSet().getBlastInfo()) ++blasts;
            }
            EXPECT_EQ(blasts, 1);
        } else {
            EXPECT_TRUE(e->isAlive());
            EXPECT_TRUE(b->isAlive());
        }
    }
}

TEST_F(EnemyTest, FullPoolDropsTheSpawn) {
    EnemyArray& pool = world().getFrontEnemies();
    startGame(1);
    for (uint32_t i = 0; i < EnemyArray::kSize; ++i) {
        ASSERT_NE(pool.spawn(info(SOURCE_FRONT), 0), nullptr);
    }
    EXPECT_EQ(pool.spawn(info(SOURCE_FRONT), 0), nullptr);
    EXPECT_EQ(pool.countAlive(), 100);
}

TEST_F(EnemyTest, EffectTilesRunThroughTheGraphAndAreClamped) {
    startGame(1);
    PatternSet& set = world().getPatternSet();
    Enemy* s = world().getEffects().spawn(set.getSplinterInfo(), 30);
    s->setLife(1000);
    struct Case {
        int life;
        int frame;
    };
    // 8 tiles: (8 - 1) - life x 7 / 1000.
    for (Case c : {Case{1000, 0}, Case{500, 4}, Case{142, 7}, Case{143, 6}, Case{0, 7}, Case{-300, 7},
                   Case{2000, 0}}) {
        s->setLife(1000);
        s->consumeLife(1000 - c.life);
        EXPECT_EQ(set.getSplinterInfo()->getFrame(*s), c.frame) << c.life;
    }
    // An effect graph with no tiles.
    DhGraph empty;
    SplinterInfo bare;
    bare.setGraph(&empty);
    EXPECT_EQ(bare.getFrame(*s), 0);

    // Markers: 19 - life x 19 / 500, within the marker graph's 20 tiles.
    for (Case c : {Case{499, 1}, Case{250, 10}, Case{0, 19}, Case{-100, 19}, Case{600, 0}}) {
        s->setLife(c.life);
        EXPECT_EQ(s->getMarkerTile(20), c.frame) << c.life;
    }
    s->setLife(0);
    EXPECT_EQ(s->getMarkerTile(5), 4);
}

TEST_F(EnemyTest, BlastsFlyOnForHalfASecond) {
    startGame(1);
    Enemy* b = world().getBullets().spawn(world().getPatternSet().getBulletInfo(), 19);
    Pattern::setPosition(*b, 100, 100);
    b->setMotion(kPi / 2, 2.0);
    b->kill();
    std::vector<Enemy*> effects = alive(world().getEffects());
    ASSERT_EQ(effects.size(), 1u);
    Enemy* blast = effects[0];
    EXPECT_EQ(blast->getLife(), 500);
    EXPECT_NEAR(blast->getSpeed(), 2.0, 1e-12);
    EXPECT_NEAR(blast->getDirection(), kPi / 2, 1e-12);
    int steps = 0;
    while (blast->isAlive()) {
        playStep(0, false);
        ++steps;
    }
    EXPECT_EQ(steps, 50);
}

TEST_F(EnemyTest, PlayerExplosionThrowsFortyBlastsAndLastsASecond) {
    startGame(1);
    enemyOnPlayer(SOURCE_FRONT, 0);
    playStep(0, false);
    ASSERT_FALSE(player().isAlive());
    EXPECT_TRUE(world().getExplosion().isAlive());
    EXPECT_EQ(alive(world().getEffects()).size(), 40u);
    for (Enemy* blast : alive(world().getEffects())) {
        EXPECT_LE(blast->getLevel(), 39);
        EXPECT_NEAR(blast->getSpeed(), (blast->getLevel() + 1) * 0.1, 1e-12);
    }
    int steps = 1;
    while (world().getExplosion().isAlive()) {
        playStep(0, false);
        ++steps;
    }
    EXPECT_EQ(steps, 101);
}

}  // namespace
