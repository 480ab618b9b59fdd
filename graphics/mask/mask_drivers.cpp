#include "graphics/mask/mask_drivers.h"

#include "graphics/mask/mask_screen.h"

namespace {

void EndMasks() { TermMaskScreen(); }

MEMIMG* MaskScreenImage() {
    MEMIMG* image = GetMaskMemImg();
    return GetMaskState().isMemImg && MemImgHasPixels(image) ? image : nullptr;
}

int32_t MaskScreenKept() { return GetMaskState().screenWanted || MaskScreenExists() ? 1 : 0; }
void RemakeMask(int32_t enabled) { RemakeMaskScreen(enabled); }
void ReleaseMask() { ReleaseMaskScreen(); }
void RecreateMask() { RecreateMaskAfterRestore(); }

void BeginBracket(const RECT* rect) { BeginMaskBracket(*rect); }
void EndBracket(const RECT* rect) { EndMaskBracket(*rect); }

}  // namespace

const MaskDriver kMaskScreens = {
    .endMasks = EndMasks,
    .maskImage = MaskScreenImage,
    .maskSurface = GetMaskSurface,
    .maskScreenKept = MaskScreenKept,
    .remakeMaskScreen = RemakeMask,
    .releaseMaskScreen = ReleaseMask,
    .recreateMaskScreen = RecreateMask,
};
const MaskBracketDriver kMaskBracket = {
    .beginMaskBracket = BeginBracket,
    .endMaskBracket = EndBracket,
};
