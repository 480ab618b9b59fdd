#include "platform/ime/ime_route.h"

#include <algorithm>

#include "platform/core/text_encoding.h"
#include "platform/ime/input_context.h"
#include "platform/window/window_route.h"

namespace plat {

namespace {

// Candidates shown on one page of the list.
constexpr uint32_t kCandidatePageSize = 9;

// The Shift-JIS length of the first `chars` characters of utf8 (clamped to the text).
uint32_t SjisOffsetOfChar(std::string_view utf8, int32_t chars) {
    if (chars <= 0) return 0;
    size_t end = 0;
    int32_t seen = 0;
    while (end < utf8.size()) {
        // A character starts at every byte that is not a continuation byte.
        if ((static_cast<unsigned char>(utf8[end]) & 0xC0) != 0x80) {
            if (seen == chars) break;
            ++seen;
        }
        ++end;
    }
    return static_cast<uint32_t>(Utf8ToSjis(utf8.substr(0, end)).size());
}

// Clause starts and the length: one clause, or the selected stretch as a clause of its own.
std::vector<uint32_t> ClausesOf(std::string_view utf8, int32_t cursorChars,
                                int32_t selectionChars, uint32_t length) {
    std::vector<uint32_t> bounds = {0, length};
    if (selectionChars > 0 && cursorChars >= 0) {
        bounds.push_back(SjisOffsetOfChar(utf8, cursorChars));
        bounds.push_back(SjisOffsetOfChar(utf8, cursorChars + selectionChars));
    }
    std::sort(bounds.begin(), bounds.end());
    bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
    return bounds;
}

}  // namespace

void RouteComposition(WindowHandle window, std::string_view utf8, int32_t cursorChars,
                      int32_t selectionChars) {
    std::vector<ime::PendingMessage> messages;
    {
        ime::ContextStore& store = ime::Store();
        std::lock_guard<std::mutex> hold(store.mutex);
        if (!store.enabled) return;
        ime::ContextRecord* record = ime::FindContextLocked(store, window);
        if (record == nullptr) return;
        if (utf8.empty()) {
            ime::EndCompositionLocked(*record, 0, &messages);
        } else {
            if (!record->open) {
                record->open = true;
                messages.push_back({WM_IME_NOTIFY, IMN_SETOPENSTATUS, 0});
            }
            if (!record->composing) {
                record->composing = true;
                messages.push_back({WM_IME_STARTCOMPOSITION, 0, 0});
            }
            record->composition = Utf8ToSjis(utf8);
            const auto length = static_cast<uint32_t>(record->composition.size());
            record->cursor = std::min(SjisOffsetOfChar(utf8, cursorChars), length);
            record->clauses = ClausesOf(utf8, cursorChars, selectionChars, length);
            messages.push_back({WM_IME_COMPOSITION, ime::LastCharCode(record->composition),
                                static_cast<LParam>(GCS_COMPSTR | GCS_CURSORPOS |
                                                    GCS_COMPCLAUSE)});
        }
    }
    ime::PostAll(window, messages);
}

void RouteCommittedText(WindowHandle window, std::string_view utf8) {
    if (utf8.empty()) return;
    std::vector<ime::PendingMessage> messages;
    {
        ime::ContextStore& store = ime::Store();
        std::lock_guard<std::mutex> hold(store.mutex);
        ime::ContextRecord* record = ime::FindContextLocked(store, window);
        if (record == nullptr) return;
        if (store.enabled && record->composing) {
            record->results.push_back(Utf8ToSjis(utf8));
            ime::EndCompositionLocked(*record, static_cast<LParam>(GCS_RESULTSTR), &messages);
        }
    }
    if (messages.empty()) {
        RouteText(window, utf8);
    } else {
        ime::PostAll(window, messages);
    }
}

void RouteCandidates(WindowHandle window, const std::vector<std::string>& utf8,
                     uint32_t selection) {
    if (utf8.empty()) {
        RouteCandidatesClosed(window);
        return;
    }
    uintptr_t change = 0;
    {
        ime::ContextStore& store = ime::Store();
        std::lock_guard<std::mutex> hold(store.mutex);
        if (!store.enabled) return;
        ime::ContextRecord* record = ime::FindContextLocked(store, window);
        if (record == nullptr) return;
        change = record->candidates.empty() ? IMN_OPENCANDIDATE : IMN_CHANGECANDIDATE;
        record->candidates.clear();
        for (const std::string& candidate : utf8) record->candidates.push_back(Utf8ToSjis(candidate));
        const auto count = static_cast<uint32_t>(record->candidates.size());
        record->selection = std::min(selection, count - 1);
        record->pageStart = record->selection / kCandidatePageSize * kCandidatePageSize;
        record->pageSize = std::min(kCandidatePageSize, count - record->pageStart);
    }
    PostMessage(window, WM_IME_NOTIFY, change, 0);
}

void RouteCandidatesClosed(WindowHandle window) {
    {
        ime::ContextStore& store = ime::Store();
        std::lock_guard<std::mutex> hold(store.mutex);
        ime::ContextRecord* record = ime::FindContextLocked(store, window);
        if (record == nullptr || record->candidates.empty()) return;
        record->candidates.clear();
        record->selection = record->pageStart = record->pageSize = 0;
    }
    PostMessage(window, WM_IME_NOTIFY, IMN_CLOSECANDIDATE, 0);
}

}  // namespace plat
