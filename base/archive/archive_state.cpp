#include "base/archive/archive_state.h"

#include <cstring>

#include "base/archive/archive_folders.h"

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
    // Folder listings were searched for the old extension.
    ForgetArchiveFolders();
}

void SetArchiveMemoryMode(int memoryMode) { g_state.memoryMode = memoryMode != 0 ? 1 : 0; }
int GetArchiveMemoryMode() { return static_cast<int>(g_state.memoryMode); }

const char* GetArchiveExtension() {
    return g_state.extension[0] != '\0' ? g_state.extension : "ZNA";
}
