// The pixels of graphs: a graph's surfaces are made, derived over a parent's, released,
// filled and restored through a GraphSurfaceDriver. Two slots hold one each: the 2D surface
// records (graphics' own, installed by graph management's start-up) and the Direct3D texture
// pieces (installed by the 3D device's module). Without a module a graph of its kind cannot be
// made: creation and derivation fail, release and restore find nothing to do.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"

struct GraphRecord;

struct GraphSurfaceDriver {
    // Makes the graph's surfaces; 0 or -1.
    int (*create)(GraphRecord* graph);
    // Makes the graph's surfaces over (x, y, width, height) of the parent's; 0 or -1.
    int (*derive)(GraphRecord* graph, int32_t x, int32_t y, int32_t width, int32_t height,
                  GraphRecord* parent);
    // Releases the graph's surfaces; 0 or -1.
    int (*release)(GraphRecord* graph);
    // Fills every surface of the graph with one colour; 0 or -1.
    int (*fill)(GraphRecord* graph, int32_t r, int32_t g, int32_t b, int32_t a);
    // Restores the graph's lost surfaces; 0, or -1 when a reload is needed.
    int (*restore)(GraphRecord* graph);
};

extern const GraphSurfaceDriver kAbsentGraphSurfaces;
// The 2D surface records.
DriverSlot<GraphSurfaceDriver>& Surface2DSlot();
// The Direct3D texture pieces.
DriverSlot<GraphSurfaceDriver>& TextureSlot();

// Graphics' own 2D surface records as a driver.
extern const GraphSurfaceDriver kSurfaceRecords;
