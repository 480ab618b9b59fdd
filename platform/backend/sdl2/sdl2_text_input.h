// Internal to the platform layer: SDL2's text events as the IME route takes them.
#pragma once
#include <SDL.h>

#include "platform/window/window.h"

namespace plat {

// SDL_TEXTEDITING and SDL_TEXTEDITING_EXT become the window's composition (text, cursor at
// `start`, selected stretch of `length` characters; empty text ends the composition), and
// SDL_TEXTINPUT the committed text (a composition's result, else WM_CHAR bytes). The text of an
// SDL_TEXTEDITING_EXT event is freed here, as SDL asks of its receiver. False for any other
// event, which is left alone.
bool RouteSdlTextEvent(const SDL_Event& event, WindowHandle window);

}  // namespace plat
