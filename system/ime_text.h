// Reading the IME's strings (composition or result) of an input context into the library's
// buffers.
#pragma once
#include <cstdint>

#include "platform/ime/imm.h"

// The string at index (GCS_COMPSTR, GCS_RESULTSTR) in a tracked block of *bytes + 1 bytes,
// NUL-terminated; null with *bytes 0 when there is none (or no memory).
char* ReadImeStringAlloc(plat::InputContext context, uint32_t index, int32_t* bytes);
// The string into out of outBytes bytes, always terminated: a longer string is cut at the last
// whole character that fits. Returns the bytes stored.
int32_t ReadImeString(plat::InputContext context, uint32_t index, char* out, int32_t outBytes);
