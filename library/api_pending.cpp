// The public entries whose routines the library does not have yet. Each one keeps the shape of
// a locked entry (lock, call, unlock, return) around PendingEntry, which writes one log line
// naming the entry and answers -1; the entry turns that into its type's failure (a null
// pointer, colour 0). When a routine arrives, its entry moves to api.cpp with the real call.
#include "library/public/api.h"

#include "base/api_lock.h"
#include "base/log.h"

namespace {

int PendingEntry(const char* entry) {
    LogFormat("%s: この機能はまだ使えません", entry);
    return -1;
}

}  // namespace

// --- Screen and colours ---------------------------------------------------------------------

int ApiSaveScreenToImageFile(int /*x1*/, int /*y1*/, int /*x2*/, int /*y2*/,
                             const char* /*file*/, int /*type*/, int /*quality*/, int /*flag*/,
                             int /*level*/) {
    ApiLock();
    const int result = PendingEntry("ApiSaveScreenToImageFile");
    ApiUnlock();
    return result;
}

// --- Drawing -------------------------------------------------------------------------------------

int ApiDrawGraphAt(int /*x*/, int /*y*/, int /*graph*/, int /*transFlag*/) {
    ApiLock();
    const int result = PendingEntry("ApiDrawGraphAt");
    ApiUnlock();
    return result;
}

int ApiDrawGraphRotatedInt(int /*x*/, int /*y*/, double /*scale*/, double /*angle*/,
                           int /*graph*/, int /*transFlag*/, int /*turnFlag*/) {
    ApiLock();
    const int result = PendingEntry("ApiDrawGraphRotatedInt");
    ApiUnlock();
    return result;
}

int ApiDrawTextDefaultFont(int /*x*/, int /*y*/, const char* /*text*/, unsigned int /*color*/,
                           unsigned int /*edgeColor*/) {
    ApiLock();
    const int result = PendingEntry("ApiDrawTextDefaultFont");
    ApiUnlock();
    return result;
}

int ApiSetDefaultFontType(int /*fontType*/) {
    ApiLock();
    const int result = PendingEntry("ApiSetDefaultFontType");
    ApiUnlock();
    return result;
}
