#include "system/window_styles.h"

#include "platform/window/window_messages.h"
#include "system/window_data.h"

namespace {

struct StyleRow {
    WindowStylePair windowed;
    WindowStylePair fullScreen;
};

constexpr StyleRow kStyleTable[kWindowStyleModes] = {
    {{0x80CA0000u, 0x300u}, {0x80000000u, 0x8u}},
    {{0x80080000u, 0x300u}, {0x80000000u, 0x8u}},
    {{0x80080000u, 0x000u}, {0x80000000u, 0x8u}},
    {{0x80CA0000u, 0x080u}, {0x80000000u, 0x8u}},
    {{0x80080000u, 0x080u}, {0x80000000u, 0x8u}},
    {{0x80C80000u, 0x100u}, {0x00000000u, 0x0u}},
    {{0x80CA0000u, 0x000u}, {0x00000000u, 0x0u}},
};

const StyleRow& CurrentRow() {
    const uint32_t mode = GetWindowData().settings.styleMode;
    return kStyleTable[mode < kWindowStyleModes ? mode : 0];
}

}  // namespace

WindowStylePair GetWindowedStyle() {
    const WindowData& data = GetWindowData();
    WindowStylePair pair = CurrentRow().windowed;
    if (data.settings.modeChangeSwitch == 1) pair.style |= plat::WS_MAXIMIZEBOX;
    if (data.settings.styleApplied == 1) pair.style |= plat::WS_VISIBLE;
    if (data.window.resizable == 1) pair.style |= plat::WS_THICKFRAME;
    if (data.settings.hiddenWindow == 1) pair.exStyle |= plat::WS_EX_TRANSPARENT;
    return pair;
}

WindowStylePair GetFullScreenStyle() { return CurrentRow().fullScreen; }
