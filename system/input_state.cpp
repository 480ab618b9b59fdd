#include "system/input_state.h"

InputState& GetInputState() {
    static InputState state;
    return state;
}
