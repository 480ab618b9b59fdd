// A grid of one-texture vertices drawn as triangle strips through the device's indexed draw.
// Each pair of rows is one run of the strip; consecutive runs are joined by repeating the last
// index of the one and the first index of the next, which gives only degenerate triangles
// (two equal corners, nothing drawn) between the rows and keeps the winding of the next run.
#include <vector>

#include "graphics/d3d/graph_draw_3d.h"

namespace {

// Indices one indexed draw takes at most.
constexpr size_t kMaxMeshIndices = 1000;

}  // namespace

int DrawQuadMesh3D(Device3DRecord* device, int32_t columns, int32_t rows,
                   const TexVertex* vertices) {
    if (device == nullptr || device->device == nullptr || vertices == nullptr || columns < 2 ||
        rows < 2 || static_cast<int64_t>(columns) * rows > 65536) {
        return -1;
    }
    FlushCurrentDeviceVertices();
    const uint32_t vertexCount = static_cast<uint32_t>(columns * rows);
    std::vector<uint16_t> indices;
    indices.reserve(kMaxMeshIndices + 2);
    int result = 0;
    auto send = [&] {
        if (indices.empty()) return;
        if (device->device->DrawIndexedPrimitive(plat::D3DPT_TRIANGLESTRIP, kTexVertexFormat,
                                                 vertices, vertexCount, indices.data(),
                                                 static_cast<uint32_t>(indices.size()),
                                                 0) != plat::D3D_OK) {
            result = -1;
        }
        indices.clear();
    };
    const size_t runIndices = 2 * static_cast<size_t>(columns);
    for (int32_t row = 0; row + 1 < rows; ++row) {
        const size_t join = indices.empty() ? 0 : 2;
        if (indices.size() + join + runIndices > kMaxMeshIndices) send();
        const auto top = static_cast<uint16_t>(row * columns);
        const auto bottom = static_cast<uint16_t>((row + 1) * columns);
        if (!indices.empty()) {
            indices.push_back(indices.back());
            indices.push_back(top);
        }
        for (int32_t col = 0; col < columns; ++col) {
            indices.push_back(static_cast<uint16_t>(top + col));
            indices.push_back(static_cast<uint16_t>(bottom + col));
        }
    }
    send();
    return result;
}
