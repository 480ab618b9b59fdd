// Internal to the platform's fonts: the one FreeType library of the process and the lock held
// around every call into it (faces, sizes and glyph slots are not thread-safe objects).
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>

namespace plat {

// The lock every font call holds while it touches FreeType or a font record.
std::mutex& FontEngineLock();

// The process's FreeType library, started on first use; null (with a line to the debugger
// output) when FreeType cannot start. Call with FontEngineLock held.
FT_Library FontEngineLibrary();

}  // namespace plat
