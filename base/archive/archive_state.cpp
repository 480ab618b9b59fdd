#include "base/archive/archive_state.h"

#include <cstring>

namespace {

ArchiveState g_state = [] {
    ArchiveState state{};
    state.cacheSlot = -1;
    return state;
}();

void CopyCut(char* dst, size_t size, const char* src) {
    const size_t length = src == nullptr ? 0 : strnlen(src, size - 1);
    if (length != 0) std::memcpy(dst, src, length);
    dst[length] = '\0';
}

}  // namespace

ArchiveState& GetArchiveState() { return g_state; }

void SetArchiveKeyText(const char* text) {
    CopyCut(g_state.keyText, sizeof(g_state.keyText), text);
}

void SetArchiveExtension(const char* extension) {
    CopyCut(g_state.extension, sizeof(g_state.extension), extension);
}

const char* GetArchiveExtension() {
    return g_state.extension[0] != '\0' ? g_state.extension : "ZNA";
}
