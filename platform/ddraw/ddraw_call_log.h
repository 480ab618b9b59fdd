// The surface layer's defaults and the record of its call log, shared by the layer and its
// test controls (platform/testing/ddraw_test_controls.h).
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/ddraw/ddraw.h"

namespace plat {

// Bytes of video memory that surfaces may take in all, until a test control sets another.
inline constexpr size_t kDefaultVideoMemoryBudget = 64u << 20;
// The byte a restored surface is filled with.
inline constexpr uint8_t kRestoredSurfacePoisonByte = 0xA5;

// One call of the layer as the log records it.
struct DDrawCall {
    const char* op;        // "CreateSurface", "Lock", "Unlock", "Blt", "BltFast", "SetColorKey",
                           // "GetDC", "ReleaseDC", "Restore", "AddAttachedSurface",
                           // "DeleteAttachedSurface", "Flip", "FlipToGDISurface",
                           // "SetClipper", "Release" (the final one)
    uint32_t surface;      // serial of the surface (SurfaceSerial); the new one for creates
    uint32_t caps;         // CreateSurface: the caps asked for; else 0
    uint32_t flags;        // the call's flags
    bool hasRect;          // rect below is the call's (destination) rectangle
    Rect rect;
    DDResult result;
};

}  // namespace plat
