// Message numbers and constants of the window layer. The values are the numbers the library's
// window procedure and message pump are written against; the names are the ones it uses.
#pragma once
#include <cstdint>

namespace plat {

// ---- window messages --------------------------------------------------------------------
inline constexpr uint32_t WM_NULL = 0x0000;
inline constexpr uint32_t WM_CREATE = 0x0001;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_MOVE = 0x0003;
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_ACTIVATE = 0x0006;
inline constexpr uint32_t WM_PAINT = 0x000F;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUIT = 0x0012;
inline constexpr uint32_t WM_SHOWWINDOW = 0x0018;
inline constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
inline constexpr uint32_t WM_SETCURSOR = 0x0020;
inline constexpr uint32_t WM_DISPLAYCHANGE = 0x007E;
inline constexpr uint32_t WM_NCDESTROY = 0x0082;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_CHAR = 0x0102;
inline constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr uint32_t WM_SYSCHAR = 0x0106;
inline constexpr uint32_t WM_IME_STARTCOMPOSITION = 0x010D;
inline constexpr uint32_t WM_IME_ENDCOMPOSITION = 0x010E;
inline constexpr uint32_t WM_IME_COMPOSITION = 0x010F;
inline constexpr uint32_t WM_COMMAND = 0x0111;
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uint32_t WM_TIMER = 0x0113;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
inline constexpr uint32_t WM_SIZING = 0x0214;
inline constexpr uint32_t WM_MOVING = 0x0216;
inline constexpr uint32_t WM_DROPFILES = 0x0233;
inline constexpr uint32_t WM_IME_SETCONTEXT = 0x0281;
inline constexpr uint32_t WM_IME_NOTIFY = 0x0282;
inline constexpr uint32_t MM_MCINOTIFY = 0x03B9;
inline constexpr uint32_t WM_USER = 0x0400;
// The library's private messages: the F10 key-held flag and the second input flag (sent by a
// keyboard hook), and the socket notification.
inline constexpr uint32_t WM_F10_FLAG = 0x046F;
inline constexpr uint32_t WM_SECOND_INPUT_FLAG = 0x0470;
inline constexpr uint32_t WM_SOCKET_NOTIFY = 0x0505;

// ---- message parameters -----------------------------------------------------------------
// WM_SIZE wParam.
inline constexpr uintptr_t SIZE_RESTORED = 0;
inline constexpr uintptr_t SIZE_MINIMIZED = 1;
inline constexpr uintptr_t SIZE_MAXIMIZED = 2;
// WM_ACTIVATE low word of wParam; the high word is non-zero when the window is minimised.
inline constexpr uintptr_t WA_INACTIVE = 0;
inline constexpr uintptr_t WA_ACTIVE = 1;
inline constexpr uintptr_t WA_CLICKACTIVE = 2;
// WM_SYSCOMMAND wParam.
inline constexpr uintptr_t SC_MINIMIZE = 0xF020;
inline constexpr uintptr_t SC_MAXIMIZE = 0xF030;
inline constexpr uintptr_t SC_CLOSE = 0xF060;
inline constexpr uintptr_t SC_KEYMENU = 0xF100;
inline constexpr uintptr_t SC_RESTORE = 0xF120;
inline constexpr uintptr_t SC_SCREENSAVE = 0xF140;
inline constexpr uintptr_t SC_MONITORPOWER = 0xF170;
// Mouse-message key state (wParam of the mouse messages).
inline constexpr uintptr_t MK_LBUTTON = 0x01;
inline constexpr uintptr_t MK_RBUTTON = 0x02;
inline constexpr uintptr_t MK_SHIFT = 0x04;
inline constexpr uintptr_t MK_CONTROL = 0x08;
inline constexpr uintptr_t MK_MBUTTON = 0x10;
// One notch of the mouse wheel (the high word of WM_MOUSEWHEEL's wParam, signed).
inline constexpr int32_t WHEEL_DELTA = 120;

// ---- peeking ----------------------------------------------------------------------------
inline constexpr uint32_t PM_NOREMOVE = 0x0000;
inline constexpr uint32_t PM_REMOVE = 0x0001;
inline constexpr uint32_t PM_NOYIELD = 0x0002;

// ---- window classes and styles ----------------------------------------------------------
inline constexpr uint32_t CS_VREDRAW = 0x0001;
inline constexpr uint32_t CS_HREDRAW = 0x0002;

inline constexpr uint32_t WS_OVERLAPPED = 0x00000000;
inline constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;
inline constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
inline constexpr uint32_t WS_THICKFRAME = 0x00040000;
inline constexpr uint32_t WS_SYSMENU = 0x00080000;
inline constexpr uint32_t WS_CAPTION = 0x00C00000;
inline constexpr uint32_t WS_VISIBLE = 0x10000000;
inline constexpr uint32_t WS_POPUP = 0x80000000;
inline constexpr uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;

inline constexpr uint32_t WS_EX_TOPMOST = 0x00000008;
inline constexpr uint32_t WS_EX_ACCEPTFILES = 0x00000010;
inline constexpr uint32_t WS_EX_TRANSPARENT = 0x00000020;
inline constexpr uint32_t WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr uint32_t WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr uint32_t WS_EX_CLIENTEDGE = 0x00000200;

// Position or size "let the system choose" for CreateWindow.
inline constexpr int32_t CW_USEDEFAULT = static_cast<int32_t>(0x80000000u);

// ---- showing and placing ----------------------------------------------------------------
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;

inline constexpr uint32_t SWP_NOSIZE = 0x0001;
inline constexpr uint32_t SWP_NOMOVE = 0x0002;
inline constexpr uint32_t SWP_NOZORDER = 0x0004;
inline constexpr uint32_t SWP_NOREDRAW = 0x0008;
inline constexpr uint32_t SWP_NOACTIVATE = 0x0010;
inline constexpr uint32_t SWP_SHOWWINDOW = 0x0040;
inline constexpr uint32_t SWP_HIDEWINDOW = 0x0080;

// ---- message boxes ----------------------------------------------------------------------
inline constexpr uint32_t MB_OK = 0x00000000;
inline constexpr uint32_t MB_OKCANCEL = 0x00000001;
inline constexpr uint32_t MB_YESNOCANCEL = 0x00000003;
inline constexpr uint32_t MB_YESNO = 0x00000004;
inline constexpr uint32_t MB_ICONERROR = 0x00000010;
inline constexpr uint32_t MB_ICONQUESTION = 0x00000020;
inline constexpr uint32_t MB_ICONWARNING = 0x00000030;
inline constexpr uint32_t MB_ICONINFORMATION = 0x00000040;
inline constexpr uint32_t MB_TYPEMASK = 0x0000000F;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// ---- virtual keys -----------------------------------------------------------------------
// Letters are 'A'..'Z' and the top-row digits '0'..'9'.
inline constexpr uint32_t VK_LBUTTON = 0x01;
inline constexpr uint32_t VK_RBUTTON = 0x02;
inline constexpr uint32_t VK_MBUTTON = 0x04;
inline constexpr uint32_t VK_BACK = 0x08;
inline constexpr uint32_t VK_TAB = 0x09;
inline constexpr uint32_t VK_RETURN = 0x0D;
inline constexpr uint32_t VK_SHIFT = 0x10;
inline constexpr uint32_t VK_CONTROL = 0x11;
inline constexpr uint32_t VK_MENU = 0x12;  // Alt
inline constexpr uint32_t VK_PAUSE = 0x13;
inline constexpr uint32_t VK_CAPITAL = 0x14;
inline constexpr uint32_t VK_KANA = 0x15;
inline constexpr uint32_t VK_KANJI = 0x19;
inline constexpr uint32_t VK_ESCAPE = 0x1B;
inline constexpr uint32_t VK_CONVERT = 0x1C;
inline constexpr uint32_t VK_NONCONVERT = 0x1D;
inline constexpr uint32_t VK_SPACE = 0x20;
inline constexpr uint32_t VK_PRIOR = 0x21;
inline constexpr uint32_t VK_NEXT = 0x22;
inline constexpr uint32_t VK_END = 0x23;
inline constexpr uint32_t VK_HOME = 0x24;
inline constexpr uint32_t VK_LEFT = 0x25;
inline constexpr uint32_t VK_UP = 0x26;
inline constexpr uint32_t VK_RIGHT = 0x27;
inline constexpr uint32_t VK_DOWN = 0x28;
inline constexpr uint32_t VK_SNAPSHOT = 0x2C;
inline constexpr uint32_t VK_INSERT = 0x2D;
inline constexpr uint32_t VK_DELETE = 0x2E;
inline constexpr uint32_t VK_LWIN = 0x5B;
inline constexpr uint32_t VK_RWIN = 0x5C;
inline constexpr uint32_t VK_APPS = 0x5D;
inline constexpr uint32_t VK_NUMPAD0 = 0x60;  // .. VK_NUMPAD9 = 0x69
inline constexpr uint32_t VK_MULTIPLY = 0x6A;
inline constexpr uint32_t VK_ADD = 0x6B;
inline constexpr uint32_t VK_SUBTRACT = 0x6D;
inline constexpr uint32_t VK_DECIMAL = 0x6E;
inline constexpr uint32_t VK_DIVIDE = 0x6F;
inline constexpr uint32_t VK_F1 = 0x70;  // .. VK_F12 = 0x7B
inline constexpr uint32_t VK_F4 = 0x73;
inline constexpr uint32_t VK_F10 = 0x79;
inline constexpr uint32_t VK_F12 = 0x7B;
inline constexpr uint32_t VK_NUMLOCK = 0x90;
inline constexpr uint32_t VK_SCROLL = 0x91;
inline constexpr uint32_t VK_OEM_1 = 0xBA;       // ;:
inline constexpr uint32_t VK_OEM_PLUS = 0xBB;    // =+ (;+ on a Japanese keyboard)
inline constexpr uint32_t VK_OEM_COMMA = 0xBC;
inline constexpr uint32_t VK_OEM_MINUS = 0xBD;
inline constexpr uint32_t VK_OEM_PERIOD = 0xBE;
inline constexpr uint32_t VK_OEM_2 = 0xBF;       // /?
inline constexpr uint32_t VK_OEM_3 = 0xC0;       // `~ (@ on a Japanese keyboard)
inline constexpr uint32_t VK_OEM_4 = 0xDB;       // [{
inline constexpr uint32_t VK_OEM_5 = 0xDC;       // \| (yen)
inline constexpr uint32_t VK_OEM_6 = 0xDD;       // ]}
inline constexpr uint32_t VK_OEM_7 = 0xDE;       // '"
inline constexpr uint32_t VK_OEM_102 = 0xE2;     // \_ (ro)

// ---- parameter packing ------------------------------------------------------------------
inline constexpr intptr_t MakeLParam(int32_t low, int32_t high) {
    return static_cast<intptr_t>(static_cast<int32_t>(
        (static_cast<uint32_t>(low) & 0xFFFFu) | ((static_cast<uint32_t>(high) & 0xFFFFu) << 16)));
}
inline constexpr uintptr_t MakeWParam(uint32_t low, uint32_t high) {
    return static_cast<uintptr_t>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
inline constexpr uint32_t LowWord(uintptr_t value) { return static_cast<uint32_t>(value & 0xFFFFu); }
inline constexpr uint32_t HighWord(uintptr_t value) {
    return static_cast<uint32_t>((value >> 16) & 0xFFFFu);
}
// The low and high words read as signed 16-bit values (positions, wheel deltas).
inline constexpr int32_t SignedLowWord(uintptr_t value) {
    return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFFu));
}
inline constexpr int32_t SignedHighWord(uintptr_t value) {
    return static_cast<int16_t>(static_cast<uint16_t>((value >> 16) & 0xFFFFu));
}

}  // namespace plat
