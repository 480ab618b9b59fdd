#include "platform/backend/sdl2/sdl2_text_input.h"

#include <cstring>

#include "platform/ime/ime_route.h"

namespace plat {

bool RouteSdlTextEvent(const SDL_Event& event, WindowHandle window) {
    switch (event.type) {
        case SDL_TEXTINPUT: {
            const SDL_TextInputEvent& text = event.text;
            RouteCommittedText(window, std::string_view(text.text, strnlen(text.text, sizeof(text.text))));
            return true;
        }
        case SDL_TEXTEDITING: {
            const SDL_TextEditingEvent& edit = event.edit;
            RouteComposition(window, std::string_view(edit.text, strnlen(edit.text, sizeof(edit.text))),
                             edit.start, edit.length);
            return true;
        }
        case SDL_TEXTEDITING_EXT: {
            const SDL_TextEditingExtEvent& edit = event.editExt;
            if (edit.text != nullptr) {
                RouteComposition(window, edit.text, edit.start, edit.length);
                SDL_free(edit.text);
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace plat
