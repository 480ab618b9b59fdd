#include "zn_joypad.h"

#include "api.h"

void ZnJoypad::update() {
    previous_ = current_;
    current_ = static_cast<uint32_t>(ApiReadPadInputBits(selector_));
}
