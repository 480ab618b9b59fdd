#include "library/platform_backends.h"

#include "platform/backend/backend_entries.h"

int HandPlatformBackendsDown() {
    plat::UseBackends(plat::PlatformBackends());
    return 0;
}
