#include "zn_joypad.h"

#include "library_entries.h"

void ZnJoypad::update() {
    previous_ = current_;
    current_ = static_cast<uint32_t>(libraryEntries().readPadInputBits(selector_));
}
