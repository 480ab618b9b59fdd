#include "base/fatal_exit.h"

#include "base/log.h"

namespace {

int LogOnly(const char* text) {
    LogWrite(text);
    LogWrite("\n");
    return -1;
}

constexpr FatalExitDriver kAbsentFatalExit = {.exit = LogOnly};

}  // namespace

DriverSlot<FatalExitDriver>& FatalExitSlot() {
    static DriverSlot<FatalExitDriver> slot(kAbsentFatalExit);
    return slot;
}

int FatalExit(const char* text) {
    FatalExitSlot()->exit(text);
    return -1;
}
