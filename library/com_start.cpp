// Start of COM for the library (its end is part of TermLibrary).
#include "platform/core/system_info.h"
#include "library/library_startup.h"
#include "base/log.h"
#include "system/window_data.h"

int InitCom() {
    LibraryState& library = GetWindowData().library;
    if (library.comStarted) return -1;
    LogWrite("ＣＯＭの初期化... ");
    if (plat::StartCom() < 0) {
        LogWrite("ＣＯＭの初期化に失敗しました\n");
        return -1;
    }
    LogWrite("成功しました\n");
    library.comStarted = 1;
    return 0;
}
