// Linked into every fuzz target: the targets drive the library's parts without its start-up,
// which would hand the platform its backends, so they hand them down as they start (a movie's
// sound needs the null sink, a display surface the desktop).
#include "platform/backend/backend_entries.h"

namespace {

struct FuzzProgramDefaults {
    FuzzProgramDefaults() { plat::UseBackends(plat::PlatformBackends()); }
} g_fuzzProgramDefaults;

}  // namespace
