#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game_world.h"
#include "hi_score.h"
#include "save_file.h"
#include "tests/game/stand_in/library_stand_in.h"
#include "tests/support/temp_dir.h"

namespace {

std::string le(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((u >> (8 * i)) & 255);
    return s;
}

void writeBytes(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A full, valid file: record i has score 1000 - i, date 2020-(i+1)-(i+10), time i:30:45.
std::string validFile(int choice) {
    std::string s;
    for (int i = 0; i < 5; ++i) {
        s += le(1000 - i);
        s += le(2020 * 65536 + (i + 1) * 256 + (i + 10));
        s += le(i * 65536 + 30 * 256 + 45);
    }
    s += le(choice);
    return s;
}

TEST(HiScoreTest, PackAndUnpackRoundTrip) {
    HiScore h;
    h.unpack(77, 2024 * 65536 + 12 * 256 + 31, 23 * 65536 + 59 * 256 + 58);
    EXPECT_EQ(h.getScore(), 77);
    EXPECT_EQ(h.getYear(), 2024);
    EXPECT_EQ(h.getMonth(), 12);
    EXPECT_EQ(h.getDay(), 31);
    EXPECT_EQ(h.getHour(), 23);
    EXPECT_EQ(h.getMinute(), 59);
    EXPECT_EQ(h.getSecond(), 58);
    EXPECT_EQ(h.packDate(), 2024 * 65536 + 12 * 256 + 31);
    EXPECT_EQ(h.packTime(), 23 * 65536 + 59 * 256 + 58);
    // The year is an arithmetic shift: a negative packed date gives a negative year.
    h.unpack(0, -1, 0);
    EXPECT_EQ(h.getYear(), -1);
    EXPECT_EQ(h.getMonth(), 255);
    EXPECT_EQ(h.getDay(), 255);
}

TEST(HiScoreTest, DateTextIsBoundedEvenForHostileValues) {
    HiScore h;
    h.unpack(0, 2024 * 65536 + 3 * 256 + 5, 7 * 65536 + 8 * 256 + 9);
    char text[20];
    EXPECT_STREQ(h.formatDateTime(text, sizeof text), "2024/03/05 07:08:09");

    h.unpack(0, INT32_MIN | 0xFFFF, INT32_MIN | 0xFFFF);
    char guarded[40];
    std::memset(guarded, 'X', sizeof guarded);
    h.formatDateTime(guarded, 20);
    EXPECT_EQ(std::strlen(guarded), 19u);
    for (size_t i = 20; i < sizeof guarded; ++i) EXPECT_EQ(guarded[i], 'X');
}

class HiScoreArrayTest : public ::testing::Test {
protected:
    void at(int hour) { lib_.setDateTime(ApiDateTime{2024, 1, 2, hour, 0, 0, 0}); }
    LibraryStandIn lib_;
    HiScoreArray table_;
};

TEST_F(HiScoreArrayTest, EqualScoreGoesBelowTheOlderOne) {
    at(1);
    table_.insert(700);
    table_.insert(500);
    at(2);
    table_.insert(500);
    EXPECT_EQ(table_.at(0).getScore(), 700);
    EXPECT_EQ(table_.at(1).getScore(), 500);
    EXPECT_EQ(table_.at(1).getHour(), 1);
    EXPECT_EQ(table_.at(2).getScore(), 500);
    EXPECT_EQ(table_.at(2).getHour(), 2);
    EXPECT_EQ(table_.at(2).getYear(), 2024);
    EXPECT_EQ(table_.at(3).getScore(), 0);
}

TEST_F(HiScoreArrayTest, EqualScoresKeepTheirOrderWhenAHigherOneGoesAbove) {
    at(1);
    table_.insert(500);
    at(2);
    table_.insert(500);
    at(3);
    table_.insert(900);
    EXPECT_EQ(table_.at(0).getScore(), 900);
    EXPECT_EQ(table_.at(1).getHour(), 1);
    EXPECT_EQ(table_.at(2).getHour(), 2);
    EXPECT_EQ(table_.at(2).getScore(), 500);
}

TEST_F(HiScoreArrayTest, ZeroNeverEntersAndScoresBelowTheFifthChangeNothing) {
    table_.insert(0);
    for (uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(table_.at(i).getScore(), 0);
        EXPECT_EQ(table_.at(i).getYear(), 0);
    }
    for (int s : {50, 40, 30, 20, 10}) table_.insert(s);
    table_.insert(10);
    table_.insert(5);
    const int expected[] = {50, 40, 30, 20, 10};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(table_.at(i).getScore(), expected[i]);
    table_.insert(35);
    const int after[] = {50, 40, 35, 30, 20};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(table_.at(i).getScore(), after[i]);
}

class SaveFileTest : public ::testing::Test {
protected:
    ScopedTempDir dir_;
    LibraryStandIn lib_;
};

TEST_F(SaveFileTest, WrittenFileIsSixtyFourLittleEndianBytes) {
    HiScoreArray table;
    lib_.setDateTime(ApiDateTime{2023, 11, 22, 13, 14, 15, 0});
    table.insert(0x01020304);
    ASSERT_TRUE(writeSaveFile("save.dat", table, 3));
    const std::string bytes = dir_.ReadFile("save.dat");
    ASSERT_EQ(bytes.size(), 64u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(bytes.substr(4, 4), le(2023 * 65536 + 11 * 256 + 22));
    EXPECT_EQ(bytes.substr(8, 4), le(13 * 65536 + 14 * 256 + 15));
    EXPECT_EQ(bytes.substr(12, 48), std::string(48, '\0'));
    EXPECT_EQ(bytes.substr(60, 4), le(3));
    EXPECT_FALSE(std::filesystem::exists("save.dat.tmp"));
}

TEST_F(SaveFileTest, DamagedFilesLoadSafely) {
    struct Record {
        int score;
        int date;
        int time;
    };
    auto rec = [](int i) {
        return Record{1000 - i, 2020 * 65536 + (i + 1) * 256 + (i + 10), i * 65536 + 30 * 256 + 45};
    };
    struct Case {
        const char* name;
        std::string bytes;
        int records;       // whole records kept
        bool fourthScore;  // record 3's score kept
        int choice;        // after reading, starting from 3
    };
    const std::string full = validFile(2);
    const Case cases[] = {
        {"valid", full, 5, true, 2},
        {"empty", "", 0, false, 3},
        {"40 bytes", full.substr(0, 40), 3, true, 3},
        {"42 bytes", full.substr(0, 42), 3, true, 3},
        {"one odd byte", full.substr(0, 3), 0, false, 3},
        {"62 bytes", full.substr(0, 62), 5, true, 3},
        {"choice 7", validFile(7), 5, true, 0},
        {"choice -4", validFile(-4), 5, true, 0},
        {"oversized", validFile(4) + std::string(100, '\x7f'), 5, true, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes("save.dat", c.bytes);
        HiScoreArray table;
        lib_.setDateTime(ApiDateTime{1999, 1, 1, 1, 1, 1, 0});
        for (int i = 0; i < 5; ++i) table.insert(9000 + i);  // overwritten by the read
        int choice = 3;
        ASSERT_TRUE(readSaveFile("save.dat", table, choice));
        EXPECT_EQ(choice, c.choice);
        for (int i = 0; i < 5; ++i) {
            const HiScore& h = table.at(i);
            Record want = i < c.records ? rec(i) : Record{0, 0, 0};
            if (i == 3 && c.records == 3 && c.fourthScore) want.score = rec(3).score;
            EXPECT_EQ(h.getScore(), want.score) << "record " << i;
            EXPECT_EQ(h.packDate(), want.date) << "record " << i;
            EXPECT_EQ(h.packTime(), want.time) << "record " << i;
        }
    }
}

TEST_F(SaveFileTest, MissingFileChangesNothing) {
    HiScoreArray table;
    table.insert(5);
    int choice = 2;
    EXPECT_FALSE(readSaveFile("save.dat", table, choice));
    EXPECT_EQ(choice, 2);
    EXPECT_EQ(table.at(0).getScore(), 5);
}

TEST_F(SaveFileTest, FailedSaveLeavesTheOldFileWhole) {
    writeBytes("save.dat", validFile(1));
    // The temporary file cannot be made: a directory stands in its place.
    std::filesystem::create_directory("save.dat.tmp");
    HiScoreArray table;
    table.insert(123456);
    EXPECT_FALSE(writeSaveFile("save.dat", table, 4));
    EXPECT_EQ(dir_.ReadFile("save.dat"), validFile(1));
}

TEST_F(SaveFileTest, WorldRoundTripAndAFailedSaveToldOnce) {
    lib_.setDateTime(ApiDateTime{2025, 6, 7, 8, 9, 10, 0});
    {
        GameWorld world;
        world.setup();
        world.moveStartLevel(false);
        world.moveStartLevel(false);  // choice 2
        world.newGame();
        world.addScore(4321);
        world.recordScore();
        world.newGame();
        world.addScore(9999);
        world.recordScore();
        Pattern::setWorld(nullptr);
    }
    {
        GameWorld world;
        world.setup();
        EXPECT_EQ(world.getStartLevel(), 2);
        EXPECT_EQ(world.getHiScore(), 9999);
        EXPECT_EQ(world.getHiScores().at(0).getScore(), 9999);
        EXPECT_EQ(world.getHiScores().at(1).getScore(), 4321);
        EXPECT_EQ(world.getHiScores().at(1).getYear(), 2025);
        EXPECT_EQ(world.getHiScores().at(1).getSecond(), 10);
        EXPECT_EQ(world.getHiScores().at(2).getScore(), 0);

        // A save that cannot be written keeps the table in memory updated and the old file
        // whole; the first failure is told once on stderr, later ones are not repeated.
        const std::string before = dir_.ReadFile("save.dat");
        std::filesystem::create_directory("save.dat.tmp");
        testing::internal::CaptureStderr();
        world.newGame();
        world.addScore(20000);
        world.recordScore();
        world.newGame();
        world.addScore(30000);
        world.recordScore();
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(world.getHiScores().at(0).getScore(), 30000);
        EXPECT_EQ(world.getHiScores().at(1).getScore(), 20000);
        EXPECT_EQ(dir_.ReadFile("save.dat"), before);
        EXPECT_EQ(told, "save.dat: the high scores could not be saved (kept until the game ends)\n");
        Pattern::setWorld(nullptr);
    }
    PlayArea = Rect();
}

TEST_F(SaveFileTest, ChoiceIsSavedOnlyWhenAGameEnds) {
    writeBytes("save.dat", validFile(1));
    {
        GameWorld world;
        world.setup();
        world.moveStartLevel(false);  // 2, never saved: no game ends
        Pattern::setWorld(nullptr);
    }
    GameWorld world;
    world.setup();
    EXPECT_EQ(world.getStartLevel(), 1);
    EXPECT_EQ(world.getHiScore(), 1000);
    Pattern::setWorld(nullptr);
}

}  // namespace
