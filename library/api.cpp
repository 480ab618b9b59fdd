// The public entries: each one locks, calls its routine and unlocks.
#include "library/public/api.h"

#include "platform/core/clock.h"
#include "platform/backend/headless/scripted_input.h"
#include "base/api_lock.h"

int ApiGetMillisecondCount(int /*unused*/) {
    ApiLock();
    const int result = static_cast<int>(plat::MillisecondClock());
    ApiUnlock();
    return result;
}

// --- Draw state and graph sizes ---------------------------------------------------------------
#include "graphics/draw_state.h"

int ApiSetBlendMode(int mode, int param) {
    ApiLock();
    const int result = SetBlendState(mode, param);
    ApiUnlock();
    return result;
}

int ApiSetBrightnessRGB(int r, int g, int b) {
    ApiLock();
    const int result = SetBrightRGB(r, g, b);
    ApiUnlock();
    return result;
}

int ApiSetDrawTarget(int target) {
    ApiLock();
    const int result = SetDrawTarget(target);
    ApiUnlock();
    return result;
}

int ApiSetColorKeyRGB(unsigned char r, unsigned char g, unsigned char b) {
    ApiLock();
    const int result = SetColorKeyRGB(r, g, b);
    ApiUnlock();
    return result;
}

int ApiQueryGraphSize(int graph, int* width, int* height) {
    ApiLock();
    const int result = QueryGraphDimensions(graph, width, height);
    ApiUnlock();
    return result;
}

int ApiClipRectToDrawArea(RECT* rect, const RECT* clip) { return ClipRectInPlace(rect, clip); }

// --- Draw target ---------------------------------------------------------------------------------
#include "graphics/draw_target/draw_target.h"

int ApiClearDrawTarget() {
    ApiLock();
    const int result = ClearCurrentScreen();
    ApiUnlock();
    return result;
}

// --- Graph drawing -------------------------------------------------------------------------------
#include "graphics/draw_graph/draw_graph.h"

int ApiDrawGraphAt(int x, int y, int graph, int transFlag) {
    ApiLock();
    const int result = BlitGraphAt(x, y, graph, transFlag);
    ApiUnlock();
    return result;
}

int ApiDrawGraphRotatedInt(int x, int y, double scale, double angle, int graph, int transFlag,
                           int turnFlag) {
    ApiLock();
    const int result = BlitGraphRotatedInt(x, y, scale, angle, graph, transFlag, turnFlag);
    ApiUnlock();
    return result;
}

// --- Screen and colours -----------------------------------------------------------------------
#include "graphics/screen/screen.h"

const SurfacePixelFormat* ApiGetScreenPixelFormat() {
    ApiLock();
    const SurfacePixelFormat* result = GetScreenState().directDraw != nullptr ||
                                               GetScreenState().noDirectDraw
                                           ? GetScreenPixelFormat()
                                           : nullptr;
    ApiUnlock();
    return result;
}

unsigned int ApiMakeScreenColor(int r, int g, int b) {
    ApiLock();
    const unsigned int result = MakeScreenColor(r, g, b);
    ApiUnlock();
    return result;
}

int ApiPresentScreen() {
    ApiLock();
    const int result = PresentScreen();
    ApiUnlock();
    return result;
}

#include "graphics/screen_save/screen_save.h"

int ApiSaveScreenToImageFile(int x1, int y1, int x2, int y2, const char* file, int type,
                             int quality, int flag, int level) {
    ApiLock();
    const int result = WriteScreenImageFile(x1, y1, x2, y2, file, type, quality, flag, level);
    ApiUnlock();
    return result;
}

// --- Library start-up, shut-down and the message pump -------------------------------------
#include "library/library_startup.h"
#include "system/message_pump.h"
#include "system/window_data.h"

int ApiInitLibrary() {
    ApiLock();
    const int result = InitLibrary();
    ApiUnlock();
    return result;
}

int ApiTermLibrary() {
    ApiLock();
    const int result = TermLibrary();
    ApiUnlock();
    DestroyApiLock(&GetApiLockState());
    return result;
}

int ApiProcessMessage() {
    // A scripted run (ZN_INPUT) counts the game's steps here: the game pumps once at the
    // start of each main-loop step, while the library's own pumps (start-up, input reads, the
    // pump thread) call ProcessMessage directly and so are not counted.
    plat::AdvanceScriptedInput();
    ApiLock();
    const int result = ProcessMessage();
    ApiUnlock();
    return result;
}

int ApiWaitForInputPress() { return WaitForInputPress(); }

// --- Input devices ------------------------------------------------------------------------------
#include "system/input.h"

int ApiCheckAnyInput(int mask) {
    ApiLock();
    const int result = CheckAnyInput(mask);
    ApiUnlock();
    return result;
}

int ApiReadKeyStates(char* buffer) {
    ApiLock();
    const int result = ReadKeyStates(buffer);
    ApiUnlock();
    return result;
}

int ApiReadPadInputBits(int inputType) {
    ApiLock();
    const int result = ReadPadInputBits(inputType);
    ApiUnlock();
    return result;
}

// --- Message box and the local date and time ----------------------------------------------
#include "platform/window/message_box.h"

int ApiShowMessageBox(const char* text, const char* caption, int buttons) {
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
#include "graphics/graph_load.h"

int ApiLoadGraphFromPath(const char* path, int flag) {
    ApiLock();
    const int result = OpenGraphFile(path, flag);
    ApiUnlock();
    return result;
}

int ApiLoadDivGraphFromPath(const char* path, int total, int xCount, int yCount, int width,
                            int height, int* handles, int flag) {
    ApiLock();
    const int result = OpenDivGraphFile(path, total, xCount, yCount, width, height, handles, flag);
    ApiUnlock();
    return result;
}

// --- Window mode and title ------------------------------------------------------------------
#include "system/window_mode.h"

int ApiChangeWindowMode(int windowed) {
    ApiLock();
    const int result = ChangeWindowMode(windowed);
    ApiUnlock();
    return result;
}

int ApiSetWindowTitle(const char* text) {
    ApiLock();
    const int result = SetWindowTitle(text);
    ApiUnlock();
    return result;
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
    ApiLock();
    const int result = LoadSoundFromFile(file, bufferCount, unionHandle);
    ApiUnlock();
    return result;
}

int ApiPlaySoundHandle(int handle, int playType, int topPositionFlag) {
    ApiLock();
    const int result = PlaySoundHandle(handle, playType, topPositionFlag);
    ApiUnlock();
    return result;
}

int ApiStopSoundHandle(int handle) {
    ApiLock();
    const int result = StopSoundHandle(handle);
    ApiUnlock();
    return result;
}

int ApiSetSoundHandleVolume(int volume, int handle) {
    ApiLock();
    const int result = SetSoundHandleVolume(volume, handle);
    ApiUnlock();
    return result;
}

// --- Text ----------------------------------------------------------------------------------------
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"

int ApiDrawTextDefaultFont(int x, int y, const char* text, unsigned int color,
                           unsigned int edgeColor) {
    ApiLock();
    const int result = DrawTextDefaultFont(x, y, text, color, edgeColor);
    ApiUnlock();
    return result;
}

int ApiSetDefaultFontType(int fontType) {
    ApiLock();
    const int result = SetDefaultFontType(fontType);
    ApiUnlock();
    return result;
}
