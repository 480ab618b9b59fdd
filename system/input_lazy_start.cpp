// The prologue of the input reads: the inactive-window wait, and the start of input on first
// use.
#include "system/input.h"
#include "system/input_host.h"
#include "system/input_internal.h"
#include "system/input_state.h"

bool StartInputForRead(int* result) {
    InputWaitWhileInactive();
    if (GetInputState().started == 0 && !InputWindowClosing()) {
        *result = InitInputSystem();
        return true;
    }
    return false;
}
