// What the screen's start records on a started library: the video card's facts (asked of the
// adapter only while Shift is held) and the overlay probe, which tries each overlay format in
// order on a display that offers none and so uses no overlay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/system_info.h"
#include "platform/ddraw/ddraw_call_log.h"
#include "platform/testing/input_test_controls.h"
#include "tests/library/screen_rest_fixture.h"

namespace {

class ScreenProbeTest : public ScreenRestFixture {
protected:
    void TearDown() override {
        ScreenRestFixture::TearDown();
        plat::SetOsVersionForTests(nullptr);
        plat::StopDDrawCallLog();
    }

    // The overlay surfaces the start asked for (caps of each CreateSurface with the overlay
    // capability, in order).
    static std::vector<uint32_t> OverlayCreates() {
        std::vector<uint32_t> caps;
        for (const plat::DDrawCall& call : plat::TakeDDrawCallLog()) {
            if (std::string(call.op) == "CreateSurface" && (call.caps & plat::DDSCAPS_OVERLAY)) {
                caps.push_back(call.caps);
                EXPECT_NE(call.result, plat::DD_OK);
            }
        }
        return caps;
    }
};

TEST_F(ScreenProbeTest, OnSurfacesEachOverlayFormatIsTriedAndNoneIsUsed) {
    plat::StartDDrawCallLog();
    Start(false, true);
    const uint32_t wanted = plat::DDSCAPS_OVERLAY | plat::DDSCAPS_VIDEOMEMORY;
    EXPECT_EQ(OverlayCreates(), (std::vector<uint32_t>{wanted, wanted}));
    const ScreenState& s = GetScreenState();
    EXPECT_EQ(s.overlayFormat, -1);
    EXPECT_EQ(GetOverlayFormat(), nullptr);
    // The capabilities were read for the probe (and for the movies' overlay alignment).
    plat::DDCaps caps{};
    GetDDCaps(&caps);
    EXPECT_EQ(caps.size, sizeof(plat::DDCaps));
    EXPECT_TRUE(LogHas("オーバーレイサーフェスは使用しません"));
    EXPECT_FALSE(LogHas("オーバーレイサーフェスを使用します"));
}

struct ProbeSkipCase {
    const char* name;
    bool software;
    bool vista;
};

TEST_F(ScreenProbeTest, ASoftwareScreenOrWindowsVistaProbesNothing) {
    const ProbeSkipCase cases[] = {{"software screen", true, false}, {"Vista", false, true}};
    for (const ProbeSkipCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.vista) {
            plat::OsVersionInfo vista{};
            vista.platformId = 2;
            vista.major = 6;
            vista.minor = 0;
            vista.build = 6000;
            plat::SetOsVersionForTests(&vista);
        }
        plat::StartDDrawCallLog();
        Start(c.software, true);
        EXPECT_TRUE(OverlayCreates().empty());
        EXPECT_EQ(GetScreenState().overlayFormat, -1);
        EXPECT_TRUE(LogHas("オーバーレイサーフェスは使用しません"));
        ApiTermLibrary();
        TearDown();
    }
}

TEST_F(ScreenProbeTest, WithoutShiftTheVideoCardIsRecordedUnasked) {
    Start(false, true);
    const VideoCardFacts* card = GetVideoCardFacts();
    EXPECT_STREQ(card->driver, "");
    EXPECT_STREQ(card->description, "");
    EXPECT_EQ(card->totalMemory, 0x1000000u);
    EXPECT_EQ(card->freeMemory, 0u);
    EXPECT_TRUE(LogHas("ビデオカードの情報"));
    EXPECT_FALSE(LogHas("ビデオカードドライバ:"));
}

TEST_F(ScreenProbeTest, WithShiftHeldTheAdapterIsAskedLoggedAndRecorded) {
    plat::SetTestKey(plat::VK_SHIFT, true);
    Start(false, true);
    plat::SetTestKey(plat::VK_SHIFT, false);
    const VideoCardFacts* card = GetVideoCardFacts();
    EXPECT_STREQ(card->driver, "zn-display");
    EXPECT_STREQ(card->description, "Platform display");
    EXPECT_EQ(card->totalMemory, static_cast<uint32_t>(plat::kDefaultVideoMemoryBudget));
    EXPECT_GT(card->freeMemory, 0u);
    EXPECT_LE(card->freeMemory, card->totalMemory);
    // Driver, version and description on one line; the memory on the next.
    EXPECT_TRUE(LogHas("ビデオカードドライバ:zn-display バージョン:1.0.0.1 ドライバ記述:Platform display "));
    EXPECT_TRUE(LogHas("ビデオメモリ総量:64.00MB ビデオメモリ空き容量:"));
}

}  // namespace
