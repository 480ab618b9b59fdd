#include "system/input_char_queue.h"

#include "platform/window/window_messages.h"
#include "base/sjis_string.h"
#include "system/key_input_state.h"
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

int InputCharQueueRoom() {
    const InputCharQueue& queue = GetWindowData().inputChars;
    const int32_t used = (queue.write - queue.read + kInputCharQueueSize) % kInputCharQueueSize;
    return kInputCharQueueSize - 1 - used;
}

int QueueTypedChar(uint8_t c) {
    CharInputState& state = GetCharInputState();
    switch (state.trailByte) {
        case TrailByte::kQueue:
            state.trailByte = TrailByte::kNone;
            return QueueInputChar(c);
        case TrailByte::kDrop:
            state.trailByte = TrailByte::kNone;
            return -1;
        case TrailByte::kNone:
            break;
    }
    if (!IsMultiByteLead(c, GetCharSet())) return QueueInputChar(c);
    if (InputCharQueueRoom() < 2) {
        state.trailByte = TrailByte::kDrop;
        return -1;
    }
    state.trailByte = TrailByte::kQueue;
    return QueueInputChar(c);
}

int QueueCharString(const char* text, int32_t bytes) {
    if (text == nullptr) return 0;
    const int charSet = GetCharSet();
    int queued = 0;
    for (int32_t i = 0; i < bytes;) {
        const auto c = static_cast<uint8_t>(text[i]);
        if (!IsMultiByteLead(c, charSet)) {
            if (QueueInputChar(c) == 0) ++queued;
            ++i;
            continue;
        }
        if (i + 1 >= bytes) break;  // a lead byte cut off from its trail byte
        if (InputCharQueueRoom() >= 2) {
            QueueInputChar(c);
            QueueInputChar(static_cast<uint8_t>(text[i + 1]));
            queued += 2;
        }
        i += 2;
    }
    return queued;
}

int ReadCharQueue(uint8_t out[2], int consume) {
    InputCharQueue& queue = GetWindowData().inputChars;
    if (queue.read == queue.write) return 0;
    const auto next = [](int32_t at) { return at + 1 == kInputCharQueueSize ? 0 : at + 1; };
    int32_t at = queue.read;
    out[0] = queue.chars[at];
    at = next(at);
    int count = 1;
    if (IsMultiByteLead(out[0], GetCharSet())) {
        if (at == queue.write) return 0;  // the trail byte has not come yet
        out[1] = queue.chars[at];
        at = next(at);
        count = 2;
    }
    if (consume) queue.read = at;
    return count;
}
