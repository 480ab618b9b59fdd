#include "graphics/draw_state/draw_state.h"

#include <algorithm>

#include "graphics/graphs/graph_handle_table.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/graphs/graphics_state.h"
#include "softrender/rules/blend_tables.h"
#include "base/log.h"

namespace {

int32_t ClampByte(int32_t value) { return std::clamp<int32_t>(value, 0, 255); }

int Direct3DInUse() { return GetGraphicsState().direct3DInUse; }

// The screen runs on DirectDraw surfaces: a DirectDraw object exists and the screen is not in
// software-only mode.
int ScreenRunsWithDirectDraw() { return ScreenSlot()->hasDirectDrawObject() && !ScreenSlot()->isNoDirectDraw(); }

// Size and log name of the current draw target; -1 when a graph target has gone.
int GetTargetSizeAndName(HandleValue target, int32_t* width, int32_t* height,
                         const char** name) {
    if (target == kDrawTargetFront || target == kDrawTargetBack) {
        GetScreenSize(width, height);
        *name = target == kDrawTargetFront ? "Front Buffer" : "Back Buffer";
        return 0;
    }
    const GraphRecord* graph = GetGraphRecord(target);
    if (graph == nullptr) return -1;
    *width = graph->width;
    *height = graph->height;
    *name = "Image Buffer";
    return 0;
}

// Binds a target in the back ends: the Direct3D render target when Direct3D is in use, then
// the 2D draw target. 0 or -1.
int SelectTargetInBackEnds(HandleValue target, HandleValue previous) {
    if (Direct3DInUse() && Device3DSlot()->selectDeviceRenderTarget(target) != 0) return -1;
    if (ScreenSlot()->selectDrawTargetSurface(target, previous) != 0) return -1;
    return 0;
}

}  // namespace

int SetBlendState(int32_t mode, int32_t param) {
    DrawState& draw = GetDrawState();
    if (mode == draw.blendMode && param == draw.blendParam) return 0;
    WindowFactsSlot()->waitWhileInactive();
    draw.blendMode = mode;
    draw.blendParam = ClampByte(param);
    Device3DSlot()->refreshDeviceColorState();
    return 0;
}

int SelectBlendGraph(HandleValue graph, int32_t borderParam, int32_t borderRange) {
    DrawState& draw = GetDrawState();
    if (graph == draw.blendGraph && borderParam == draw.blendGraphBorderParam &&
        borderRange == draw.blendGraphBorderRange) {
        return 0;
    }
    if (graph != kNoHandle && GetGraphRecord(graph) == nullptr) return -1;
    draw.blendGraph = graph;
    WindowFactsSlot()->waitWhileInactive();
    draw.blendGraphBorderParam = ClampByte(borderParam);
    draw.blendGraphBorderRange = ClampByte(borderRange);
    if (Direct3DInUse()) {
        Device3DSlot()->setDeviceBlendGraph(graph, draw.blendGraphBorderParam,
                                            draw.blendGraphBorderRange);
    }
    BuildBlendWeightMap(draw.blendGraphBorderParam, draw.blendGraphBorderRange);
    return 0;
}

int CheckBlendGraphCovers(const GraphRecord* graph) {
    const GraphRecord* blend = GetGraphRecord(GetDrawState().blendGraph);
    if (blend == nullptr) return -1;
    if (blend->width < graph->width || blend->height < graph->height) return -1;
    return 0;
}

int SetBrightPacked(uint32_t rgb) {
    DrawState& draw = GetDrawState();
    rgb &= 0xFFFFFF;
    if (rgb == draw.bright) return 0;
    draw.bright = rgb;
    Device3DSlot()->refreshDeviceColorState();
    return 0;
}

int SetBrightRGB(int32_t r, int32_t g, int32_t b) {
    DrawState& draw = GetDrawState();
    const int32_t oldR = (draw.bright >> 16) & 0xFF;
    const int32_t oldG = (draw.bright >> 8) & 0xFF;
    const int32_t oldB = draw.bright & 0xFF;
    if (r == oldR && g == oldG && b == oldB) return 0;
    draw.bright = static_cast<uint32_t>(ClampByte(r)) << 16 |
                  static_cast<uint32_t>(ClampByte(g)) << 8 | static_cast<uint32_t>(ClampByte(b));
    if (Direct3DInUse()) Device3DSlot()->refreshDeviceColorState();
    return 0;
}

int SetSampleFilter(int32_t mode) {
    DrawState& draw = GetDrawState();
    if (mode == draw.textureFilter) return 0;
    draw.textureFilter = mode;
    if (Direct3DInUse()) {
        Device3DSlot()->setDeviceSampleFilter(mode);
    }
    return 0;
}

int GetSampleFilter() { return GetDrawState().textureFilter; }

int SetColorKeyRGB(uint8_t r, uint8_t g, uint8_t b) {
    if (GetDisplayDepth() == 8) return 0;
    GetDrawState().colorKey = static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
    return 0;
}

int SetUse3DFlag(int32_t value) {
    if (!ScreenSlot()->hasDirectDrawObject()) {
        ScreenSlot()->setSoftwareRenderRequest(value == 0 ? 1 : 0);
    }
    GetDrawState().use3D = value;
    return 0;
}

int SetNewGraphsDrawable(int32_t value) {
    GetDrawState().newGraphsDrawValid = value;
    return 0;
}

int SetUseSoftImageGraph(int32_t value) {
    GetDrawState().softImageSetting = ScreenRunsWithDirectDraw() ? 1 : value;
    return 0;
}

int SetUseVideoMemGraph(int32_t value) {
    GetDrawState().softImageSetting = ScreenRunsWithDirectDraw() ? 1 : (value != 1 ? 1 : 0);
    return 0;
}

int SetDrawAreaRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    DrawState& draw = GetDrawState();
    const WindowFactsDriver& window = *WindowFactsSlot();
    window.rememberDrawAreaRequest(x1, y1, x2, y2);

    int32_t width = 0, height = 0;
    const char* name = "";
    if (GetTargetSizeAndName(draw.drawTarget, &width, &height, &name) != 0) return 0;

    // On the front screen, only the part of the window that lies on the desktop is drawable.
    RECT client = {};
    int32_t desktopWidth = 0, desktopHeight = 0;
    if (draw.drawTarget == kDrawTargetFront && window.getScreenRectOnDesktop(&client) == 0 &&
        window.getDesktopSize(&desktopWidth, &desktopHeight) == 0) {
        if (client.left < 0) x1 = -client.left;
        if (client.top < 0) y1 = -client.top;
        if (client.left + width > desktopWidth) width = desktopWidth - client.left;
        if (client.top + height > desktopHeight) height = desktopHeight - client.top;
    }

    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = std::clamp(x1, 0, std::max(width, 0));
    x2 = std::clamp(x2, 0, std::max(width, 0));
    y1 = std::clamp(y1, 0, std::max(height, 0));
    y2 = std::clamp(y2, 0, std::max(height, 0));

    draw.drawArea = RECT{x1, y1, x2, y2};
    draw.drawAreaF[0] = static_cast<float>(x1);
    draw.drawAreaF[1] = static_cast<float>(y1);
    draw.drawAreaF[2] = static_cast<float>(x2);
    draw.drawAreaF[3] = static_cast<float>(y2);

    if (x1 == x2 || y1 == y2) {
        draw.drawAreaEmpty = 1;
        return 0;
    }
    draw.drawAreaEmpty = 0;
    if (Direct3DInUse() && Device3DSlot()->setDeviceViewport(&draw.drawArea) != 0) {
        LogFormat("ビューポートの設定に失敗しました %s", name);
    }
    return 0;
}

int GetDrawAreaRect(RECT* out) {
    *out = GetDrawState().drawArea;
    return 0;
}

int SetFrontScreenRect(const RECT* rect) {
    GetDrawState().frontScreenRect = *rect;
    return 0;
}

int FollowWindowClientMove(const RECT* client) {
    GraphicsState& graphics = GetGraphicsState();
    if (!graphics.graphicsUp) return 0;
    DrawState& draw = graphics.draw;
    if (draw.drawTarget == kDrawTargetFront && !ScreenSlot()->isTempPrimaryInUse()) {
        const int32_t savedMask = draw.maskActive;
        draw.maskActive = 0;
        SetFrontScreenRect(client);
        draw.maskActive = savedMask;
    }
    const RECT area = draw.drawArea;
    SetDrawAreaRect(area.left, area.top, area.right, area.bottom);
    return 0;
}

HandleValue GetDrawTarget() { return GetDrawState().drawTarget; }

int SetDrawTarget(HandleValue target) {
    GraphicsState& state = GetGraphicsState();
    DrawState& draw = state.draw;
    if (!state.graphicsUp) return -1;
    WindowFactsSlot()->waitWhileInactive();

    // A target is the front screen, the back screen or a live graph.
    if (target != kDrawTargetFront && target != kDrawTargetBack &&
        GetGraphRecord(target) == nullptr) {
        return -1;
    }

    // The mask stays out of the target change.
    const int32_t savedMask = draw.maskActive;
    draw.maskActive = 0;

    const HandleValue previous = draw.drawTarget;
    draw.drawTarget = target;

    const ScreenDriver& screen = *ScreenSlot();
    draw.frontScreenRect = RECT{0, 0, 0, 0};
    if (target == kDrawTargetFront && savedMask == 0 && WindowFactsSlot()->isWindowed() &&
        !screen.isTempPrimaryInUse() && !screen.isScreenSoftwareDrawn() &&
        WindowFactsSlot()->getScreenRectOnDesktop(&draw.frontScreenRect) != 0) {
        draw.frontScreenRect = RECT{0, 0, 0, 0};
    }

    if (SelectTargetInBackEnds(target, previous) != 0) {
        draw.drawTarget = previous;
        SelectTargetInBackEnds(previous, target);
        draw.maskActive = savedMask;
        if (savedMask) Device3DSlot()->setMaskRenderTarget3D(1);
        return -1;
    }

    int32_t width = 0, height = 0;
    QueryGraphDimensions(target, &width, &height);
    const bool sameSize = width == draw.targetWidth && height == draw.targetHeight;
    draw.targetWidth = width;
    draw.targetHeight = height;
    if (sameSize) {
        const RECT area = draw.drawArea;
        SetDrawAreaRect(area.left, area.top, area.right, area.bottom);
    } else {
        SetDrawAreaRect(0, 0, width, height);
    }

    const float distance = static_cast<float>(height) / 2.0f * 1.7320509f;
    Device3DSlot()->resetTargetTransforms(static_cast<float>(width), static_cast<float>(height),
                                          distance, 1.0471976f, distance * 0.1f,
                                          distance + 1000.0f);

    draw.maskActive = savedMask;
    // The device was pointed at the new target; while the mask is on it draws into the mask
    // screen instead.
    if (savedMask) Device3DSlot()->setMaskRenderTarget3D(1);
    return 0;
}

int QueryGraphDimensions(HandleValue handle, int32_t* width, int32_t* height) {
    int32_t w = 0, h = 0;
    if (handle == kDrawTargetFront || handle == kDrawTargetBack) {
        GetScreenSize(&w, &h);
    } else {
        const GraphRecord* graph = GetGraphRecord(handle);
        if (graph == nullptr) return -1;
        w = graph->width;
        h = graph->height;
    }
    if (width != nullptr) *width = w;
    if (height != nullptr) *height = h;
    return 0;
}

int GetScreenModeInfo(int32_t* width, int32_t* height, int32_t* depth) {
    GetScreenSize(width, height);
    if (depth != nullptr) *depth = GetDisplayDepth();
    return 0;
}

int IsUsing3DDevice() {
    if (GetDrawState().use3D == 1 && Direct3DInUse() && !ScreenSlot()->isScreenSoftwareDrawn() &&
        Device3DSlot()->isCurrentDeviceReady()) {
        return 1;
    }
    return 0;
}
