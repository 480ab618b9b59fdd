// Files dropped on the library window.
#include <cstring>

#include "platform/window/window.h"
#include "library/main_window_proc.h"
#include "base/tracked_memory.h"
#include "system/window_data.h"

void StoreDroppedFiles(uintptr_t drop) {
    DroppedFileList& list = GetWindowData().droppedFiles;
    const uint32_t files = plat::DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0);
    for (uint32_t i = 0; i < files && list.count < kMaxDroppedFiles; ++i) {
        const uint32_t length = plat::DragQueryFile(drop, i, nullptr, 0);
        char* name = static_cast<char*>(ZN_ALLOC(length + 1));
        if (name == nullptr) break;
        plat::DragQueryFile(drop, i, name, length + 1);
        list.names[list.count++] = name;
    }
    plat::DragFinish(drop);
}
