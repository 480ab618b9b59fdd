// The modules graph management plugs in when it starts (graph_system.cpp), as drivers: the 2D
// surface records and the graph file loader.
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/drivers/graph_surface_driver.h"
#include "graphics/graph_load/graph_load.h"
#include "graphics/surfaces/surface_2d.h"

const GraphSurfaceDriver kSurfaceRecords = {
    .create = CreateGraphSurface2D,
    .derive = DeriveGraphSurface2D,
    .release = DeleteGraphSurface2Ds,
    .fill = FillGraphSurface2Ds,
    .restore = RestoreGraphSurface2Ds,
};

const GraphLoaderDriver kGraphFileLoader = {.reloadAllGraphs = RestoreAllGraphs};
