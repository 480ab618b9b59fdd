// The 2D text path: plain text written straight into the destination (the software screen's
// image, or the locked pixels of a DirectDraw target), and blended or antialiased text
// composed on the font drawing screen and then blitted in the current blend mode.
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_graph/soft_road/blit_graph_2d.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/draw_target_images.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"

namespace {

// Sets the draw area for a moment (no window request, no device viewport) and back.
void PutDrawArea(const RECT& area) {
    DrawState& draw = GetDrawState();
    draw.drawArea = area;
    draw.drawAreaF[0] = static_cast<float>(area.left);
    draw.drawAreaF[1] = static_cast<float>(area.top);
    draw.drawAreaF[2] = static_cast<float>(area.right);
    draw.drawAreaF[3] = static_cast<float>(area.bottom);
    draw.drawAreaEmpty = area.left >= area.right || area.top >= area.bottom ? 1 : 0;
}

// The font drawing screen's image, or null.
MEMIMG* DrawScreenImage(const FontRecord& f) {
    const Surface2DRecord* view = GetSurface2D(f.drawScreen);
    SurfaceDataRecord* data = view != nullptr ? GetSurfaceData(view->surfaceData) : nullptr;
    if (data == nullptr || !data->software || !MemImgHasPixels(&data->image)) return nullptr;
    return &data->image;
}

// A key value that is neither colour, in the image's pixel bits (0 when it keeps alpha).
uint32_t PickKey(const MEMIMG& image, uint32_t colour, uint32_t edgeColour) {
    if (image.alpha) return 0;
    const uint32_t mask = image.colorFormat->bytes == 2 ? 0xFFFFu : 0xFFFFFFu;
    uint32_t key = image.colorKey & mask;
    while (key == (colour & mask) || key == (edgeColour & mask)) key = (key + 1) & mask;
    return key;
}

int DrawBlended(int32_t x, int32_t y, const char* string, uint32_t colour, HandleValue font,
                uint32_t edgeColour, int vertical, const StringSize& size) {
    if (CreateFontCacheGraph(font) != 0) return -1;
    const FontRecord* f = GetFontRecord(font);
    MEMIMG* image = f != nullptr ? DrawScreenImage(*f) : nullptr;
    if (image == nullptr) return -1;
    RECT line{0, 0, size.width, size.height};
    const RECT whole{0, 0, image->width, image->height};
    ClipRectInPlace(&line, &whole);
    // The drawing screen holds the standard format; a display of another format (5-5-5, or
    // another order) gives its colours in its own.
    const TargetScreen screen = ReadTargetScreen();
    if (!screen.softwareScreen && screen.screenFormat != nullptr &&
        (screen.pixelFormatClass == 1 || screen.pixelFormatClass == 3)) {
        const ColorFormat* standard = &ScreenStandardFormat()->format;
        colour = ConvertPixel(standard, &screen.screenFormat->format, colour);
        edgeColour = ConvertPixel(standard, &screen.screenFormat->format, edgeColour);
    }
    const uint32_t key = PickKey(*image, colour, edgeColour);
    image->colorKey = key;
    FillMemImgRaw(image, &line, key);
    if (DrawCachedString(1, 0, 0, 0, 1.0, 1.0, string, colour, image, &line, 1, font, edgeColour,
                         -1, vertical, nullptr) < 0) {
        return -1;
    }

    DrawState& draw = GetDrawState();
    const RECT savedArea = draw.drawArea;
    const uint32_t savedBright = draw.bright;
    RECT area{x, y, x + line.right, y + line.bottom};
    ClipRectInPlace(&area, &savedArea);
    PutDrawArea(area);
    draw.bright = kBrightWhite;
    int result = 0;
    if (area.left < area.right && area.top < area.bottom) {
        result = BlitGraph2DCore(x, y, f->drawScreen, 1) < 0 ? -1 : 0;
    }
    PutDrawArea(savedArea);
    draw.bright = savedBright;
    return result;
}

int DrawPlain(int32_t x, int32_t y, const char* string, uint32_t colour, HandleValue font,
              uint32_t edgeColour, int vertical, const StringSize& size) {
    if (ReadTargetScreen().softwareScreen) {
        MEMIMG* dest = GetSoftScreenDestination();
        if (dest == nullptr || !MemImgHasPixels(dest)) return -1;
        const RECT clip = GetDrawState().drawArea;
        const int advance = DrawCachedString(1, x, y, 0, 1.0, 1.0, string, colour, dest, &clip, 1,
                                             font, edgeColour, -1, vertical, nullptr);
        return advance < 0 ? -1 : 0;
    }
    Device3DSlot()->endCurrentDeviceScene();
    const RECT rect{x, y, x + size.width, y + size.height};
    if (BeginSoftDraw(nullptr, 0, nullptr, &rect, 1, &colour, &edgeColour) != 0) return -1;
    // The draw area is narrowed to the locked rectangle while the draw runs.
    const RECT clip = GetDrawState().drawArea;
    const int advance = DrawCachedString(1, x, y, 0, 1.0, 1.0, string, colour,
                                         GetSoftDrawState().destImage, &clip, 1, font, edgeColour,
                                         -1, vertical, nullptr);
    EndSoftDraw();
    return advance < 0 ? -1 : 0;
}

}  // namespace

int DrawString2D(int32_t x, int32_t y, const char* string, uint32_t colour, HandleValue font,
                 uint32_t edgeColour, int flags) {
    if (!TargetScreenUp()) return -1;
    const FontRecord* f = GetFontRecord(font);
    if (f == nullptr) return -1;
    // A font with a texture cache has no cache bitmap to paint from: its glyphs are drawn
    // from the cache graph by the Direct3D string drawer.
    if (f->textureCache) {
        return GraphDraw3DSlot()->drawString3D(x, y, string, colour, font, edgeColour, flags);
    }
    StringSize size{};
    if (DrawCachedString(0, x, y, 0, 1.0, 1.0, string, colour, nullptr, nullptr, 1, font,
                         edgeColour, -1, flags, &size) < 0) {
        return -1;
    }
    if (size.width <= 0 || size.height <= 0) return 0;
    const DrawState& draw = GetDrawState();
    const bool plainBlend = draw.blendMode == kBlendNone ||
                            (draw.blendMode == kBlendAlpha && draw.blendParam == 255);
    const bool blended = GetDisplayDepth() != 8 &&
                         ((f->type & kFontTypeAntialias) != 0 || !plainBlend);
    return blended ? DrawBlended(x, y, string, colour, font, edgeColour, flags, size)
                   : DrawPlain(x, y, string, colour, font, edgeColour, flags, size);
}
