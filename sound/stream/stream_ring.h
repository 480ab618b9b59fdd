// Shared by the streaming-sound files: the record behind a stream handle, the record that holds
// its ring, and ring arithmetic.
#pragma once
#include <cstdint>

#include "base/handle_value.h"

struct SoundRecord;

// The record of a stream handle, or null (bad handle, not a stream, sound not started).
SoundRecord* GetStreamRecord(HandleValue handle);
// The record whose ring the stream plays through: its own, or its union handle's (null when
// that one is gone).
SoundRecord* GetStreamRingHolder(SoundRecord* record);
bool StreamOwnsRing(HandleValue handle, SoundRecord* record);
// value modulo the ring size, never negative.
int64_t CyclicBytes(int64_t value, int64_t ringBytes);
// Counts the bytes played up to the cursor (-1: the buffer's play cursor), for a primed stream
// that owns its ring.
void TrackStreamPlayPosition(HandleValue handle, int64_t cursor);
