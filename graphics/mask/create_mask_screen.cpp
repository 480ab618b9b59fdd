// The mask bitmap and the mask screen: made, released, made again after a display change and
// ended with graphics.
#include <cstring>

#include "base/fatal_exit.h"
#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/drivers/direct_draw_object.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/mask/mask_screen.h"
#include "platform/ddraw/ddraw.h"

namespace {

int MakeBitmap(MaskState& m, int32_t width, int32_t height) {
    m.pitch = (width + 3) / 4 * 4;
    m.width = width;
    m.height = height;
    const size_t bytes = static_cast<size_t>(m.pitch) * static_cast<size_t>(height);
    m.bits = static_cast<uint8_t*>(ZN_ALLOC_ZERO(bytes));
    if (m.bits == nullptr) return LogWrite("マスク用データのメモリ確保に失敗しました\n");
    return 0;
}

// The mask screen on the software screen: a MEMIMG of the screen's size and format.
int MakeMemImgScreen(MaskState& m, int32_t width, int32_t height) {
    if (InitMemImgPlain(&m.memImg, width, height, GetDisplayMemImgFormat()) != 0) {
        return FatalExit("マスク用 MEMIMG の作成に失敗しました");
    }
    m.isMemImg = 1;
    m.surface = nullptr;
    GetDrawState().maskInVideoMemory = 0;
    return 0;
}

// The mask screen on DirectDraw: an off-screen surface of the screen's size in the display's
// format, where the surface layer places it. It can be the 3D device's render target: while
// mask drawing is on, the device draws into it as the 2D paths do.
int MakeSurfaceScreen(MaskState& m, int32_t width, int32_t height) {
    plat::DirectDraw* dd = GetDirectDrawObject();
    plat::SurfaceDesc desc{};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
    desc.width = static_cast<uint32_t>(width);
    desc.height = static_cast<uint32_t>(height);
    desc.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_3DDEVICE;
    plat::DrawSurface* surface = nullptr;
    if (dd == nullptr || dd->CreateSurface(&desc, &surface) != plat::DD_OK || surface == nullptr) {
        return FatalExit("マスク用サーフェスの作成に失敗しました");
    }
    plat::SurfaceCaps caps{};
    surface->GetCaps(&caps);
    m.surface = surface;
    m.isMemImg = 0;
    GetDrawState().maskInVideoMemory = (caps.caps & plat::DDSCAPS_VIDEOMEMORY) != 0 ? 1 : 0;
    return 0;
}

void ReleaseScreenOnly(MaskState& m) {
    if (m.surface != nullptr) {
        m.surface->Release();
        m.surface = nullptr;
    }
    if (m.isMemImg) ReleaseMemImg(&m.memImg);
    std::memset(&m.memImg, 0, sizeof m.memImg);
    m.isMemImg = 0;
}

void FreeBitmap(MaskState& m) {
    if (m.bits != nullptr) TrackedFree(m.bits);
    m.bits = nullptr;
    m.pitch = m.width = m.height = 0;
}

}  // namespace

int CreateMaskScreen(int32_t makeBitmap, int32_t makeScreen) {
    MaskState& m = GetMaskState();
    const TargetScreen screen = ReadTargetScreen();
    if (makeBitmap && m.bits == nullptr && MakeBitmap(m, screen.width, screen.height) != 0) {
        return -1;
    }
    if (makeScreen && !MaskScreenExists()) {
        return screen.softwareScreen ? MakeMemImgScreen(m, screen.width, screen.height)
                                     : MakeSurfaceScreen(m, screen.width, screen.height);
    }
    return 0;
}

int ReleaseMaskScreen() {
    MaskState& m = GetMaskState();
    FreeBitmap(m);
    ReleaseScreenOnly(m);
    return 0;
}

int RecreateMaskAfterRestore() {
    MaskState& m = GetMaskState();
    CreateMaskScreen(m.screenWanted, m.screenWanted);
    if (GetDrawState().maskRequested && m.bits != nullptr) SetMaskEnabled(1);
    return 0;
}

int TermMaskScreen() {
    MaskState& m = GetMaskState();
    // Surfaces are released only while the window is active; with no mask there is nothing
    // to release and no reason to hold shut-down up.
    if (m.bits != nullptr || MaskScreenExists()) WindowFactsSlot()->waitWhileInactive();
    if (GetDrawState().maskRequested && m.bits != nullptr) SetMaskEnabled(0);
    ReleaseScreenOnly(m);
    FreeBitmap(m);
    m.screenWanted = 0;
    m.reverse = 0;
    DrawState& draw = GetDrawState();
    draw.maskRequested = 0;
    draw.maskActive = 0;
    draw.maskInVideoMemory = 0;
    return 0;
}

int RequestMaskScreen(int32_t wanted) {
    if (!wanted) return TermMaskScreen();
    GetMaskState().screenWanted = 1;
    return CreateMaskScreen(1, 1);
}

int32_t MaskScreenKept() { return GetMaskState().screenWanted || MaskScreenExists() ? 1 : 0; }

int RemakeMaskScreen(int32_t enabled) {
    RequestMaskScreen(1);
    if (enabled) SetMaskEnabled(1);
    return 0;
}
