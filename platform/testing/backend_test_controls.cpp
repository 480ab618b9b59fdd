// Test controls of the backends' hand-down.
#include "platform/testing/backend_test_controls.h"

#include "platform/backend/backend_entries.h"
#include "platform/dinput/input_backend.h"
#include "platform/window/window_backend.h"

namespace plat {

void HandDownBackendsAfresh(const BackendRecords& records) {
    ForgetInputBackendForTests();
    ForgetBackendForTests();
    UseBackends(records);
}

void HandDownPlatformBackendsAfresh() { HandDownBackendsAfresh(PlatformBackends()); }

}  // namespace plat
