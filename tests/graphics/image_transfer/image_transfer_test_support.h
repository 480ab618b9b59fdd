// Shared pieces of the image-transfer tests: source images of any colour format over a
// buffer of the test's own, graphs of the destination kinds, and the pixels of a piece read
// back through a lock.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/image_transfer/image_transfer.h"
#include "tests/graphics/surfaces/surface_test_support.h"

// A GraphImage over pixels the test owns (never freed through FreeGraphImage).
struct TransferTestImage {
    GraphImage image{};
    std::vector<uint8_t> bytes;

    // width × height pixels of the format, each byte a pattern of its place.
    TransferTestImage(const PaletteColorFormat& format, int width, int height, uint32_t seed) {
        image.colorFormat = format;
        image.width = width;
        image.height = height;
        image.pitch = (width * format.format.bytes + 3) / 4 * 4 + 4;  // padded rows
        bytes.assign(static_cast<size_t>(image.pitch) * height, 0);
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<uint8_t>(i * 37 + seed * 101 + (i >> 3) * 11);
        }
        image.pixels = bytes.data();
    }

    void SetPixel(int x, int y, uint32_t value) {
        std::memcpy(bytes.data() + static_cast<size_t>(y) * image.pitch +
                        static_cast<size_t>(x) * image.colorFormat.format.bytes,
                    &value, image.colorFormat.format.bytes);
    }
    // The pixel value of the colour in the image's format (8-bit images: not used).
    uint32_t Value(int r, int g, int b, int a) const {
        return ColorFormatRgbaToPixel(&image.colorFormat.format, r, g, b, a);
    }
};

// Colour formats of decoded images: 8-bit paletted (with a palette of its own), grey,
// 16-bit 5-6-5, 5-5-5 and 4-4-4-4, 24-bit and 32-bit with and without alpha, and 32-bit BGR
// order with alpha.
struct SourceFormatCase {
    const char* name;
    int bits;
    uint32_t r, g, b, a;
    int special;  // 0 masks, 1 paletted, 2 grey
};
inline const SourceFormatCase kSourceFormats[] = {
    {"8-bit paletted", 8, 0, 0, 0, 0, 1},
    {"8-bit grey", 8, 0, 0, 0, 0, 2},
    {"16-bit 5-6-5", 16, 0xF800, 0x07E0, 0x001F, 0, 0},
    {"16-bit 1-5-5-5", 16, 0x7C00, 0x03E0, 0x001F, 0x8000, 0},
    {"16-bit X-5-5-5", 16, 0x7C00, 0x03E0, 0x001F, 0, 0},
    {"16-bit 4-4-4-4", 16, 0x0F00, 0x00F0, 0x000F, 0xF000, 0},
    {"24-bit RGB", 24, 0xFF0000, 0xFF00, 0xFF, 0, 0},
    {"32-bit XRGB", 32, 0xFF0000, 0xFF00, 0xFF, 0, 0},
    {"32-bit ARGB", 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0},
    {"32-bit ABGR", 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, 0},
};

inline PaletteColorFormat MakeSourceFormat(const SourceFormatCase& c) {
    PaletteColorFormat f{};
    if (c.special == 1) {
        SetColorFormat8(&f);
        for (int i = 0; i < 256; ++i) {
            f.palette[i] = PaletteEntry{static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i * 13),
                                        static_cast<uint8_t>(255 - i), 0};
        }
    } else if (c.special == 2) {
        SetColorFormatGrey8(&f);
    } else {
        BuildColorFormat(&f, c.bits, c.r, c.g, c.b, c.a);
    }
    return f;
}

class ImageTransferFixture : public SurfaceFixture {
public:
    // A 2D graph of the kind: a plain surface in the display's format (soft 0, alpha 0), or a
    // software image of the colour depth, with or without an alpha channel.
    static HandleValue MakeGraph(int width, int height, int softImage, int depth, int alpha,
                                 uint8_t paletted = 0) {
        // Set directly: the setter turns software images on whenever DirectDraw runs.
        GetDrawState().softImageSetting = softImage;
        GetDrawState().colorDepthSetting = depth;
        const HandleValue graph = AllocGraphWithSurface(width, height, 0, alpha, paletted);
        GetDrawState().softImageSetting = 0;
        GetDrawState().colorDepthSetting = 0;
        EXPECT_GE(graph, 0);
        return graph;
    }

    static HandleValue PieceOf(HandleValue graph) { return GetGraphRecord(graph)->surfaces[0]; }

    // The bytes of every pixel of the graph's first piece, row by row, and the format read.
    static std::vector<uint8_t> PieceBytes(HandleValue graph, const PaletteColorFormat** format,
                                           int* bytesPerPixel) {
        std::vector<uint8_t> out;
        const Surface2DRecord* view = GetSurface2D(PieceOf(graph));
        const SurfaceDataRecord* r = GetSurfaceData(view->surfaceData);
        const RECT area = {view->sourceX, view->sourceY, view->sourceX + view->width,
                           view->sourceY + view->height};
        int32_t pitch = 0;
        void* p = nullptr;
        EXPECT_EQ(LockSurfaceData(view->surfaceData, &pitch, &p, 0, &area, format), 0);
        if (p == nullptr) return out;
        const int bytes = r->software ? MemImgBytesPerPixel(r->image.pixelFormat,
                                                            r->image.paletted, r->image.alpha)
                                      : (*format)->format.bytes;
        *bytesPerPixel = bytes;
        for (int y = 0; y < view->height; ++y) {
            const uint8_t* row = static_cast<uint8_t*>(p) + int64_t{y} * pitch;
            out.insert(out.end(), row, row + view->width * bytes);
        }
        UnlockSurfaceData(view->surfaceData, &area);
        return out;
    }
    static std::vector<uint8_t> PieceBytes(HandleValue graph) {
        const PaletteColorFormat* format = nullptr;
        int bytes = 0;
        return PieceBytes(graph, &format, &bytes);
    }
};
