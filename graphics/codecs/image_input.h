// Reading helpers shared by the image decoders: exact reads and sizes over a DataStream,
// little-endian fields from byte buffers, and the size checks every decoder applies before it
// allocates pixels.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/data_stream.h"

// Moves to a byte offset from the start of the stream; false when the stream refuses.
bool ImageStreamSeek(DataStream* stream, int64_t offset);
// Bytes from the current position to the end (the position is kept); -1 when the stream
// cannot tell or seek.
int64_t ImageStreamBytesLeft(DataStream* stream);
// Reads exactly size bytes; false when fewer were there.
bool ImageStreamRead(DataStream* stream, void* buffer, size_t size);
// The whole stream from its start in one tracked block of *size bytes (at least one byte is
// allocated); null with a log line naming the format when it cannot be read or is larger
// than a decoder takes. The caller frees the block with TrackedFree.
uint8_t* ImageStreamReadWhole(DataStream* stream, size_t* size, const char* formatName);

inline uint16_t LoadLe16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }
inline uint32_t LoadLe32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

// 1 when width × height is an image size the decoders produce (both at least 1, each side
// within kMaxImageSide, the pixel count within kMaxImagePixels); otherwise logs the size
// with the format's name and returns 0.
int CheckImageSize(int64_t width, int64_t height, const char* formatName);
// A tracked block of size bytes for decoded pixels, zeroed when zero is 1; null with a log line
// when size is beyond what an image may hold or memory runs out.
uint8_t* AllocImagePixels(uint64_t size, int zero);
