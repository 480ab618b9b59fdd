#include "main_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/game/frame_fixture.h"
#include "zn_app.h"
#include "zn_joypad.h"

namespace {

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// --- start-up -------------------------------------------------------------------------------

TEST_F(FrameTest, StartUpLoadsTheImagesInOrderAndEntersTheTitle) {
    ASSERT_TRUE(start());
    EXPECT_TRUE(contains(app_.log(), "colorKey 0 128 0"));
    std::vector<std::string> images;
    std::vector<std::string> sounds;
    for (const StandInCall& c : lib_.calls()) {
        if (c.op == "loadGraph" || c.op == "loadDivGraph") images.push_back(c.file);
        if (c.op == "loadSound") sounds.push_back(c.file);
    }
    EXPECT_EQ(images, (std::vector<std::string>{
                          "res\\Player.bmp", "res\\PlayerTail.bmp", "res\\Bullet1.bmp",
                          "res\\Enemy.bmp", "res\\EnemyL1.bmp", "res\\EnemyA1.bmp",
                          "res\\EnemyL2.bmp", "res\\EnemyA2.bmp", "res\\frame.bmp",
                          "res\\fonts.bmp", "res\\fontl.bmp", "res\\splinter.bmp",
                          "res\\bomb.bmp", "res\\barrier.bmp", "res\\bg.bmp",
                          "res\\explode.bmp"}));
    EXPECT_EQ(sounds, (std::vector<std::string>{"res\\shoot.wav", "res\\explode.wav",
                                                "res\\levelup.wav", "res\\bomb.wav",
                                                "res\\charge.wav", "res\\extend.wav",
                                                "res\\main.ogg"}));
    // Tiled images have their tiles and tile sizes.
    EXPECT_EQ(frame().getGraphs().at(GRAPH_SMALL_FONT).getCount(), 50);
    EXPECT_EQ(frame().getGraphs().at(GRAPH_LARGE_FONT).getWidth(), 32);
    EXPECT_EQ(frame().getGraphs().at(GRAPH_EXPLODE).getCount(), 12);
    EXPECT_EQ(frame().getCurrentScene(), &frame().getTitleScene());
    EXPECT_TRUE(frame().isRunning());
    EXPECT_STREQ(frame().getTitle(), "VORNAST");
    EXPECT_EQ(theApp.getScreenCount(), 20u);
    EXPECT_EQ(drawList(), (std::vector<std::string>{"background", "text", "frame"}));
}

TEST_F(FrameTest, MissingImageShowsTheErrorScreenAndEndsTheLibrary) {
    lib_.failFile("res\\EnemyA1.bmp");
    EXPECT_FALSE(start());
    const std::string white = std::to_string(ApiMakeScreenColor(255, 255, 255));
    const std::vector<std::string> tail = app_.logWithout({"colorKey"});
    ASSERT_GE(tail.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(tail.end() - 5, tail.end()),
              (std::vector<std::string>{
                  "text 0 0 初期化に失敗しました " + white + " 0",
                  "text 380 460 何かキーを押すと終了します " + white + " 0", "present",
                  "waitInput", "term"}));
    // Nothing after the failed image is loaded, and no scene is entered.
    EXPECT_EQ(lib_.calls().back().file, "res\\EnemyA1.bmp");
    EXPECT_FALSE(frame().isRunning());
}

TEST_F(FrameTest, MissingSoundsOnlySilenceThemAndTheMusicFallsBackToMp3) {
    lib_.failFile("res\\main.ogg");
    lib_.failFile("res\\bomb.wav");
    ASSERT_TRUE(start());
    EXPECT_EQ(frame().getSounds().at(3).handle, -1);
    const int music = frame().getSounds().at(6).handle;
    EXPECT_NE(music, -1);
    bool mp3Loaded = false;
    for (const StandInCall& c : lib_.calls()) mp3Loaded = mp3Loaded || c.file == "res\\main.mp3";
    EXPECT_TRUE(mp3Loaded);
    lib_.clearCalls();
    frame().changeToPlay();
    step();
    EXPECT_TRUE(lib_.played(music));
}

// --- scene switches -----------------------------------------------------------------------

TEST_F(FrameTest, EachSceneSwitchSetsItsDrawOrder) {
    ASSERT_TRUE(start());
    const std::vector<std::string> menu = {"background", "text", "frame"};
    const std::vector<std::string> field = {
        "background", "rear enemies", "rear blasts", "front enemies", "front blasts",
        "player",     "effects",      "bullets",     "markers",       "frame"};
    std::vector<std::string> over = field;
    over.insert(over.end() - 1, "text");
    struct Case {
        const char* name;
        void (MainFrame::*change)();
        Scene* scene;
        std::vector<std::string> screens;
    };
    const Case cases[] = {
        {"ready", &MainFrame::changeToReady, &frame().getReadyScene(),
         {"background", "player", "text", "frame"}},
        {"play", &MainFrame::changeToPlay, &frame().getPlayScene(), field},
        {"game over", &MainFrame::changeToGameOver, &frame().getGameOverScene(), over},
        {"ranking", &MainFrame::changeToRanking, &frame().getRankingScene(), menu},
        {"level select", &MainFrame::changeToLevelSelect, &frame().getLevelSelectScene(), menu},
        {"title", &MainFrame::changeToTitle, &frame().getTitleScene(), menu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        (frame().*c.change)();
        EXPECT_EQ(frame().getCurrentScene(), c.scene);
        EXPECT_EQ(drawList(), c.screens);
        // The step draws exactly those screens: the frame's tiles come last.
        step();
        const std::vector<std::string> calls = lastStepCalls();
        EXPECT_TRUE(contains(calls, "clear"));
        EXPECT_EQ(calls[calls.size() - 1], "present");
    }
}

TEST_F(FrameTest, EnteringReadyStartsANewGame) {
    ASSERT_TRUE(start());
    world().addScore(12345);
    frame().changeToReady();
    EXPECT_EQ(world().getScore(), 0);
    EXPECT_EQ(world().getLives(), 2);
    EXPECT_TRUE(world().getPlayer().isDemo());
}

// --- title ----------------------------------------------------------------------------------

TEST_F(FrameTest, TitleShowsItsTextsWithTheCursorBright) {
    ASSERT_TRUE(start());
    step();
    EXPECT_EQ(textAt(100, 100, 7, true), "VORNAST");
    EXPECT_EQ(textAt(70, 460, 17, false), "VORNAST TEAM 2026");
    EXPECT_EQ(textAt(100, 250, 5, false), "START");
    EXPECT_EQ(textAt(100, 280, 6, false), "RECORD");
    EXPECT_EQ(textAt(100, 310, 4, false), "EXIT");
    EXPECT_EQ(brightAt(100, 250, false), 255);
    EXPECT_EQ(brightAt(100, 280, false), 128);
    EXPECT_EQ(brightAt(100, 310, false), 128);

    press(PAD_DOWN);
    EXPECT_EQ(brightAt(100, 250, false), 128);
    EXPECT_EQ(brightAt(100, 280, false), 255);
    // Held down: one move only.
    step(PAD_DOWN);
    step(PAD_DOWN);
    EXPECT_EQ(frame().getTitleScene().getCursor(), 2);
    step();
    press(PAD_DOWN);  // wraps to START
    EXPECT_EQ(frame().getTitleScene().getCursor(), 0);
    press(PAD_UP);  // wraps to EXIT
    EXPECT_EQ(frame().getTitleScene().getCursor(), 2);
    EXPECT_EQ(brightAt(100, 310, false), 255);
}

TEST_F(FrameTest, TitleShotActsOnTheCursorsItem) {
    ASSERT_TRUE(start());
    step(PAD_SHOT);
    EXPECT_EQ(frame().getCurrentScene(), &frame().getLevelSelectScene());
    frame().changeToTitle();
    press(PAD_DOWN);
    step(PAD_SHOT);
    EXPECT_EQ(frame().getCurrentScene(), &frame().getRankingScene());
    frame().changeToTitle();
    step();
    press(PAD_DOWN);
    step(PAD_SHOT);
    EXPECT_FALSE(frame().isRunning());
}

TEST_F(FrameTest, EscapeOnTheTitleEndsTheLoopButShotInTheSameStepGoesOn) {
    ASSERT_TRUE(start());
    step(PAD_SHOT, {kKeyEscape});
    EXPECT_TRUE(frame().isRunning());
    EXPECT_EQ(frame().getCurrentScene(), &frame().getLevelSelectScene());
    frame().changeToTitle();
    step();
    step(0, {kKeyEscape});
    EXPECT_FALSE(frame().isRunning());
}

TEST_F(FrameTest, TheTitleCursorSurvivesAReturn) {
    ASSERT_TRUE(start());
    press(PAD_DOWN);
    frame().changeToLevelSelect();
    frame().changeToTitle();
    step();
    EXPECT_EQ(brightAt(100, 280, false), 255);
}

// --- level select ---------------------------------------------------------------------------

TEST_F(FrameTest, LevelSelectShowsTheFiveLevelsWithTheChoiceBright) {
    ASSERT_TRUE(start());
    frame().changeToLevelSelect();
    step();
    EXPECT_EQ(textAt(68, 60, 18, false), "SELECT START LEVEL");
    struct Entry {
        int y;
        const char* text;
        int choice;
    };
    const Entry entries[] = {{100, "BEGINNER", 0},       {120, "START LEVEL  0", 0},
                             {140, "AND AUTO BOMB", 0},  {170, "EASY", 1},
                             {190, "START LEVEL 10", 1}, {240, "NORMAL", 2},
                             {260, "START LEVEL 20", 2}, {310, "HARD", 3},
                             {330, "START LEVEL 40", 3}, {380, "EXTREME", 4},
                             {400, "START LEVEL 99", 4}};
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.text);
        EXPECT_EQ(textAt(100, e.y, static_cast<int>(std::string(e.text).size()), false), e.text);
        EXPECT_EQ(brightAt(100, e.y, false), e.choice == 0 ? 255 : 128);
    }
    press(PAD_UP);  // wraps to extreme
    EXPECT_EQ(world().getStartLevel(), 4);
    EXPECT_EQ(brightAt(100, 380, false), 255);
    EXPECT_EQ(brightAt(100, 100, false), 128);
    press(PAD_DOWN);
    EXPECT_EQ(world().getStartLevel(), 0);
}

TEST_F(FrameTest, LevelSelectLeavesByShotBombOrEscape) {
    ASSERT_TRUE(start());
    frame().changeToLevelSelect();
    step(PAD_BOMB);
    EXPECT_EQ(frame().getCurrentScene(), &frame().getTitleScene());
    frame().changeToLevelSelect();
    step(0, {kKeyEscape});
    EXPECT_EQ(frame().getCurrentScene(), &frame().getTitleScene());
    frame().changeToLevelSelect();
    step(PAD_SHOT | PAD_BOMB);  // shot wins
    EXPECT_EQ(frame().getCurrentScene(), &frame().getReadyScene());
}

// --- ready ----------------------------------------------------------------------------------

TEST_F(FrameTest, ReadyLastsExactly101StepsThenPlayBegins) {
    ASSERT_TRUE(start());
    frame().changeToReady();
    for (int i = 1; i <= 100; ++i) {
        step();
        ASSERT_EQ(frame().getCurrentScene(), &frame().getReadyScene()) << "step " << i;
    }
    EXPECT_EQ(textAt(100, 100, 6, true), "READY?");
    step();
    EXPECT_EQ(frame().getCurrentScene(), &frame().getPlayScene());
    EXPECT_FALSE(world().getPlayer().isDemo());
    // The switch is drawn in the same step: no text screen, so no READY?.
    EXPECT_EQ(textAt(100, 100, 6, true), "      ");
}

TEST_F(FrameTest, EscapeDuringReadyReturnsToLevelSelect) {
    ASSERT_TRUE(start());
    frame().changeToReady();
    steps(3);
    step(0, {kKeyEscape});
    EXPECT_EQ(frame().getCurrentScene(), &frame().getLevelSelectScene());
}

// --- play and the heads-up display -------------------------------------------------------------

TEST_F(FrameTest, TheHeadsUpDisplayShowsTheWorldsValues) {
    ASSERT_TRUE(start());
    frame().changeToLevelSelect();
    press(PAD_UP);  // extreme
    step(PAD_SHOT);
    steps(101);
    ASSERT_EQ(frame().getCurrentScene(), &frame().getPlayScene());
    steps(150);
    ASSERT_GT(world().getSurvival(), 0);
    ASSERT_GT(world().getScore(), 0);
    char expect[16];
    const auto placed = [&expect](int value, int digits) {
        std::snprintf(expect, sizeof(expect), "%0*d", digits, value);
        return std::string(expect);
    };
    struct Line {
        int y;
        std::string text;
        bool large;
    };
    const Line lines[] = {
        {30, "HISCORE", false},
        {50, placed(world().getHiScore(), 9), false},
        {80, "SCORE", false},
        {100, placed(world().getScore(), 9), false},
        {130, "LEVEL", false},
        {150, "099", false},
        {180, "LIFE", false},
        {200, placed(world().getLives(), 1), true},
        {250, "BOMB", false},
        {270, placed(world().getBombs(), 1), true},
        {320, "CHARGE", false},
        {340, placed(world().getChargePercent(), 3), false},
        {370, "SURVIVAL", false},
        {390, placed(world().getSurvival() / 10, 5), false},
        {420, "TENSION", false},
        {440, placed(world().getTension() / 10, 5), false},
    };
    for (const Line& l : lines) {
        SCOPED_TRACE(l.text);
        EXPECT_EQ(textAt(423, l.y, static_cast<int>(l.text.size()), l.large), l.text);
    }
    // Survival keeps counting while the ship lives.
    const int survival = world().getSurvival();
    steps(20);
    if (world().getPlayer().isAlive()) {
        EXPECT_GT(world().getSurvival(), survival);
    }
}

TEST_F(FrameTest, EscapeDuringPlayRecordsTheScoreAndStopsTheMusic) {
    ASSERT_TRUE(start());
    frame().changeToReady();
    steps(101);
    ASSERT_EQ(frame().getCurrentScene(), &frame().getPlayScene());
    const int music = frame().getSounds().at(6).handle;
    EXPECT_TRUE(lib_.played(music));
    steps(10);
    world().addScore(1234);
    lib_.clearCalls();
    const int before = world().getScore();
    step(0, {kKeyEscape});
    EXPECT_EQ(frame().getCurrentScene(), &frame().getLevelSelectScene());
    EXPECT_TRUE(std::find(lib_.calls().begin(), lib_.calls().end(),
                          StandInCall{"stop", music, 0, 0, ""}) != lib_.calls().end());
    // The table holds the score as it was when Escape was seen, and the file was written.
    EXPECT_EQ(world().getHiScores().at(0).getScore(), before);
    const std::string saved = dir_.ReadFile("save.dat");
    ASSERT_EQ(saved.size(), 64u);
    int32_t score = 0;
    std::copy(saved.begin(), saved.begin() + 4, reinterpret_cast<char*>(&score));
    EXPECT_EQ(score, before);
}

TEST_F(FrameTest, CaptureButtonInPlayAndThePKeySaveTheScreen) {
    ASSERT_TRUE(start());
    const std::string save = "save 0 0 640 480 D20090615T102030-005.bmp 0 80 1 -1";
    step(0, {kKeyP});  // the P key works in every scene
    EXPECT_TRUE(contains(lastStepCalls(), save));
    step(0, {kKeyP});  // held: no second picture
    EXPECT_FALSE(contains(lastStepCalls(), save));
    step(PAD_CAPTURE);  // the capture button only counts in play
    EXPECT_FALSE(contains(lastStepCalls(), save));
    step();
    frame().changeToPlay();
    step(PAD_CAPTURE);
    EXPECT_TRUE(contains(lastStepCalls(), save));
    // The picture is saved before this step draws.
    const std::vector<std::string> calls = lastStepCalls();
    EXPECT_LT(std::find(calls.begin(), calls.end(), save),
              std::find(calls.begin(), calls.end(), "clear"));
}

// --- game over ------------------------------------------------------------------------------

TEST_F(FrameTest, GameOverTextSlidesOnePixelPerStepAndStopsAt200) {
    ASSERT_TRUE(start());
    frame().changeToReady();
    steps(101);
    frame().changeToGameOver();
    // The text is 9 characters at x 60 in the large font; its first glyph is 'G'.
    for (int i = 0; i < 240; ++i) {
        step();
        const int y = std::min(i - 32, 200);
        ASSERT_EQ(textAt(60, y, 9, true), "GAME OVER") << "step " << i;
    }
    EXPECT_EQ(GameOverScene::textY(0), -32);
    EXPECT_EQ(GameOverScene::textY(2320), 200);
    EXPECT_EQ(GameOverScene::textY(100000), 200);
}

TEST_F(FrameTest, GameOverLeavesOnShotOrEscapeButNotOnBomb) {
    ASSERT_TRUE(start());
    frame().changeToGameOver();
    step(PAD_BOMB);
    EXPECT_EQ(frame().getCurrentScene(), &frame().getGameOverScene());
    step(PAD_SHOT);
    EXPECT_EQ(frame().getCurrentScene(), &frame().getTitleScene());
    frame().changeToGameOver();
    step(0, {kKeyEscape});
    EXPECT_EQ(frame().getCurrentScene(), &frame().getTitleScene());
}

TEST_F(FrameTest, TheLastLifeLostEndsPlayInGameOverWithTheScoreRecorded) {
    ASSERT_TRUE(start());
    world().moveStartLevel(false);  // easy: no automatic bombs
    frame().changeToReady();
    steps(101);
    int guard = 0;
    while (frame().getCurrentScene() == &frame().getPlayScene() && guard++ < 3000) {
        Player& p = world().getPlayer();
        if (p.isAlive() && !p.isInvincible()) p.hit();
        step();
    }
    ASSERT_EQ(frame().getCurrentScene(), &frame().getGameOverScene());
    EXPECT_EQ(world().getHiScores().at(0).getScore(), world().getScore());
    EXPECT_EQ(dir_.ReadFile("save.dat").size(), 64u);
}

// --- ranking --------------------------------------------------------------------------------

TEST_F(FrameTest, RankingShowsTheTableFromTheSaveFile) {
    // Record 0: 12345 points on 2008-02-29 23:59:58; the others empty.
    int32_t values[16] = {12345, (2008 << 16) | (2 << 8) | 29, (23 << 16) | (59 << 8) | 58};
    values[15] = 2;
    std::ofstream("save.dat", std::ios::binary).write(reinterpret_cast<const char*>(values), 64);
    ASSERT_TRUE(start());
    EXPECT_EQ(world().getHiScore(), 12345);
    frame().changeToRanking();
    step();
    EXPECT_EQ(textAt(40, 60, 10, true), "TOP RECORD");
    EXPECT_EQ(textAt(60, 120, 9, false), "000012345");
    EXPECT_EQ(textAt(60, 140, 19, false), "2008/02/29 23:59:58");
    EXPECT_EQ(textAt(60, 170, 9, false), "000000000");
    EXPECT_EQ(textAt(60, 340, 19, false), "0000/00/00 00:00:00");
    EXPECT_EQ(textAt(180, 410, 12, false), "PRESS BUTTON");
    EXPECT_EQ(textAt(180, 430, 12, false), "   TO RETURN");
    // The title's hi score on the display comes from the file too.
    EXPECT_EQ(textAt(423, 50, 9, false), "000012345");
    for (uint32_t pad : {uint32_t{PAD_SHOT}, uint32_t{PAD_BOMB}}) {
        frame().changeToRanking();
        step(pad);
        EXPECT_EQ(frame().getCurrentScene(), &frame().getTitleScene());
    }
}

}  // namespace
