// The screen: start and end, display modes, the screen surfaces (or the software images that
// stand for them), the screen's colours and palette, flip to GDI, the re-creation after a
// display change, and the present with its vertical-blank waits. State: screen_state.h.
#pragma once
#include <cstdint>

#include "graphics/screen/screen_state.h"

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
// The screen state as a process starts with it (software mode and the requested mode
// forgotten); only while the screen is closed. Tests that start the library more than once
// in one process call it between the runs.
void ResetScreenState();

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

// --- Surfaces -------------------------------------------------------------------------------
int CreateScreenSurfaces();
int ReleaseScreenSurfaces();
int RestoreScreenSurfaces();
int ReadScreenColorInfo();
int CreateScreenPalette();
int RebuildScreenPalette();

// --- Display change ---------------------------------------------------------------------------
// The re-creation after a display change: surfaces and objects released and made again, the
// draw target selected again, the screen cleared and presented. 0.
int RecreateScreenAfterDisplayChange();
int ReleaseDirectDrawObject();
// The surfaces of every graph released, or made again on the current DirectDraw object. 0.
int ReleaseAllSurface2DData();
int RecreateAllSurface2DData();

// --- Colours --------------------------------------------------------------------------------
uint32_t MakeScreenColor(int32_t r, int32_t g, int32_t b);
// 0; -1 for an 8-bit value outside 0..255. Any output may be null.
int GetScreenColorRGB(uint32_t value, int32_t* r, int32_t* g, int32_t* b);

// --- Settings ---------------------------------------------------------------------------------
int SetVSyncWait(int32_t value);
int GetVSyncWait();
int SetSoftwareRenderRequest(int32_t value);
int GetSoftwareRenderRequest();
int SetFlipToGdiMode(int32_t value);
int GetFlipToGdiMode();
// Only while no DirectDraw object exists. 0; -1 afterwards.
int SetUseTempPrimary(int32_t value);

// --- Present ----------------------------------------------------------------------------------
// 0; -1 when no screen is up; the wait's result when the draw target is the front.
int PresentScreen();
int PresentScreenWindowed();
// 0; -1 without DirectDraw or when the pump reports quit.
int WaitVBlankCount(int32_t count);
void WaitVBlankPaced();
int CopyPrimaryToTempPrimary();
int CopyTempPrimaryToPrimary();
// Starts and stops the temporary primary's 17 ms copy to the primary (front draw target).
void StartTempPrimaryTimer();
void StopTempPrimaryTimer();
