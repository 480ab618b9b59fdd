// The public entries: each one locks, calls its routine and unlocks.
#include "system/public/api.h"

#include "platform/clock.h"
#include "system/api_lock.h"

int ApiGetMillisecondCount(int /*unused*/) {
    ApiLock();
    const int result = static_cast<int>(plat::MillisecondClock());
    ApiUnlock();
    return result;
}

// --- Draw state and graph sizes ---------------------------------------------------------------
#include "graphics/draw_state.h"

int ApiSetBlendMode(int mode, int param) {
    ApiLock();
    const int result = SetBlendState(mode, param);
    ApiUnlock();
    return result;
}

int ApiSetBrightnessRGB(int r, int g, int b) {
    ApiLock();
    const int result = SetBrightRGB(r, g, b);
    ApiUnlock();
    return result;
}

int ApiSetDrawTarget(int target) {
    ApiLock();
    const int result = SetDrawTarget(target);
    ApiUnlock();
    return result;
}

int ApiSetColorKeyRGB(unsigned char r, unsigned char g, unsigned char b) {
    ApiLock();
    const int result = SetColorKeyRGB(r, g, b);
    ApiUnlock();
    return result;
}

int ApiQueryGraphSize(int graph, int* width, int* height) {
    ApiLock();
    const int result = QueryGraphDimensions(graph, width, height);
    ApiUnlock();
    return result;
}

int ApiClipRectToDrawArea(RECT* rect, const RECT* clip) { return ClipRectInPlace(rect, clip); }
