// Pass-throughs from a texture graph to the textures of its pieces: the restore of lost
// textures and the colour fill.
#include "graphics/d3d/texture_pieces.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_data.h"

int RestoreGraphTextures(GraphRecord* graph) {
    if (!Direct3DIsUp()) return -1;
    int result = 0;
    for (int32_t i = 0; i < graph->surfaceCount && i < kGraphMaxSurfaces; ++i) {
        const Surface3DData* piece = GetSurface3DData(graph->surfaces[i]);
        if (piece == nullptr) return -1;
        result |= RestoreSurfaceDataIfLost(piece->surfaceData);
    }
    // Restored memory holds no picture until the graph is reloaded.
    if (result != 0) graph->lost = 1;
    return result;
}

int RestoreAllSurface3DData() {
    const Surface3DTable& table = GetSurface3DTable();
    int result = 0;
    for (int32_t slot = 0; slot < table.usedBound; ++slot) {
        const Surface3DData* piece = table.slots[slot];
        if (piece != nullptr) result |= RestoreSurfaceDataIfLost(piece->surfaceData);
    }
    return result;
}

int FillGraphTextures(GraphRecord* graph, int32_t r, int32_t g, int32_t b, int32_t a) {
    if (GetDevice3DState().drawingSuppressed) return 0;
    if (!Direct3DIsUp()) return -1;
    // A texture waiting in the batch is drawn before it changes.
    FlushCurrentDeviceVertices();
    for (int32_t i = 0; i < graph->surfaceCount && i < kGraphMaxSurfaces; ++i) {
        const Surface3DData* piece = GetSurface3DData(graph->surfaces[i]);
        if (piece == nullptr) return -1;
        if (FillSurfaceData(piece->surfaceData, r, g, b, a) != 0) return -1;
    }
    return 0;
}
