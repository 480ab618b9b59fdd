// Surface data records (handle kind 7): the pixels behind graphs and texture pieces. A record
// owns a surface of the surface layer (plain surface or texture), or a MEMIMG when the graph is
// a software image or the screen is drawn in software, plus an optional Z buffer. Records are
// reference-counted: derived and divided graphs share their parent's record.
#pragma once
#include <cstdint>

#include "softrender/records/color_format.h"
#include "graphics/graphs/graph_handle_table.h"
#include "base/handle_value.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

namespace plat {
class DrawSurface;
}

// Format numbers of surface data records (textures use the Direct3D format numbers).
constexpr uint32_t kSurfaceFormatPlain = 9;
constexpr uint32_t kSurfaceFormatSoft16 = 10;
constexpr uint32_t kSurfaceFormatSoft16Alpha = 11;
constexpr uint32_t kSurfaceFormatSoft32 = 12;
constexpr uint32_t kSurfaceFormatSoft32Alpha = 13;

struct SurfaceDataRecord {
    uint32_t serial;
    int32_t* deleteFlag;       // set to 1 on delete; null = none
    // The eight flag bytes handed over by the creator.
    uint8_t isTexture;
    uint8_t alpha;
    uint8_t drawValid;         // forced to 1 for every non-texture record
    uint8_t softImage;         // held as a MEMIMG; after a surface is made: 1 when in system memory
    uint8_t alphaTest;
    uint8_t colorDepth;
    uint8_t rawImage;          // held as a raw 8-bit MEMIMG
    uint8_t paletted;
    uint32_t software;         // 1: the pixels live in image, there is no surface
    uint32_t formatNumber;     // kSurfaceFormat*, or the texture format number
    uint32_t zBufferPresent;   // 1 while a Z buffer is wanted and attached
    plat::DrawSurface* surface;
    MEMIMG image;
    plat::DrawSurface* zSurface;
    MEMIMG zImage;
    uint32_t colorKey;         // 0x00RRGGBB
    uint16_t width, height;
    int32_t refCount;
    int32_t lockedPitch;
    void* lockedPointer;
    int32_t lockCount;
    RECT lockedRect;           // the outermost lock's rectangle (the whole surface for none)
};

struct SurfaceDataTable {
    SurfaceDataRecord* slots[kMaxSurfaceDataHandles];
    int32_t count;
    int32_t usedBound;         // one past the highest slot in use
    int32_t serialCounter;
};

SurfaceDataTable& GetSurfaceDataTable();

// A new record with the creator's flag bytes and its surface made; the handle or -1.
HandleValue AddSurfaceData(int32_t refCount, int32_t width, int32_t height, uint32_t colorKey,
                           const GraphFlagBytes& flags);
SurfaceDataRecord* GetSurfaceData(HandleValue handle);
int SetSurfaceDataDeleteFlagPtr(HandleValue handle, int32_t* flag);
// The new reference count, or -1 for an invalid handle. Releasing does not delete.
int AddSurfaceDataRef(HandleValue handle);
int ReleaseSurfaceDataRef(HandleValue handle);
// Releases the surfaces and frees the record; 0 or -1.
int DeleteSurfaceData(HandleValue handle);
// Deletes every record and empties the table (graphics start-up and tests).
void ClearSurfaceDataTable();

// Makes the record's surface (or MEMIMG) when it has none; 0 or -1.
int CreateSurfaceDataSurface(HandleValue handle);
// Releases the record's image, surface and Z buffer.
int ReleaseSurfaceDataSurfaces(HandleValue handle);
// Around a display change: releases (make false), or makes again and gives their colour keys
// (make true), the surfaces of every record held in a surface that is a texture (textures
// true) or that is not (textures false).
void RemakeOrReleaseSurfaceDataSurfaces(bool textures, bool make);
// Makes the Z buffer exist exactly when wanted (draw-valid records only); 0 or -1.
int SetSurfaceDataZBuffer(HandleValue handle, int wanted);
// Gives the record's surface its source colour key; 0 or -1.
int ApplySurfaceDataColorKey(HandleValue handle);
// 0 when there is no surface or it is not lost; a lost surface (and its Z buffer) is restored
// and -1 returned: its pixels must be reloaded.
int RestoreSurfaceDataIfLost(HandleValue handle);

// Locks rect (null: the whole record) for direct access: *pitch and *pointer describe it and
// *format (when asked) is the pixels' format. 0 for the outermost lock; -2 for a nested lock of
// the same rectangle (the same pointer and pitch); -1 for a failure, a rectangle outside the
// record, or a nested lock of another rectangle.
int LockSurfaceData(HandleValue handle, int32_t* pitch, void** pointer, int writeOnly,
                    const RECT* rect, const PaletteColorFormat** format);
// Ends one lock; the outermost unlock releases the surface. -1 when not locked.
int UnlockSurfaceData(HandleValue handle, const RECT* rect);

// Fills the whole record with a colour (surfaces by a colour-fill blit; software images
// pixel by pixel in their own format, a paletted one with the palette entry of the colour);
// 0 or -1.
int FillSurfaceData(HandleValue handle, int32_t r, int32_t g, int32_t b, int32_t a);
