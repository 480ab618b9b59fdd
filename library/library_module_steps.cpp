#include "library/library_module_steps.h"

#include "base/archive/archive_table.h"
#include "base/data_stream.h"
#include "base/file_access_table.h"
#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_graph/soft_road/blit_graph_2d.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/graph_load/graph_load.h"
#include "graphics/screen/screen.h"
#include "graphics/screen_setup/screen_setup.h"
#include "library/library_drivers.h"
#include "platform/core/clock.h"
#include "platform/core/system_info.h"
#include "platform/window/window.h"
#include "sound/music/music_handles.h"
#include "sound/sound_system.h"
#include "system/message_pump.h"
#include "system/system_info_log.h"
#include "system/window_data.h"
#include "system/window_system.h"

int BindWindowBackend() {
    plat::WindowBackendName();
    return 0;
}

// Without a window ProcessMessage never reports quit, so there is nothing to wait for.
int DrainLastMessages() {
    const WindowData& data = GetWindowData();
    if (!data.settings.noWindow && data.window.handle != 0) {
        while (ProcessMessage() == 0 && !IsQuitRequested()) {
        }
    }
    return 0;
}

// The log is written in the start directory whatever the current directory becomes.
int NoteStartDirectory() {
    WindowData& data = GetWindowData();
    SetFileAccessTable(nullptr);
    FileAccessGetDir(data.startDirectory);
    SetLogDirectory(data.startDirectory);
    return 0;
}

int RestoreStartDirectory() {
    FileAccessSetDir(GetWindowData().startDirectory);
    return 0;
}

int ClearArchiveFileTables() {
    ClearArchiveTables();
    return 0;
}

int CloseEveryArchive() {
    CloseAllArchives();
    return 0;
}

int StartTheLog() {
    StartLog();
    return 0;
}

int CheckScreenDepth() {
    const WindowSettings& settings = GetWindowData().settings;
    if (!settings.noWindow &&
        ((plat::GetDesktopInfo().bitsPerPixel == 24 && settings.windowed) ||
         GetDisplayDepth() == 24)) {
        return LogWrite("ＺＮライブラリは２４ビットカラーモードに対応していません\n");
    }
    return 0;
}

int ChooseClockCounter() {
    ClockState& clock = GetWindowData().clock;
    clock.performanceFrequency = plat::PerformanceFrequency();
    clock.usePerformanceCounter = clock.performanceFrequency != 0 ? 1 : 0;
    return 0;
}

int LogSystemInfo() {
    OutputSystemInfo();
    return 0;
}

int StartStreamFunctions() {
    InitStreamFunctions();
    return 0;
}

int ClearGraphReloadHandler() {
    InstallGraphReloadHandler(nullptr);
    return 0;
}

int EndCom() {
    LibraryState& library = GetWindowData().library;
    if (library.comStarted) {
        plat::EndCom();
        LogWrite("ＣＯＭを終了... 完了\n");
        library.comStarted = 0;
    }
    return 0;
}

int StartClock() {
    GetWindowData().clock.started = 1;
    return 0;
}

int StopClock() {
    GetWindowData().clock.started = 0;
    return 0;
}

int BringFullScreenWindowForward() {
    const WindowData& data = GetWindowData();
    if (!data.settings.windowed) BringWindowToForeground(data.window.handle, 1);
    return 0;
}

int StartGraphics() {
    InstallLibraryGraphicsDrivers();
    // On an OS of code 264 (a Windows of major version 6) the front screen is drawn through a
    // temporary primary.
    if (GetWindowData().cpu.osCode == 264) SetUseTempPrimary(1);
    return StartGraphicsOutput();
}

int StopGraphics() {
    StopGraphicsOutput();
    ResetLibraryGraphicsDrivers();
    return 0;
}

int StopMusicAndSounds() {
    StopCurrentMusic();
    return StopAllSounds();
}

int TurnOnVSyncWait() { return SetVSyncWait(1); }

int DumpTrackedMemory() {
    DumpAllocations();
    return 0;
}
