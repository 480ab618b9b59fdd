// Linked into every test program: tests start with the platform's backends handed down, as the
// library's start-up hands them down, so that a test may use windows, input and sound without
// starting the library; and on the screens they were written for, without the 3D device. A
// test that draws through the device asks for it with plat::OfferDirect3D.
#include "platform/backend/backend_entries.h"
#include "platform/testing/d3d_test_controls.h"

namespace {

struct TestProgramDefaults {
    TestProgramDefaults() {
        plat::UseBackends(plat::PlatformBackends());
        plat::OfferDirect3D(false);
    }
} g_testProgramDefaults;

}  // namespace
