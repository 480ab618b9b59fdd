#include "platform/ime/input_context.h"

#include <algorithm>

#include "platform/core/text_encoding.h"

namespace plat::ime {

ContextStore& Store() {
    static ContextStore store;
    return store;
}

ContextRecord* FindContextLocked(ContextStore& store, WindowHandle window) {
    auto& contexts = store.contexts;
    auto it = std::find_if(contexts.begin(), contexts.end(),
                           [window](const auto& entry) { return entry.first == window; });
    if (!IsWindow(window)) {
        // The window is gone: so is its context.
        if (it != contexts.end()) contexts.erase(it);
        return nullptr;
    }
    if (it != contexts.end()) return &it->second;
    contexts.emplace_back(window, ContextRecord{});
    return &contexts.back().second;
}

void PostAll(WindowHandle window, const std::vector<PendingMessage>& messages) {
    for (const PendingMessage& m : messages) PostMessage(window, m.message, m.wParam, m.lParam);
}

WParam LastCharCode(const std::string& sjis) {
    WParam code = 0;
    for (size_t i = 0; i < sjis.size(); ++i) {
        const auto lead = static_cast<unsigned char>(sjis[i]);
        if (IsSjisLeadByte(lead) && i + 1 < sjis.size()) {
            code = (static_cast<WParam>(lead) << 8) | static_cast<unsigned char>(sjis[i + 1]);
            ++i;
        } else {
            code = lead;
        }
    }
    return code;
}

void EndCompositionLocked(ContextRecord& record, LParam changes,
                          std::vector<PendingMessage>* out) {
    if (!record.composing) return;
    record.composing = false;
    record.composition.clear();
    record.cursor = 0;
    record.clauses.clear();
    out->push_back({WM_IME_COMPOSITION, 0, changes});
    out->push_back({WM_IME_ENDCOMPOSITION, 0, 0});
}

void ResetContexts() {
    ContextStore& store = Store();
    std::lock_guard<std::mutex> hold(store.mutex);
    store.contexts.clear();
    store.enabled = true;
}

}  // namespace plat::ime
