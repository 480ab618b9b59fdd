// The composition string of an input context: reading it, setting it, completing and
// cancelling it.
#include <cstring>

#include "platform/ime/input_context.h"

namespace plat {

namespace {

// Copies data when the buffer holds all of it; the count, or 0 when it does not fit.
int32_t CopyOut(const void* data, uint32_t bytes, void* buffer, uint32_t bufferBytes) {
    if (buffer == nullptr || bufferBytes == 0) return static_cast<int32_t>(bytes);
    if (bufferBytes < bytes) return 0;
    if (bytes != 0) std::memcpy(buffer, data, bytes);
    return static_cast<int32_t>(bytes);
}

}  // namespace

InputContext ImmGetContext(WindowHandle window) { return IsWindow(window) ? window : 0; }

bool ImmReleaseContext(WindowHandle window, InputContext context) {
    return context != 0 && context == window && IsWindow(window);
}

WindowHandle ImmGetDefaultIMEWnd(WindowHandle window) { return IsWindow(window) ? window : 0; }

int32_t ImmGetCompositionStringA(InputContext context, uint32_t index, void* buffer,
                                 uint32_t bufferBytes) {
    ime::ContextStore& store = ime::Store();
    std::lock_guard<std::mutex> hold(store.mutex);
    ime::ContextRecord* record = ime::FindContextLocked(store, context);
    if (record == nullptr) return IMM_ERROR_NODATA;
    switch (index) {
        case GCS_COMPSTR:
            return CopyOut(record->composition.data(),
                           static_cast<uint32_t>(record->composition.size()), buffer,
                           bufferBytes);
        case GCS_RESULTSTR: {
            if (record->results.empty()) return 0;
            const std::string& result = record->results.front();
            const int32_t copied = CopyOut(result.data(), static_cast<uint32_t>(result.size()),
                                           buffer, bufferBytes);
            const bool taken = buffer != nullptr && bufferBytes != 0 &&
                               (copied != 0 || result.empty());
            if (taken) record->results.pop_front();
            return copied;
        }
        case GCS_CURSORPOS:
            return static_cast<int32_t>(record->cursor);
        case GCS_COMPCLAUSE:
            return CopyOut(record->clauses.data(),
                           static_cast<uint32_t>(record->clauses.size() * sizeof(uint32_t)),
                           buffer, bufferBytes);
        default:
            return IMM_ERROR_GENERAL;
    }
}

bool ImmSetCompositionStringA(InputContext context, uint32_t index, const void* comp,
                              uint32_t compBytes, const void* /*read*/, uint32_t /*readBytes*/) {
    if (index != SCS_SETSTR) return false;
    std::vector<ime::PendingMessage> messages;
    {
        ime::ContextStore& store = ime::Store();
        std::lock_guard<std::mutex> hold(store.mutex);
        ime::ContextRecord* record = ime::FindContextLocked(store, context);
        if (record == nullptr || (comp == nullptr && compBytes != 0)) return false;
        const char* text = static_cast<const char*>(comp);
        const size_t length = text == nullptr ? 0 : strnlen(text, compBytes);
        if (!record->composing) {
            record->composing = true;
            messages.push_back({WM_IME_STARTCOMPOSITION, 0, 0});
        }
        record->composition.assign(text == nullptr ? "" : text, length);
        record->cursor = static_cast<uint32_t>(length);
        record->clauses.clear();
        messages.push_back({WM_IME_COMPOSITION, ime::LastCharCode(record->composition),
                            static_cast<LParam>(GCS_COMPSTR | GCS_CURSORPOS)});
    }
    ime::PostAll(context, messages);
    return true;
}

bool ImmNotifyIME(InputContext context, uint32_t action, uint32_t index, uint32_t /*value*/) {
    if (action != NI_COMPOSITIONSTR || (index != CPS_CANCEL && index != CPS_COMPLETE)) {
        return false;
    }
    std::vector<ime::PendingMessage> messages;
    {
        ime::ContextStore& store = ime::Store();
        std::lock_guard<std::mutex> hold(store.mutex);
        ime::ContextRecord* record = ime::FindContextLocked(store, context);
        if (record == nullptr) return false;
        if (index == CPS_COMPLETE && record->composing && !record->composition.empty()) {
            record->results.push_back(record->composition);
            ime::EndCompositionLocked(*record, static_cast<LParam>(GCS_RESULTSTR), &messages);
        } else {
            ime::EndCompositionLocked(*record, 0, &messages);
        }
    }
    ime::PostAll(context, messages);
    return true;
}

}  // namespace plat
