// The screen's setup: opening and closing it (with graph management and the 3D device around
// its surfaces), its display modes, the switch to the software screen, flip to GDI and the
// re-creation after a display change. It sits above the draw targets, which it selects and
// clears, and above graph management, which it starts and ends; the screen's surfaces, colours
// and present are graphics/screen/screen.h.
#pragma once
#include <cstdint>

// --- Start and end --------------------------------------------------------------------------
// Opens the screen: the DirectDraw object, the clipper, the first mode change and the
// measurements. Installs the screen as ScreenSlot's driver. 0; -1 when a DirectDraw object
// exists already or the first mode change fails (the screen is closed again).
int OpenDirectDrawScreen();
// Releases everything the screen made and resets ScreenSlot. 0.
int CloseDirectDrawScreen();
// Graphics output at library start-up: opens the screen, falling back to the software screen
// and trying once more; a second failure is fatal. 0; -1 when graphics is switched off.
int StartGraphicsOutput();
// Graph management and the screen end. 0.
int StopGraphicsOutput();

// --- Modes ------------------------------------------------------------------------------------
// -1 keeps a value. 0; -1 when no surface could be made; -2 when the mode fell back to
// 640 x 480 x 16.
int ChangeScreenMode(int32_t width, int32_t height, int32_t depth, int32_t force,
                     int32_t refresh);
// Software screen from now on (useHardware 0, which is what the library passes). 0.
int SwitchToSoftwareRendering(int32_t useHardware);
// The window-mode change of the cooperative level and the display mode. 0; -1.
int ApplyScreenMode();
int RestoreDisplayModeOnRelease();
int RestoreDisplayModeAtEnd();

// --- Display change ---------------------------------------------------------------------------
// The re-creation after a display change: surfaces and objects released and made again, the
// draw target selected again, the screen cleared and presented. 0.
int RecreateScreenAfterDisplayChange();
int ReleaseDirectDrawObject();
// The surfaces of every graph released, or made again on the current DirectDraw object. 0.
int ReleaseAllSurface2DData();
int RecreateAllSurface2DData();

// --- Flip to GDI ------------------------------------------------------------------------------
int SetFlipToGdiMode(int32_t value);
