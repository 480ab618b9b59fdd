// Linked into every test program: tests start on the screens they were written for, without
// the 3D device. A test that draws through the device asks for it with plat::OfferDirect3D.
#include "platform/testing/d3d_test_controls.h"

namespace {

struct TestProgramDefaults {
    TestProgramDefaults() { plat::OfferDirect3D(false); }
} g_testProgramDefaults;

}  // namespace
