#include "library/library_startup.h"

#include "library/library_modules.h"
#include "system/window_data.h"

int InitLibrary() {
    WindowData& data = GetWindowData();
    data.library.inStartUp = 1;

    size_t count = 0;
    const LibraryModule* rows = LibraryModules(&count);
    for (size_t i = 0; i < count; ++i) {
        const LibraryModule& row = rows[i];
        if (row.start == nullptr) continue;
        if (row.offSwitch != nullptr && data.settings.*row.offSwitch != 0) continue;
        if (row.start() >= 0) continue;
        switch (row.failure) {
            case StartFailure::kCannotFail:
            case StartFailure::kIgnored:
                break;
            case StartFailure::kEndsStartUp:
                TermLibrary();
                data.library.inStartUp = 0;
                return -1;
            case StartFailure::kAbortsStartUp:
                data.library.inStartUp = 0;
                return -1;
        }
    }

    data.library.inStartUp = 0;
    return 0;
}

int TermLibrary() {
    GetWindowData().library.ending = 1;

    size_t count = 0;
    const LibraryModule* rows = LibraryModules(&count);
    for (int rank = 1; rank <= static_cast<int>(count); ++rank) {
        for (size_t i = 0; i < count; ++i) {
            if (rows[i].endRank == rank && rows[i].end != nullptr) rows[i].end();
        }
    }
    return 0;
}
