// The display's modes as DirectDraw and GDI see them: the desktop's mode until a full-screen
// mode is set, the modes offered and refused, cooperative levels, restoring the desktop, and
// the DirectDraw object made as the class factory does it.
#include <gtest/gtest.h>

#include "tests/platform/display/display_fixture.h"

namespace {

using plat::DD_OK;

using DisplayModeTest = DisplayFixture;

TEST_F(DisplayModeTest, TheDesktopsModeUntilAFullScreenModeIsSet) {
    plat::SurfaceDesc mode;
    ASSERT_EQ(dd_->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.width, 1920u);
    EXPECT_EQ(mode.height, 1080u);
    EXPECT_EQ(mode.pixelFormat.bitCount, 32u);
    EXPECT_EQ(mode.pixelFormat.redMask, 0xFF0000u);
    EXPECT_EQ(mode.refreshRate, 60u);
    EXPECT_EQ(plat::GetSystemMetrics(plat::SM_CXSCREEN), 1920);
    EXPECT_EQ(plat::GetSystemMetrics(plat::SM_CYSCREEN), 1080);
    plat::DeviceContext* dc = plat::GetDC(0);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(plat::GetDeviceCaps(dc, plat::BITSPIXEL) * plat::GetDeviceCaps(dc, plat::PLANES), 32);
    EXPECT_EQ(plat::GetDeviceCaps(dc, plat::VREFRESH), 60);
    EXPECT_EQ(plat::ReleaseDC(0, dc), 1);
    uint32_t hz = 0;
    EXPECT_EQ(dd_->GetMonitorFrequency(&hz), DD_OK);
    EXPECT_EQ(hz, 60u);
}

TEST_F(DisplayModeTest, SetDisplayModeTakesTheOfferedModesAndRefusesTheOthers) {
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN),
              DD_OK);
    struct Case {
        uint32_t width, height, bits, refresh;
        plat::DDResult expected;
    } cases[] = {
        {640, 480, 16, 0, DD_OK},
        {640, 480, 32, 60, DD_OK},
        {800, 600, 16, 0, DD_OK},
        {1024, 768, 32, 0, DD_OK},
        {1920, 1080, 16, 0, DD_OK},             // the desktop's own size
        {640, 480, 24, 0, plat::DDERR_INVALIDMODE},
        {640, 480, 8, 0, plat::DDERR_INVALIDMODE},
        {641, 480, 16, 0, plat::DDERR_INVALIDMODE},
        {640, 480, 16, 85, plat::DDERR_INVALIDMODE},  // a refresh rate the display has not
        {0xFFFFFFFFu, 480, 16, 0, plat::DDERR_INVALIDMODE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits << "@"
                                        << c.refresh);
        ASSERT_EQ(dd_->RestoreDisplayMode(), DD_OK);
        EXPECT_EQ(dd_->SetDisplayMode(c.width, c.height, c.bits, c.refresh, 0), c.expected);
        plat::SurfaceDesc mode;
        ASSERT_EQ(dd_->GetDisplayMode(&mode), DD_OK);
        if (c.expected == DD_OK) {
            EXPECT_EQ(mode.width, c.width);
            EXPECT_EQ(mode.height, c.height);
            EXPECT_EQ(mode.pixelFormat.bitCount, c.bits);
            EXPECT_EQ(plat::GetSystemMetrics(plat::SM_CYSCREEN), static_cast<int32_t>(c.height));
            EXPECT_TRUE(plat::DisplayInFullScreenMode());
        } else {
            // A refused mode leaves the desktop's.
            EXPECT_EQ(mode.width, 1920u);
            EXPECT_FALSE(plat::DisplayInFullScreenMode());
        }
    }
}

TEST_F(DisplayModeTest, ARefusedRefreshRateSucceedsWithoutIt) {
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN),
              DD_OK);
    ASSERT_EQ(dd_->SetDisplayMode(640, 480, 16, 72, 0), plat::DDERR_INVALIDMODE);
    ASSERT_EQ(dd_->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    plat::SurfaceDesc mode;
    ASSERT_EQ(dd_->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.refreshRate, 60u);
    EXPECT_EQ(mode.pixelFormat.redMask, 0xF800u);
    EXPECT_EQ(mode.pixelFormat.greenMask, 0x07E0u);
}

TEST_F(DisplayModeTest, ModesNeedTheExclusiveLevelAndComeBackOnRestoreAndRelease) {
    EXPECT_EQ(dd_->SetDisplayMode(640, 480, 16, 0, 0), plat::DDERR_NOEXCLUSIVEMODE);
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(dd_->SetDisplayMode(640, 480, 16, 0, 0), plat::DDERR_NOEXCLUSIVEMODE);
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN |
                                                    plat::DDSCL_MULTITHREADED),
              DD_OK);
    ASSERT_EQ(dd_->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    ASSERT_EQ(dd_->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(plat::CurrentDisplayMode().width, 1920);
    EXPECT_EQ(plat::CurrentDisplayMode().bitsPerPixel, 32);

    // The last reference to the object gives the display back too.
    ASSERT_EQ(dd_->SetDisplayMode(800, 600, 32, 0, 0), DD_OK);
    dd_->Release();
    dd_ = nullptr;
    EXPECT_FALSE(plat::DisplayInFullScreenMode());
    EXPECT_EQ(plat::ExclusiveDisplayOwner(), nullptr);
}

TEST_F(DisplayModeTest, CooperativeLevels) {
    plat::DirectDraw* other = nullptr;
    ASSERT_EQ(plat::CreateDirectDraw(&other), DD_OK);
    const plat::WindowHandle second = plat::CreateWindow(kClassName, "second", 0, 0, 0, 0, 64,
                                                         64, nullptr);
    ASSERT_NE(second, 0u);
    constexpr uint32_t kFull = plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN;
    struct Case {
        const char* what;
        plat::DirectDraw* object;
        plat::WindowHandle window;
        uint32_t flags;
        plat::DDResult expected;
    } cases[] = {
        {"normal", dd_, window_, plat::DDSCL_NORMAL, DD_OK},
        {"normal, no window", dd_, 0, plat::DDSCL_NORMAL, DD_OK},
        {"normal, multi-threaded", dd_, window_, plat::DDSCL_NORMAL | plat::DDSCL_MULTITHREADED,
         DD_OK},
        {"exclusive without full screen", dd_, window_, plat::DDSCL_EXCLUSIVE,
         plat::DDERR_INVALIDPARAMS},
        {"normal and exclusive", dd_, window_, plat::DDSCL_NORMAL | kFull,
         plat::DDERR_INVALIDPARAMS},
        {"exclusive without a window", dd_, 0, kFull, plat::DDERR_INVALIDPARAMS},
        {"exclusive with a stale window", dd_, window_ + 0x10000, kFull,
         plat::DDERR_INVALIDPARAMS},
        {"unknown flag", dd_, window_, plat::DDSCL_NORMAL | 0x80000000u,
         plat::DDERR_INVALIDPARAMS},
        {"exclusive", dd_, window_, kFull, DD_OK},
        {"exclusive again", dd_, window_, kFull, DD_OK},
        {"exclusive for another window", dd_, second, kFull, plat::DDERR_HWNDALREADYSET},
        {"another object", other, second, kFull, plat::DDERR_EXCLUSIVEMODEALREADYSET},
        {"another object, normal", other, second, plat::DDSCL_NORMAL, DD_OK},
        {"back to normal", dd_, window_, plat::DDSCL_NORMAL, DD_OK},
        {"the other object now", other, second, kFull, DD_OK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.object->SetCooperativeLevel(c.window, c.flags), c.expected) << c.what;
    }
    other->Release();
    EXPECT_EQ(plat::ExclusiveDisplayOwner(), nullptr);
}

TEST_F(DisplayModeTest, ChangeDisplaySettingsSetsTestsAndRestoresModes) {
    plat::DevMode mode = {};
    mode.size = sizeof(mode);
    mode.fields = plat::DM_PELSWIDTH | plat::DM_PELSHEIGHT | plat::DM_BITSPERPEL;
    mode.pelsWidth = 640;
    mode.pelsHeight = 480;
    mode.bitsPerPel = 16;

    plat::DevMode badSize = mode;
    badSize.size = 148;
    plat::DevMode depth24 = mode;
    depth24.bitsPerPel = 24;
    plat::DevMode refresh = mode;
    refresh.fields |= plat::DM_DISPLAYFREQUENCY;
    refresh.displayFrequency = 100;
    struct Case {
        const char* what;
        const plat::DevMode* mode;
        uint32_t flags;
        int32_t expected;
    } refused[] = {
        {"size field", &badSize, plat::CDS_FULLSCREEN, plat::DISP_CHANGE_BADPARAM},
        {"24 bits", &depth24, plat::CDS_FULLSCREEN, plat::DISP_CHANGE_BADMODE},
        {"refresh rate", &refresh, plat::CDS_FULLSCREEN, plat::DISP_CHANGE_BADMODE},
        {"unknown flag", &mode, 0x100, plat::DISP_CHANGE_BADFLAGS},
        {"24 bits, test only", &depth24, plat::CDS_TEST, plat::DISP_CHANGE_BADMODE},
        {"test only", &mode, plat::CDS_TEST, plat::DISP_CHANGE_SUCCESSFUL},
    };
    for (const Case& c : refused) {
        EXPECT_EQ(plat::ChangeDisplaySettings(c.mode, c.flags), c.expected) << c.what;
        EXPECT_FALSE(plat::DisplayInFullScreenMode()) << c.what;
    }
    ASSERT_EQ(plat::ChangeDisplaySettings(&mode, plat::CDS_FULLSCREEN),
              plat::DISP_CHANGE_SUCCESSFUL);
    plat::DeviceContext* dc = plat::GetDC(window_);
    EXPECT_EQ(plat::GetDeviceCaps(dc, plat::BITSPIXEL), 16);
    EXPECT_EQ(plat::GetDeviceCaps(dc, plat::HORZRES), 640);
    EXPECT_EQ(plat::ReleaseDC(window_, dc), 1);
    EXPECT_EQ(plat::ChangeDisplaySettings(nullptr, 0), plat::DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(plat::GetSystemMetrics(plat::SM_CXSCREEN), 1920);
}

TEST_F(DisplayModeTest, ObjectsMadeByTheClassFactoryNeedInitialize) {
    plat::FailNextDirectDrawCreates(1);
    plat::DirectDraw* object = reinterpret_cast<plat::DirectDraw*>(1);
    EXPECT_EQ(plat::CoCreateDirectDraw(&object), plat::DDERR_GENERIC);
    EXPECT_EQ(object, nullptr);

    ASSERT_EQ(plat::CoCreateDirectDraw(&object), DD_OK);
    plat::SurfaceDesc mode;
    uint32_t line = 0;
    EXPECT_EQ(object->GetDisplayMode(&mode), plat::DDERR_NOTINITIALIZED);
    EXPECT_EQ(object->SetCooperativeLevel(window_, plat::DDSCL_NORMAL), plat::DDERR_NOTINITIALIZED);
    EXPECT_EQ(object->GetScanLine(&line), plat::DDERR_NOTINITIALIZED);
    plat::FailNextDirectDrawInitializes(1);
    EXPECT_EQ(object->Initialize(nullptr), plat::DDERR_GENERIC);
    EXPECT_EQ(object->Initialize(nullptr), DD_OK);
    EXPECT_EQ(object->Initialize(nullptr), plat::DDERR_ALREADYINITIALIZED);
    EXPECT_EQ(object->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(object->Release(), 0u);
}

TEST_F(DisplayModeTest, CapsFillA380ByteRecord) {
    plat::DDCaps caps = {};
    EXPECT_EQ(dd_->GetCaps(&caps, nullptr), plat::DDERR_INVALIDPARAMS);  // size not set
    caps.size = sizeof caps;
    plat::DDCaps hel = {};
    hel.size = 380;
    ASSERT_EQ(dd_->GetCaps(&caps, &hel), DD_OK);
    EXPECT_EQ(caps.size, 380u);
    EXPECT_NE(caps.caps & plat::DDCAPS_BLT, 0u);
    EXPECT_EQ(caps.vidMemTotal, plat::kDefaultVideoMemoryBudget);
    // No overlays.
    EXPECT_EQ(caps.maxVisibleOverlays, 0u);
    EXPECT_GE(caps.minOverlayStretch, 1000u);
}

}  // namespace
