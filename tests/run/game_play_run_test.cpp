// Whole games played by the built program, headless on the virtual clock with scripted keys:
// what the screen shows is read back from the run's shots by comparing them with the game's
// own font tiles, and what the run leaves behind (save.dat, a capture) is read as files.
#include <utility>
#include <cstdlib>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/run/game_runner.h"
#include "tests/run/picture.h"

namespace {

namespace fs = std::filesystem;

// The playing field's columns; its backdrop is drawn without red or green at rest, so any
// pixel there with red or green belongs to a sprite.
constexpr int kFieldLeft = 32;
constexpr int kFieldRight = 391;
constexpr int kHudX = 423;
// The last shot of the game-over run: the game is over and "game over" has stopped by then.
constexpr int kGameOverShotsEnd = 2000;

bool IsSpritePixel(uint32_t rgb) { return ((rgb >> 16) & 255) > 40 || ((rgb >> 8) & 255) > 40; }

struct SpriteCount {
    int count = 0;
    double meanX = 0;
};

// Sprite pixels of the field between rows top and bottom.
SpriteCount SpritesIn(const Picture& shot, int top, int bottom) {
    SpriteCount s;
    double sumX = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = kFieldLeft; x < kFieldRight; ++x) {
            if (IsSpritePixel(shot.at(x, y))) {
                ++s.count;
                sumX += x;
            }
        }
    }
    if (s.count > 0) s.meanX = sumX / s.count;
    return s;
}

// The 64-byte save file as its sixteen values.
std::vector<int32_t> SaveValues(const fs::path& file) {
    const std::string bytes = GameRunner::ReadFile(file);
    std::vector<int32_t> values(bytes.size() / 4);
    if (!values.empty()) std::memcpy(values.data(), bytes.data(), values.size() * 4);
    return values;
}

std::string Places(long value, int digits) {
    char text[32];
    std::snprintf(text, sizeof(text), "%0*ld", digits, value);
    return text;
}

// Steps that press a key (down in one step, up in the next).
std::string Press(int step, const char* key) {
    return std::to_string(step) + " down " + key + "\n" + std::to_string(step + 1) + " up " +
           key + "\n";
}

// The name of the game-over run's shot of a step ("g<step>.png").
std::string ShotName(int step) {
    std::string name = "g";
    name += std::to_string(step);
    name += ".png";
    return name;
}

std::string Shot(int step, const std::string& file) {
    return std::to_string(step) + " shot " + file + "\n";
}

class GamePlayRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path res = ZN_GAME_RESOURCES;
        ASSERT_TRUE(LoadPicture((res / "fonts.bmp").string(), &smallFontImage_));
        ASSERT_TRUE(LoadPicture((res / "fontl.bmp").string(), &largeFontImage_));
    }

    Picture ShotOf(const fs::path& dir, const std::string& name) {
        Picture p;
        EXPECT_TRUE(LoadPicture((dir / name).string(), &p)) << name;
        if (p.width != 640 || p.height != 480) {
            ADD_FAILURE() << name << " is " << p.width << " x " << p.height;
            p.width = 640;
            p.height = 480;
            p.rgb.assign(640 * 480, 0);
        }
        return p;
    }

    GameRunner runner_;
    Picture smallFontImage_;
    Picture largeFontImage_;
    FontReader small_{smallFontImage_, 16};
    FontReader large_{largeFontImage_, 32};
};

TEST_F(GamePlayRunTest, TitleTextsCursorCaptureAndEscapeEndTheProgram) {
    const fs::path dir = runner_.NewDir();
    const std::string script = Shot(3, "title1.png") + Press(4, "Down") + Shot(7, "title2.png") +
                               Press(7, "P") + Press(9, "Escape") +
                               // a shot and a close that only a program still running sees
                               Shot(30, "after.png") + "40 close\n";
    const GameRunResult run = runner_.Run(dir, script);
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    EXPECT_NE(run.log.find("Alloc memory dump"), std::string::npos);  // ended the library
    EXPECT_FALSE(fs::exists(dir / "after.png")) << "Escape on the title did not end the program";

    const Picture title = ShotOf(dir, "title1.png");
    EXPECT_EQ(large_.read(title, 100, 100, 7), "VORNAST");
    EXPECT_EQ(small_.read(title, 70, 460, 17), "VORNAST TEAM 2026");
    EXPECT_EQ(small_.read(title, 100, 250, 5), "START");
    EXPECT_EQ(small_.read(title, 100, 280, 6), "RECORD");
    EXPECT_EQ(small_.read(title, 100, 310, 4), "EXIT");
    EXPECT_EQ(small_.brightness(title, 100, 250), 255);
    EXPECT_EQ(small_.brightness(title, 100, 280), 128);
    EXPECT_EQ(small_.brightness(title, 100, 310), 128);
    // The display on the frame, with no game played yet.
    EXPECT_EQ(small_.read(title, kHudX, 30, 7), "HISCORE");
    EXPECT_EQ(small_.read(title, kHudX, 50, 9), "000000000");
    EXPECT_EQ(small_.read(title, kHudX, 370, 8), "SURVIVAL");

    // Down moved the cursor to RECORD.
    const Picture moved = ShotOf(dir, "title2.png");
    EXPECT_EQ(small_.brightness(moved, 100, 250), 128);
    EXPECT_EQ(small_.brightness(moved, 100, 280), 255);

    // P saved the screen as it was shown at that step: a 640 x 480 bitmap named by the time.
    std::vector<fs::path> captures;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.size() == 24 && name.rfind("D20090615T1020", 0) == 0 &&
            name.substr(name.size() - 4) == ".bmp") {
            captures.push_back(e.path());
        }
    }
    ASSERT_EQ(captures.size(), 1u) << "no capture (ApiSaveScreenToImageFile)";
    EXPECT_EQ(fs::file_size(captures[0]), 921654u);
    Picture capture;
    ASSERT_TRUE(LoadPicture(captures[0].string(), &capture));
    EXPECT_EQ(capture.width, 640);
    EXPECT_EQ(capture.height, 480);
    EXPECT_TRUE(capture.rgb == moved.rgb) << "the capture differs from the shot of its step";
}

// Level select (normal), the ready pause, play: the ship moves left, enemies come, the display
// counts survival; Escape records the score, returns to level select, then to the title, and
// Escape on the title ends the program.
std::string PlayScript() {
    return Press(5, "Z") + Press(8, "Down") + Press(10, "Down") + Shot(13, "select.png") +
           Press(13, "Z") +                             // ready entered in step 13
           Shot(14, "ready0.png") + Shot(15, "ready1.png") +  // drawings of steps 13 and 14
           Shot(114, "ready100.png") + Shot(115, "play0.png") +
           "115 down Left\n145 up Left\n" + Shot(146, "play1.png") + Shot(300, "play2.png") +
           Press(301, "Escape") + Shot(304, "escaped.png") + Press(305, "Escape") +
           Press(308, "Escape") + Shot(320, "after.png") + "330 close\n";
}

TEST_F(GamePlayRunTest, PlayFromLevelSelectToEscape) {
    const fs::path dir = runner_.NewDir();
    const GameRunResult run = runner_.Run(dir, PlayScript());
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    // Escape in play, in level select and on the title: the program ended before the close.
    EXPECT_FALSE(fs::exists(dir / "after.png"));

    const Picture select = ShotOf(dir, "select.png");
    EXPECT_EQ(small_.read(select, 68, 60, 18), "SELECT START LEVEL");
    EXPECT_EQ(small_.read(select, 100, 240, 6), "NORMAL");
    EXPECT_EQ(small_.read(select, 100, 260, 14), "START LEVEL 20");
    EXPECT_EQ(small_.brightness(select, 100, 240), 255);
    EXPECT_EQ(small_.brightness(select, 100, 100), 128);

    // READY? is drawn from the ready scene's first update to its hundredth; its 101st update
    // switches to play, which that step already draws.
    EXPECT_EQ(large_.read(ShotOf(dir, "ready0.png"), 100, 100, 6), "      ");
    EXPECT_EQ(large_.read(ShotOf(dir, "ready1.png"), 100, 100, 6), "READY?");
    EXPECT_EQ(large_.read(ShotOf(dir, "ready100.png"), 100, 100, 6), "READY?");
    const Picture play0 = ShotOf(dir, "play0.png");
    EXPECT_EQ(large_.read(play0, 100, 100, 6), "      ");
    EXPECT_EQ(small_.read(play0, kHudX, 150, 3), "020");

    // The ship starts at the bottom centre of the field and moves left with the key.
    const SpriteCount ship0 = SpritesIn(play0, 380, 470);
    ASSERT_GT(ship0.count, 20);
    EXPECT_NEAR(ship0.meanX, 212, 12);
    const Picture play1 = ShotOf(dir, "play1.png");
    const SpriteCount ship1 = SpritesIn(play1, 380, 470);
    ASSERT_GT(ship1.count, 20);
    EXPECT_LT(ship1.meanX, ship0.meanX - 40);

    // Enemies have come into the upper field; survival has grown on the display.
    const Picture play2 = ShotOf(dir, "play2.png");
    EXPECT_GT(SpritesIn(play2, 0, 300).count, 100);
    const std::string survival1 = small_.read(play1, kHudX, 390, 5);
    const std::string survival2 = small_.read(play2, kHudX, 390, 5);
    ASSERT_EQ(survival2.find(' '), std::string::npos) << survival2;
    ASSERT_EQ(survival1.find(' '), std::string::npos) << survival1;
    EXPECT_GT(std::stoi(survival2), std::stoi(survival1));
    EXPECT_GT(std::stoi(survival1), 0);

    // Escape recorded the score in save.dat, as a game over does, with the run's date.
    EXPECT_EQ(small_.read(ShotOf(dir, "escaped.png"), 68, 60, 18), "SELECT START LEVEL");
    const std::vector<int32_t> saved = SaveValues(dir / "save.dat");
    ASSERT_EQ(saved.size(), 16u);
    EXPECT_GT(saved[0], 0);
    EXPECT_EQ(saved[1], (2009 << 16) | (6 << 8) | 15);
    EXPECT_EQ(saved[15], 2);  // the choice: normal
    EXPECT_EQ(small_.read(play2, kHudX, 100, 9).find(' '), std::string::npos);
}

TEST_F(GamePlayRunTest, TheSameScriptTwiceGivesTheSameShotsAndSaveFile) {
    const fs::path first = runner_.NewDir();
    const fs::path second = runner_.NewDir();
    ASSERT_EQ(runner_.Run(first, PlayScript()).exitCode, 0);
    ASSERT_EQ(runner_.Run(second, PlayScript()).exitCode, 0);
    int compared = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(first)) {
        const std::string name = e.path().filename().string();
        if (e.path().extension() != ".png" && name != "save.dat") continue;
        SCOPED_TRACE(name);
        const std::string a = GameRunner::ReadFile(e.path());
        ASSERT_FALSE(a.empty());
        EXPECT_TRUE(a == GameRunner::ReadFile(second / name));
        ++compared;
    }
    EXPECT_EQ(compared, 9);  // eight shots and the save file
}

// The millisecond at which the library was ready (the last start-up line), or -1.
int ReadyMillisecond(const std::string& log) {
    const size_t at = log.find("文字コードバッファの初期化を行います");
    if (at == std::string::npos) return -1;
    const size_t lineStart = log.rfind('\n', at);
    return std::atoi(log.c_str() + (lineStart == std::string::npos ? 0 : lineStart + 1));
}

// The game draws through the 3D device unless told not to; the software screen shows the same
// pictures. The software screen starts after the device is refused and DirectDraw is started
// again, two seconds later on the virtual clock; its run's clock starts two seconds earlier so
// that both runs seed the game's random numbers with the same second.
TEST_F(GamePlayRunTest, TheThreeDRoadAndTheSoftwareScreenShowTheSamePlay) {
    const fs::path device = runner_.NewDir();
    const fs::path software = runner_.NewDir();
    const GameRunResult onDevice = runner_.Run(device, PlayScript());
    const GameRunResult onSoftware = runner_.Run(
        software, PlayScript(), {"ZN_DIRECT3D=off", "ZN_NOW=2009-06-15T10:20:28"});
    ASSERT_EQ(onDevice.exitCode, 0) << onDevice.stderrText;
    ASSERT_EQ(onSoftware.exitCode, 0) << onSoftware.stderrText;
    EXPECT_NE(onDevice.log.find("３Ｄグラフィック描画機能を使用します"), std::string::npos);
    EXPECT_NE(onSoftware.log.find("３Ｄグラフィック描画機能は使用しません"), std::string::npos);
    const int deviceReady = ReadyMillisecond(onDevice.log);
    const int softwareReady = ReadyMillisecond(onSoftware.log);
    ASSERT_GE(deviceReady, 0);
    ASSERT_GE(softwareReady, 0);
    ASSERT_EQ((30000 + deviceReady) / 1000, (28000 + softwareReady) / 1000)
        << "the runs no longer start their play in the same second";

    // How far apart the roads may be, shot by shot: the same pixels; text whose antialiased
    // and half-bright edges the device blends rounding to nearest where the software screen
    // truncates (one step per channel); and shots that may show another step's drawing: the
    // game skips drawing a step while it is behind its clock, and a step costs the two roads
    // different times on the virtual clock (these are only checked to exist).
    enum class Allowed { kSame, kOneStep, kSceneMayDiffer };
    const std::vector<std::pair<std::string, Allowed>> shots = {
        {"select.png", Allowed::kOneStep},         {"ready0.png", Allowed::kSceneMayDiffer},
        {"ready1.png", Allowed::kSame},            {"ready100.png", Allowed::kSceneMayDiffer},
        {"play0.png", Allowed::kSame},             {"play1.png", Allowed::kSceneMayDiffer},
        {"play2.png", Allowed::kSceneMayDiffer},   {"escaped.png", Allowed::kOneStep},
    };
    for (const auto& [name, allowed] : shots) {
        SCOPED_TRACE(name);
        const Picture a = ShotOf(device, name);
        const Picture b = ShotOf(software, name);
        ASSERT_EQ(a.width, b.width);
        ASSERT_EQ(a.height, b.height);
        if (allowed == Allowed::kSceneMayDiffer) continue;
        int differing = 0, furthest = 0;
        for (size_t i = 0; i < a.rgb.size(); ++i) {
            if (a.rgb[i] == b.rgb[i]) continue;
            ++differing;
            for (int shift : {0, 8, 16}) {
                const int d = std::abs(static_cast<int>((a.rgb[i] >> shift) & 0xFF) -
                                       static_cast<int>((b.rgb[i] >> shift) & 0xFF));
                furthest = std::max(furthest, d);
            }
        }
        if (allowed == Allowed::kSame) {
            EXPECT_EQ(differing, 0);
        }
        EXPECT_LE(furthest, 1);
    }
}

TEST_F(GamePlayRunTest, MissingImageShowsTheErrorScreenAndEndsCleanly) {
    const fs::path dir = runner_.NewDir({"Player.bmp"});
    const GameRunResult run =
        runner_.Run(dir, Shot(3, "error.png") + Press(5, "Z") + "40 close\n");
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    EXPECT_NE(run.log.find("res\\Player.bmp"), std::string::npos);
    EXPECT_NE(run.log.find("Alloc memory dump"), std::string::npos);  // ended the library
    // The two lines of the error screen are drawn in white on black: at the top left and
    // near the bottom right.
    const Picture error = ShotOf(dir, "error.png");
    const auto whiteIn = [&error](int left, int top, int right, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) n += (error.at(x, y) & 0xFFFFFF) == 0xFFFFFF;
        }
        return n;
    };
    EXPECT_GT(whiteIn(0, 0, 200, 20), 20) << "no text (ApiDrawTextDefaultFont)";
    EXPECT_GT(whiteIn(380, 460, 640, 480), 20) << "no text (ApiDrawTextDefaultFont)";
    EXPECT_EQ(whiteIn(0, 100, 640, 440), 0);
}

// Extreme from the start: the ship sits still until its last life is lost; "game over" slides
// down to y 200; the ranking shows the new score with its date; a second run shows it as the
// hi score.
TEST_F(GamePlayRunTest, DeathsGameOverRankingAndTheHiScoreOfTheNextRun) {
    constexpr int kFirstShot = 300;
    constexpr int kLastShot = kGameOverShotsEnd;
    constexpr int kEvery = 20;
    std::string script = Press(5, "Z") + Press(8, "Up") + Press(11, "Z");  // play from 112
    for (int s = kFirstShot; s <= kLastShot; s += kEvery) script += Shot(s, ShotName(s));
    script += Press(kLastShot + 2, "Z") +                            // to the title
              Press(kLastShot + 4, "Down") + Press(kLastShot + 6, "Z") +  // RECORD
              Shot(kLastShot + 10, "ranking.png") + Press(kLastShot + 10, "Escape") +
              Press(kLastShot + 13, "Escape") + std::to_string(kLastShot + 40) + " close\n";
    const fs::path dir = runner_.NewDir();
    const GameRunResult run = runner_.Run(dir, script);
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;

    // The step the game-over scene was entered in, from the first shot that shows the text
    // whole: a shot shows the drawing of the step before it, drawn with y = steps since then
    // - 32.
    int entered = -1;
    std::vector<int> lives;
    for (int s = kFirstShot; s <= kLastShot && entered < 0; s += kEvery) {
        const Picture shot = ShotOf(dir, ShotName(s));
        lives.push_back(large_.read(shot, kHudX, 200, 1)[0]);
        for (int y = 0; y <= 200; ++y) {
            if (large_.isAt(shot, 60, y, 'G') && large_.read(shot, 60, y, 9) == "GAME OVER") {
                entered = s - 1 - (y + 32);
                break;
            }
        }
    }
    ASSERT_GT(entered, 0) << "no game over before step " << kLastShot;
    ASSERT_LT(entered, kLastShot - 260) << "the slide's end is after the last shot";
    // Lives ran down 2, 1, 0 on the display.
    EXPECT_EQ(lives.front(), '2');
    EXPECT_EQ(lives.back(), '0');
    EXPECT_TRUE(std::is_sorted(lives.rbegin(), lives.rend()));

    // One pixel per step from -32, then it stays at 200.
    int stopped = 0;
    for (int s = kFirstShot; s <= kLastShot; s += kEvery) {
        const int y = s - 1 - entered - 32;
        if (y < 0) continue;
        SCOPED_TRACE(s);
        const Picture shot = ShotOf(dir, ShotName(s));
        EXPECT_EQ(large_.read(shot, 60, std::min(y, 200), 9), "GAME OVER");
        if (y > 200) {
            ++stopped;
            EXPECT_EQ(large_.read(shot, 60, 199, 9), "         ");
        }
    }
    EXPECT_GE(stopped, 2);

    // The score went into save.dat with the date and time of the run's clock (ZN_NOW plus the
    // time played), and the ranking shows it first.
    const std::vector<int32_t> saved = SaveValues(dir / "save.dat");
    ASSERT_EQ(saved.size(), 16u);
    ASSERT_GT(saved[0], 0);
    EXPECT_EQ(saved[1], (2009 << 16) | (6 << 8) | 15);
    const int hour = saved[2] >> 16, minute = (saved[2] >> 8) & 255, second = saved[2] & 255;
    const int elapsed = (hour - 10) * 3600 + (minute - 20) * 60 + (second - 30);
    EXPECT_GE(elapsed, entered / 100 - 1);
    EXPECT_LE(elapsed, entered / 100 + 2);
    EXPECT_EQ(saved[15], 4);
    EXPECT_EQ(saved[3], 0);  // one game only

    const Picture ranking = ShotOf(dir, "ranking.png");
    EXPECT_EQ(large_.read(ranking, 40, 60, 10), "TOP RECORD");
    EXPECT_EQ(small_.read(ranking, 60, 120, 9), Places(saved[0], 9));
    char when[32];
    std::snprintf(when, sizeof(when), "2009/06/15 %02d:%02d:%02d", hour, minute, second);
    EXPECT_EQ(small_.read(ranking, 60, 140, 19), when);
    EXPECT_EQ(small_.read(ranking, 60, 170, 9), "000000000");
    EXPECT_EQ(small_.read(ranking, 180, 410, 12), "PRESS BUTTON");
    EXPECT_EQ(small_.read(ranking, kHudX, 100, 9), Places(saved[0], 9));

    // The next run in the same folder starts with that hi score.
    const GameRunResult again =
        runner_.Run(dir, Shot(3, "again.png") + Press(4, "Escape") + "30 close\n");
    ASSERT_EQ(again.exitCode, 0) << again.stderrText;
    EXPECT_EQ(small_.read(ShotOf(dir, "again.png"), kHudX, 50, 9), Places(saved[0], 9));
    EXPECT_EQ(SaveValues(dir / "save.dat"), saved);
}

}  // namespace
