// Internal to the platform layer: the route by which the desktop's input method reaches the
// input contexts. The SDL2 backend reports its text events here, and the IME test controls
// inject the same events here. Text arrives as UTF-8 and is stored as Shift-JIS; the
// messages are posted to the window.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/window.h"

namespace plat {

// The whole composition string as it stands now, with the cursor and the selected stretch
// (the clause being converted) in characters. A first non-empty composition opens a closed
// context (WM_IME_NOTIFY(IMN_SETOPENSTATUS)) and starts the composition
// (WM_IME_STARTCOMPOSITION); every one posts WM_IME_COMPOSITION with GCS_COMPSTR,
// GCS_CURSORPOS and GCS_COMPCLAUSE. Empty text ends a running composition
// (WM_IME_COMPOSITION with no parts, WM_IME_ENDCOMPOSITION). Ignored while the IME is disabled.
void RouteComposition(WindowHandle window, std::string_view utf8, int32_t cursorChars,
                      int32_t selectionChars);
// Committed text: while a composition runs it becomes the result string (WM_IME_COMPOSITION
// with GCS_RESULTSTR, then WM_IME_ENDCOMPOSITION); otherwise it is typed text, one WM_CHAR per
// Shift-JIS byte, lead byte first.
void RouteCommittedText(WindowHandle window, std::string_view utf8);
// The conversion candidates with the selected one: WM_IME_NOTIFY with IMN_OPENCANDIDATE for a
// new list, IMN_CHANGECANDIDATE for a changed one. Ignored while the IME is disabled.
void RouteCandidates(WindowHandle window, const std::vector<std::string>& utf8,
                     uint32_t selection);
// The candidate list went away: WM_IME_NOTIFY(IMN_CLOSECANDIDATE) when there was one.
void RouteCandidatesClosed(WindowHandle window);

}  // namespace plat
