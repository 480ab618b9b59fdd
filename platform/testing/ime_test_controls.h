// Test controls of the input method (platform/ime/imm.h): the desktop's composition, committed
// text and candidate lists injected through the same route the SDL2 backend uses, and a look
// at the state the input contexts keep. Only tests use them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/window.h"

namespace plat {

// Forgets every input context and enables the IME again.
void ResetImeTestControls();

// The composition as it stands (UTF-8), cursor and selected stretch in characters, as an
// SDL_TEXTEDITING event brings it; empty text ends the composition.
void InjectComposition(WindowHandle window, const std::string& utf8, int32_t cursorChars,
                       int32_t selectionChars = 0);
// Committed text (UTF-8) as an SDL_TEXTINPUT event brings it: the running composition's
// result, else one WM_CHAR per Shift-JIS byte.
void InjectCommittedText(WindowHandle window, const std::string& utf8);
// A candidate list with its selected entry; an empty list closes the list.
void InjectCandidates(WindowHandle window, const std::vector<std::string>& utf8,
                      uint32_t selection);

// Whether the IME is enabled (WINNLSEnableIME).
bool TestImeEnabled();

}  // namespace plat
