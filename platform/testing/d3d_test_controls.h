// Test controls of the 3D layer (platform/d3d/d3d.h): offering the Direct3D object at all, the
// texture side limits the device reports, injected failures and a log of the calls made. Only
// tests use them.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/d3d/d3d.h"
#include "platform/d3d/d3d_call_log.h"

namespace plat {

// Back to the test defaults: the Direct3D object not offered (test programs start without it;
// a program's own default is to offer it), texture sides 1..2048, no pending failures, call log
// off and empty. Live objects are left alone.
void ResetD3DTestControls();

// Whether DirectDraw::QueryDirect3D hands out the Direct3D object.
void OfferDirect3D(bool on);

// The smallest and largest texture sides the device description reports (0 is reported as
// given, for callers that must replace it).
void SetD3DTextureSideLimits(uint32_t minSide, uint32_t maxSide);
// Whether the device description reports D3DPTEXTURECAPS_SQUAREONLY (off by default).
void SetD3DSquareOnlyTextures(bool on);
// Whether the device's EnumTextureFormats offers the 16-bit formats only (off by default:
// all six); the device still draws from every format.
void OfferOnly16BitD3DTextureFormats(bool on);

// The next count calls of CreateDevice fail with DDERR_OUTOFMEMORY; the next count
// CreateSurface calls of DDSCAPS_TEXTURE surfaces fail with DDERR_OUTOFVIDEOMEMORY.
void FailNextDeviceCreates(int count);
void FailNextTextureCreates(int count);

// The call log (records: D3DCall of d3d_call_log.h).
void StartD3DCallLog();
// The calls recorded since the start or the last take; recording goes on.
std::vector<D3DCall> TakeD3DCallLog();
void StopD3DCallLog();

// Whether draws may use the rasteriser's fast span loops and draw a quad's two halves
// together (on by default); off, every triangle is drawn alone and every pixel goes through
// the general path. Tests compare the two.
void UseD3DFastSpans(bool on);
// Triangles drawn by the fast span loops so far (tests check that a comparison reached them).
uint64_t D3DFastTriangleCount();
// Pairs of triangles drawn together so far, and of those the axis-aligned rectangles.
uint64_t D3DJoinedPairCount();
uint64_t D3DRectanglePairCount();
// Of those, the rectangles drawn one texel per pixel straight from their vertices, with no
// plane set-up.
uint64_t D3DUnscaledRectangleCount();
// Whether the fast loops may draw eight pixels at a time where the processor has AVX2 (on by
// default); off, they draw four at a time. Tests run both; D3DWideSpansAvailable tells
// whether the processor has them at all, D3DWideRunCount how many spans they drew part of.
void UseD3DWideSpans(bool on);
bool D3DWideSpansAvailable();
uint64_t D3DWideRunCount();

// Devices made and not yet released.
uint32_t LiveD3DDeviceCount();

}  // namespace plat
