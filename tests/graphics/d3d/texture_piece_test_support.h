// Shared set-up of the texture-piece tests: the surface fixture's DirectDraw object (5-6-5
// display) with the Direct3D back end wired by hand around it: the platform's Direct3D object,
// a device drawing into a small off-screen target, the texture formats that device offers and
// the back end's drivers installed, so that graphs made from now on are texture graphs. The
// texture side limits and the device's capabilities are the test's to set.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/d3d/device.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/draw_state/draw_state.h"
#include "platform/d3d/d3d.h"
#include "platform/testing/d3d_test_controls.h"
#include "tests/graphics/surfaces/surface_test_support.h"

class TexturePieceFixture : public SurfaceFixture {
protected:
    void SetUp() override {
        SurfaceFixture::SetUp();
        plat::ResetD3DTestControls();
        plat::OfferDirect3D(true);
        ResetDevice3DState();
        Device3DState& device3D = GetDevice3DState();
        ASSERT_EQ(dd_->QueryDirect3D(&device3D.direct3D), plat::DD_OK);
        device3D.direct3D->EnumDevices(
            [](const char*, const char*, const plat::DeviceDesc* desc, void* context) -> int32_t {
                static_cast<Device3DState*>(context)->deviceDesc = *desc;
                return 0;
            },
            &device3D);
        device3D.deviceGuid = plat::IID_IDirect3DHALDevice;
        SetSides(1, 2048);

        plat::SurfaceDesc desc = {};
        desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
        desc.width = 64;
        desc.height = 64;
        desc.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_3DDEVICE;
        ASSERT_EQ(dd_->CreateSurface(&desc, &target_), plat::DD_OK);
        ASSERT_EQ(CreateDevice3D(target_), 0);
        device3D.currentDevice = 0;
        ASSERT_EQ(device3D.devices[0].device->EnumTextureFormats(StoreOfferedTextureFormat, nullptr),
                  plat::DD_OK);
        ASSERT_EQ(FillEmptyTextureFormats(), 0);
        InstallDirect3DDrivers();
        GetGraphicsState().direct3DInUse = 1;
        // A fresh piece table: the first piece takes slot 0 and serial 0.
        DeleteAllSurface3DData();
        GetSurface3DTable().usedBound = 0;
        GetSurface3DTable().serialCounter = 0;
    }

    void TearDown() override {
        DeleteAllGraphs(0);
        DeleteAllSurface3DData();
        TermDirect3D();
        ResetDevice3DState();
        if (target_ != nullptr) target_->Release();
        plat::ResetD3DTestControls();
        SurfaceFixture::TearDown();
    }

    static void SetSides(uint32_t minSide, uint32_t maxSide) {
        GetDevice3DState().minTextureSide = minSide;
        GetDevice3DState().maxTextureSide = maxSide;
    }
    static void SetSquareOnly(bool on) {
        uint32_t& caps = GetDevice3DState().deviceDesc.triCaps.textureCaps;
        caps = on ? caps | plat::D3DPTEXTURECAPS_SQUAREONLY
                  : caps & ~plat::D3DPTEXTURECAPS_SQUAREONLY;
    }

    // A texture graph without an image; -1 when it cannot be made.
    static HandleValue MakeTextureGraph(int width, int height, int alpha = 0) {
        const HandleValue graph = AllocGraphWithSurface(width, height, 1, alpha, 0);
        if (graph >= 0) {
            EXPECT_EQ(GetGraphRecord(graph)->flags.is3D, 1);
        }
        return graph;
    }

    static const Surface3DData* Piece(HandleValue graph, int index) {
        const GraphRecord* g = GetGraphRecord(graph);
        return g != nullptr && index < g->surfaceCount ? GetSurface3DData(g->surfaces[index])
                                                       : nullptr;
    }

    // The raw texture pixel at (x, y) of the texture of a piece, and the texture's format.
    static uint32_t TexturePixel(const Surface3DData& piece, int x, int y,
                                 const PaletteColorFormat** format) {
        const RECT whole = {0, 0, GetSurfaceData(piece.surfaceData)->width,
                            GetSurfaceData(piece.surfaceData)->height};
        int32_t pitch = 0;
        void* p = nullptr;
        EXPECT_EQ(LockSurfaceData(piece.surfaceData, &pitch, &p, 0, &whole, format), 0);
        uint32_t value = 0;
        if (p != nullptr) {
            const int bytes = (*format)->format.bytes;
            std::memcpy(&value,
                        static_cast<uint8_t*>(p) + int64_t{y} * pitch + int64_t{x} * bytes, bytes);
            UnlockSurfaceData(piece.surfaceData, &whole);
        }
        return value;
    }

    // Counts the pixels of the graph's pieces whose texture pixel differs from the image pixel
    // at (originX + graph x, originY + graph y), converted to the texture's format (alpha 0
    // for the transparent colour where the format has alpha).
    static int CountWrongPixels(HandleValue graph, const GraphImage& image, int originX,
                                int originY) {
        const GraphRecord* g = GetGraphRecord(graph);
        int wrong = 0;
        for (int32_t i = 0; i < g->surfaceCount; ++i) {
            const Surface3DData* piece = GetSurface3DData(g->surfaces[i]);
            const HandleValue data = piece->surfaceData;
            const RECT whole = {0, 0, GetSurfaceData(data)->width, GetSurfaceData(data)->height};
            int32_t pitch = 0;
            void* p = nullptr;
            const PaletteColorFormat* format = nullptr;
            if (LockSurfaceData(data, &pitch, &p, 0, &whole, &format) != 0) return -1;
            const int bytes = format->format.bytes;
            const uint32_t key = GetSurfaceData(data)->colorKey;
            for (int y = 0; y < piece->height; ++y) {
                for (int x = 0; x < piece->width; ++x) {
                    int r, gr, b;
                    GetGraphImagePixel(&image, originX + piece->x + x, originY + piece->y + y, &r,
                                       &gr, &b, nullptr);
                    // The key is compared in the texture's precision, as the transfer does.
                    const bool isKey =
                        ColorFormatRgbaToPixel(&format->format, r, gr, b, 0) ==
                        ColorFormatRgbaToPixel(&format->format, (key >> 16) & 0xFF,
                                               (key >> 8) & 0xFF, key & 0xFF, 0);
                    const uint32_t expected =
                        ColorFormatRgbaToPixel(&format->format, r, gr, b, isKey ? 0 : 255);
                    uint32_t actual = 0;
                    std::memcpy(&actual,
                                static_cast<uint8_t*>(p) +
                                    int64_t{piece->textureY + y} * pitch +
                                    int64_t{piece->textureX + x} * bytes,
                                bytes);
                    if (actual != expected) ++wrong;
                }
            }
            UnlockSurfaceData(data, &whole);
        }
        return wrong;
    }

    plat::DrawSurface* target_ = nullptr;
};

// A 32-bit X8R8G8B8 image whose every pixel differs from its neighbours; pixel (0, 0) is black
// (the default transparent colour).
struct PatternImage {
    GraphImage image{};
    PatternImage(int width, int height) {
        EXPECT_EQ(InitGraphImageArgb32(width, height, &image), 0);
        BuildColorFormat(&image.colorFormat, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                SetGraphImagePixel(&image, x, y, (x * 7 + y) & 0xFF, (y * 5 + x / 3) & 0xFF,
                                   (x ^ y) & 0xFF, 255);
            }
        }
        SetGraphImagePixel(&image, 0, 0, 0, 0, 0, 255);
    }
    ~PatternImage() { FreeGraphImage(&image); }
    PatternImage(const PatternImage&) = delete;
    PatternImage& operator=(const PatternImage&) = delete;
};
