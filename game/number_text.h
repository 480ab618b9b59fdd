// Numbers as the game shows them: a fixed count of places, right-aligned and zero-padded.
#pragma once

// Writes the value's lowest decimal digits into out[0 .. places - 1], leading places '0', and
// a terminator at out[places]; 0 and negative values give all zeros. places below 0 counts as
// 0; out holds at least places + 1 bytes. Returns the count of places written.
int formatPlaces(char* out, long long value, int places);
