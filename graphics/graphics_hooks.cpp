#include "graphics/graphics_hooks.h"

GraphicsHooks& GetGraphicsHooks() {
    static GraphicsHooks hooks = {};
    return hooks;
}

void ResetGraphicsHooks() { GetGraphicsHooks() = GraphicsHooks{}; }

int HookHasDirectDrawObject() {
    auto fn = GetGraphicsHooks().hasDirectDrawObject;
    return fn ? fn() : 0;
}

int HookIsNoDirectDraw() {
    auto fn = GetGraphicsHooks().isNoDirectDraw;
    return fn ? fn() : 0;
}

int HookIsScreenSoftwareDrawn() {
    auto fn = GetGraphicsHooks().isScreenSoftwareDrawn;
    return fn ? fn() : 0;
}

int32_t HookGetScreenDepth() {
    auto fn = GetGraphicsHooks().getScreenDepth;
    const int32_t depth = fn ? fn() : 0;
    return depth == 0 ? 16 : depth;
}

void HookGetScreenDimensions(int32_t* width, int32_t* height) {
    int32_t w = 0, h = 0;
    if (auto fn = GetGraphicsHooks().getScreenDimensions) fn(&w, &h);
    if (w == 0) w = 640;
    if (h == 0) h = 480;
    if (width) *width = w;
    if (height) *height = h;
}

void HookWaitWhileInactive() {
    if (auto fn = GetGraphicsHooks().waitWhileInactive) fn();
}

void HookEndCurrentDeviceScene() {
    if (auto fn = GetGraphicsHooks().endCurrentDeviceScene) fn();
}

void HookRefreshDeviceColorState() {
    if (auto fn = GetGraphicsHooks().refreshDeviceColorState) fn();
}
