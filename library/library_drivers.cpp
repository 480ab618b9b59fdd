#include "library/library_drivers.h"

#include "base/fatal_exit.h"
#include "graphics/d3d/device.h"
#include "graphics/font/font.h"
#include "graphics/movie/movie.h"
#include "graphics/screen/screen_host.h"
#include "library/fatal_error.h"
#include "library/library_pump_services.h"
#include "library/main_window_proc.h"
#include "sound/music/music_window_driver.h"
#include "sound/sound_pump_driver.h"
#include "system/input.h"
#include "system/input_state.h"
#include "system/message_pump.h"
#include "system/window_placement.h"
#include "system/window_data.h"
#include "system/window_system.h"

namespace {

int ExitThroughLibrary(const char* text) { FatalError(text); }
plat::WindowHandle LibraryWindow() { return GetWindowData().window.handle; }

constexpr FatalExitDriver kLibraryFatalExit = {.exit = ExitThroughLibrary};
constexpr WindowMessageDriver kLibraryWindowMessages = {.handleMessage = MainWindowProc};
constexpr SoundPumpDriver kLibrarySoundPump = {.processMessage = ProcessMessage};
constexpr MusicWindowDriver kLibraryMusicWindow = {.window = LibraryWindow};

// What the screen reads of the window system.
int HostWindowed() { return GetWindowData().settings.windowed ? 1 : 0; }
double HostWindowScale() { return GetWindowScale(); }
int HostWindowDrawRect(RECT* out) {
    const WindowData& data = GetWindowData();
    if (data.window.handle == 0) return -1;
    const plat::Rect& client = data.window.clientRect;
    *out = data.settings.windowed ? RECT{client.left, client.top, client.right, client.bottom}
                                  : RECT{0, 0, 0, 0};
    return 0;
}
int HostNoMenu() { return 0; }
void HostBlackBackground(int32_t* r, int32_t* g, int32_t* b) { *r = *g = *b = 0; }
int32_t HostOsCode() { return GetWindowData().cpu.osCode; }
int HostMmx() { return GetWindowData().cpu.mmx ? 1 : 0; }
void HostFitWindow() { ApplyWindowModeStyle(); }
void HostDesktopSize(int32_t* width, int32_t* height) {
    *width = GetWindowData().machine.desktopWidth;
    *height = GetWindowData().machine.desktopHeight;
}

void HostRestartInput() {
    const bool wasStarted = GetInputState().started != 0;
    TermInputSystem();
    if (wasStarted) InitInputSystem();
}

const ScreenHostDriver kLibraryScreenHost = {
    .window = LibraryWindow,
    .isWindowed = HostWindowed,
    .windowScale = HostWindowScale,
    .getWindowDrawRect = HostWindowDrawRect,
    .hasWindowMenu = HostNoMenu,
    .getBackgroundColor = HostBlackBackground,
    .processMessage = ProcessMessage,
    .waitWhileInactive = WaitWhileInactive,
    .osCode = HostOsCode,
    .hasMmx = HostMmx,
    .applyWindowStyle = HostFitWindow,
    .getDesktopSize = HostDesktopSize,
    .restartInputDevices = HostRestartInput,
};

}  // namespace

int InstallLibraryDrivers() {
    FatalExitSlot().Install(kLibraryFatalExit);
    WindowMessageSlot().Install(kLibraryWindowMessages);
    SoundPumpSlot().Install(kLibrarySoundPump);
    MusicWindowSlot().Install(kLibraryMusicWindow);
    InstallLibraryPumpServices();
    return 0;
}

int ResetLibraryDrivers() {
    ResetLibraryPumpServices();
    MusicWindowSlot().Reset();
    SoundPumpSlot().Reset();
    WindowMessageSlot().Reset();
    FatalExitSlot().Reset();
    return 0;
}

void InstallLibraryGraphicsDrivers() {
    ScreenHostSlot().Install(kLibraryScreenHost);
    Device3DStartSlot().Install(kDevice3DStart);
    FontSlot().Install(kFontModule);
    MovieSlot().Install(kMovieModule);
    MovieDrawSlot().Install(kMovieDrawModule);
}

void ResetLibraryGraphicsDrivers() {
    FontSlot().Reset();
    MovieSlot().Reset();
    MovieDrawSlot().Reset();
    Device3DStartSlot().Reset();
    ScreenHostSlot().Reset();
}
