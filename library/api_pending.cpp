// The public entries whose routines the library does not have yet. Each one keeps the shape of
// a locked entry (lock, call, unlock, return) around PendingEntry, which writes one log line
// naming the entry and answers -1; the entry turns that into its type's failure (a null
// pointer, colour 0). When a routine arrives, its entry moves to api.cpp with the real call.
#include "library/public/api.h"

#include "base/api_lock.h"
#include "base/log.h"

namespace {

[[maybe_unused]] int PendingEntry(const char* entry) {
    LogFormat("%s: この機能はまだ使えません", entry);
    return -1;
}

}  // namespace

// --- Drawing -------------------------------------------------------------------------------------

