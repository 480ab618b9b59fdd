// A LibraryFixture for tests that start the library on the headless video layer: the
// display, DirectDraw and Direct3D test controls and the screen state fresh before and after
// each test (so the 3D device is not offered until a test offers it), and the windowed
// 640 x 480 start on a 1920 x 1080 headless desktop that those tests share.
#pragma once
#include <cstdlib>
#include <string>

#include "graphics/screen/screen.h"
#include "graphics/screen_setup/screen_setup.h"
#include "graphics/screen/screen_state.h"
#include "platform/testing/d3d_test_controls.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/window/window_backend.h"
#include "tests/support/library_fixture.h"

class HeadlessLibraryFixture : public LibraryFixture {
protected:
    void SetUp() override {
        setenv("ZN_VIDEO", "headless", 1);
        LibraryFixture::SetUp();
        plat::ResetDisplayTestControls();
        plat::ResetDDrawTestControls();
        plat::ResetD3DTestControls();
        ResetScreenState();
    }

    void TearDown() override {
        LibraryFixture::TearDown();
        ResetScreenState();
        plat::ResetD3DTestControls();
        plat::ResetDDrawTestControls();
        plat::ResetDisplayTestControls();
    }

    // Asks for a windowed 640 x 480 screen of the depth on the headless desktop, with the
    // platform's Direct3D object offered or not; the library is then started by the test. 0,
    // or -1 when the screen mode is refused.
    static int PrepareWindowedStart(int32_t depth, bool direct3D) {
        plat::SetHeadlessDesktop(1920, 1080, depth);
        plat::OfferDirect3D(direct3D);
        ApiChangeWindowMode(1);
        return ChangeScreenMode(640, 480, depth, 0, -1) != 0 ? -1 : 0;
    }

    // A file of the test's temporary start directory.
    std::string Path(const char* name) const { return (dir_.path() / name).string(); }
};
