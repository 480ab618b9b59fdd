// The screen: the screen surfaces (or the software images that stand for them), the screen's
// colours and palette, its settings, and the present with its vertical-blank waits. State:
// screen_state.h. Its opening and closing, its modes, the switch to software and the re-creation
// after a display change, which start and end the rest of graphics around the screen, are
// graphics/screen_setup/screen_setup.h.
#pragma once
#include <cstdint>

#include "graphics/screen/screen_state.h"

// --- Start and end --------------------------------------------------------------------------
// The screen state as a process starts with it (software mode and the requested mode
// forgotten); only while the screen is closed. Tests that start the library more than once
// in one process call it between the runs.
void ResetScreenState();

// --- Surfaces -------------------------------------------------------------------------------
int CreateScreenSurfaces();
int ReleaseScreenSurfaces();
int RestoreScreenSurfaces();
int ReadScreenColorInfo();
int CreateScreenPalette();
int RebuildScreenPalette();

// --- Colours --------------------------------------------------------------------------------
uint32_t MakeScreenColor(int32_t r, int32_t g, int32_t b);
// 0; -1 for an 8-bit value outside 0..255. Any output may be null.
int GetScreenColorRGB(uint32_t value, int32_t* r, int32_t* g, int32_t* b);

// --- Settings ---------------------------------------------------------------------------------
int SetVSyncWait(int32_t value);
int GetVSyncWait();
int SetSoftwareRenderRequest(int32_t value);
int GetSoftwareRenderRequest();
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
