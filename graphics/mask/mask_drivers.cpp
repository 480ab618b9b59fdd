#include "graphics/mask/mask_drivers.h"

#include "graphics/mask/mask_screen.h"

namespace {

MEMIMG* MaskScreenImage() {
    MEMIMG* image = GetMaskMemImg();
    return GetMaskState().isMemImg && MemImgHasPixels(image) ? image : nullptr;
}

void BeginBracket(const RECT* rect) { BeginMaskBracket(*rect); }
void EndBracket(const RECT* rect) { EndMaskBracket(*rect); }

}  // namespace

const MaskDriver kMaskScreens = {
    .maskImage = MaskScreenImage,
    .maskSurface = GetMaskSurface,
};
const MaskBracketDriver kMaskBracket = {
    .beginMaskBracket = BeginBracket,
    .endMaskBracket = EndBracket,
};
