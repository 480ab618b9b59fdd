#include "system/window_mode.h"

#include <cstddef>

#include "base/log.h"
#include "graphics/screen/screen.h"
#include "graphics/screen_setup/screen_setup.h"
#include "platform/core/clock.h"
#include "platform/window/window.h"
#include "system/message_pump.h"
#include "system/window_data.h"
#include "system/window_placement.h"

namespace {

// First byte of a double-byte Shift-JIS character.
bool IsSjisLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Copies text into out (size bytes with the terminator), stopping before a double-byte
// character that would not fit whole.
void CopySjisBounded(char* out, size_t size, const char* text) {
    size_t n = 0;
    if (text != nullptr) {
        while (text[n] != '\0') {
            const size_t width =
                IsSjisLeadByte(static_cast<unsigned char>(text[n])) && text[n + 1] != '\0' ? 2 : 1;
            if (n + width > size - 1) break;
            n += width;
        }
        for (size_t i = 0; i < n; ++i) out[i] = text[i];
    }
    out[n] = '\0';
}

// Pumps until WM_DISPLAYCHANGE has been seen, the pump reports quit, or the wait has lasted
// kDisplayChangeWaitMs (a mode change that changed nothing on the display brings no message).
void WaitForDisplayChange(const WindowState& window) {
    const uint32_t start = plat::MillisecondClock();
    while (window.displayChanged == 0) {
        if (ProcessMessage() != 0 || window.displayChanged != 0) return;
        if (plat::MillisecondClock() - start >= kDisplayChangeWaitMs) {
            LogWrite("ディスプレイ変更の通知が来ないまま待機を終了しました\n");
            return;
        }
        plat::SleepMs(1);
    }
}

}  // namespace

int SetWindowedFlag(int windowed) {
    GetWindowData().settings.windowed = windowed != 0 ? 1 : 0;
    LogWrite(windowed != 0 ? "ウインドウモードフラグが立てられました\n"
                           : "ウインドウモードフラグが倒されました\n");
    return 0;
}

int ChangeWindowMode(int windowed) {
    WindowData& data = GetWindowData();
    LogWrite("ChangeWindowMode実行 \n");
    const uint32_t wanted = windowed != 0 ? 1 : 0;
    if (data.settings.windowed == wanted) return 0;
    data.settings.styleApplied = 1;
    SetWindowedFlag(windowed);
    WindowState& window = data.window;
    if (window.handle == 0) return 0;

    window.modeChangeInProgress = 1;
    window.displayChanged = 0;
    ApplyWindowModeStyle();
    const int result = ChangeScreenMode(-1, -1, -1, 1, -1);
    WaitForDisplayChange(window);
    window.modeChangeInProgress = 0;
    return result;
}

int SetWindowTitle(const char* text) {
    WindowData& data = GetWindowData();
    CopySjisBounded(data.settings.title, sizeof(data.settings.title), text);
    if (data.window.handle != 0) plat::SetWindowText(data.window.handle, data.settings.title);
    return 0;
}
