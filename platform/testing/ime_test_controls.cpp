#include "platform/testing/ime_test_controls.h"

#include "platform/ime/ime_route.h"
#include "platform/ime/input_context.h"

namespace plat {

void ResetImeTestControls() { ime::ResetContexts(); }

void InjectComposition(WindowHandle window, const std::string& utf8, int32_t cursorChars,
                       int32_t selectionChars) {
    RouteComposition(window, utf8, cursorChars, selectionChars);
}

void InjectCommittedText(WindowHandle window, const std::string& utf8) {
    RouteCommittedText(window, utf8);
}

void InjectCandidates(WindowHandle window, const std::vector<std::string>& utf8,
                      uint32_t selection) {
    RouteCandidates(window, utf8, selection);
}

bool TestImeEnabled() {
    ime::ContextStore& store = ime::Store();
    std::lock_guard<std::mutex> hold(store.mutex);
    return store.enabled;
}

}  // namespace plat
