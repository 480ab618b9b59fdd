#include "tests/tools/bmp_file.h"

#include <fstream>
#include <iterator>

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace

BmpFile ReadBmp24(const std::string& path) {
    BmpFile out;
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        out.error = "not a bitmap file";
        return out;
    }
    const uint32_t offset = Le32(b, 10);
    const int32_t width = static_cast<int32_t>(Le32(b, 18));
    const int32_t height = static_cast<int32_t>(Le32(b, 22));
    if (Le32(b, 14) != 40 || Le16(b, 26) != 1 || Le16(b, 28) != 24 || Le32(b, 30) != 0) {
        out.error = "not a 24-bit uncompressed bitmap with a 40-byte header";
        return out;
    }
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) {
        out.error = "bad size";
        return out;
    }
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    if (offset < 54 || offset + rowBytes * height > b.size() || Le32(b, 2) != b.size()) {
        out.error = "the pixel data does not fit the file";
        return out;
    }
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const size_t row = offset + rowBytes * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &b[row + static_cast<size_t>(x) * 3];
            out.pixels[static_cast<size_t>(y) * width + x] = {p[2], p[1], p[0]};
        }
    }
    out.ok = true;
    return out;
}
