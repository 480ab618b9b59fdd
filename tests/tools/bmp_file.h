// A plain reader of the 24-bit uncompressed bitmaps the resource tool writes, for checking
// them apart from the library's decoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BmpPixel {
    uint8_t r, g, b;
};

struct BmpFile {
    bool ok = false;
    std::string error;
    int width = 0, height = 0;
    std::vector<BmpPixel> pixels;  // top row first

    const BmpPixel& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

BmpFile ReadBmp24(const std::string& path);

inline bool IsKey(BmpPixel p) { return p.r == 0 && p.g == 128 && p.b == 0; }
// Whether the colour reduces to the key's 16-bit (5-6-5) value or a neighbour of it in each
// channel: such a pixel would be a hole, or a green speck, once loaded.
inline bool IsNearKey(BmpPixel p) {
    return (p.r >> 3) <= 1 && (p.b >> 3) <= 1 && (p.g >> 2) >= 31 && (p.g >> 2) <= 33;
}
