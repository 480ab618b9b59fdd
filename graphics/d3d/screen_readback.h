// Copying a rectangle of the current draw screen into a texture graph. No single copy works on
// every Direct3D driver (some take a blit from the screen into a texture, some only a GDI copy,
// some only a lock of both surfaces), so five methods stand in a table: the capture tries the
// one that worked last time for this kind of texture, and otherwise walks the table until one
// succeeds and remembers it in the back end's readback slots (one for textures without alpha,
// one for textures with an alpha channel or an alpha-keyed format).
//
// Main thread only, under the library lock.
#pragma once
#include <cstdint>
#include <functional>

#include "base/handle_value.h"
#include "softrender/records/color_format.h"
#include "softrender/records/rect.h"
#include "platform/ddraw/ddraw_types.h"

namespace plat {
class DeviceContext;
class DrawSurface;
}

struct GraphRecord;
struct SurfaceDataRecord;

// A copy method: (x1, y1, x2, y2) of the draw screen into the graph's texture pieces, the
// rectangle's top-left landing on the graph's (0, 0). screenSizeFlag 0 on a window drawn
// straight onto the primary reads the rectangle in desktop coordinates. 0 on success; -1 with
// a log line on failure.
using ScreenReadbackMethod = int (*)(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                     const GraphRecord* graph, int32_t screenSizeFlag);

constexpr int32_t kScreenReadbackMethodCount = 5;

// The methods in the order they are tried, ended by a null entry.
extern const ScreenReadbackMethod kScreenReadbackTable[kScreenReadbackMethodCount + 1];

// Copies (x1, y1, x2, y2) of the draw screen into the texture graph. 0; 0 without copying while
// 3D drawing is suppressed; -1 when Direct3D is not up, the graph has no valid first texture
// piece, or every method failed (each logs its failure).
int CaptureScreenToGraph3D(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           const GraphRecord* graph, int32_t screenSizeFlag);

// The readback slot a graph's textures use: 0 for textures without alpha bits, 1 for those
// with an alpha channel or an alpha-keyed format.
int32_t ScreenReadbackSlotOf(const SurfaceDataRecord* texture);

// Tests only: the table the capture walks from now on (ended by a null entry; null puts the
// library's own table back). The remembered methods are forgotten.
void SetScreenReadbackTableForTests(const ScreenReadbackMethod* table);

// The five methods.
// BltFast from the draw target's surface into each piece's texture.
int G_D3D_GetDrawScreenGraphFunction1(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      const GraphRecord* graph, int32_t screenSizeFlag);
// GDI copy from the screen surface's DC into each piece's texture DC.
int G_D3D_GetDrawScreenGraphFunction2(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      const GraphRecord* graph, int32_t screenSizeFlag);
// GDI copy into a new work texture in the screen's format, then a locked conversion into
// each piece's texture.
int G_D3D_GetDrawScreenGraphFunction3(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      const GraphRecord* graph, int32_t screenSizeFlag);
// GDI copy into a work texture in the piece's format, then the device's Load into the piece.
int G_D3D_GetDrawScreenGraphFunction4(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      const GraphRecord* graph, int32_t screenSizeFlag);
// Locks the screen surface and each piece's texture and converts the pixels directly.
int G_D3D_GetDrawScreenGraphFunction5(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      const GraphRecord* graph, int32_t screenSizeFlag);

// --- What the methods share -------------------------------------------------------------------

// Where the rectangle lies: the screen it is read from and that screen's place on the draw
// target's surface.
struct ScreenReadbackArea {
    RECT rect;                    // as asked, in screen coordinates
    int32_t screenWidth, screenHeight;
    int32_t originX, originY;     // screen (0, 0) on the surface
    plat::DrawSurface* surface;   // the draw target's surface; null for a software image
    int32_t surfaceWidth, surfaceHeight;
};

// Measures the screen for the capture and checks the rectangle: -1 when x1 or y1 is negative
// or not below the screen's width or height, when the rectangle is empty or inverted, or when
// it is wider or taller than the graph.
int OpenScreenReadbackArea(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           const GraphRecord* graph, int32_t screenSizeFlag,
                           ScreenReadbackArea* out);

// One piece's share of the copy.
struct ScreenReadbackPiece {
    HandleValue surfaceDataHandle;  // the texture's surface-data record
    SurfaceDataRecord* surfaceData;
    plat::DrawSurface* texture;
    RECT fromScreen;                // on the draw target's surface
    int32_t toX, toY;               // in the texture surface
    int32_t width, height;
};

// The part of the rectangle that falls on the graph's piece number index, clipped to the
// screen and to the surface: 1 when there is one, 0 when it is empty, -1 when the piece or its
// texture does not resolve.
int ScreenReadbackPieceAt(const ScreenReadbackArea& area, const GraphRecord* graph,
                          int32_t index, ScreenReadbackPiece* out);

// The colour format of a surface's pixels, and its pixel format when asked. 0 or -1.
int ReadbackSurfaceFormat(plat::DrawSurface* surface, PaletteColorFormat* out,
                          plat::PixelFormat* pixelFormat);

// Sets the alpha bits of every pixel of (x, y, width, height) in a texture whose format has
// alpha (GDI copies leave them 0): the screen's pixels are opaque. DD_OK, or the failure of
// the texture's lock.
plat::DDResult MakeReadbackRectOpaque(plat::DrawSurface* texture, int32_t x, int32_t y,
                                      int32_t width, int32_t height);

// The error code logged for a failed GDI copy: the GDI layer keeps no last-error code.
constexpr uint32_t kReadbackGdiErrorCode = 0;

// --- Steps of the copy that more than one method takes (screen_readback_steps.cpp) -------------

// Runs copy for each piece the rectangle falls on, in the graph's order, until one fails: 0;
// -1 when a piece or its texture does not resolve; otherwise what the failed copy returned.
using ScreenReadbackPieceCopy = std::function<int(const ScreenReadbackPiece& piece)>;
int ForEachReadbackPiece(const ScreenReadbackArea& area, const GraphRecord* graph,
                         const ScreenReadbackPieceCopy& copy);

// Takes the DC of the draw target's surface, runs copy for each piece with it
// (ForEachReadbackPiece) and gives the DC back. A failed GetDC returns what logGetDcFailure
// returns for its result.
int ForEachReadbackPieceThroughScreenDc(
    const ScreenReadbackArea& area, const GraphRecord* graph,
    const std::function<int(plat::DDResult hr)>& logGetDcFailure,
    const std::function<int(plat::DeviceContext* screenDc, const ScreenReadbackPiece& piece)>&
        copy);

// The piece's share of its texture locked for writing.
struct ScreenReadbackLock {
    PaletteColorFormat format;  // of the texture's pixels
    int32_t pitch;
    void* pixels;
    RECT rect;  // the locked rectangle of the texture
};

// Locks the piece's share of its texture: 0, or the failure (not 0) with nothing held. Only a
// lock of its own counts: a nested lock (-2) would write into pixels that another caller holds.
int LockReadbackPiece(const ScreenReadbackPiece& piece, ScreenReadbackLock* out);
void UnlockReadbackPiece(const ScreenReadbackPiece& piece, const ScreenReadbackLock& lock);

// A new system-memory work texture of the piece's size in the given pixel format; the
// creation's result (DDERR_GENERIC when there is no DirectDraw object).
plat::DDResult CreateReadbackWorkTexture(const plat::PixelFormat& pixelFormat,
                                         const ScreenReadbackPiece& piece,
                                         plat::DrawSurface** out);

// GDI copy of the piece's share of the screen into (0, 0) of a work texture through its DC: 0,
// or -1 after a log line that names the method (its failures log the same texts).
int CopyScreenDcIntoWorkTexture(const char* method, plat::DeviceContext* screenDc,
                                plat::DrawSurface* work, const ScreenReadbackPiece& piece);
