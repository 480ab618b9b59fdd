// The screen's state: the DirectDraw object with its clipper and palette, the display mode and
// its pixel format, the screen surfaces and the software images that stand for them, the mode
// flags, the measurements taken at each mode change, and the present's counters. One global
// record, zero at process start; the screen module (graphics/screen/) writes it, the draw
// target and the present read it.
//
// Two screen modes. Hardware: DirectDraw surfaces (primary, back, work surfaces), drawn in
// software through locks or by BltFast and presented by flip or Blt. Software: no surface is
// made; the back and front screens are primaryImage and backImage and the present paints the
// window by GDI. softwareScreen and noDirectDraw are set together, once, and never cleared.
#pragma once
#include <cstdint>

#include "softrender/records/color_format.h"
#include "softrender/records/memimg.h"
#include "platform/ddraw/ddraw_types.h"
#include "platform/window/window.h"

namespace plat {
class DirectDraw;
class DrawClipper;
class DrawPalette;
class DrawSurface;
}  // namespace plat

// The pixel-format class of the display (ScreenState::pixelFormatClass).
constexpr int32_t kScreenClass565 = 0;    // 16-bit R 0xF800 G 0x7E0 B 0x1F
constexpr int32_t kScreenClass555 = 1;    // 16-bit R 0x7C00 G 0x3E0 B 0x1F
constexpr int32_t kScreenClass888 = 2;    // 32-bit R 0xFF0000 G 0xFF00 B 0xFF
constexpr int32_t kScreenClassOther = 3;  // anything else

// The window timer that copies the temporary primary to the primary, and its period.
constexpr uintptr_t kTempPrimaryTimerId = 0x7FFF;
constexpr uint32_t kTempPrimaryTimerMs = 17;

// The video card as the screen's start found it (the adapter is asked only while Shift is
// held; otherwise the names are empty, the free memory 0 and the total 16 MB).
struct VideoCardFacts {
    char driver[512];
    char description[512];
    uint32_t totalMemory;  // bytes
    uint32_t freeMemory;   // bytes
};

// The overlay pixel formats the start tries, in order, and their names.
constexpr int32_t kOverlayFormatCount = 2;
extern const plat::PixelFormat kOverlayFormats[kOverlayFormatCount];
extern const char* const kOverlayFormatNames[kOverlayFormatCount + 1];

struct ScreenState {
    plat::DirectDraw* directDraw;  // null while no object exists
    plat::DrawClipper* clipper;    // bound to the library window
    plat::DrawPalette* palette;    // 8-bit screens only
    plat::DDCaps caps;             // the driver's capabilities, read when the screen opens

    int32_t screenWidth, screenHeight, screenDepth;  // requested / current; 0: 640, 480, 16
    int32_t refreshRate;           // requested rate, 0 = the driver's default
    int32_t displayDepth;          // depth actually set (the desktop's in a window)
    int32_t pixelFormatClass;      // kScreenClass*
    SurfacePixelFormat screenPixelFormat;  // of the display mode
    PaletteColorFormat screenFormat;       // built from screenPixelFormat
    plat::PaletteEntry paletteEntries[256];  // the 8-bit palette
    uint32_t cooperativeLevel;     // the level last set
    int32_t displayModeChanged;    // a full-screen mode was set and must be restored

    plat::DrawSurface* primary;
    plat::DrawSurface* back;
    plat::DrawSurface* tempPrimary;
    plat::DrawSurface* work;
    plat::DrawSurface* work2;
    plat::DrawSurface* zSurface;
    MEMIMG primaryImage;           // software mode: the front screen
    MEMIMG backImage;              // software mode: the back screen
    MEMIMG zImage;                 // software mode: the Z buffer (raw 16-bit)
    int32_t screenImagesExist;     // the three images are made

    int32_t useTempPrimary;        // draw the front through the temporary primary
    int32_t vsyncWait;             // presents wait for the vertical blank
    int32_t softwareRequest;       // software rendering asked for before start-up
    int32_t softwareScreen;        // the screens are software images
    int32_t noDirectDraw;          // no DirectDraw surfaces exist (set with softwareScreen)
    int32_t flipToGdi;             // keep the GDI surface in front; present by the window path
    int32_t flipToGdiApplied;      // the state last applied; -1 after a mode change
    int32_t preferGdiCopy;         // surface-to-surface copies by GDI BitBlt (measured)
    int32_t multiThreaded;         // cooperative levels get DDSCL_MULTITHREADED
    int32_t screenOpen;            // the screen start-up finished its first mode change
    int32_t screenReady;           // the screen start-up finished; later mode changes re-create
    int32_t mmx;                   // the processor has MMX
    int32_t overlayFormat;         // index in kOverlayFormats of the one that works, or -1
    VideoCardFacts videoCard;      // recorded by every acquire of the DirectDraw object
    int32_t refreshMeasured;       // Hz (60 in software mode), -1 when unknown
    int32_t scanLines;             // the display's height as the system reports it
    int32_t framePeriod;           // ms per frame as measured, or -1
    uint32_t lastModeChangeTime;   // millisecond clock at the last mode change
    int32_t modeChanged;           // 1 once a mode change has run (lastModeChangeTime is set)

    // The present's part.
    uint64_t presentCount;         // +1 for every present; 0 after a mode change
    uint32_t lastVBlankTime;       // millisecond clock when the paced wait last returned
    int32_t frameTime;             // pacing threshold in ms, or -1 when not measured
    int32_t frontNeedsReadBack;    // a software present ran: the front must be read back
    int32_t tempPrimaryTimerOn;    // the 17 ms copy timer is running
};

ScreenState& GetScreenState();

// The screen size with the defaults for unset edges (640 x 480); either output may be null.
void GetScreenDimensions(int32_t* width, int32_t* height);
// displayDepth, 16 when unset.
int32_t GetScreenDepth();
// The temporary primary when it is in use, else the primary (null without surfaces).
plat::DrawSurface* GetFrontSurface();
plat::DrawSurface* GetBackSurface();
plat::DirectDraw* GetScreenDirectDraw();
int IsSoftwareScreen();
const PaletteColorFormat* GetScreenColorFormat();
const SurfacePixelFormat* GetScreenPixelFormat();
// The present counter.
uint64_t GetPresentCount();
// The driver's capabilities as read when the screen opened (95 words).
void GetDDCaps(plat::DDCaps* out);
// The video card as recorded when the DirectDraw object was last acquired.
const VideoCardFacts* GetVideoCardFacts();
// The overlay pixel format that works, or null (no overlay format works on this display, or
// the screen is smaller than 640 x 400).
const plat::PixelFormat* GetOverlayFormat();
