// The public entries: each one locks, calls its routine and unlocks.
#include "system/public/api.h"

#include "platform/clock.h"
#include "system/api_lock.h"

int ApiGetMillisecondCount(int /*unused*/) {
    ApiLock();
    const int result = static_cast<int>(plat::MillisecondClock());
    ApiUnlock();
    return result;
}
