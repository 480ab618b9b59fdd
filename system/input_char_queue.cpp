#include "system/input_char_queue.h"

#include "platform/window/window_messages.h"
#include "system/window_data.h"

const KeyControlChar KeyControlCharTable[] = {
    {plat::VK_DELETE, 0x10}, {plat::VK_LEFT, 0x1D}, {plat::VK_RIGHT, 0x1C},
    {plat::VK_UP, 0x1E},     {plat::VK_DOWN, 0x1F}, {0, 0},
};

uint8_t FindKeyControlChar(uint32_t virtualKey) {
    for (const KeyControlChar* entry = KeyControlCharTable; entry->virtualKey != 0; ++entry) {
        if (entry->virtualKey == virtualKey) return entry->controlChar;
    }
    return 0;
}

int IsControlCharCode(uint8_t c) {
    for (const KeyControlChar* entry = KeyControlCharTable; entry->virtualKey != 0; ++entry) {
        if (entry->controlChar == c) return 1;
    }
    return 0;
}

int IsInputCharQueueFull() {
    const InputCharQueue& queue = GetWindowData().inputChars;
    return (queue.write + 1 == queue.read ||
            (queue.read == 0 && queue.write == kInputCharQueueSize - 1))
               ? 1
               : 0;
}

int QueueInputChar(uint8_t c) {
    if (IsInputCharQueueFull()) return -1;
    InputCharQueue& queue = GetWindowData().inputChars;
    queue.chars[queue.write] = c;
    if (++queue.write == kInputCharQueueSize) queue.write = 0;
    return 0;
}
