// The public entries: each one locks, calls its routine and unlocks.
#include "library/public/api.h"

#include "platform/core/clock.h"
#include "base/api_lock.h"

int ApiGetMillisecondCount(int /*unused*/) {
    return LockedCall([] { return static_cast<int>(plat::MillisecondClock()); });
}

// --- Draw state and graph sizes ---------------------------------------------------------------
#include "graphics/draw_state/draw_state.h"

int ApiSetBlendMode(int mode, int param) {
    return LockedCall(SetBlendState, mode, param);
}

int ApiSetBrightnessRGB(int r, int g, int b) {
    return LockedCall(SetBrightRGB, r, g, b);
}

int ApiSetDrawTarget(int target) {
    return LockedCall(SetDrawTarget, target);
}

int ApiSetColorKeyRGB(unsigned char r, unsigned char g, unsigned char b) {
    return LockedCall(SetColorKeyRGB, r, g, b);
}

int ApiQueryGraphSize(int graph, int* width, int* height) {
    return LockedCall(QueryGraphDimensions, graph, width, height);
}

int ApiClipRectToDrawArea(RECT* rect, const RECT* clip) { return ClipRectInPlace(rect, clip); }

// --- Draw target ---------------------------------------------------------------------------------
#include "graphics/draw_target/draw_target.h"

int ApiClearDrawTarget() {
    return LockedCall(ClearCurrentScreen);
}

// --- Graph drawing -------------------------------------------------------------------------------
#include "graphics/draw_graph/draw_graph.h"

int ApiDrawGraphAt(int x, int y, int graph, int transFlag) {
    return LockedCall(BlitGraphAt, x, y, graph, transFlag);
}

int ApiDrawGraphRotatedInt(int x, int y, double scale, double angle, int graph, int transFlag,
                           int turnFlag) {
    return LockedCall(BlitGraphRotatedInt, x, y, scale, angle, graph, transFlag, turnFlag);
}

// --- Screen and colours -----------------------------------------------------------------------
#include "graphics/screen/screen.h"

const SurfacePixelFormat* ApiGetScreenPixelFormat() {
    return LockedCall([]() -> const SurfacePixelFormat* {
        const ScreenState& screen = GetScreenState();
        return screen.directDraw != nullptr || screen.noDirectDraw ? GetScreenPixelFormat()
                                                                   : nullptr;
    });
}

unsigned int ApiMakeScreenColor(int r, int g, int b) {
    return LockedCall(MakeScreenColor, r, g, b);
}

int ApiPresentScreen() {
    return LockedCall(PresentScreen);
}

#include "graphics/screen_save/screen_save.h"

int ApiSaveScreenToImageFile(int x1, int y1, int x2, int y2, const char* file, int type,
                             int quality, int flag, int level) {
    return LockedCall(WriteScreenImageFile, x1, y1, x2, y2, file, type, quality, flag, level);
}

// --- Library start-up, shut-down and the message pump -------------------------------------
#include "library/library_startup.h"
#include "system/message_pump.h"
#include "system/window_data.h"

int ApiInitLibrary() {
    return LockedCall(InitLibrary);
}

int ApiTermLibrary() {
    const int result = LockedCall(TermLibrary);
    DestroyApiLock(&GetApiLockState());
    return result;
}

int ApiProcessMessage() { return GameStepProcessMessage(); }

int ApiWaitForInputPress() { return WaitForInputPress(); }

// --- Input devices ------------------------------------------------------------------------------
#include "system/input.h"

int ApiCheckAnyInput(int mask) {
    return LockedCall(CheckAnyInput, mask);
}

int ApiReadKeyStates(char* buffer) {
    return LockedCall(ReadKeyStates, buffer);
}

int ApiReadPadInputBits(int inputType) {
    return LockedCall(ReadPadInputBits, inputType);
}

// --- Message box and the local date and time ----------------------------------------------
#include "library/platform_backends.h"
#include "platform/window/message_box.h"

// A program may ask its question before the library starts (the game asks how to start): the
// box needs the window backend, so the backends are handed down here too.
int ApiShowMessageBox(const char* text, const char* caption, int buttons) {
    HandPlatformBackendsDown();
    return plat::ShowMessageBox(0, text, caption, static_cast<uint32_t>(buttons));
}

int ApiGetLocalDateTime(ApiDateTime* out) {
    if (out == nullptr) return -1;
    const plat::LocalDateTime now = plat::GetLocalDateTime();
    out->year = static_cast<int>(now.year);
    out->month = static_cast<int>(now.month);
    out->day = static_cast<int>(now.day);
    out->hour = static_cast<int>(now.hour);
    out->minute = static_cast<int>(now.minute);
    out->second = static_cast<int>(now.second);
    out->millisecond = static_cast<int>(now.millisecond);
    return 0;
}

// --- Loading graphs from files ------------------------------------------------------------------
#include "graphics/graph_load/graph_load.h"

int ApiLoadGraphFromPath(const char* path, int flag) {
    return LockedCall(OpenGraphFile, path, flag);
}

int ApiLoadDivGraphFromPath(const char* path, int total, int xCount, int yCount, int width,
                            int height, int* handles, int flag) {
    return LockedCall(OpenDivGraphFile, path, total, xCount, yCount, width, height, handles, flag);
}

// --- Window mode and title ------------------------------------------------------------------
#include "system/window_mode.h"

int ApiChangeWindowMode(int windowed) {
    return LockedCall(ChangeWindowMode, windowed);
}

int ApiSetWindowTitle(const char* text) {
    return LockedCall(SetWindowTitle, text);
}

// --- Colour formats ------------------------------------------------------------------------------
#include "softrender/records/color_format.h"

int ApiBuildColorFormat(PaletteColorFormat* record, int bits, unsigned int redMask,
                        unsigned int greenMask, unsigned int blueMask, unsigned int alphaMask) {
    return BuildColorFormat(record, bits, redMask, greenMask, blueMask, alphaMask);
}

int ApiBuildColorFormatRaw(SurfacePixelFormat* record, int bits, unsigned int redMask,
                           unsigned int greenMask, unsigned int blueMask, unsigned int alphaMask) {
    return MakeRgbPixelFormat(record, bits, redMask, greenMask, blueMask, alphaMask);
}

// --- Sound -------------------------------------------------------------------------------------
#include "sound/sound_system.h"

int ApiLoadSoundFromFile(const char* file, int bufferCount, int unionHandle) {
    return LockedCall(LoadSoundFromFile, file, bufferCount, unionHandle);
}

int ApiPlaySoundHandle(int handle, int playType, int topPositionFlag) {
    return LockedCall(PlaySoundHandle, handle, playType, topPositionFlag);
}

int ApiStopSoundHandle(int handle) {
    return LockedCall(StopSoundHandle, handle);
}

int ApiSetSoundHandleVolume(int volume, int handle) {
    return LockedCall(SetSoundHandleVolume, volume, handle);
}

// --- Text ----------------------------------------------------------------------------------------
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"

int ApiDrawTextDefaultFont(int x, int y, const char* text, unsigned int color,
                           unsigned int edgeColor) {
    return LockedCall(DrawTextDefaultFont, x, y, text, color, edgeColor);
}

int ApiSetDefaultFontType(int fontType) {
    return LockedCall(SetDefaultFontType, fontType);
}
