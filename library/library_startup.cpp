#include "library/library_startup.h"

#include "graphics/draw_state.h"
#include "graphics/graph_handle_table.h"
#include "graphics/graph_system.h"
#include "graphics/graphics_hooks.h"
#include "platform/core/clock.h"
#include "platform/core/system_info.h"
#include "platform/window/window.h"
#include "base/data_stream.h"
#include "base/file_access_table.h"
#include "system/input.h"
#include "base/log.h"
#include "system/message_pump.h"
#include "system/system_info_log.h"
#include "base/tracked_memory.h"
#include "system/window_data.h"
#include "system/window_system.h"

namespace {

// A start-up failure after the window system was tried: end what was started.
int FailStartUp() {
    TermLibrary();
    GetWindowData().library.inStartUp = 0;
    return -1;
}

}  // namespace

int InitLibrary() {
    WindowData& data = GetWindowData();
    const WindowSettings& settings = data.settings;
    data.library.inStartUp = 1;

    // The first thread that uses the window layer becomes its backend thread: this one.
    plat::WindowBackendName();

    // A software-rendering request made before start-up is handed to the screen here once
    // the screen exists. The archive and file-handle tables are cleared here once the archive
    // reader exists.
    SetFileAccessTable(nullptr);
    FileAccessGetDir(data.startDirectory);
    StartLog();

    if (!settings.noWindow &&
        ((plat::GetDesktopInfo().bitsPerPixel == 24 && settings.windowed) ||
         HookGetScreenDepth() == 24)) {
        LogWrite("ＺＮライブラリは２４ビットカラーモードに対応していません\n");
        data.library.inStartUp = 0;
        return -1;
    }

    data.clock.performanceFrequency = plat::PerformanceFrequency();
    data.clock.usePerformanceCounter = data.clock.performanceFrequency != 0 ? 1 : 0;

    OutputSystemInfo();
    // On an OS of code 264 (a Windows of major version 6) the screen draws to the front screen
    // through a temporary primary; that switch is handed to the screen here once it exists.

    InitStreamFunctions();
    InstallGraphReloadHandler(nullptr);

    if (InitCom() == -1 || InitWindowSystem() == -1) return FailStartUp();

    // The HTTP handle table is cleared here once networking exists.

    if (!settings.noInput && InitInputSystem() == -1) return FailStartUp();

    // Unless switched off, sound output starts here (its failure is ignored) once it exists.

    if (!settings.noGraphics && InitGraphSystem() < 0) return FailStartUp();

    // Character input starts here once it exists.

    data.clock.started = 1;
    // Waiting for the vertical blank is turned on here once the present exists.

    if (!settings.windowed) BringWindowToForeground(data.window.handle, 1);

    // The on-screen console is created here once it exists.

    SetDrawTarget(kDrawTargetBack);
    SetDrawTarget(kDrawTargetFront);

    // Unless graphics are switched off, both screens are cleared to black here once graph
    // drawing exists; the front screen stays the draw target.

    data.library.inStartUp = 0;
    return 0;
}

int TermLibrary() {
    WindowData& data = GetWindowData();
    data.library.ending = 1;

    // Here, once they exist: the on-screen console's font is deleted, HTTP transfers and
    // networking end, and all sounds stop.
    TermGraphSystem();
    TermInputSystem();
    // Sound output ends here once it exists.

    TermWindowSystem();

    if (data.library.comStarted) {
        plat::EndCom();
        LogWrite("ＣＯＭを終了... 完了\n");
        data.library.comStarted = 0;
    }

    data.clock.started = 0;

    // The window's last messages. Without a window ProcessMessage never reports quit, so
    // there is nothing to wait for.
    if (!data.settings.noWindow && data.window.handle != 0) {
        while (ProcessMessage() == 0 && !IsQuitRequested()) {
        }
    }

    FileAccessSetDir(data.startDirectory);
    // All archives are closed here once the archive reader exists.
    DumpAllocations();
    return 0;
}
