// RLE8 and RLE4 pixel data of BMP files, decoded into one palette index per byte.
//
// The data is a sequence of two-byte packets: (n, v) with n > 0 writes n pixels of v (RLE4:
// the high and the low nibble of v in turn); (0, 0) ends the row, (0, 1) ends the picture,
// (0, 2, dx, dy) moves dx pixels right and dy rows on, and (0, n) with n >= 3 is followed by
// n literal pixels padded to an even byte count. Rows are counted in file order (bottom-up
// unless the header says top-down). Pixels past the end of a row are dropped, and a move past
// the last row ends the picture; data that ends inside a packet, or before every row has been
// reached, is refused.
#include <cstring>

#include "graphics/codecs/bmp_layout.h"
#include "graphics/codecs/image_input.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

class RleCanvas {
public:
    RleCanvas(const BmpLayout& layout, uint8_t* pixels, uint64_t pitch)
        : layout_(layout), pixels_(pixels), pitch_(pitch) {}

    // Writes one pixel at the cursor and moves right; pixels past the row end are dropped.
    void Put(uint8_t index) {
        if (x_ >= layout_.width || row_ >= layout_.rows) return;
        const int32_t y = layout_.topDown ? row_ : layout_.rows - 1 - row_;
        pixels_[static_cast<uint64_t>(y) * pitch_ + static_cast<uint64_t>(x_)] = index;
        ++x_;
    }
    void EndRow() {
        x_ = 0;
        if (row_ < layout_.rows) ++row_;
    }
    void Move(uint8_t dx, uint8_t dy) {
        x_ = x_ + dx > layout_.width ? layout_.width : x_ + dx;
        row_ = row_ + dy > layout_.rows ? layout_.rows : row_ + dy;
    }
    // Every row has been passed: nothing more can be drawn.
    bool PastLastRow() const { return row_ >= layout_.rows; }
    // Every row has been reached and the last one filled to its end.
    bool Complete() const {
        return PastLastRow() || (row_ == layout_.rows - 1 && x_ >= layout_.width);
    }

private:
    const BmpLayout& layout_;
    uint8_t* pixels_;
    uint64_t pitch_;
    int32_t x_ = 0;
    int32_t row_ = 0;
};

// Runs the packets; 0 when the picture ended properly, -1 with a log line.
int RunPackets(const BmpLayout& layout, RleCanvas& canvas) {
    const bool nibbles = layout.compression == kBmpRle4;
    const uint8_t* data = layout.pixels;
    const size_t size = layout.pixelBytes;
    size_t at = 0;
    while (!canvas.PastLastRow()) {
        if (size - at < 2) {
            if (canvas.Complete()) return 0;
            return LogWrite("BMP の RLE データが画像の終わりより前で切れています\n");
        }
        const uint8_t count = data[at];
        const uint8_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                canvas.Put(!nibbles ? value : (i & 1) == 0 ? value >> 4 : value & 0x0F);
            }
            continue;
        }
        switch (value) {
            case 0:
                canvas.EndRow();
                break;
            case 1:
                return 0;
            case 2:
                if (size - at < 2) return LogWrite("BMP の RLE の移動量が途中で切れています\n");
                canvas.Move(data[at], data[at + 1]);
                at += 2;
                break;
            default: {
                const size_t bytes = nibbles ? (value + 1u) / 2 : value;
                const size_t padded = (bytes + 1) & ~size_t{1};
                if (size - at < padded) {
                    return LogWrite("BMP の RLE の画素列が途中で切れています\n");
                }
                for (int i = 0; i < value; ++i) {
                    const uint8_t byte = data[at + (nibbles ? i / 2 : i)];
                    canvas.Put(!nibbles ? byte : (i & 1) == 0 ? byte >> 4 : byte & 0x0F);
                }
                at += padded;
                break;
            }
        }
    }
    return 0;
}

}  // namespace

int DecodeBmpRle(const BmpLayout& layout, GraphImage* out) {
    const uint64_t pitch = (static_cast<uint64_t>(layout.width) + 3) / 4 * 4;
    uint8_t* pixels = AllocImagePixels(pitch * static_cast<uint64_t>(layout.rows), 1);
    if (pixels == nullptr) return -1;
    RleCanvas canvas(layout, pixels, pitch);
    if (RunPackets(layout, canvas) != 0) {
        TrackedFree(pixels);
        return -1;
    }
    SetColorFormat8(&out->colorFormat);
    std::memcpy(out->colorFormat.palette, layout.palette, sizeof(layout.palette));
    out->width = layout.width;
    out->height = layout.rows;
    out->pitch = static_cast<int32_t>(pitch);
    out->pixels = pixels;
    return 0;
}
