// Internal to TransferPixels: the transfer as decided before any pixel is touched, the channel
// conversions, and the loops that transfer_pixels.cpp and transfer_pixels_fast.cpp share.
#pragma once
#include <cstdint>

#include "softrender/records/color_format.h"
#include "graphics/pixels/transfer_pixels.h"

namespace transfer_detail {

// One channel's way from the source field to the destination field.
struct ChannelMap {
    uint32_t sourceMask = 0;
    int sourceShift = 0;
    int sourceWidth = 0;  // 0: absent in the source (reads 0)
    int destShift = 0;
    int destWidth = 0;    // 0: absent in the destination (contributes nothing)
    int drop = 0;         // bits dropped when narrowing, else 0
    int add = 0;          // bits added when widening, else 0
    uint64_t destMax = 0;
};

struct TransferJob {
    uint8_t* dest;
    int64_t destPitch;
    const ColorFormat* D;
    const uint8_t* source;
    int64_t sourcePitch;
    const ColorFormat* S;
    const PaletteEntry* sourcePalette;
    const uint8_t* alpha;      // null: no alpha image
    int64_t alphaPitch;
    const ColorFormat* A;
    const PaletteEntry* alphaPalette;
    int32_t destX, destY;
    int32_t left, top, width, height;  // source rectangle
    bool mirror;
    bool keySkip;              // effective: already off when mirror or alpha is produced
    bool keyToAlpha;           // effective: alpha comes from the key test
    bool alphaFromSource;      // destination alpha from the source's alpha
    bool alphaFromImage;       // destination alpha from the alpha image
    uint32_t colorKey;
    uint32_t keyMask;          // key skip compares (raw & keyMask) with (colorKey & keyMask)
    int dither;
    ChannelMap channel[3];     // R, G, B
    ChannelMap alphaMap;       // source or alpha-image alpha into destination alpha
    uint32_t keyFields[3];     // key colour in destination precision (key to alpha)
};

// The source row y of the rectangle (its first pixel), the destination row y (its first
// pixel) and the alpha-image row y.
inline const uint8_t* SourceRow(const TransferJob& j, int32_t y) {
    return j.source + (static_cast<int64_t>(j.top) + y) * j.sourcePitch +
           static_cast<int64_t>(j.left) * j.S->bytes;
}
inline uint8_t* DestRow(const TransferJob& j, int32_t y) {
    return j.dest + (static_cast<int64_t>(j.destY) + y) * j.destPitch +
           static_cast<int64_t>(j.destX) * j.D->bytes;
}
inline const uint8_t* AlphaRow(const TransferJob& j, int32_t y) {
    return j.alpha + (static_cast<int64_t>(j.top) + y) * j.alphaPitch +
           static_cast<int64_t>(j.left) * j.A->bytes;
}
// Destination column of source column i.
inline int32_t DestColumn(const TransferJob& j, int32_t i) {
    return j.mirror ? j.width - 1 - i : i;
}

inline uint32_t LoadPixel(const uint8_t* p, int bytes) {
    switch (bytes) {
        case 1: return p[0];
        case 2: return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
        case 3:
            return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                   static_cast<uint32_t>(p[2]) << 16;
        default:
            return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                   static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    }
}
inline void StorePixel(uint8_t* p, int bytes, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    if (bytes > 1) p[1] = static_cast<uint8_t>(v >> 8);
    if (bytes > 2) p[2] = static_cast<uint8_t>(v >> 16);
    if (bytes > 3) p[3] = static_cast<uint8_t>(v >> 24);
}
inline uint32_t PaletteValue(const PaletteEntry& e) {
    return static_cast<uint32_t>(e.b) | static_cast<uint32_t>(e.g) << 8 |
           static_cast<uint32_t>(e.r) << 16 | static_cast<uint32_t>(e.reserved) << 24;
}

// The 4 × 4 ordered-dither matrix.
extern const uint8_t kDitherMatrix[4][4];

// A field of width `from` brought to width `to` without dithering (widening by the rule of
// transfer_pixels.h, narrowing by truncation). A width of 0 reads 0.
uint64_t FitChannel(uint64_t v, int from, int to);
// The destination value of one colour channel of source value p, with the dither state of
// the pixel (threshold entry m, carry of the channel for mode 2).
uint64_t ConvertChannel(const ChannelMap& c, uint32_t p, int dither, int m, uint64_t* carry);

// Fills the channel maps, key fields and flags of a job whose buffers and formats are set.
void PrepareConversion(TransferJob* j, int keyToAlphaAsked, int optionB);

// The dedicated loops of the common format pairs; each returns false (having done nothing)
// when the job is not its pair.
bool TransferThroughPaletteTable(const TransferJob& j);
bool TransferRgb888To8888(const TransferJob& j);
bool TransferRgb888To565(const TransferJob& j);
bool TransferRgb565To8888(const TransferJob& j);

// Records the loop that ran.
void NoteLoop(TransferLoop loop);

}  // namespace transfer_detail
