// The screen save's BMP file on both screen roads and depths: its header fields, its rows
// stored bottom-up with their padding, the clip to the draw area, the replacement of an
// existing file, and the failures that must say so (-1 and a log line, no file).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "graphics/screen_save/screen_save.h"
#include "tests/graphics/screen_save/screen_save_test_support.h"

namespace {

uint32_t Le32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint32_t Le16(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}

// The B, G, R bytes a pixel value of the depth must give: 5-6-5 channels moved to the top of
// their byte, 32-bit pixels' low three bytes as they are.
void ExpectedBgr(int32_t depth, uint32_t v, uint8_t* bgr) {
    if (depth == 16) {
        bgr[0] = static_cast<uint8_t>((v & 0x1F) << 3);
        bgr[1] = static_cast<uint8_t>(((v >> 5) & 0x3F) << 2);
        bgr[2] = static_cast<uint8_t>(((v >> 11) & 0x1F) << 3);
    } else {
        bgr[0] = static_cast<uint8_t>(v);
        bgr[1] = static_cast<uint8_t>(v >> 8);
        bgr[2] = static_cast<uint8_t>(v >> 16);
    }
}

// Checks the whole file: header, then each row bottom-up with zero padding, against the
// pattern at (left, top) of the screen.
void ExpectBmp(const std::string& file, int32_t depth, int32_t left, int32_t top, int32_t width,
               int32_t height) {
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    ASSERT_EQ(file.size(), 54 + rowBytes * height);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(Le32(file, 2), file.size());
    EXPECT_EQ(Le32(file, 6), 0u);
    EXPECT_EQ(Le32(file, 10), 54u);
    EXPECT_EQ(Le32(file, 14), 40u);
    EXPECT_EQ(Le32(file, 18), static_cast<uint32_t>(width));
    EXPECT_EQ(Le32(file, 22), static_cast<uint32_t>(height));
    EXPECT_EQ(Le16(file, 26), 1u);
    EXPECT_EQ(Le16(file, 28), 24u);
    for (size_t at = 30; at < 54; at += 2) EXPECT_EQ(Le16(file, at), 0u) << "offset " << at;
    int mismatches = 0;
    for (int32_t row = 0; row < height; ++row) {
        const size_t start = 54 + rowBytes * row;
        const int32_t y = top + height - 1 - row;  // the first row stored is the bottom one
        for (int32_t x = 0; x < width; ++x) {
            uint8_t bgr[3];
            ExpectedBgr(depth, PatternValue(left + x, y), bgr);
            for (int c = 0; c < 3; ++c) {
                if (static_cast<uint8_t>(file[start + x * 3 + c]) != bgr[c] && ++mismatches < 5) {
                    ADD_FAILURE() << "pixel " << left + x << "," << y << " byte " << c;
                }
            }
        }
        for (size_t pad = width * 3; pad < rowBytes; ++pad) {
            EXPECT_EQ(file[start + pad], '\0') << "padding of row " << row;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(ScreenSaveTest, BmpHoldsTheRectangleBottomUpInPaddedRowsOnEveryRoad) {
    struct Box {
        RECT asked;
        RECT saved;  // what lies inside the draw area
    };
    const Box boxes[] = {
        {{3, 2, 8, 6}, {3, 2, 8, 6}},              // 15-byte rows padded to 16
        {{630, 470, 700, 500}, {630, 470, 640, 480}},  // half outside: only the visible part
        {{-4, -3, 2, 1}, {0, 0, 2, 1}},            // 6-byte rows padded to 8, one row
    };
    for (const ScreenRoad& road : kScreenRoads) {
        SCOPED_TRACE(road.name);
        Start(road);
        PaintBack(PatternValue);
        for (const Box& box : boxes) {
            SCOPED_TRACE(std::to_string(box.asked.left) + "," + std::to_string(box.asked.top));
            ASSERT_EQ(WriteScreenImageFile(box.asked.left, box.asked.top, box.asked.right,
                                           box.asked.bottom, "shot.bmp", kScreenSaveBmp, 80, 1,
                                           -1),
                      0);
            ExpectBmp(FileBytes("shot.bmp"), road.depth, box.saved.left, box.saved.top,
                      box.saved.right - box.saved.left, box.saved.bottom - box.saved.top);
        }
        Stop();
    }
}

TEST_F(ScreenSaveTest, TheDrawAreaLimitsWhatIsSavedAndAnExistingFileIsReplaced) {
    Start(kScreenRoads[2]);
    PaintBack(PatternValue);
    // A larger file of the same name first: the save leaves nothing of it.
    {
        std::ofstream old(dir_.path() / "shot.bmp", std::ios::binary);
        old << std::string(5000, 'x');
    }
    ASSERT_EQ(SetDrawAreaRect(100, 50, 110, 53), 0);
    ASSERT_EQ(WriteScreenImageFile(0, 0, 640, 480, "shot.bmp", kScreenSaveBmp, 80, 1, -1), 0);
    ExpectBmp(FileBytes("shot.bmp"), 16, 100, 50, 10, 3);
    Stop();
}

TEST_F(ScreenSaveTest, ARectangleClippedToNothingIsRefusedWithALogLineAndNoFile) {
    Start(kScreenRoads[0]);
    const RECT empties[] = {
        {700, 10, 800, 20},   // right of the screen
        {10, -30, 20, -1},    // above it
        {50, 50, 50, 60},     // no width
        {60, 60, 40, 80},     // inverted
    };
    for (const RECT& r : empties) {
        SCOPED_TRACE(std::to_string(r.left) + "," + std::to_string(r.top));
        const size_t linesBefore = LogLines().size();
        EXPECT_EQ(WriteScreenImageFile(r.left, r.top, r.right, r.bottom, "none.bmp",
                                       kScreenSaveBmp, 80, 1, -1),
                  -1);
        EXPECT_GT(LogLines().size(), linesBefore);
        EXPECT_FALSE(FileThere("none.bmp"));
    }
    Stop();
}

TEST_F(ScreenSaveTest, AFileThatCannotBeMadeIsReportedAsAFailure) {
    for (const ScreenRoad& road : {kScreenRoads[1], kScreenRoads[3]}) {
        SCOPED_TRACE(road.name);
        Start(road);
        std::filesystem::create_directory(dir_.path() / "folder");
        struct Case {
            const char* name;
            int type;
        };
        const Case cases[] = {
            {"missing\\shot.bmp", kScreenSaveBmp},
            {"folder", kScreenSaveBmp},
            {"missing\\shot.png", kScreenSavePng},
            {"missing\\shot.jpg", kScreenSaveJpeg},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const size_t linesBefore = LogLines().size();
            EXPECT_EQ(WriteScreenImageFile(0, 0, 64, 48, c.name, c.type, 80, 1, -1), -1);
            EXPECT_GT(LogLines().size(), linesBefore);
        }
        EXPECT_TRUE(LogHas("ＢＭＰセーブ用ファイルのオープンに失敗しました"));
        EXPECT_TRUE(std::filesystem::is_directory(dir_.path() / "folder"));
        Stop();
    }
}

TEST_F(ScreenSaveTest, AFailedAllocationIsReportedAsAFailureAndWritesNoFile) {
    Start(kScreenRoads[0]);
    struct Case {
        const char* name;
        int type;
        const char* line;
    };
    const Case cases[] = {
        {"a.bmp", kScreenSaveBmp, "グラフィック保存用メモリの確保に失敗しました"},
        {"a.png", kScreenSavePng, "画像セーブ用一時バッファの確保に失敗しました"},
        {"a.jpg", kScreenSaveJpeg, "画像セーブ用一時バッファの確保に失敗しました"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::FailNextAllocations(1);
        EXPECT_EQ(WriteScreenImageFile(0, 0, 64, 48, c.name, c.type, 80, 1, -1), -1);
        EXPECT_TRUE(LogHas(c.line));
        EXPECT_FALSE(FileThere(c.name));
    }
    Stop();
}

TEST_F(ScreenSaveTest, BadArgumentsAndNoScreenAreRefused) {
    // Before start-up there is no screen to read.
    EXPECT_EQ(WriteScreenImageFile(0, 0, 64, 48, "early.bmp", kScreenSaveBmp, 80, 1, -1), -1);
    EXPECT_FALSE(FileThere("early.bmp"));
    Start(kScreenRoads[1]);
    for (int type : {-1, 3, 99}) {
        SCOPED_TRACE(type);
        const size_t linesBefore = LogLines().size();
        EXPECT_EQ(WriteScreenImageFile(0, 0, 64, 48, "odd.img", type, 80, 1, -1), -1);
        EXPECT_GT(LogLines().size(), linesBefore);
        EXPECT_FALSE(FileThere("odd.img"));
    }
    EXPECT_EQ(WriteScreenImageFile(0, 0, 64, 48, nullptr, kScreenSaveBmp, 80, 1, -1), -1);
    EXPECT_EQ(WriteScreenImageFile(0, 0, 64, 48, "", kScreenSaveBmp, 80, 1, -1), -1);
    Stop();
}

}  // namespace
