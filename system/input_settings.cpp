// Input settings made before start-up.
#include "system/input.h"
#include "system/input_state.h"

int SetNoDirectInput(int flag) {
    GetInputState().noDirectInput = flag != 0 ? 1 : 0;
    return 0;
}

int SetKeyboardWithoutDirectInput(int flag) {
    GetInputState().keyboardWithoutDirectInput = flag != 0 ? 1 : 0;
    return 0;
}
