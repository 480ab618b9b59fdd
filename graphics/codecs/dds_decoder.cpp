// DDS files holding uncompressed pixels: the format comes from the header's masks or from a
// Direct3D format number in the FourCC field; only the first surface is read.
#include <bit>
#include <cstring>

#include "graphics/codecs/image_decoders.h"
#include "graphics/codecs/image_input.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

constexpr const char* kFormatName = "DDS";
constexpr size_t kHeaderSize = 124;

// Header flags and pixel-format flags.
constexpr uint32_t kPitchPresent = 0x8;
constexpr uint32_t kFourCCOnly = 0x4;

struct DdsFormatRow {
    uint32_t format;
    int bits;
    uint32_t r, g, b, a;
};

// Direct3D format numbers the decoder takes, with their bits and masks.
constexpr DdsFormatRow kDdsFormats[] = {
    {0x14, 24, 0xFF0000, 0xFF00, 0xFF, 0},
    {0x15, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
    {0x16, 32, 0xFF0000, 0xFF00, 0xFF, 0},
    {0x17, 16, 0xF800, 0x07E0, 0x001F, 0},
    {0x18, 16, 0x7C00, 0x03E0, 0x1F, 0},
    {0x19, 16, 0x7C00, 0x03E0, 0x1F, 0x8000},
    {0x1A, 16, 0xF00, 0xF0, 0xF, 0xF000},
    {0x1B, 8, 0xE0, 0x1C, 0x3, 0},
    {0x1D, 16, 0xE0, 0x1C, 0x3, 0xFF00},
    {0x1E, 16, 0xF00, 0xF0, 0xF, 0},
    {0x1F, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000},
    {0x20, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000},
    {0x21, 32, 0xFF, 0xFF00, 0xFF0000, 0},
    {0x23, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000},
    {0xFFFFFFFF, 0, 0, 0, 0, 0},
};

// A mask is one run of set bits inside a pixel of the given size.
bool IsContiguousInside(uint32_t mask, int bits) {
    if (mask == 0) return false;
    if (bits < 32 && (mask >> bits) != 0) return false;
    const uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

// Masks given by the header: whole bytes per pixel, each colour channel present as one run,
// alpha absent or one run, no two channels sharing a bit.
bool AreHeaderMasksUsable(int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (!IsContiguousInside(r, bits) || !IsContiguousInside(g, bits) ||
        !IsContiguousInside(b, bits)) {
        return false;
    }
    if (a != 0 && !IsContiguousInside(a, bits)) return false;
    return (r & g) == 0 && (r & b) == 0 && (g & b) == 0 && ((r | g | b) & a) == 0;
}

// A channel's field of an 8-bit pixel value scaled to 0..255 as v × 255 / (2^width - 1), the
// value a channel widened to 8 bits gets in every pixel transfer; 0 for an absent channel.
uint8_t ExpandField(uint32_t value, uint32_t mask, int shift, int width) {
    if (width == 0) return 0;
    const uint32_t maximum = (1u << width) - 1;
    return static_cast<uint8_t>(((value & mask) >> shift) * 255 / maximum);
}

// Eight-bit pixels are read through the palette. An 8-bit format built from masks becomes the
// plain paletted format whose 256 entries are the colours the masks give to each pixel value,
// so that the stored bytes stay as they are. Alpha, when the masks have it, goes into the
// entries' fourth byte, which the format then reads as its alpha channel.
void MakeMaskedFormatPaletted(PaletteColorFormat* format) {
    const ColorFormat masked = format->format;
    SetColorFormat8(format);
    for (uint32_t value = 0; value < 256; ++value) {
        format->palette[value] = PaletteEntry{
            ExpandField(value, masked.maskB, masked.shiftB, masked.widthB),
            ExpandField(value, masked.maskG, masked.shiftG, masked.widthG),
            ExpandField(value, masked.maskR, masked.shiftR, masked.widthR),
            ExpandField(value, masked.maskA, masked.shiftA, masked.widthA)};
    }
    if (masked.widthA != 0) {
        ColorFormat& f = format->format;
        f.widthA = 8;
        f.shiftA = 24;
        f.maskA = 0xFF000000;
        f.noUseMask = 0;
        format->noUseShift = 0;
        format->noUseWidth = 0;
    }
}

// The pixel format of the header; 0, or -1 with a log line.
int ReadFormat(const uint8_t* header, PaletteColorFormat* format) {
    const uint32_t flags = LoadLe32(header + 76);
    if (flags == kFourCCOnly) {
        const uint32_t fourCC = LoadLe32(header + 80);
        for (const DdsFormatRow* row = kDdsFormats; row->format != 0xFFFFFFFF; ++row) {
            if (row->format == fourCC) {
                BuildColorFormat(format, row->bits, row->r, row->g, row->b, row->a);
                return 0;
            }
        }
        return LogFormat("DDS の形式 0x%X には対応していません", fourCC);
    }
    if ((flags & kFourCCOnly) != 0) return LogWrite("DDS の圧縮形式には対応していません\n");
    const int bits = static_cast<int>(LoadLe32(header + 84));
    const uint32_t r = LoadLe32(header + 88), g = LoadLe32(header + 92), b = LoadLe32(header + 96),
                   a = LoadLe32(header + 100);
    if (!AreHeaderMasksUsable(bits, r, g, b, a)) {
        return LogFormat(
            "DDS のピクセル形式 (%d ビット R:%08X G:%08X B:%08X A:%08X) には"
            "対応していません",
            bits, r, g, b, a);
    }
    BuildColorFormat(format, bits, r, g, b, a);
    return 0;
}

int DecodeDds(DataStream* stream, GraphImage* image) {
    uint8_t header[kHeaderSize];
    if (!ImageStreamRead(stream, header, sizeof(header))) {
        return LogWrite("DDS のヘッダが途中で切れています\n");
    }
    const uint32_t height = LoadLe32(header + 8);
    const uint32_t width = LoadLe32(header + 12);
    if (!CheckImageSize(width, height, kFormatName)) return -1;
    if (ReadFormat(header, &image->colorFormat) != 0) return -1;
    if (image->colorFormat.format.bits == 8) MakeMaskedFormatPaletted(&image->colorFormat);

    const uint64_t rowBytes = uint64_t{width} * image->colorFormat.format.bytes;
    uint64_t pitch = rowBytes;
    if ((LoadLe32(header + 4) & kPitchPresent) != 0) {
        pitch = LoadLe32(header + 16);
        if (pitch < rowBytes) {
            return LogFormat("DDS のピッチ %llu が幅 %u に足りません",
                             static_cast<unsigned long long>(pitch), width);
        }
    }
    const uint64_t bytes = pitch * height;
    const int64_t left = ImageStreamBytesLeft(stream);
    if (left < 0 || static_cast<uint64_t>(left) < bytes) {
        return LogWrite("DDS の画素データが足りません\n");
    }
    uint8_t* pixels = AllocImagePixels(bytes, 0);
    if (pixels == nullptr) return -1;
    if (!ImageStreamRead(stream, pixels, static_cast<size_t>(bytes))) {
        TrackedFree(pixels);
        return LogWrite("DDS の画素データが足りません\n");
    }
    image->width = static_cast<int32_t>(width);
    image->height = static_cast<int32_t>(height);
    image->pitch = static_cast<int32_t>(pitch);
    image->pixels = pixels;
    return 0;
}

}  // namespace

int LoadDdsImage(DataStream* stream, GraphImage* image) {
    uint8_t magic[4];
    if (!ImageStreamSeek(stream, 0) || !ImageStreamRead(stream, magic, sizeof(magic)) ||
        std::memcmp(magic, "DDS", 3) != 0) {
        return -1;
    }
    auto* result = static_cast<GraphImage*>(ZN_ALLOC_ZERO(sizeof(GraphImage)));
    if (result == nullptr) return LogWrite("DDS の読み込み用のメモリの確保に失敗しました\n");
    const int status = DecodeDds(stream, result);
    if (status == 0) *image = *result;
    TrackedFree(result);
    return status;
}
