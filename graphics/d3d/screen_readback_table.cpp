// The screen readback's method table and the capture that walks it: the method that worked
// last time for this kind of texture is tried first; when it fails (or none is known yet) the
// table is walked from its first entry, and the first method that succeeds is remembered.
#include "graphics/d3d/device.h"
#include "graphics/d3d/screen_readback.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_data.h"

const ScreenReadbackMethod kScreenReadbackTable[kScreenReadbackMethodCount + 1] = {
    G_D3D_GetDrawScreenGraphFunction5, G_D3D_GetDrawScreenGraphFunction1,
    G_D3D_GetDrawScreenGraphFunction3, G_D3D_GetDrawScreenGraphFunction2,
    G_D3D_GetDrawScreenGraphFunction4, nullptr,
};

namespace {

const ScreenReadbackMethod* gTable = kScreenReadbackTable;

int32_t TableLength() {
    int32_t n = 0;
    while (gTable[n] != nullptr) ++n;
    return n;
}

}  // namespace

void SetScreenReadbackTableForTests(const ScreenReadbackMethod* table) {
    gTable = table != nullptr ? table : kScreenReadbackTable;
    Device3DState& device3D = GetDevice3DState();
    device3D.readbackSlots[0] = -1;
    device3D.readbackSlots[1] = -1;
}

int32_t ScreenReadbackSlotOf(const SurfaceDataRecord* texture) {
    switch (static_cast<int32_t>(texture->formatNumber)) {
        case kTexFormat16:
        case kTexFormat32:
        case kTexFormat16Target:
        case kTexFormat32Target:
            return texture->alpha != 0 ? 1 : 0;
        default:
            return 1;
    }
}

int CaptureScreenToGraph3D(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           const GraphRecord* graph, int32_t screenSizeFlag) {
    if (!Direct3DIsUp()) return -1;
    Device3DState& device3D = GetDevice3DState();
    if (device3D.drawingSuppressed) return 0;
    FlushCurrentDeviceVertices();
    EndCurrentDeviceScene();

    if (graph == nullptr || graph->surfaceCount < 1) return -1;
    const Surface3DData* first = GetSurface3DData(graph->surfaces[0]);
    const SurfaceDataRecord* texture =
        first != nullptr ? GetSurfaceData(first->surfaceData) : nullptr;
    if (texture == nullptr) return -1;
    int32_t& remembered = device3D.readbackSlots[ScreenReadbackSlotOf(texture)];

    const int32_t length = TableLength();
    if (remembered >= 0 && remembered < length &&
        gTable[remembered](x1, y1, x2, y2, graph, screenSizeFlag) == 0) {
        return 0;
    }
    for (int32_t i = 0; i < length; ++i) {
        if (gTable[i](x1, y1, x2, y2, graph, screenSizeFlag) == 0) {
            remembered = i;
            return 0;
        }
    }
    remembered = -1;
    return -1;
}
