// TransferPixels: argument checks, the choice of rule and loop, and the loops that are not
// tied to a format pair (index copy, raw copy, same-layout copy, channel-by-channel
// conversion). The dedicated loops of the common pairs are in transfer_pixels_fast.cpp.
#include "graphics/pixels/transfer_pixels.h"

#include <algorithm>
#include <cstring>

#include "graphics/pixels/transfer_pixels_internal.h"

namespace transfer_detail {

const uint8_t kDitherMatrix[4][4] = {
    {0, 8, 2, 10},
    {12, 4, 14, 6},
    {3, 11, 1, 9},
    {15, 7, 13, 5},
};

namespace {

TransferLoop g_lastLoop = TransferLoop::None;

uint64_t MaxOf(int width) { return width >= 64 ? ~0ull : (1ull << width) - 1; }

uint64_t Widen(uint64_t v, int from, int add) {
    return (v << add) + v * MaxOf(add) / MaxOf(from);
}

ChannelMap MakeMap(uint32_t sourceMask, int sourceShift, int sourceWidth, int destShift,
                   int destWidth) {
    ChannelMap c;
    c.sourceMask = sourceWidth != 0 ? sourceMask : 0;
    c.sourceShift = sourceShift;
    c.sourceWidth = sourceWidth;
    c.destShift = destShift;
    c.destWidth = destWidth;
    c.destMax = MaxOf(destWidth);
    if (sourceWidth != 0 && destWidth != 0) {
        if (destWidth > sourceWidth) c.add = destWidth - sourceWidth;
        if (destWidth < sourceWidth) c.drop = sourceWidth - destWidth;
    }
    return c;
}

}  // namespace

void NoteLoop(TransferLoop loop) { g_lastLoop = loop; }

uint64_t FitChannel(uint64_t v, int from, int to) {
    if (from == 0 || to == 0) return 0;
    if (to > from) return Widen(v, from, to - from);
    return v >> (from - to);
}

uint64_t ConvertChannel(const ChannelMap& c, uint32_t p, int dither, int m, uint64_t* carry) {
    if (c.sourceWidth == 0) return 0;
    const uint64_t v = (p & c.sourceMask) >> c.sourceShift;
    if (c.add != 0) return Widen(v, c.sourceWidth, c.add);
    if (c.drop == 0) return v;
    const uint64_t dropMask = MaxOf(c.drop);
    if (dither == kDitherOrdered) {
        uint64_t out = v >> c.drop;
        if ((v & dropMask) > ((static_cast<uint64_t>(m) * dropMask) >> 4)) ++out;
        return std::min(out, c.destMax);
    }
    if (dither == kDitherCarry) {
        const uint64_t acc = v + *carry;
        uint64_t out = acc >> c.drop;
        *carry = acc & dropMask;
        if (out > c.destMax) {
            out = c.destMax;
            *carry = 0;
        }
        return out;
    }
    return v >> c.drop;
}

void PrepareConversion(TransferJob* j, int keyToAlphaAsked, int optionB) {
    const ColorFormat& S = *j->S;
    const ColorFormat& D = *j->D;
    j->channel[0] = MakeMap(S.maskR, S.shiftR, S.widthR, D.shiftR, D.widthR);
    j->channel[1] = MakeMap(S.maskG, S.shiftG, S.widthG, D.shiftG, D.widthG);
    j->channel[2] = MakeMap(S.maskB, S.shiftB, S.widthB, D.shiftB, D.widthB);

    const bool destAlpha = D.widthA != 0;
    j->alphaFromSource = destAlpha && S.widthA != 0;
    j->alphaFromImage = destAlpha && S.widthA == 0 && j->alpha != nullptr;
    j->keyToAlpha = destAlpha && S.widthA == 0 && j->alpha == nullptr && keyToAlphaAsked != 0 &&
                    optionB == 0;
    if (j->alphaFromSource) {
        j->alphaMap = MakeMap(S.maskA, S.shiftA, S.widthA, D.shiftA, D.widthA);
    } else if (j->alphaFromImage) {
        const ColorFormat& A = *j->A;
        j->alphaMap = A.widthA != 0 ? MakeMap(A.maskA, A.shiftA, A.widthA, D.shiftA, D.widthA)
                                    : MakeMap(A.maskB, A.shiftB, A.widthB, D.shiftA, D.widthA);
    } else {
        j->alphaMap = MakeMap(0, 0, 0, D.shiftA, D.widthA);
    }
    // Key skip never applies while alpha is being produced.
    if (j->alphaFromImage || j->keyToAlpha) j->keySkip = false;

    const uint32_t key8[3] = {(j->colorKey >> 16) & 0xFF, (j->colorKey >> 8) & 0xFF,
                              j->colorKey & 0xFF};
    for (int c = 0; c < 3; ++c) {
        j->keyFields[c] = static_cast<uint32_t>(FitChannel(key8[c], 8, j->channel[c].destWidth));
    }
}

namespace {

// Rule 1: indices copied; the highest index written.
int CopyIndices(const TransferJob& j) {
    uint32_t highest = 0;
    for (int32_t y = 0; y < j.height; ++y) {
        const uint8_t* s = SourceRow(j, y);
        uint8_t* d = DestRow(j, y);
        for (int32_t i = 0; i < j.width; ++i) {
            const uint8_t v = s[i];
            if (j.keySkip && v == (j.colorKey & 0xFF)) continue;
            d[DestColumn(j, i)] = v;
            highest = std::max<uint32_t>(highest, v);
        }
    }
    return static_cast<int>(highest);
}

// Rule 2: raw values cut to the destination's size.
void CopyRaw(const TransferJob& j) {
    const int sb = j.S->bytes, db = j.D->bytes;
    for (int32_t y = 0; y < j.height; ++y) {
        const uint8_t* s = SourceRow(j, y);
        uint8_t* d = DestRow(j, y);
        for (int32_t i = 0; i < j.width; ++i) {
            const uint32_t v = LoadPixel(s + static_cast<int64_t>(i) * sb, sb);
            if (j.keySkip && (v & j.keyMask) == (j.colorKey & j.keyMask)) continue;
            StorePixel(d + static_cast<int64_t>(DestColumn(j, i)) * db, db, v);
        }
    }
}

// Rule 4: pixels copied unchanged.
void CopySameLayout(const TransferJob& j) {
    const int b = j.S->bytes;
    const size_t rowBytes = static_cast<size_t>(j.width) * b;
    for (int32_t y = 0; y < j.height; ++y) {
        const uint8_t* s = SourceRow(j, y);
        uint8_t* d = DestRow(j, y);
        if (!j.mirror && !j.keySkip) {
            std::memmove(d, s, rowBytes);
            continue;
        }
        for (int32_t i = 0; i < j.width; ++i) {
            const uint8_t* from = s + static_cast<int64_t>(i) * b;
            if (j.keySkip && (LoadPixel(from, b) & j.keyMask) == (j.colorKey & j.keyMask)) {
                continue;
            }
            std::memcpy(d + static_cast<int64_t>(DestColumn(j, i)) * b, from, b);
        }
    }
}

// Rule 5, any pair: channel by channel.
void ConvertGeneric(const TransferJob& j) {
    const ColorFormat& S = *j.S;
    const ColorFormat& D = *j.D;
    const uint64_t alphaMax = MaxOf(D.widthA);
    for (int32_t y = 0; y < j.height; ++y) {
        const uint8_t* s = SourceRow(j, y);
        uint8_t* d = DestRow(j, y);
        const uint8_t* a = j.alphaFromImage ? AlphaRow(j, y) : nullptr;
        const int32_t dy = j.destY + y;
        uint64_t carry[3] = {0, 0, 0};
        for (int32_t i = 0; i < j.width; ++i) {
            const uint32_t raw = LoadPixel(s + static_cast<int64_t>(i) * S.bytes, S.bytes);
            if (j.keySkip && (raw & j.keyMask) == (j.colorKey & j.keyMask)) continue;
            const uint32_t p = S.bytes == 1 ? PaletteValue(j.sourcePalette[raw]) : raw;
            const int32_t column = DestColumn(j, i);
            const int m = kDitherMatrix[dy & 3][(j.destX + column) & 3];
            uint64_t out = D.noUseMask;
            bool keyMatch = true;
            for (int c = 0; c < 3; ++c) {
                const ChannelMap& map = j.channel[c];
                if (map.destWidth == 0) continue;
                const uint64_t v = ConvertChannel(map, p, j.dither, m, &carry[c]);
                out |= v << map.destShift;
                if (j.keyToAlpha) {
                    const uint64_t plain =
                        j.dither == kDitherNone ? v : ConvertChannel(map, p, kDitherNone, 0, nullptr);
                    keyMatch = keyMatch && plain == j.keyFields[c];
                }
            }
            if (D.widthA != 0) {
                uint64_t alpha = alphaMax;
                if (j.alphaFromSource) {
                    alpha = ConvertChannel(j.alphaMap, p, kDitherNone, 0, nullptr);
                } else if (j.alphaFromImage) {
                    const ColorFormat& A = *j.A;
                    uint32_t ap = LoadPixel(a + static_cast<int64_t>(i) * A.bytes, A.bytes);
                    if (A.bytes == 1) ap = PaletteValue(j.alphaPalette[ap]);
                    alpha = ConvertChannel(j.alphaMap, ap, kDitherNone, 0, nullptr);
                } else if (j.keyToAlpha) {
                    alpha = keyMatch ? 0 : alphaMax;
                }
                out |= alpha << D.shiftA;
            }
            StorePixel(d + static_cast<int64_t>(column) * D.bytes, D.bytes,
                       static_cast<uint32_t>(out));
        }
    }
}

bool FormatUsable(const ColorFormat* f) {
    return f != nullptr && f->bits >= 8 && f->bits <= 32 && f->bits % 8 == 0 &&
           f->bytes == f->bits / 8;
}

bool SameLayout(const ColorFormat& a, const ColorFormat& b) {
    return a.bits == b.bits && a.maskR == b.maskR && a.maskG == b.maskG && a.maskB == b.maskB &&
           a.maskA == b.maskA;
}

}  // namespace

}  // namespace transfer_detail

using namespace transfer_detail;

TransferLoop GetLastTransferLoop() { return g_lastLoop; }

int TransferPixels(void* destPixels, int32_t destPitch, const PaletteColorFormat* destFormat,
                   const void* sourcePixels, int32_t sourcePitch,
                   const PaletteColorFormat* sourceFormat, const void* alphaPixels,
                   int32_t alphaPitch, const PaletteColorFormat* alphaFormat, int32_t destX,
                   int32_t destY, const RECT* sourceRect, int mirror, int keyToAlpha,
                   uint32_t colorKey, int ditherMode, int optionA, int optionB, int keySkip) {
    NoteLoop(TransferLoop::None);
    if (destPixels == nullptr || sourcePixels == nullptr || destFormat == nullptr ||
        sourceFormat == nullptr || sourceRect == nullptr) {
        return -1;
    }
    const int64_t width = static_cast<int64_t>(sourceRect->right) - sourceRect->left;
    const int64_t height = static_cast<int64_t>(sourceRect->bottom) - sourceRect->top;
    if (width <= 0 || height <= 0) return -1;
    if (!FormatUsable(&destFormat->format) || !FormatUsable(&sourceFormat->format)) return -1;
    // An alpha image without a format is no alpha image.
    const bool hasAlphaImage = alphaPixels != nullptr && alphaFormat != nullptr;
    if (hasAlphaImage && !FormatUsable(&alphaFormat->format)) return -1;

    TransferJob j = {};
    j.dest = static_cast<uint8_t*>(destPixels);
    j.destPitch = destPitch;
    j.D = &destFormat->format;
    j.source = static_cast<const uint8_t*>(sourcePixels);
    j.sourcePitch = sourcePitch;
    j.S = &sourceFormat->format;
    j.sourcePalette = sourceFormat->palette;
    static const PaletteColorFormat kNoAlphaFormat = {};
    j.alpha = hasAlphaImage ? static_cast<const uint8_t*>(alphaPixels) : nullptr;
    j.alphaPitch = alphaPitch;
    j.A = hasAlphaImage ? &alphaFormat->format : &kNoAlphaFormat.format;
    j.alphaPalette = hasAlphaImage ? alphaFormat->palette : kNoAlphaFormat.palette;
    j.destX = destX;
    j.destY = destY;
    j.left = sourceRect->left;
    j.top = sourceRect->top;
    j.width = static_cast<int32_t>(width);
    j.height = static_cast<int32_t>(height);
    j.mirror = mirror != 0;
    j.keySkip = keySkip != 0 && !j.mirror;
    j.colorKey = colorKey;
    j.keyMask = j.S->bytes == 1 ? 0xFFu : j.S->bytes == 2 ? 0xFFFFu : 0xFFFFFFu;
    j.dither = ditherMode == kDitherOrdered || ditherMode == kDitherCarry ? ditherMode : kDitherNone;

    if (j.S->bits == 8 && j.D->bits == 8) {
        NoteLoop(TransferLoop::IndexCopy);
        return CopyIndices(j);
    }
    if (optionA != 0) {
        NoteLoop(TransferLoop::RawCopy);
        CopyRaw(j);
        return 0;
    }
    if (j.D->bits == 8) return -1;
    if (SameLayout(*j.S, *j.D)) {
        NoteLoop(TransferLoop::SameLayout);
        CopySameLayout(j);
        return 0;
    }

    PrepareConversion(&j, keyToAlpha, optionB);
    if (TransferThroughPaletteTable(j)) {
        NoteLoop(TransferLoop::PaletteTable);
    } else if (TransferRgb888To8888(j)) {
        NoteLoop(TransferLoop::Rgb888To8888);
    } else if (TransferRgb888To565(j)) {
        NoteLoop(TransferLoop::Rgb888To565);
    } else if (TransferRgb565To8888(j)) {
        NoteLoop(TransferLoop::Rgb565To8888);
    } else {
        NoteLoop(TransferLoop::Generic);
        ConvertGeneric(j);
    }
    return 0;
}
