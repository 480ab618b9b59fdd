// 2D surface records (handle kind 5): a graph's view onto its pixels, a size and a position
// inside a surface data record (kind 7) that it owns alone or shares with the graphs it was
// derived from or divided with.
#pragma once
#include <cstdint>

#include "graphics/graphs/graph_handle_table.h"
#include "base/handle_value.h"

struct Surface2DRecord {
    uint32_t serial;
    int32_t* deleteFlag;         // set to 1 on delete; null = none
    uint16_t drawOffsetX, drawOffsetY;
    uint16_t sourceX, sourceY;   // position of the view inside the surface data's pixels
    uint16_t width, height;
    HandleValue owner;           // the graph this view belongs to
    HandleValue surfaceData;     // kind 7
};

struct Surface2DTable {
    Surface2DRecord* slots[kMaxSurface2DHandles];
    int32_t count;
    int32_t usedBound;           // one past the highest slot in use
    int32_t serialCounter;
};

Surface2DTable& GetSurface2DTable();

// A view of width × height at (sourceX, sourceY) of the parent's surface data (moved by the
// parent's own position) sharing it, or, without a parent, of new surface data made with the
// draw state's colour key and the flag bytes. The handle or -1.
HandleValue AddSurface2D(int32_t width, int32_t height, int32_t drawOffsetX, int32_t drawOffsetY,
                         HandleValue owner, const Surface2DRecord* parent, int32_t sourceX,
                         int32_t sourceY, const GraphFlagBytes& flags);
Surface2DRecord* GetSurface2D(HandleValue handle);
// Stores the pointer and zeroes the int; 0 also for an invalid handle.
int SetSurface2DDeleteFlagPtr(HandleValue handle, int32_t* flag);
// Releases the view's reference on its surface data (deleting the data with the last one) and
// frees the view. 0, also for an invalid handle.
int DeleteSurface2D(HandleValue handle);
// Deletes every view.
int DeleteAllSurface2D();

// The graph's view of its own new pixels; 0 or -1.
int CreateGraphSurface2D(GraphRecord* graph);
// The derived graph's view of (x, y, width, height) of the parent graph's pixels; 0 or -1.
int DeriveGraphSurface2D(GraphRecord* graph, int32_t x, int32_t y, int32_t width,
                         int32_t height, GraphRecord* parent);
// Deletes the graph's views: the OR of the DeleteSurface2D results.
int DeleteGraphSurface2Ds(GraphRecord* graph);
// Restores the graph's lost surfaces: the OR of RestoreSurfaceDataIfLost (-1: reload needed),
// or -1 when a view does not resolve or no DirectDraw object exists outside software-only
// mode. A graph whose surfaces were restored is marked lost until it is reloaded.
int RestoreGraphSurface2Ds(GraphRecord* graph);
// Restores the screen surfaces and then the surface data of every view: the OR of the results.
int RestoreLostSurface2Ds();
// Fills the surface data of each of the graph's views with one colour; 0 or -1.
int FillGraphSurface2Ds(GraphRecord* graph, int32_t r, int32_t g, int32_t b, int32_t a);

// Deletes every view and surface data record and empties both tables.
void ClearSurfaceTables();
