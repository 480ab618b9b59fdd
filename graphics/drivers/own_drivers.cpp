// Graphics' own modules as drivers: the 2D surface records and the graph file loader.
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/drivers/graph_surface_driver.h"
#include "graphics/graph_load.h"
#include "graphics/surface_2d.h"

const GraphSurfaceDriver kSurfaceRecords = {
    CreateGraphSurface2D,   DeriveGraphSurface2D, DeleteGraphSurface2Ds,
    FillGraphSurface2Ds,    RestoreGraphSurface2Ds, ClearSurfaceTables,
};

const GraphLoaderDriver kGraphFileLoader = {RestoreAllGraphs};
