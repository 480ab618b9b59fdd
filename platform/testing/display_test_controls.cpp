#include "platform/testing/display_test_controls.h"

#include "platform/ddraw/ddraw_internal.h"
#include "platform/display/display_internal.h"

namespace plat {

void ResetDisplayTestControls() {
    ResetDisplayInternal();
    DDrawGlobals& state = DDrawState();
    state.failDirectDrawCreates = 0;
    state.failDirectDrawInitializes = 0;
}

bool GetShownPicture(ShownPicture* out, WindowHandle window) {
    return ReadShownPicture(window, out);
}

void SetDisplayRefreshRateForTests(uint32_t hz) { SetRefreshOverrideInternal(hz); }

void SetOtherExclusiveOwner(bool active) { SetOtherExclusiveOwnerInternal(active); }

void FailNextDirectDrawCreates(int count) { DDrawState().failDirectDrawCreates = count; }

void FailNextDirectDrawInitializes(int count) {
    DDrawState().failDirectDrawInitializes = count;
}

}  // namespace plat
