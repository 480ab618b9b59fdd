// The game's code on the real library: its start-up through the library's start, its reads of
// the date and time, and its graph table loading through the library's entries.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "api.h"
#include "game_time.h"
#include "platform/core/clock.h"
#include "platform/testing/test_controls.h"
#include "platform/window/window.h"
#include "platform/window/window_messages.h"
#include "system/window_styles.h"
#include "tests/support/library_fixture.h"
#include "zn_app.h"
#include "zn_graph_resource.h"

namespace {

// The start-up the program's entry runs: the question answered from ZN_ANSWER, the window mode
// and title, the library's start, and (with no frame) a loop that ends at once.
class GameStartUpTest : public LibraryFixture {
protected:
    void TearDown() override {
        unsetenv("ZN_ANSWER");
        LibraryFixture::TearDown();
    }

    static std::string WindowText() {
        char text[300] = {};
        plat::GetWindowText(Window(), text, sizeof text);
        return text;
    }
    // The window's style without the visible bit, which showing the window adds.
    static uint32_t WindowStyle() {
        uint32_t style = 0;
        plat::GetWindowStyle(Window(), &style, nullptr);
        return style & ~plat::WS_VISIBLE;
    }
};

TEST_F(GameStartUpTest, AnsweringNoMakesAWindowedWindowWithTheGamesTitle) {
    setenv("ZN_ANSWER", "no", 1);
    plat::FailNextThreadStarts(1);  // no pump thread: only this test touches the library
    ZnApp app;
    ASSERT_TRUE(app.init(nullptr));
    ASSERT_NE(Window(), 0u);
    EXPECT_EQ(GetWindowData().settings.windowed, 1u);
    EXPECT_EQ(WindowStyle(), GetWindowedStyle().style & ~plat::WS_VISIBLE);
    EXPECT_EQ(WindowText(), "ZnApp");
    EXPECT_NE(FindLine("ウインドウモード起動用のウインドウを作成します"), -1);
    app.run();  // no frame: the loop ends at once and ends the library
    EXPECT_EQ(Window(), 0u);
}

TEST_F(GameStartUpTest, AnsweringYesMakesAFullScreenWindow) {
    setenv("ZN_ANSWER", "yes", 1);
    plat::FailNextThreadStarts(1);
    ZnApp app;
    ASSERT_TRUE(app.init(nullptr));
    ASSERT_NE(Window(), 0u);
    EXPECT_EQ(GetWindowData().settings.windowed, 0u);
    EXPECT_EQ(WindowStyle(), GetFullScreenStyle().style);
    EXPECT_EQ(WindowText(), "ZnApp");
    app.end();
    EXPECT_EQ(Window(), 0u);
}

TEST_F(GameStartUpTest, CancelStartsNothing) {
    setenv("ZN_ANSWER", "cancel", 1);
    ZnApp app;
    EXPECT_FALSE(app.init(nullptr));
    EXPECT_EQ(Window(), 0u);
    EXPECT_EQ(GetApiLockState().created, 0u);
}

// The game's time reads follow the library's local date and time (so ZN_NOW makes the random
// seed and the records repeatable), not the C runtime's clock.
TEST(GameTimeOnLibraryTest, TimeAndDateFollowTheLibrarysLocalTime) {
    struct Case {
        plat::LocalDateTime start;
        long long seconds;  // since 1970-01-01 00:00:00 of that date and time
    };
    const Case cases[] = {
        {{2024, 3, 5, 7, 8, 9, 0, 0}, 1709622489LL},
        {{1970, 1, 1, 0, 0, 0, 0, 0}, 0LL},
        {{2000, 2, 29, 12, 0, 1, 0, 0}, 951825601LL},
    };
    plat::UseVirtualClock(true);
    for (const Case& c : cases) {
        plat::SetFixedLocalTime(&c.start);
        EXPECT_EQ(currentTimeSeconds(), c.seconds);
        ApiDateTime t{};
        ASSERT_EQ(ApiGetLocalDateTime(&t), 0);
        EXPECT_EQ(t.year, static_cast<int>(c.start.year));
        EXPECT_EQ(t.month, static_cast<int>(c.start.month));
        EXPECT_EQ(t.day, static_cast<int>(c.start.day));
        EXPECT_EQ(t.second, static_cast<int>(c.start.second));
    }
    plat::AdvanceVirtualClock(61'250'000);  // the time moves on with the clock
    EXPECT_EQ(currentTimeSeconds(), 951825601LL + 61);
    ApiDateTime later{};
    ASSERT_EQ(ApiGetLocalDateTime(&later), 0);
    EXPECT_EQ(later.minute, 1);
    EXPECT_EQ(later.second, 2);
    EXPECT_EQ(later.millisecond, 250);
    plat::ResetTestControls();
}

std::string thrownText(void (*load)(ZnGraphResource&), ZnGraphResource& table) {
    try {
        load(table);
    } catch (const char* text) {
        return text;
    }
    return "";
}

// A 24-bit bottom-up bitmap file of the given size, every pixel one colour.
void writeBmp(const char* name, int width, int height) {
    const int rowBytes = (width * 3 + 3) & ~3;
    const uint32_t imageSize = static_cast<uint32_t>(rowBytes * height);
    std::string bytes;
    auto u16 = [&](uint32_t v) {
        bytes += static_cast<char>(v & 255);
        bytes += static_cast<char>((v >> 8) & 255);
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    bytes += "BM";
    u32(54 + imageSize);
    u32(0);
    u32(54);
    u32(40);
    u32(static_cast<uint32_t>(width));
    u32(static_cast<uint32_t>(height));
    u16(1);
    u16(24);
    u32(0);
    u32(imageSize);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    for (int y = 0; y < height; ++y) {
        std::string row(static_cast<size_t>(rowBytes), '\0');
        for (int x = 0; x < width; ++x) row[static_cast<size_t>(x * 3 + 1)] = '\x80';
        bytes += row;
    }
    std::ofstream(name, std::ios::binary).write(bytes.data(),
                                                static_cast<std::streamsize>(bytes.size()));
}

using GraphTableOnLibraryTest = LibraryFixture;

TEST_F(GraphTableOnLibraryTest, MissingFilesFailThroughTheLibrarysEntries) {
    StartWithoutPumpThread();
    ZnGraphResource graphs;
    graphs.resize(1);
    EXPECT_EQ(thrownText([](ZnGraphResource& t) { t.loadGraphAt(0, "res\\bg.bmp"); }, graphs),
              "ZnGraphResource::loadGraph error");
    EXPECT_EQ(thrownText([](ZnGraphResource& t) {
                  t.loadDivGraphAt(0, "res\\frame.bmp", 4, 2, 2, 32, 32);
              }, graphs),
              "ZnGraphResource::loadDivGraph error");
    int width = 7;
    int height = 7;
    EXPECT_EQ(ApiQueryGraphSize(-1, &width, &height), -1);  // no such graph
}

TEST_F(GraphTableOnLibraryTest, ImagesLoadWithTheSizeTheLibraryReports) {
    StartWithoutPumpThread();
    writeBmp("whole.bmp", 24, 40);
    writeBmp("tiles.bmp", 64, 32);
    ZnGraphResource graphs;
    graphs.resize(2);
    graphs.loadGraphAt(0, "whole.bmp");
    EXPECT_EQ(graphs.at(0).getCount(), 1);
    EXPECT_NE(graphs.at(0).getHandle(0), -1);
    EXPECT_EQ(graphs.at(0).getWidth(), 24);
    EXPECT_EQ(graphs.at(0).getHeight(), 40);

    graphs.loadDivGraphAt(1, "tiles.bmp", 8, 4, 2, 16, 16);
    ASSERT_EQ(graphs.at(1).getCount(), 8);
    for (int i = 0; i < 8; ++i) {
        int w = 0;
        int h = 0;
        EXPECT_EQ(ApiQueryGraphSize(graphs.at(1).getHandle(i), &w, &h), 0) << i;
        EXPECT_EQ(w, 16);
        EXPECT_EQ(h, 16);
    }
}

}  // namespace
