// The queue of typed characters between the window procedure and character input: a ring of
// 1025 byte positions (InputCharQueue in WindowData) that holds at most 1024 characters, and
// the control characters that some keys stand for.
#pragma once
#include <cstdint>

// A virtual key and the control character it queues.
struct KeyControlChar {
    uint32_t virtualKey;
    uint8_t controlChar;
};
// DELETE, LEFT, RIGHT, UP, DOWN; ended by an entry with key 0.
extern const KeyControlChar KeyControlCharTable[];

// The control character of a virtual key, or 0 when the key has none.
uint8_t FindKeyControlChar(uint32_t virtualKey);
// 1 when c is one of the control characters of KeyControlCharTable, else 0.
int IsControlCharCode(uint8_t c);

// 1 when no further character fits: write + 1 = read, or read = 0 and write = 1024.
int IsInputCharQueueFull();
// Appends c at the write position, which then advances (wrapping from 1025 to 0). 0, or -1
// when the queue is full.
int QueueInputChar(uint8_t c);
