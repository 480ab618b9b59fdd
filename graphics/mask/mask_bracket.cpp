// The bracket around a draw while mask drawing is active: the current draw target handed to
// the hooks as an image when it has its own software image, else as its surface.
#include <cstring>

#include "graphics/draw_target/draw_target.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/mask/mask_screen.h"

namespace {

// The target's own software image as a decoded image over the same pixels; false when the
// target has none.
bool DescribeTargetImage(GraphImage* out) {
    const MEMIMG* image = GetDrawTargetSurface().image;
    if (image == nullptr || !MemImgHasPixels(image)) return false;
    std::memset(out, 0, sizeof *out);
    out->colorFormat = *GetStandardColorFormat(image->pixelFormat, image->alpha, image->paletted);
    out->width = image->width;
    out->height = image->height;
    out->pitch = image->pitch;
    out->pixels = image->pixels;
    return true;
}

}  // namespace

int BeginMaskBracket(RECT rect) {
    GraphImage image;
    if (DescribeTargetImage(&image)) {
        MaskBeforeDraw(&rect, nullptr, &image);
    } else {
        MaskBeforeDraw(&rect, GetDrawTargetSurface().surface, nullptr);
    }
    return 0;
}

int EndMaskBracket(RECT rect) {
    GraphImage image;
    if (DescribeTargetImage(&image)) {
        MaskAfterDraw(&rect, nullptr, &image);
    } else {
        MaskAfterDraw(&rect, GetDrawTargetSurface().surface, nullptr);
    }
    return 0;
}
