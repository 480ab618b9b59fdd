#include "tools/resources/output/bmp_writer.h"

#include "tools/resources/output/byte_writer.h"

namespace res {

bool WriteBmp(const std::string& path, const RgbImage& image) {
    constexpr uint32_t kHeaderBytes = 14 + 40;
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(image.height);
    ByteWriter w;
    // File header.
    w.Text("BM");
    w.U32(kHeaderBytes + imageBytes);
    w.U32(0);
    w.U32(kHeaderBytes);
    // Information header: 24 bits, no compression, 72 dpi.
    w.U32(40);
    w.U32(static_cast<uint32_t>(image.width));
    w.U32(static_cast<uint32_t>(image.height));
    w.U16(1);
    w.U16(24);
    w.U32(0);
    w.U32(imageBytes);
    w.U32(2835);
    w.U32(2835);
    w.U32(0);
    w.U32(0);
    // Rows from the bottom up, each pixel B, G, R, each row padded to four bytes.
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb8Pixel p = image.at(x, y);
            w.U8(p.b);
            w.U8(p.g);
            w.U8(p.r);
        }
        for (uint32_t pad = static_cast<uint32_t>(image.width) * 3; pad < rowBytes; ++pad) w.U8(0);
    }
    return WriteFileBytes(path, w.bytes());
}

}  // namespace res
