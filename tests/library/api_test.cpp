// The public entries: each one runs its routine under the library lock (the forwarders without
// it); the window settings made through them before start-up; the entries still to come.
#include "library/public/api.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "base/api_lock.h"
#include "softrender/records/color_format.h"
#include "platform/core/clock.h"
#include "platform/testing/test_controls.h"
#include "platform/window/window.h"
#include "platform/window/window_messages.h"
#include "system/window_data.h"
#include "system/window_styles.h"
#include "tests/support/library_fixture.h"
#include "tests/support/log_test_fixture.h"

namespace {

class ApiEntryTest : public ::testing::Test {
protected:
    void SetUp() override { DestroyApiLock(&GetApiLockState()); }
    void TearDown() override {
        DestroyApiLock(&GetApiLockState());
        plat::ResetTestControls();
    }
};

TEST_F(ApiEntryTest, GetMillisecondCountIgnoresItsArgumentAndReturnsTheClock) {
    plat::UseVirtualClock(true);
    plat::AdvanceVirtualClock(123456789);  // 123456.789 ms
    for (int argument : {0, 1, -1, 1000, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(argument);
        EXPECT_EQ(ApiGetMillisecondCount(argument), 123456);
    }
    plat::AdvanceVirtualClock(5000);
    EXPECT_EQ(ApiGetMillisecondCount(0), 123461);
}

TEST_F(ApiEntryTest, EntryCreatesTheLockAndLeavesItFree) {
    ApiLockState& lock = GetApiLockState();
    ASSERT_EQ(lock.created, 0u);
    ApiGetMillisecondCount(0);
    EXPECT_EQ(lock.created, 1u);
    EXPECT_EQ(lock.locked, 0u);
    EXPECT_EQ(lock.recursion, 0);

    // After the lock is destroyed the next entry call creates a fresh one.
    DestroyApiLock(&lock);
    ApiGetMillisecondCount(0);
    EXPECT_EQ(lock.created, 1u);
    EXPECT_NE(lock.queue[0].event, nullptr);
    EXPECT_EQ(lock.locked, 0u);
}

}  // namespace

// ---- The colour-format forwarders ----------------------------------------------------------------

namespace {

TEST_F(ApiEntryTest, ColorFormatForwardersFillTheRecordsWithoutTheLock) {
    PaletteColorFormat format{};
    EXPECT_EQ(ApiBuildColorFormat(&format, 16, 0xF800, 0x07E0, 0x001F, 0), 0);
    EXPECT_EQ(format.format.bits, 16);
    EXPECT_EQ(format.format.bytes, 2);
    EXPECT_EQ(format.format.widthR, 5);
    EXPECT_EQ(format.format.widthG, 6);
    EXPECT_EQ(format.format.widthB, 5);
    EXPECT_EQ(format.format.shiftR, 11);
    EXPECT_EQ(format.format.shiftG, 5);
    EXPECT_EQ(format.format.noUseMask, 0u);

    EXPECT_EQ(ApiBuildColorFormat(&format, 32, 0xFF0000, 0xFF00, 0xFF, 0), 0);
    EXPECT_EQ(format.format.noUseMask, 0xFF000000u);
    EXPECT_EQ(format.noUseShift, 24);
    EXPECT_EQ(format.noUseWidth, 8);

    SurfacePixelFormat pixel;
    std::memset(&pixel, 0xAB, sizeof pixel);
    EXPECT_EQ(ApiBuildColorFormatRaw(&pixel, 16, 0x7C00, 0x03E0, 0x001F, 0x8000), 0);
    EXPECT_EQ(pixel.size, 32u);
    EXPECT_EQ(pixel.flags, SURFACE_PIXEL_FORMAT_RGB);
    EXPECT_EQ(pixel.fourCC, 0u);
    EXPECT_EQ(pixel.rgbBitCount, 16u);
    EXPECT_EQ(pixel.redMask, 0x7C00u);
    EXPECT_EQ(pixel.greenMask, 0x03E0u);
    EXPECT_EQ(pixel.blueMask, 0x001Fu);
    EXPECT_EQ(pixel.alphaMask, 0x8000u);

    // Forwarders take no lock, so they make none either.
    EXPECT_EQ(GetApiLockState().created, 0u);
}

}  // namespace

// ---- Window mode and title set before start-up -------------------------------------------------

namespace {

class WindowSettingsApiTest : public LibraryFixture {
protected:
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

TEST_F(WindowSettingsApiTest, ModeAndTitleSetBeforeStartUpShapeTheWindowItCreates) {
    EXPECT_EQ(GetApiLockState().created, 0u);
    EXPECT_EQ(ApiChangeWindowMode(1), 0);
    // The first entry call made the lock.
    EXPECT_EQ(GetApiLockState().created, 1u);
    EXPECT_EQ(ApiSetWindowTitle("VORNAST テスト"), 0);
    StartWithoutPumpThread();

    EXPECT_EQ(GetWindowData().settings.windowed, 1u);
    EXPECT_EQ(WindowText(), "VORNAST テスト");
    EXPECT_EQ(WindowStyle(), GetWindowedStyle().style & ~plat::WS_VISIBLE);
    EXPECT_NE(WindowStyle(), GetFullScreenStyle().style);
    EXPECT_NE(FindLine("ウインドウモード起動用のウインドウを作成します"), -1);
}

TEST_F(WindowSettingsApiTest, WithoutThemTheWindowIsFullScreenAndTitledZnLib) {
    StartWithoutPumpThread();
    EXPECT_EQ(GetWindowData().settings.windowed, 0u);
    EXPECT_EQ(WindowText(), "ZnLib");
    EXPECT_EQ(WindowStyle(), GetFullScreenStyle().style);
    EXPECT_NE(FindLine("フルスクリーンモード用のウインドウを作成します"), -1);
}

TEST_F(WindowSettingsApiTest, TheModeItAlreadyHasChangesNothing) {
    // Full screen is the default: asking for it only logs the call.
    EXPECT_EQ(ApiChangeWindowMode(0), 0);
    EXPECT_EQ(GetWindowData().settings.windowed, 0u);
    EXPECT_EQ(GetWindowData().settings.styleApplied, 0u);
    // Going windowed and back both take.
    EXPECT_EQ(ApiChangeWindowMode(1), 0);
    EXPECT_EQ(ApiChangeWindowMode(0), 0);
    EXPECT_EQ(GetWindowData().settings.windowed, 0u);
    EXPECT_EQ(GetWindowData().settings.styleApplied, 1u);
}

TEST_F(WindowSettingsApiTest, TitlesAreCutToWholeCharactersAndAnEmptyOneBecomesZnLib) {
    char* title = GetWindowData().settings.title;
    // 255 bytes fit: 254 single bytes and then a double-byte character would not, so it goes.
    std::string text(254, 'a');
    text += "テ";
    EXPECT_EQ(ApiSetWindowTitle(text.c_str()), 0);
    EXPECT_EQ(std::string(title), std::string(254, 'a'));
    // 253 single bytes and the double-byte character fit exactly.
    text = std::string(253, 'b') + "テ";
    ApiSetWindowTitle(text.c_str());
    EXPECT_EQ(std::string(title), text);
    EXPECT_EQ(std::strlen(title), 255u);
    // Longer single-byte text is cut at 255 bytes.
    ApiSetWindowTitle(std::string(400, 'c').c_str());
    EXPECT_EQ(std::string(title), std::string(255, 'c'));

    // An empty title (or none) leaves start-up its default.
    ApiSetWindowTitle("");
    EXPECT_STREQ(title, "");
    ApiSetWindowTitle(nullptr);
    EXPECT_STREQ(title, "");
    StartWithoutPumpThread();
    EXPECT_EQ(WindowText(), "ZnLib");
}

// (The live switch of the window mode is covered by window_mode_entry_test.cpp.)
TEST_F(WindowSettingsApiTest, AfterStartUpTheTitleChangesTheLiveWindowAndTheSameModeOnlyLogs) {
    ApiSetWindowTitle("first");
    StartWithoutPumpThread();
    EXPECT_EQ(WindowText(), "first");
    EXPECT_EQ(ApiSetWindowTitle("second"), 0);
    EXPECT_EQ(WindowText(), "second");
    EXPECT_STREQ(GetWindowData().settings.title, "second");

    const uint32_t style = WindowStyle();
    const int linesBefore = static_cast<int>(LogLines().size());
    EXPECT_EQ(ApiChangeWindowMode(0), 0);  // already full screen: only the call is logged
    const int first = FindLine("ChangeWindowMode実行 ", linesBefore);
    ASSERT_NE(first, -1);
    EXPECT_EQ(static_cast<int>(LogLines().size()), first + 1);
    EXPECT_EQ(GetWindowData().settings.windowed, 0u);
    EXPECT_EQ(WindowStyle(), style);
    EXPECT_EQ(GetApiLockState().locked, 0u);
}

}  // namespace
