// Shared pieces of the screen readback tests: the library started headless with the Direct3D
// device offered, texture graphs, and the colours of a texture graph and of the back screen
// read straight from their surfaces.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "softrender/records/color_format.h"
#include "graphics/d3d/device.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_data.h"
#include "platform/ddraw/ddraw.h"

namespace readback_test {

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

// The surface's own colour format, from its description.
inline PaletteColorFormat SurfaceFormat(plat::DrawSurface* surface) {
    plat::SurfaceDesc desc{};
    EXPECT_EQ(surface->GetSurfaceDesc(&desc), plat::DD_OK);
    PaletteColorFormat format{};
    const plat::PixelFormat& f = desc.pixelFormat;
    BuildColorFormat(&format, static_cast<int>(f.bitCount), f.redMask, f.greenMask, f.blueMask,
                     f.alphaMask);
    return format;
}

// The colours of rect of a surface, row by row (alpha 255 when the format has none).
inline std::vector<Rgba> SurfaceColours(plat::DrawSurface* surface, const RECT& rect) {
    const PaletteColorFormat format = SurfaceFormat(surface);
    plat::SurfaceDesc desc{};
    std::vector<Rgba> out;
    if (surface->Lock(nullptr, &desc, plat::DDLOCK_WAIT | plat::DDLOCK_READONLY) != plat::DD_OK) {
        ADD_FAILURE() << "lock failed";
        return out;
    }
    const auto* pixels = static_cast<const uint8_t*>(desc.surface);
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        for (int32_t x = rect.left; x < rect.right; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, pixels + static_cast<ptrdiff_t>(y) * desc.pitch + x * format.format.bytes,
                        format.format.bytes);
            Rgba c{};
            ColorFormatPixelToRgba(&format.format, v, &c.r, &c.g, &c.b, &c.a);
            if (format.format.widthA == 0) c.a = 255;
            out.push_back(c);
        }
    }
    surface->Unlock(nullptr);
    return out;
}

// The colours of (0, 0, width, height) of a texture graph, row by row, each read from the
// piece that holds it.
inline std::vector<Rgba> TextureGraphColours(HandleValue graph, int32_t width, int32_t height) {
    const GraphRecord* record = GetGraphRecord(graph);
    std::vector<Rgba> out(static_cast<size_t>(width) * height, Rgba{-1, -1, -1, -1});
    if (record == nullptr) {
        ADD_FAILURE() << "no graph";
        return out;
    }
    for (int32_t i = 0; i < record->surfaceCount; ++i) {
        const Surface3DData* piece = GetSurface3DData(record->surfaces[i]);
        const SurfaceDataRecord* data = piece != nullptr ? GetSurfaceData(piece->surfaceData)
                                                         : nullptr;
        if (data == nullptr || data->surface == nullptr) {
            ADD_FAILURE() << "piece " << i << " has no texture";
            continue;
        }
        const int32_t w = std::min<int32_t>(piece->width, width - piece->x);
        const int32_t h = std::min<int32_t>(piece->height, height - piece->y);
        if (w <= 0 || h <= 0) continue;
        const RECT inTexture{piece->textureX, piece->textureY, piece->textureX + w,
                             piece->textureY + h};
        const std::vector<Rgba> colours = SurfaceColours(data->surface, inTexture);
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                out[static_cast<size_t>(piece->y + y) * width + piece->x + x] = colours[y * w + x];
            }
        }
    }
    return out;
}

// How far apart two colours may be when the texture's channels differ in width from the
// screen's: one step of a narrower texture channel; 1 for a wider one, since a GDI copy widens
// with rounding where the screen's colour is read with truncation; 0 for equal widths.
inline int ColourTolerance(plat::DrawSurface* screen, plat::DrawSurface* texture) {
    const ColorFormat s = SurfaceFormat(screen).format;
    const ColorFormat t = SurfaceFormat(texture).format;
    int tolerance = 0;
    const int pairs[3][2] = {{s.widthR, t.widthR}, {s.widthG, t.widthG}, {s.widthB, t.widthB}};
    for (const auto& p : pairs) {
        if (p[1] < p[0]) tolerance = std::max(tolerance, 255 / ((1 << p[1]) - 1));
        if (p[1] > p[0]) tolerance = std::max(tolerance, 1);
    }
    return tolerance;
}

// The number of pixels whose colour lies further than tolerance from the wanted one in a
// channel, or whose alpha is not opaque.
inline int Mismatches(const std::vector<Rgba>& got, const std::vector<Rgba>& want,
                      int tolerance) {
    if (got.size() != want.size()) return static_cast<int>(std::max(got.size(), want.size()));
    int bad = 0;
    for (size_t i = 0; i < got.size(); ++i) {
        const bool near = std::abs(got[i].r - want[i].r) <= tolerance &&
                          std::abs(got[i].g - want[i].g) <= tolerance &&
                          std::abs(got[i].b - want[i].b) <= tolerance && got[i].a == 255;
        bad += near ? 0 : 1;
    }
    return bad;
}

}  // namespace readback_test
