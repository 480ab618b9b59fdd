// The input method manager as the library calls it: one input context per window with the
// composition string (Shift-JIS, cursor and clauses in bytes), the result strings, the
// candidate list, the open and conversion status, and the switch that enables the IME.
//
// The text comes from the desktop's own input method (SDL2's text editing events) or from
// the test controls; the context turns it into the messages a window procedure expects:
// WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION (lParam: which parts changed),
// WM_IME_ENDCOMPOSITION and WM_IME_NOTIFY (wParam: what changed), all posted to the window.
// Every call may come from any thread.
#pragma once
#include <cstdint>

#include "platform/window/window.h"

namespace plat {

// An input context; 0 is none. (A window has exactly one.)
using InputContext = uintptr_t;

// ---- WM_IME_COMPOSITION lParam and ImmGetCompositionStringA indices -----------------------
inline constexpr uint32_t GCS_COMPREADSTR = 0x0001;
inline constexpr uint32_t GCS_COMPSTR = 0x0008;
inline constexpr uint32_t GCS_COMPCLAUSE = 0x0020;
inline constexpr uint32_t GCS_CURSORPOS = 0x0080;
inline constexpr uint32_t GCS_RESULTSTR = 0x0800;
// ImmSetCompositionStringA: set the composition string.
inline constexpr uint32_t SCS_SETSTR = GCS_COMPREADSTR | GCS_COMPSTR;

// ---- WM_IME_NOTIFY wParam ------------------------------------------------------------------
inline constexpr uintptr_t IMN_CHANGECANDIDATE = 0x0003;
inline constexpr uintptr_t IMN_CLOSECANDIDATE = 0x0004;
inline constexpr uintptr_t IMN_OPENCANDIDATE = 0x0005;
inline constexpr uintptr_t IMN_SETCONVERSIONMODE = 0x0006;
inline constexpr uintptr_t IMN_SETOPENSTATUS = 0x0008;
inline constexpr uintptr_t IMN_SETCANDIDATEPOS = 0x0009;

// ---- ImmNotifyIME ---------------------------------------------------------------------------
inline constexpr uint32_t NI_COMPOSITIONSTR = 0x0015;
inline constexpr uint32_t CPS_COMPLETE = 0x0001;  // the composition becomes the result
inline constexpr uint32_t CPS_CANCEL = 0x0004;    // the composition is thrown away

// ---- errors of ImmGetCompositionStringA -------------------------------------------------------
inline constexpr int32_t IMM_ERROR_NODATA = -1;
inline constexpr int32_t IMM_ERROR_GENERAL = -2;

// The candidate list as ImmGetCandidateListA writes it: this header, `count` offsets (from the
// start of the list) and the candidates as NUL-terminated Shift-JIS strings; `size` is the
// whole list in bytes.
struct CandidateList {
    uint32_t size;
    uint32_t style;  // 1: a plain list of readings
    uint32_t count;
    uint32_t selection;
    uint32_t pageStart;
    uint32_t pageSize;
    uint32_t offset[1];
};

// The window's input context; 0 when the window does not exist.
InputContext ImmGetContext(WindowHandle window);
// Gives a context taken with ImmGetContext back. True for a live pair.
bool ImmReleaseContext(WindowHandle window, InputContext context);
// The window of the IME's own user interface: the window itself (the IME shows nothing of its
// own); 0 for no window.
WindowHandle ImmGetDefaultIMEWnd(WindowHandle window);

// index GCS_COMPSTR or GCS_RESULTSTR: the string's bytes (no terminator) are copied when the
// buffer holds them all, and their count is returned; with no buffer or bufferBytes 0 only the
// count. Reading the result string into a buffer takes it: each result is read once, oldest
// first, so that results that come faster than their messages are not lost.
// GCS_CURSORPOS: the cursor's byte offset in the composition string (nothing is copied).
// GCS_COMPCLAUSE: the clauses' starting byte offsets and the string's length, 32 bits each
// (count in bytes returned). Unknown index: IMM_ERROR_GENERAL; no context: IMM_ERROR_NODATA.
// A buffer too small for the whole data: 0 and nothing copied.
int32_t ImmGetCompositionStringA(InputContext context, uint32_t index, void* buffer,
                                 uint32_t bufferBytes);
// SCS_SETSTR: the composition becomes the given Shift-JIS string (compBytes bytes, stopping at
// a NUL), the cursor at its end; a composition starts if none was running. The reading string
// is ignored. False for another index or no context.
bool ImmSetCompositionStringA(InputContext context, uint32_t index, const void* comp,
                              uint32_t compBytes, const void* read, uint32_t readBytes);
// NI_COMPOSITIONSTR with CPS_CANCEL (the composition is thrown away) or CPS_COMPLETE (it
// becomes a result string); the composition ends. False otherwise.
bool ImmNotifyIME(InputContext context, uint32_t action, uint32_t index, uint32_t value);

// Open status; a change posts WM_IME_NOTIFY(IMN_SETOPENSTATUS), and closing cancels a running
// composition.
bool ImmGetOpenStatus(InputContext context);
bool ImmSetOpenStatus(InputContext context, bool open);
// Conversion and sentence mode, as last set (0, 0 at first); setting posts
// WM_IME_NOTIFY(IMN_SETCONVERSIONMODE) when they change.
bool ImmGetConversionStatus(InputContext context, uint32_t* conversion, uint32_t* sentence);
bool ImmSetConversionStatus(InputContext context, uint32_t conversion, uint32_t sentence);

// The candidate list (index 0 only) in CandidateList form: its size in bytes with no buffer or
// bufferBytes 0, else the bytes copied (0 when the buffer is too small, there is no list or
// the index is not 0).
uint32_t ImmGetCandidateListA(InputContext context, uint32_t index, CandidateList* buffer,
                              uint32_t bufferBytes);

// Enables (the default) or disables the IME for every window: while disabled no composition
// starts, and what the desktop's input method commits comes as WM_CHAR like typed text.
// Returns the previous state.
bool WINNLSEnableIME(WindowHandle window, bool enable);

}  // namespace plat
