// The queue of typed characters between the window procedure and character input: a ring of
// 1025 byte positions (InputCharQueue in WindowData) that holds at most 1024 bytes, and the
// control characters that some keys stand for. A double-byte character (lead byte by the
// character set, GetCharSet) is queued whole or not at all, so that the reader never pairs a
// lead byte with the wrong byte.
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

// Bytes the queue can still take.
int InputCharQueueRoom();

// One byte of typed text (WM_CHAR): a lead byte is queued only with room for its trail byte,
// which comes as the next call; a lead byte that finds no room is dropped with its trail byte.
// 0, or -1 when the byte was dropped.
int QueueTypedChar(uint8_t c);

// Queues the bytes of a string (the input method's result), each double-byte character whole
// or not at all; a lead byte without its trail byte at the end is dropped. Returns the bytes
// queued.
int QueueCharString(const char* text, int32_t bytes);

// Takes the next character into out (two bytes for a double-byte one): 0 when the queue is
// empty or holds only the lead byte of a character (which stays), else 1 or 2. With consume
// 0 the character stays in the queue (a peek).
int ReadCharQueue(uint8_t out[2], int consume);
