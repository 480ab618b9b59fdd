// Internal to the platform layer: the display's state and the calls between the display, the
// surface layer and the test controls.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/display/display.h"

namespace plat {

struct DisplayGlobals {
    std::recursive_mutex mutex;
    bool fullScreen = false;
    DisplayMode mode{};             // the full-screen mode while fullScreen
    uint32_t refreshOverride = 0;   // test control
    uint64_t changeSerial = 1;
    // The display's own framebuffer, in the current mode.
    std::vector<uint8_t> buffer;
    int32_t width = 0, height = 0, bitsPerPixel = 0, pitch = 0;
    bool firstBuffer = true;        // the first buffer made is no change of mode
    // The flip chain's front buffer in a full-screen mode, or null.
    uint8_t* scanout = nullptr;
    int32_t scanoutPitch = 0;
    uint8_t palette[256][3] = {};
    WindowHandle window = 0;
    bool otherOwner = false;
    const void* exclusiveOwner = nullptr;
};

DisplayGlobals& DisplayState();

// The first live visible window, else the first live window; 0 when there is none.
WindowHandle FirstVisibleWindow();

// The picture as a PNG file's bytes (8-bit RGB); false for an empty picture.
bool EncodePicturePng(const ShownPicture& picture, std::vector<uint8_t>* png);

// Stops showing pixels when they are what the display shows (a flip chain's front going away).
void DropDisplayScanout(const uint8_t* pixels);

// Test controls' entry points (platform/testing/display_test_controls.h).
void SetOtherExclusiveOwnerInternal(bool active);
void ResetDisplayInternal();
void SetRefreshOverrideInternal(uint32_t hz);

// What the display tells the surfaces made on it and asks of them. The DirectDraw shape
// installs its answers with its first DirectDraw object and with its display-format test
// control (ddraw_screen.cpp); until then there are no surfaces and no format of theirs, and the
// absent driver does nothing and keeps the display's own masks.
struct DisplaySurfacesDriver {
    // Every change of mode, and another owner taking the display, make the primary surfaces
    // lost.
    void (*displayModeChanged)();
    void (*displayTakenByOtherOwner)();
    // The masks of the display format the surface layer reports at that depth (a 5-5-5 display
    // set by its test control, say) into the three outputs; false to keep the display's own.
    bool (*displayFormatMasks)(int32_t bitsPerPixel, uint32_t* red, uint32_t* green,
                               uint32_t* blue);
};
extern const DisplaySurfacesDriver kAbsentDisplaySurfaces;
void InstallDisplaySurfaces(const DisplaySurfacesDriver& driver);
const DisplaySurfacesDriver& DisplaySurfaces();

}  // namespace plat
