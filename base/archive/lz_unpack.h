// The archive's LZ unpacker. A packed block is a 9-byte header (u32 unpacked size, u32 packed
// size counting the header, u8 escape byte) and a stream of literals and escaped copies:
//   byte != escape           one literal byte
//   escape, escape           one literal escape byte
//   escape, code [, b], off  a copy: code above the escape is taken one lower; length is
//                            (code >> 3) + (code & 4 ? b << 5 : 0) + 4; code & 3 gives 1, 2 or
//                            3 little-endian offset bytes; the copy starts offset + 1 bytes
//                            back in the output and may overlap what it writes.
#pragma once
#include <cstddef>
#include <cstdint>

// The most bytes one packed byte can stand for: a 4-byte copy code writes up to 8195 bytes.
constexpr uint64_t kLzMaxExpansion = 2049;

// The unpacked size a packed block declares, or -1 when fewer than 9 bytes are available or
// its packed size is below 9 or beyond available.
int64_t PackedBlockUnpackedSize(const void* packed, size_t available);
// The packed size (header included) a block declares.
uint32_t PackedBlockPackedSize(const void* packed);

// Unpacks the block at packed (available bytes readable there) into destination, which holds
// the declared unpacked size. Returns that size; with a null destination only the header is
// checked. -1 when the block is damaged: a header as above, a copy reaching before the start
// of the output, output beyond the declared size, a code cut off by the end of the block, an
// offset code of 3, or a stream that ends short of the declared size.
int64_t UnpackLz(const void* packed, size_t available, void* destination);
