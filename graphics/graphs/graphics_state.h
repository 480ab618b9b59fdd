// The graphics state block: everything graph management and the draw state keep between calls.
// Graphics start-up (InitGraphSystem) clears it; only the installed restore callback survives.
#pragma once
#include <cstdint>

#include "graphics/graphs/aux_buffer_table.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/graphs/graph_handle_table.h"

struct GraphicsState {
    int32_t graphicsUp;        // 1 while graph management is running
    int32_t direct3DInUse;     // 1 when Direct3D started for graph management
    GraphRestoreCallback restoreCallback;  // kept across graphics start-up
    DrawState draw;
    GraphHandleTable graphs;
    AuxBufferHandleTable auxBuffers;
};

GraphicsState& GetGraphicsState();
// Zeroes the block except the restore callback. Owned records are not freed: callers delete
// the graphs first (TermGraphSystem).
void ClearGraphicsState();
