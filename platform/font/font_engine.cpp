#include "platform/font/font_engine.h"

#include "platform/core/debug_output.h"

namespace plat {

std::mutex& FontEngineLock() {
    static std::mutex lock;
    return lock;
}

FT_Library FontEngineLibrary() {
    // Started once and kept for the life of the process: fonts may be made and deleted at
    // any time, and the library costs little to keep.
    static FT_Library library = nullptr;
    static bool failed = false;
    if (library == nullptr && !failed) {
        if (FT_Init_FreeType(&library) != 0) {
            library = nullptr;
            failed = true;
            DebugOutput("font: FreeType could not be started\n");
        }
    }
    return library;
}

}  // namespace plat
