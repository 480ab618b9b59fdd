#include "graphics/mask/mask_drivers.h"

#include "graphics/mask/mask_screen.h"

namespace {

void EndMasks() { TermMaskScreen(); }

MEMIMG* MaskScreenImage() {
    MEMIMG* image = GetMaskMemImg();
    return GetMaskState().isMemImg && MemImgHasPixels(image) ? image : nullptr;
}

void BeginBracket(const RECT* rect) { BeginMaskBracket(*rect); }
void EndBracket(const RECT* rect) { EndMaskBracket(*rect); }

}  // namespace

const MaskDriver kMaskScreens = {EndMasks, MaskScreenImage, GetMaskSurface};
const MaskBracketDriver kMaskBracket = {BeginBracket, EndBracket};
