// The draw state's calls: setting the blend, the colour key, the creation settings of new
// graphs, the draw target and the draw area, and reading sizes. The record they change, its
// accessor and the rectangle routines are in graphics/graphs/draw_state_record.h.
#pragma once
#include <cstdint>

#include "graphics/graphs/draw_state_record.h"

struct GraphRecord;

// --- Blending and colour ------------------------------------------------------------------
int SetBlendState(int32_t mode, int32_t param);
int SelectBlendGraph(HandleValue graph, int32_t borderParam, int32_t borderRange);
// -1 when the blend graph does not resolve or is smaller than the graph; else 0.
int CheckBlendGraphCovers(const GraphRecord* graph);
int SetBrightPacked(uint32_t rgb);
int SetBrightRGB(int32_t r, int32_t g, int32_t b);
int SetSampleFilter(int32_t mode);
int GetSampleFilter();
int SetColorKeyRGB(uint8_t r, uint8_t g, uint8_t b);

// --- Creation settings --------------------------------------------------------------------
int SetUse3DFlag(int32_t value);
int SetNewGraphsDrawable(int32_t value);
int SetUseSoftImageGraph(int32_t value);
int SetUseVideoMemGraph(int32_t value);

// --- Draw target and draw area ------------------------------------------------------------
int SetDrawAreaRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
int GetDrawAreaRect(RECT* out);
int SetFrontScreenRect(const RECT* rect);
// The window's client area moved to *client (desktop coordinates): while graph management is
// up, the front screen's place follows it when the front screen is the draw target (with mask
// drawing off for that moment; not while the front is drawn through the temporary primary),
// and the current draw area is applied again for the new place. 0.
int FollowWindowClientMove(const RECT* client);
HandleValue GetDrawTarget();
int SetDrawTarget(HandleValue target);

// --- Sizes and device ---------------------------------------------------------------------
// For -4 and -2 the screen size, for a graph its size; -1 for an invalid handle.
int QueryGraphDimensions(HandleValue handle, int32_t* width, int32_t* height);
// Screen width, height and display depth (defaults 640, 480, 16).
int GetScreenModeInfo(int32_t* width, int32_t* height, int32_t* depth);
// 1 when drawing goes through a usable Direct3D device.
int IsUsing3DDevice();
