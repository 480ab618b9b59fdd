// Internal to the platform layer: the input contexts behind imm.h, one per window, kept under
// one mutex. Text is stored as Shift-JIS, converted when it arrives.
#pragma once
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ime/imm.h"

namespace plat::ime {

struct ContextRecord {
    bool open = false;
    bool composing = false;
    std::string composition;          // Shift-JIS
    uint32_t cursor = 0;              // byte offset in composition
    std::vector<uint32_t> clauses;    // clause starts in bytes, then the length; empty: none
    std::deque<std::string> results;  // committed strings not read yet, oldest first
    std::vector<std::string> candidates;  // Shift-JIS
    uint32_t selection = 0;
    uint32_t pageStart = 0;
    uint32_t pageSize = 0;
    uint32_t conversion = 0;
    uint32_t sentence = 0;
};

// A message to post once the store's lock is let go.
struct PendingMessage {
    uint32_t message;
    WParam wParam;
    LParam lParam;
};

struct ContextStore {
    std::mutex mutex;
    std::vector<std::pair<WindowHandle, ContextRecord>> contexts;
    bool enabled = true;
};

ContextStore& Store();

// The window's record, made on first use; null for no window. Call with the mutex held.
ContextRecord* FindContextLocked(ContextStore& store, WindowHandle window);

// Posts the messages in order to the window.
void PostAll(WindowHandle window, const std::vector<PendingMessage>& messages);

// The Shift-JIS code of the last character of text (lead byte high), 0 for empty text; the
// wParam of WM_IME_COMPOSITION.
WParam LastCharCode(const std::string& sjis);

// Ends a running composition of record: appends the messages (WM_IME_COMPOSITION with lParam
// `changes`, then WM_IME_ENDCOMPOSITION) and clears the composition string, cursor and
// clauses. Nothing when no composition runs.
void EndCompositionLocked(ContextRecord& record, LParam changes,
                          std::vector<PendingMessage>* out);

// Forgets every context and enables the IME again (test reset).
void ResetContexts();

}  // namespace plat::ime
