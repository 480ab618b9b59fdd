// The screens' drawing, call by call, on the recording stand-in.
#include <gtest/gtest.h>

#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "background.h"
#include "background_screen.h"
#include "bullet_screen.h"
#include "enemy_screen.h"
#include "frame_screen.h"
#include "marker_screen.h"
#include "my_screen.h"
#include "player_screen.h"
#include "tests/game/stand_in/app_stand_in.h"
#include "tests/game/world_fixture.h"
#include "text_screen.h"
#include "zn_joypad.h"

namespace {

// A graph of count tiles with handles first, first + 1, ...
void makeGraph(DhGraph& g, int count, int first, int w, int h) {
    g.handles().resize(static_cast<uint32_t>(count));
    for (int i = 0; i < count; ++i) g.handles().at(static_cast<uint32_t>(i)) = first + i;
    g.setSize(w, h);
}

std::string graphLine(int x, int y, int handle, int trans) {
    return "graph " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(handle) +
           " " + std::to_string(trans);
}

std::string rotatedLine(double x, double y, double angle, int handle) {
    char numbers[64];
    std::snprintf(numbers, sizeof(numbers), "%.4f %.4f", 1.0, angle);
    return "rotated " + std::to_string(static_cast<int>(x)) + " " +
           std::to_string(static_cast<int>(y)) + " " + numbers + " " + std::to_string(handle) +
           " 1 0";
}

class FontScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeGraph(small_, 50, 100, 16, 16);
        makeGraph(large_, 50, 200, 32, 32);
        MyScreen::setSmallFont(&small_);
        MyScreen::setLargeFont(&large_);
    }
    void TearDown() override {
        MyScreen::setSmallFont(nullptr);
        MyScreen::setLargeFont(nullptr);
    }

    AppStandIn app_;
    DhGraph small_;
    DhGraph large_;
    TextScreen screen_;
};

TEST_F(FontScreenTest, TextDrawsOneGlyphPerCharacterWithGapsAndBothCasesAlike) {
    screen_.drawText(60, 200, "game Over!", 10, true);
    EXPECT_EQ(app_.log(), (std::vector<std::string>{
                              graphLine(60, 200, 216, 1), graphLine(92, 200, 210, 1),
                              graphLine(124, 200, 222, 1), graphLine(156, 200, 214, 1),
                              // the space takes its place
                              graphLine(220, 200, 224, 1), graphLine(252, 200, 231, 1),
                              graphLine(284, 200, 214, 1), graphLine(316, 200, 227, 1),
                              graphLine(348, 200, 244, 1)}));
    app_.log().clear();
    // A count beyond the text stops at its end; the small font advances 16.
    screen_.drawText(0.9, -0.9, "a:", 30, false);
    EXPECT_EQ(app_.log(), (std::vector<std::string>{graphLine(0, 0, 110, 1),
                                                    graphLine(16, 0, 141, 1)}));
}

TEST_F(FontScreenTest, NumbersAreRightAlignedZeroPaddedAndKeepTheirLowestDigits) {
    struct Case {
        int value;
        int digits;
        std::vector<int> tiles;
    };
    const Case cases[] = {
        {42, 3, {0, 4, 2}},
        {1234567890, 9, {2, 3, 4, 5, 6, 7, 8, 9, 0}},
        {-7, 2, {0, 0}},
        {13, 1, {3}},
        {5, 15, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}},  // at most 12 places
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        app_.log().clear();
        screen_.drawNumber(10, 20, c.value, c.digits, false);
        std::vector<std::string> want;
        for (size_t i = 0; i < c.tiles.size(); ++i) {
            want.push_back(graphLine(10 + 16 * static_cast<int>(i), 20, 100 + c.tiles[i], 1));
        }
        EXPECT_EQ(app_.log(), want);
    }
}

TEST_F(FontScreenTest, TextScreenDrawsTheActiveItemsInTheirBrightness) {
    GraphTextArray texts;
    texts.addText(100, 100, "AB", 2, true);
    texts.setBright(128);
    texts.addText(100, 280, "C", 1, false);
    screen_.setTexts(&texts);
    screen_.draw();
    EXPECT_EQ(app_.log(), (std::vector<std::string>{
                              "bright 255 255 255", graphLine(100, 100, 210, 1),
                              graphLine(132, 100, 211, 1), "bright 128 128 128",
                              graphLine(100, 280, 112, 1), "bright 255 255 255"}));
    app_.log().clear();
    texts.clear();
    screen_.draw();
    EXPECT_EQ(app_.log(), std::vector<std::string>{"bright 255 255 255"});
}

TEST_F(FontScreenTest, FrameLaysItsTilesAroundTheField) {
    DhGraph tiles;
    makeGraph(tiles, 4, 50, 32, 32);
    FrameScreen frame;
    frame.setGraph(&tiles);
    frame.setArea(32, 0, 360, 480);
    frame.draw();
    // 15 rows of one left tile and 8 right tiles (391, 423, ..., 615); no world, no display.
    ASSERT_EQ(app_.log().size(), 15u * 9u);
    EXPECT_EQ(app_.log()[0], graphLine(0, 0, 53, 0));
    EXPECT_EQ(app_.log()[1], graphLine(391, 0, 50, 0));
    EXPECT_EQ(app_.log()[2], graphLine(423, 0, 51, 0));
    EXPECT_EQ(app_.log()[8], graphLine(615, 0, 51, 0));
    EXPECT_EQ(app_.log()[9 * 14 + 1], graphLine(391, 448, 50, 0));
    // A tile graph without a size draws nothing rather than looping.
    app_.log().clear();
    tiles.setSize(0, 0);
    frame.draw();
    EXPECT_TRUE(app_.log().empty());
}

// Screens over a game world set up as the main frame sets it up.
class WorldScreenTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        app_.log().clear();
    }
    AppStandIn app_;
};

TEST_F(WorldScreenTest, BackgroundTilesTheFieldInTheGlowsTint) {
    Background& bg = world().getBackground();
    bg.setPosition(10.7, 20.2);
    bg.raiseGlow(100);
    BackgroundScreen screen;
    screen.setBackground(&bg);
    screen.setArea(32, 0, 360, 480);
    screen.draw();
    const std::vector<std::string>& log = app_.log();
    ASSERT_EQ(log.size(), 2u + 4u * 5u);  // x -96, 32, 160, 288; y -128, 0, 128, 256, 384
    EXPECT_EQ(log.front(), "bright 100 0 155");
    EXPECT_EQ(log[1], graphLine(-85, -107, bg.getHandle(), 1));
    EXPECT_EQ(log[20], graphLine(298, 404, bg.getHandle(), 1));
    EXPECT_EQ(log.back(), "bright 255 255 255");
}

TEST_F(WorldScreenTest, PlayerTailsFadeWithAgeAndTurnAgainstTheShip) {
    startGame(1);
    // Moving left and rolling, the ship lays its tail.
    playSteps(30, PAD_LEFT, false);
    ASSERT_TRUE(player().isAlive());
    ASSERT_FALSE(player().isInvincible());
    PlayerScreen screen;
    screen.setPlayer(&player());
    screen.setTails(&world().getTails());
    screen.draw();
    std::vector<std::string> want;
    PlayerTailArray& tails = world().getTails();
    for (uint32_t i = 0; i < tails.size(); ++i) {
        const PlayerTail& t = tails.at(i);
        if (!t.isAlive()) continue;
        want.push_back("blend 1 " + std::to_string(255 - t.getAge()));
        want.push_back(rotatedLine(t.getX(), t.getY(), -t.getAngle(), t.getHandle()));
    }
    ASSERT_GT(want.size(), 2u);
    want.push_back("blend 0 0");
    want.push_back(rotatedLine(player().getX(), player().getY(), player().getAngle(),
                               player().getHandle()));
    EXPECT_EQ(app_.log(), want);
}

TEST_F(WorldScreenTest, InvincibleShipShowsTwoCounterRotatingBarriers) {
    startGame(1);
    player().startBomb();  // a bomb gives 5000 ms of barrier
    playSteps(2, 0, false);
    ASSERT_TRUE(player().isInvincible());
    PlayerScreen screen;
    screen.setPlayer(&player());
    screen.draw();
    const double angle = player().getInvincible() * std::numbers::pi / 480.0;
    const int barrier = player().getBarrierHandle();
    EXPECT_EQ(app_.log(), (std::vector<std::string>{
                              "blend 0 0",
                              rotatedLine(player().getX(), player().getY(), angle, barrier),
                              rotatedLine(player().getX(), player().getY(), -angle, barrier),
                              rotatedLine(player().getX(), player().getY(), player().getAngle(),
                                          player().getHandle())}));
}

TEST_F(WorldScreenTest, EnemiesBulletsAndMarkers) {
    startGame(1);
    Enemy* e = enemyOnPlayer(SOURCE_FRONT, 0);
    ASSERT_NE(e, nullptr);
    e->setMotion(0.5, 1.0);
    e->setLife(250);
    EnemyScreen enemies;
    enemies.setEnemies(&world().getFrontEnemies());
    enemies.draw();
    EXPECT_EQ(app_.log(), std::vector<std::string>{rotatedLine(e->getX(), e->getY(), -0.5,
                                                               e->getHandle())});

    app_.log().clear();
    MarkerScreen markers;
    markers.setEnemies(&world().getFrontEnemies(), &world().getRearEnemies());
    markers.setGraph(graphs_.at(3).getCount() > 0 ? &graphs_.at(3) : nullptr);
    markers.draw();
    // 19 - 250 * 19 / 500 = 10
    EXPECT_EQ(app_.log(), std::vector<std::string>{rotatedLine(e->getX(), e->getY(), 0.0,
                                                               graphs_.at(3).getHandle(10))});
    app_.log().clear();
    e->setLife(500);  // not yet within the last half second
    markers.draw();
    EXPECT_TRUE(app_.log().empty());

    BulletScreen bullets;
    bullets.setBullets(&world().getFrontEnemies());
    bullets.draw();
    ASSERT_EQ(app_.log().size(), 3u);
    EXPECT_EQ(app_.log().front(), "bright 255 255 0");
    EXPECT_EQ(app_.log().back(), "bright 255 255 255");
}

}  // namespace
