// Mask screens: a mask of one byte per screen pixel limits where drawing reaches the draw
// target. While mask drawing is active every draw is bracketed by two hooks: before it, the
// rectangle the draw may touch is copied from the draw target into the mask screen (a copy of
// the screen's size and format: a MEMIMG on the software screen, an off-screen surface on
// DirectDraw), and the draw itself goes into the mask screen; after it, the pixels of that
// rectangle whose mask byte lets drawing through are copied back onto the draw target. So the
// new drawing shows where the mask lets it through and the target keeps its old pixels
// everywhere else.
//
// The copy back picks pixels by the mask bytes themselves, not by a transparent colour, so
// that every drawn colour (black included) reaches the target.
//
// Mask images are free-standing byte bitmaps that are drawn into the mask, as a shape is
// stamped; the mask itself is filled by rectangles.
#pragma once
#include <cstdint>

#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

namespace plat {
class DrawSurface;
}

struct GraphImage;

// The mask's own state. The switch, the video-memory flag and the active flag that every draw
// path tests live in the draw state (maskRequested, maskInVideoMemory, maskActive).
struct MaskState {
    uint8_t* bits;                // the mask bitmap, pitch × height bytes; null when none
    int32_t pitch;                // the screen width rounded up to a multiple of 4
    int32_t width, height;        // the screen size the bitmap was made for
    int32_t screenWanted;         // 1: keep a mask bitmap and a mask screen
    int32_t reverse;              // 0: drawing shows where the byte is non-zero; 1: where it is 0
    int32_t isMemImg;             // 1: the mask screen is memImg
    plat::DrawSurface* surface;   // the mask screen on DirectDraw, or null
    MEMIMG memImg;                // the mask screen on the software screen
};

MaskState& GetMaskState();

// --- The mask screen -----------------------------------------------------------------------
// Always the same record; a usable destination only while the software screen is selected and
// the mask screen exists (its magic is set then).
MEMIMG* GetMaskMemImg();
// The mask screen on DirectDraw; null when there is none.
plat::DrawSurface* GetMaskSurface();
// 1 when a mask screen exists (a MEMIMG with pixels, or a surface).
int MaskScreenExists();

// Makes what is asked and missing: the bitmap (zeroed) and the mask screen. 0. A mask screen
// that cannot be made ends the process through the fatal error routine.
int CreateMaskScreen(int32_t makeBitmap, int32_t makeScreen);
// Frees the bitmap and releases the mask screen. 0.
int ReleaseMaskScreen();
// After a display change: makes bitmap and screen again when the screen is wanted and applies
// the switch again when it was on. 0.
int RecreateMaskAfterRestore();
// Ends the mask screens at graphics shut-down. 0.
int TermMaskScreen();
// 1 when a mask screen is kept (asked for or made). A mode change, which ends graph management
// and starts it again, asks this first and then remakes the mask (RemakeMaskScreen).
int32_t MaskScreenKept();
// After a mode change has started graph management again: asks for the mask screen once
// more (an empty bitmap and a mask screen of the new screen's size and format) and, with
// enabled non-zero, switches mask drawing on. 0.
int RemakeMaskScreen(int32_t enabled);

// Asks for a mask screen (wanted 1: the bitmap and screen are made at once) or gives it up
// (0: everything is released and mask drawing ends). 0.
int RequestMaskScreen(int32_t wanted);

// Switches mask drawing on or off: active when the flag is non-zero and a mask screen is
// wanted. 0; -1 when there is no mask bitmap (nothing changes).
int SetMaskEnabled(int32_t flag);
// The last value given to SetMaskEnabled.
int32_t GetMaskEnabled();
// 0: drawing shows where the mask byte is non-zero; 1: where it is 0. 0.
int SetMaskReverse(int32_t reverse);

// --- The mask bitmap -------------------------------------------------------------------------
// Stores value into the bytes of (left, top, right, bottom) of the mask, clipped to it
// (corners in any order). 0; -1 when there is no mask bitmap.
int FillMaskRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint8_t value);
// The mask byte at (x, y); -1 outside the mask or without one.
int GetMaskByte(int32_t x, int32_t y);

// A free-standing mask shape: width × height bytes, row after row.
struct MaskImage {
    int32_t width, height;
    uint8_t* bits;  // tracked memory, null when the image is empty
};
// Makes a zeroed mask image. 0; -1 (with a log line) for a size below 1 or too large, or when
// the memory cannot be had (out is then empty).
int MakeMaskImage(int32_t width, int32_t height, MaskImage* out);
// Frees the bytes and empties the record (an empty one is left alone).
void DeleteMaskImage(MaskImage* image);
// Stores value into (left, top, right, bottom) of the image, clipped to it. 0; -1 when empty.
int FillMaskImage(MaskImage* image, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  uint8_t value);
// Copies the image into the mask with its top-left at (x, y), clipped to the mask; with
// transparent 1 the image's zero bytes leave the mask as it is. 0; -1 when there is no mask
// bitmap or the image is empty.
int DrawMaskImage(int32_t x, int32_t y, const MaskImage* image, int32_t transparent);

// --- The hooks around a draw ------------------------------------------------------------------
// The draw target is given either as a surface (target null image) or as an image (null
// surface); rect is the part of the target the draw may touch. Both do nothing when there is
// no mask screen; the after-hook also nothing while mask drawing is not active. 0.
int MaskBeforeDraw(const RECT* rect, plat::DrawSurface* source, const GraphImage* sourceImage);
int MaskAfterDraw(const RECT* rect, plat::DrawSurface* target, const GraphImage* targetImage);

// The bracket every draw path puts around its pixel writes while mask drawing is active: the
// current draw target described as an image (when it has its own software image) or as its
// surface, handed to MaskBeforeDraw and MaskAfterDraw. 0.
int BeginMaskBracket(RECT rect);
int EndMaskBracket(RECT rect);
