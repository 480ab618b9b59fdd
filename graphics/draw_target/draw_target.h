// The 2D side of drawing: which surface or software image the current draw target is, the
// begin and end of software drawing on a target held in DirectDraw surfaces, the clear of the
// draw target, the box fill, raw fills and surface copies, and the front screen of a software
// screen kept in step with the window. The graph draws on these roads, the unscaled one every
// sprite takes among them, are graphics/draw_graph/soft_road/.
//
// Two roads. On a software screen the back and front screens are software images and every
// draw is a software blit between images. On a screen in DirectDraw surfaces an opaque,
// unblended, unmodulated sprite is one BltFast; every other draw locks the smallest
// rectangle of the destination (and of the source), wraps the locked pixels in a MEMIMG and
// runs the software renderer on it between BeginSoftDraw and EndSoftDraw.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

namespace plat {
class DrawSurface;
}

struct GraphImage;
struct GraphRecord;
struct Surface2DRecord;

// What the current draw target is made of; rebuilt by SelectDrawTargetSurface on every change
// of draw target.
struct DrawTargetSurface {
    plat::DrawSurface* surface;  // holds the target's pixels; null for a software image
    int32_t offsetX, offsetY;    // the target's (0, 0) inside surface (a derived graph)
    MEMIMG* image;               // the target's own software image, or null (must be locked)
    MEMIMG* depthImage;          // the target's Z-buffer image, or null
    int32_t inVideoMemory;       // 1 when surface lies in video memory
};

// One software draw on a DirectDraw target, from BeginSoftDraw to EndSoftDraw.
struct SoftDrawState {
    int32_t useBltFast;              // 1: draw with one BltFast of the fields below
    plat::DrawSurface* sourceSurface;
    RECT sourceRect;                 // in sourceSurface
    plat::DrawSurface* destSurface;
    RECT destRect;                   // in destSurface: the locked (or BltFast) rectangle
    RECT clipRect;                   // the caller's destination clipped to the draw area
    MEMIMG* destImage;               // what the kernel writes (target coordinates)
    MEMIMG destView;                 // built over the locked destination pixels
    int32_t destLocked;
    int32_t viaWork;                 // the destination went through the work surface
    int32_t convertFormat;           // pixels are converted to the standard format and back
    plat::DrawSurface* workOrigin;   // where the work surface's contents go back to
    int32_t workOriginX, workOriginY;
    const MEMIMG* sourceImage;       // what the kernel reads (graph coordinates), or null
    MEMIMG sourceView;
    int32_t sourceLocked;
    int32_t sourceViaWork2;          // the source went through the second work surface
    // Work surfaces made for this draw because its rectangle did not fit the screen's (a
    // target or a graph larger than the screen); released at the end of the draw.
    plat::DrawSurface* madeWork;
    plat::DrawSurface* madeWork2;
    // The draw area while the draw runs is narrowed to clipRect, so that no kernel writes
    // outside the locked rectangle; the caller's area comes back at EndSoftDraw.
    RECT savedDrawArea;
    int32_t drawAreaNarrowed;
    int32_t begun;                   // a lock-road draw is open: EndSoftDraw has work to do
};

DrawTargetSurface& GetDrawTargetSurface();
SoftDrawState& GetSoftDrawState();

// The surface of the current draw target (null for a software image).
plat::DrawSurface* GetDrawTargetDDSurface();
// 1 when the screen is a window and the draw target is drawn on the primary itself.
int IsDrawingToPrimaryInWindow();

// Binds the new target (-4 front, -2 back, else a graph) to its surface or software image;
// previous is the target selected before. 0, or -1 when a graph target has no valid record
// or 3D data, or (with a log line) no pixels of its own: no 2D surface or surface data, or a
// rectangle that leaves its software image.
int SelectDrawTargetSurface(HandleValue target, HandleValue previous);

// Begins software drawing on the DirectDraw target for destRect (target coordinates): with
// record and wantSource the source is the record's rectangle sourceRect (graph-relative).
// writeOnly: the draw does not read the destination. colourA / colourB (either may be null)
// are converted to the standard format when the pixels are. 0 when ready (also at once on a
// software screen); -1 when destRect clipped to the draw area is empty, when the target
// cannot be drawn in software, or when a work surface cannot be made, a copy or a lock fails:
// then nothing is left locked and nothing needs EndSoftDraw. A rectangle larger than the
// screen's work surfaces goes through work surfaces of its own size.
int BeginSoftDraw(const Surface2DRecord* record, int wantSource, const RECT* sourceRect,
                  const RECT* destRect, int writeOnly, uint32_t* colourA, uint32_t* colourB);
// As BeginSoftDraw for a draw that must run a software kernel (a scaled, rotated or
// triangle draw, a fill): never takes the BltFast case.
int BeginSoftDrawForKernel(const Surface2DRecord* record, int wantSource, const RECT* sourceRect,
                           const RECT* destRect, int writeOnly, uint32_t* colourA,
                           uint32_t* colourB);
// Converts back, unlocks and copies back what BeginSoftDraw prepared. 0.
int EndSoftDraw();
// The pixels a software kernel may touch around the box its caller measured: 2 before and 4
// after on each axis, held inside the 32-bit range. BeginSoftDrawForKernel locks this much.
RECT KernelReach(const RECT& box);

// Clears the current draw target with the background colour. 0; -1 when no screen is up or
// the graph target is invalid.
int ClearDrawTargetSurface();
// The draw state's clear: the Direct3D clear when in use, the clear of the draw target, and on
// a software screen drawn to the front the repaint of the whole screen. 0 or -1.
int ClearCurrentScreen();

// The box fill's software road: fills (x1, y1, x2, y2) of the draw target (the mask's while
// a mask is active) with a screen colour under the blend mode and bright. 0; -1 when no
// screen is up or the target cannot be drawn.
int FillBoxSoft(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);

// Stores value into every pixel of rect (null: the whole image) clipped to the image, as 1, 2
// or 4 bytes by the image's bytes per pixel; no blend, no bright.
void FillMemImgRaw(MEMIMG* image, const RECT* rect, uint32_t value);

// Copies rect of source to (x, y) of dest. mode -1: the measured choice of the screen; 0:
// BltFast; else GDI BitBlt. 0; -1 on failure.
int CopySurfaceRect(plat::DrawSurface* dest, plat::DrawSurface* source, int32_t x, int32_t y,
                    const RECT* rect, int mode);

// Copies (x, y, width, height) of a 16-bit 5-6-5 or 32-bit software image without palette or
// alpha into the decoded image at (destX, destY), converting to the image's format; the two
// options are TransferPixels' A and B. The rectangle is held inside both images; other
// software images copy nothing.
void CopyMemImgToImage(GraphImage* image, const MEMIMG* memimg, int32_t x, int32_t y,
                       int32_t width, int32_t height, int32_t destX, int32_t destY, int optionA,
                       int optionB);

// The screen's rectangle (0, 0, width, height), moved to the window's place on the desktop
// unless the front is drawn through the temporary primary. 0.
int GetScreenRectOnDesktop(RECT* out);

// While a mask screen is active every draw is bracketed for it (BeginMaskBracket and
// EndMaskBracket of the mask module, graphics/mask/) and goes into the mask screen: its
// software image on a software screen, its surface on DirectDraw surfaces.

// Software screen, front target: brings the window's picture into the front image when the
// present asked for it. 0.
int ReadBackFrontScreen();
// Software screen, front target: shows rect (screen coordinates) of the front image in the
// window. 0.
int RepaintFrontRect(const RECT* rect);
// After a draw into box on a software screen: when the draw went to the front screen (no
// mask active), the box is shown in the window at once.
void ShowFrontDraw(const RECT* box);
