// The display: one model shared by the surface layer (ddraw.h) and GDI (gdi.h).
//
// The display has a mode (size, depth, refresh rate) and a framebuffer in that mode's format.
// Until a full-screen mode is set the mode is the desktop's (its size and depth from the
// window backend, its refresh rate from SDL's display mode when known, else 60 Hz). Offered
// modes: 16 bits (R 0xF800, G 0x07E0, B 0x001F) and 32 bits (X8R8G8B8) at 640 x 480,
// 800 x 600, 1024 x 768, 1280 x 720, 1280 x 1024 and the desktop's own size, at the display's
// refresh rate or 60 Hz; 24 bits is never offered.
//
// A window is a rectangle of the display (its client area in desktop coordinates). Windowed,
// the primary surface is the whole framebuffer and a window's picture is its client area of
// it; in a full-screen mode the framebuffer is the whole picture shown.
//
// Whatever changes the framebuffer (a flip, a Blt or Lock on the primary, a GDI draw on a
// window's DC) marks the display changed; the window backend shows the picture once per pump
// (SDL2: the window's client area through a streaming texture; full screen: a desktop-sized
// window with the picture scaled to fit, aspect kept). Headless keeps it in memory only.
//
// The display is used under the library's lock (one thread at a time); the backend reads it
// on the backend thread during its pump.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/window.h"

namespace plat {

struct DisplayMode {
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;  // 16 or 32 (the desktop may also report 8)
    uint32_t refreshRate;  // Hz
};

// Result of SetFullScreenDisplayMode.
enum class DisplayModeResult { Ok, BadMode, BadRefresh, Busy };

// The mode shown now.
DisplayMode CurrentDisplayMode();
// The desktop's mode (what RestoreDesktopDisplayMode goes back to).
DisplayMode DesktopDisplayMode();
// The display's refresh rate (the current mode's).
uint32_t DisplayRefreshRate();
// True while a full-screen mode set by SetFullScreenDisplayMode is in force.
bool DisplayInFullScreenMode();
// Whether the display offers the mode (refreshRate 0: any rate it runs at).
bool DisplayOffersMode(int32_t width, int32_t height, int32_t bitsPerPixel, uint32_t refreshRate);
// Sets a full-screen mode (refreshRate 0: the display's default). BadMode for a size or depth
// not offered, BadRefresh for a rate not offered, Busy while the simulated other exclusive
// owner holds the display. The framebuffer is made anew (black) and every window is posted
// WM_DISPLAYCHANGE (wParam the depth, lParam the width and height).
DisplayModeResult SetFullScreenDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel,
                                           uint32_t refreshRate);
// Back to the desktop's mode (nothing when already there); when the mode changed every window
// is posted WM_DISPLAYCHANGE with the desktop's mode.
void RestoreDesktopDisplayMode();

// The framebuffer: the top-left pixel, the bytes between rows, size and format (16: 5-6-5,
// 32: X8R8G8B8). Made on first use; valid until the next mode change.
struct DisplayFramebuffer {
    uint8_t* pixels;
    int32_t pitch;
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;
    uint32_t redMask, greenMask, blueMask;
};
DisplayFramebuffer GetDisplayFramebuffer();
// In a full-screen mode the surface layer's flip chain shows its front buffer: pixels (of the
// mode's size, pitch bytes a row) become what the framebuffer is until cleared with null.
// Ignored when the display is not in a full-screen mode.
void SetDisplayScanout(uint8_t* pixels, int32_t pitch);
// The 256 colours of an 8-bit display (the primary surface's palette).
void SetDisplayPalette(const uint8_t rgb[256][3]);

// Marks the shown picture changed; window (0: the display window) names what was drawn.
void MarkDisplayChanged();
// Advances with each MarkDisplayChanged.
uint64_t DisplayChangeSerial();

// The window whose picture is shown: the last one given (by SetCooperativeLevel, a clipper's
// window, GetDC of a window), else the first visible window. 0 when none.
void SetDisplayWindow(WindowHandle window);
WindowHandle DisplayWindow();
// The window's client area in desktop coordinates (false for a stale handle).
bool WindowClientOnDesktop(WindowHandle window, Rect* out);

// The picture shown, as 32-bit 0x00RRGGBB pixels, rows top-down without gaps: in full screen
// the whole framebuffer; windowed, the client area of window (0: the display window) as the
// desktop shows it (parts off the desktop black). False when there is nothing to show
// (windowed without a window).
struct ShownPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};
bool ReadShownPicture(WindowHandle window, ShownPicture* out);
// Where a picture of pictureWidth x pictureHeight is shown in an output of outputWidth x
// outputHeight: the largest rectangle of the picture's aspect that fits, centred (the rest of
// the output is black). An empty rectangle when any size is 0 or below.
Rect FitPictureRect(int32_t outputWidth, int32_t outputHeight, int32_t pictureWidth,
                    int32_t pictureHeight);

// Writes the shown picture (window 0: the display window) to a PNG file; false with error set
// when there is no picture or the file cannot be written.
bool WriteShownPicturePng(WindowHandle window, const char* path, std::string* error);

// The simulated other exclusive owner (a test control drives it): while it is set, the
// display cannot be taken exclusively and primary surfaces are lost.
bool OtherExclusiveOwnerActive();
// Who holds the display exclusively (an opaque owner, null when nobody).
const void* ExclusiveDisplayOwner();
// Takes (true) or gives back the exclusive hold for owner; taking fails while another owner
// (or the simulated one) holds it.
bool TakeExclusiveDisplay(const void* owner);
void ReleaseExclusiveDisplay(const void* owner);

// Simulated raster on the platform clock: the current line (0 .. lines per frame - 1), the
// lines drawn (the mode's height) and the microseconds to the next start and end of a
// vertical blank.
struct RasterPosition {
    uint32_t line;
    uint32_t visibleLines;
    uint32_t totalLines;
    bool inVerticalBlank;
    uint64_t microsecondsToBlankStart;  // 0 exactly at a start
    uint64_t microsecondsToBlankEnd;
    uint64_t frame;                     // frames since the raster started
};
RasterPosition ReadRaster();

}  // namespace plat
