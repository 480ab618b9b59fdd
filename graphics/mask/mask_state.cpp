// The mask's state record and what others read of it.
#include "graphics/graphs/draw_state_record.h"
#include "graphics/mask/mask_screen.h"

MaskState& GetMaskState() {
    static MaskState state = {};
    return state;
}

MEMIMG* GetMaskMemImg() { return &GetMaskState().memImg; }

plat::DrawSurface* GetMaskSurface() { return GetMaskState().surface; }

int MaskScreenExists() {
    const MaskState& m = GetMaskState();
    if (m.isMemImg) return MemImgHasPixels(&m.memImg) ? 1 : 0;
    return m.surface != nullptr ? 1 : 0;
}

int32_t GetMaskEnabled() { return GetDrawState().maskRequested; }
