// Reading back what has been drawn on the current draw target: saving a rectangle of it to an
// image file (BMP written here, JPEG and PNG through the image writers).
#pragma once
#include <cstdint>

#include "base/handle_value.h"

// File types of WriteScreenImageFile.
constexpr int kScreenSaveBmp = 0;
constexpr int kScreenSaveJpeg = 1;
constexpr int kScreenSavePng = 2;

// Saves (x1, y1, x2, y2) of the draw target, clipped to the draw area, to the file fileName
// (a Shift-JIS path; an existing file is replaced). type: kScreenSaveBmp (24-bit, rows
// bottom-up), kScreenSaveJpeg (jpegQuality 0..100, jpegFlag) or kScreenSavePng (pngLevel,
// the zlib level, -1 for its default). 0 when the file was written; -1 with a log line when
// no screen is up, the rectangle clipped to the draw area is empty, the target's pixels
// cannot be read, the type is unknown, or the buffers or the file cannot be made or written.
int WriteScreenImageFile(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const char* fileName,
                         int type, int jpegQuality, int jpegFlag, int pngLevel);

struct GraphRecord;

// Copies (x1, y1, x2, y2) of the draw target into the graph's own pixels (its 2D surface or
// software image), converting to the graph's format; in a graph surface the pixel bits of
// the screen format that belong to no channel are set to ones. 0; -1 when no screen is up, the rectangle is empty,
// differs in size from the graph or leaves the draw target, the graph has no 2D pixels, or a
// copy or a lock fails. Nothing is changed on failure before the copy.
int CaptureScreenToGraph2D(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           const GraphRecord* graph);

// Copies (x1, y1, x2, y2) of the draw target into the graph: after the inactive-window wait and
// the end of the Direct3D scene, a texture graph goes to the Direct3D readback (screenSizeFlag:
// 0 reads a window drawn onto the primary in desktop coordinates), any other graph to
// CaptureScreenToGraph2D. 0; -1 for a handle that is not a live graph or a failed copy.
int CaptureScreenToGraph(int32_t x1, int32_t y1, int32_t x2, int32_t y2, HandleValue graph,
                         int32_t screenSizeFlag);
