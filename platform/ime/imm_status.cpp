// The open and conversion status of an input context and the switch that enables the IME.
#include "platform/ime/input_context.h"

namespace plat {

bool ImmGetOpenStatus(InputContext context) {
    ime::ContextStore& store = ime::Store();
    std::lock_guard<std::mutex> hold(store.mutex);
    const ime::ContextRecord* record = ime::FindContextLocked(store, context);
    return record != nullptr && record->open;
}

bool ImmSetOpenStatus(InputContext context, bool open) {
    std::vector<ime::PendingMessage> messages;
    {
        ime::ContextStore& store = ime::Store();
        std::lock_guard<std::mutex> hold(store.mutex);
        ime::ContextRecord* record = ime::FindContextLocked(store, context);
        if (record == nullptr) return false;
        if (record->open != open) {
            record->open = open;
            if (!open) ime::EndCompositionLocked(*record, 0, &messages);
            messages.push_back({WM_IME_NOTIFY, IMN_SETOPENSTATUS, 0});
        }
    }
    ime::PostAll(context, messages);
    return true;
}

bool ImmGetConversionStatus(InputContext context, uint32_t* conversion, uint32_t* sentence) {
    ime::ContextStore& store = ime::Store();
    std::lock_guard<std::mutex> hold(store.mutex);
    const ime::ContextRecord* record = ime::FindContextLocked(store, context);
    if (record == nullptr) return false;
    if (conversion != nullptr) *conversion = record->conversion;
    if (sentence != nullptr) *sentence = record->sentence;
    return true;
}

bool ImmSetConversionStatus(InputContext context, uint32_t conversion, uint32_t sentence) {
    bool changed = false;
    {
        ime::ContextStore& store = ime::Store();
        std::lock_guard<std::mutex> hold(store.mutex);
        ime::ContextRecord* record = ime::FindContextLocked(store, context);
        if (record == nullptr) return false;
        changed = record->conversion != conversion || record->sentence != sentence;
        record->conversion = conversion;
        record->sentence = sentence;
    }
    if (changed) PostMessage(context, WM_IME_NOTIFY, IMN_SETCONVERSIONMODE, 0);
    return true;
}

bool WINNLSEnableIME(WindowHandle /*window*/, bool enable) {
    ime::ContextStore& store = ime::Store();
    std::lock_guard<std::mutex> hold(store.mutex);
    const bool previous = store.enabled;
    store.enabled = enable;
    return previous;
}

}  // namespace plat
