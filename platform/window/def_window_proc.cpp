// Default handling of window messages.
#include "platform/window/window.h"

namespace plat {

LResult DefWindowProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_PAINT:
            BeginPaint(window, nullptr);
            EndPaint(window);
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE: SendMessage(window, WM_CLOSE, 0, 0); break;
                case SC_MINIMIZE: ShowWindow(window, SW_MINIMIZE); break;
                case SC_MAXIMIZE: ShowWindow(window, SW_MAXIMIZE); break;
                case SC_RESTORE: ShowWindow(window, SW_RESTORE); break;
                default: break;
            }
            return 0;
        case WM_SYSKEYDOWN:
            // Alt+F4 (bit 29 of lParam: Alt held) asks to close the window.
            if (wParam == VK_F4 && (lParam & (1 << 29)) != 0) {
                PostMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        default:
            return 0;
    }
}

}  // namespace plat
