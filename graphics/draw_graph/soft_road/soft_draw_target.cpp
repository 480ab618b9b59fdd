#include "graphics/draw_graph/soft_road/soft_draw_target.h"

#include "graphics/draw_state/draw_state_record.h"

namespace {

// Without graph management: no software drawing, no images, no graphs.
int NotAvailable() { return 0; }
MEMIMG* NoImage() { return nullptr; }
const MEMIMG* NoBlendImage() { return nullptr; }
void NoGraphSize(const GraphRecord*, int32_t* width, int32_t* height) {
    *width = 0;
    *height = 0;
}
int NoSurfaceImage(const GraphRecord*, HandleValue, MEMIMG*, SoftSurfaceImage* out) {
    *out = SoftSurfaceImage{nullptr, kNoHandle, 0, 0};
    return -1;
}
int NoDirectDrawSoftDraw(HandleValue, const RECT*, const RECT*, SoftDrawPlace*) { return -1; }
void NoSoftDrawToEnd() {}
int NoUnscaledDraw(int32_t, int32_t, HandleValue, int32_t) { return -1; }
void NothingToShow(const RECT*) {}

}  // namespace

const SoftDrawTargetDriver kAbsentSoftDrawTarget = {
    NotAvailable,   NotAvailable,         NoImage, NoImage, NoBlendImage, NoGraphSize,
    NoSurfaceImage, NoDirectDrawSoftDraw, NoSoftDrawToEnd, NoUnscaledDraw,
    NothingToShow,
};

DriverSlot<SoftDrawTargetDriver>& SoftDrawTargetSlot() {
    static DriverSlot<SoftDrawTargetDriver> slot(kAbsentSoftDrawTarget);
    return slot;
}

MEMIMG* GetSoftScreenDestination() {
    const SoftDrawTargetDriver& images = *SoftDrawTargetSlot();
    return GetDrawState().maskActive ? images.maskImage() : images.drawTargetImage();
}
