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

const SurfacePixelFormat* ApiGetScreenPixelFormat() {
    ApiLock();
    PendingEntry("ApiGetScreenPixelFormat");
    ApiUnlock();
    return nullptr;
}

unsigned int ApiMakeScreenColor(int /*r*/, int /*g*/, int /*b*/) {
    ApiLock();
    PendingEntry("ApiMakeScreenColor");
    ApiUnlock();
    return 0;
}

int ApiPresentScreen() {
    ApiLock();
    const int result = PendingEntry("ApiPresentScreen");
    ApiUnlock();
    return result;
}

int ApiSaveScreenToImageFile(int /*x1*/, int /*y1*/, int /*x2*/, int /*y2*/,
                             const char* /*file*/, int /*type*/, int /*quality*/, int /*flag*/,
                             int /*level*/) {
    ApiLock();
    const int result = PendingEntry("ApiSaveScreenToImageFile");
    ApiUnlock();
    return result;
}

// --- Drawing -------------------------------------------------------------------------------------

int ApiClearDrawTarget() {
    ApiLock();
    const int result = PendingEntry("ApiClearDrawTarget");
    ApiUnlock();
    return result;
}

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

// --- Sound -------------------------------------------------------------------------------------

int ApiLoadSoundFromFile(const char* /*file*/, int /*bufferCount*/, int /*unionHandle*/) {
    ApiLock();
    const int result = PendingEntry("ApiLoadSoundFromFile");
    ApiUnlock();
    return result;
}

int ApiPlaySoundHandle(int /*handle*/, int /*playType*/, int /*topPositionFlag*/) {
    ApiLock();
    const int result = PendingEntry("ApiPlaySoundHandle");
    ApiUnlock();
    return result;
}

int ApiStopSoundHandle(int /*handle*/) {
    ApiLock();
    const int result = PendingEntry("ApiStopSoundHandle");
    ApiUnlock();
    return result;
}

int ApiSetSoundHandleVolume(int /*volume*/, int /*handle*/) {
    ApiLock();
    const int result = PendingEntry("ApiSetSoundHandleVolume");
    ApiUnlock();
    return result;
}
