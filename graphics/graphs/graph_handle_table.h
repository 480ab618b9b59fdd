// Graph handles and graph records.
//
// A graph is the library's unit of drawable image. Its record holds the graph's size, its
// creation flags, where it came from (so that lost surfaces can be reloaded) and the handles of
// the surfaces that hold its pixels: one 2D surface record, or up to 64 Direct3D texture pieces.
// The pixels themselves live in those surfaces, not here.
#pragma once
#include <cstdint>

#include "base/handle_value.h"

struct GraphImage;

constexpr int32_t kGraphMaxSurfaces = 64;
constexpr int32_t kGraphFileNameSize = 64;
constexpr int32_t kGraphDirectorySize = 256;

// The eight creation flag bytes of a graph; they are handed unchanged to the graph's surface
// data as its flag bytes.
struct GraphFlagBytes {
    uint8_t is3D;        // held as Direct3D textures
    uint8_t alpha;       // has an alpha channel
    uint8_t drawValid;   // may be a draw target
    uint8_t softImage;   // 2D graphs: held as a software image in system memory
    uint8_t alphaTest;   // copy of the alpha-test creation setting
    uint8_t colorDepth;  // bits per pixel of the surface: 16 or 32
    uint8_t rawImage;    // always 0 (read by the surface record as its raw 8-bit flag)
    uint8_t paletted;    // 2D graphs: held as 8-bit palette indices
};

struct GraphRecord {
    uint32_t serial;                        // 11-bit check serial
    int32_t* deleteFlag;                    // caller's int set to 1 on delete; null = none
    HandleValue handle;                     // own handle
    GraphFlagBytes flags;
    HandleValue surfaces[kGraphMaxSurfaces];  // 2D: [0] is a 2D surface; 3D: texture pieces
    int32_t surfaceCount;
    char fileName[kGraphFileNameSize];      // source file name, empty when none
    char directory[kGraphDirectorySize];    // current directory at load time
    int32_t sourceX, sourceY;               // position inside the image the file decodes to
    int32_t width, height;
    HandleValue movie;                      // movie rendering into this graph, -1 none
    int32_t lost;                           // 1 while the surfaces wait to be reloaded
    void* extraBuffer;                      // owned block freed on delete, null = none
    // 1 when the file name or directory did not fit its buffer: the graph cannot be reloaded
    // from its file, since the stored name is not the name it was loaded from.
    int32_t sourceNameTruncated;
};

struct GraphHandleTable {
    GraphRecord* slots[kMaxGraphHandles];  // null = free
    int32_t count;                         // records in use
    int32_t areaEnd;                       // one past the highest used slot
    int32_t serialCounter;                 // next check serial, 0..2047
};

// The restore callback: reloads the graphs whose surfaces were lost.
using GraphRestoreCallback = int (*)();

// --- Lookup ---------------------------------------------------------------------------------
// The record behind a graph handle, or null when the handle is not a live graph handle.
GraphRecord* GetGraphRecord(HandleValue handle);
// 1 when the graph has a source file it can be reloaded from.
int IsGraphReloadable(const GraphRecord* graph);

// --- Creation and deletion ------------------------------------------------------------------
// Takes a slot and fills a record from the creation settings; the record has no surfaces.
// A full table or a failed allocation is fatal.
HandleValue AllocGraphRecord(int32_t width, int32_t height, int want3D, GraphRecord** out,
                             int alpha, uint8_t paletted);
// AllocGraphRecord, then the graph's surfaces; -1 (and no graph) when they cannot be made.
HandleValue AllocGraphWithSurface(int32_t width, int32_t height, int want3D, int alpha,
                                  uint8_t paletted);
// A graph with no image, alpha from the blank-graph alpha setting.
HandleValue CreateBlankGraph(int32_t width, int32_t height, int no3D);
// A graph shaped for a decoded image (and its separate alpha image, or null).
HandleValue CreateGraphForImage(const GraphImage* image, const GraphImage* alphaImage,
                                int want3D);
// A graph showing the rectangle (x, y, width, height) of the parent, clipped to the parent.
HandleValue DeriveGraph(int32_t x, int32_t y, int32_t width, int32_t height, HandleValue parent);
int DeleteGraphHandle(HandleValue handle, int logFlag);
int DeleteAllGraphs(int logFlag);

// --- Record settings ------------------------------------------------------------------------
int SetGraphDeleteFlagPtr(HandleValue handle, int32_t* flag);
// Stores the current directory and the file name (empty for null) for reloading.
int SetGraphSourceName(HandleValue handle, const char* name);
int FillGraph(HandleValue handle, int32_t r, int32_t g, int32_t b, int32_t a);

// --- Lost surfaces --------------------------------------------------------------------------
int RestoreGraphSurfaces(HandleValue handle);
int RestoreLostGraphSurfaces();
int FlagGraphsLostAndRestore();
// Installs the restore callback; null installs the default reloader, which hands the restore
// to the graph loader plugged in when it runs (nothing is reloaded while none is).
int InstallGraphReloadHandler(GraphRestoreCallback callback);
int HasGraphRestoreCallback();
