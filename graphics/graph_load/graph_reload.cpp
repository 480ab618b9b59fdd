// The reload of graphs whose surfaces were lost: each one's file is decoded again in the
// directory it was loaded from and its part of the image put back.
#include <cstring>

#include "graphics/image_transfer/image_transfer.h"
#include "graphics/graph_load/graph_load.h"
#include "graphics/graphs/graphics_state.h"
#include "base/file_access_table.h"
#include "base/log.h"

namespace {

constexpr size_t kMaxReloadDirectory = 128;
constexpr size_t kMaxReloadFileName = 64;

// The images of the file reloaded last, kept for the next graphs of the same file.
struct HeldFile {
    bool valid;
    char fileName[kGraphFileNameSize];
    char directory[kGraphDirectorySize];
    GraphImage image;
    GraphImage alpha;
    int hasAlpha;
};

void ReleaseHeld(HeldFile* held) {
    FreeGraphImage(&held->image);
    FreeGraphImage(&held->alpha);
    held->valid = false;
}

bool HoldsFileOf(const HeldFile& held, const GraphRecord& graph) {
    return held.valid && std::strcmp(held.fileName, graph.fileName) == 0 &&
           std::strcmp(held.directory, graph.directory) == 0;
}

// Decodes the graph's file in its directory into held; false when it cannot be decoded.
bool DecodeFileOf(const GraphRecord& graph, HeldFile* held) {
    ReleaseHeld(held);
    FileAccessSetDir(graph.directory);
    const int result = LoadGraphImageWithAlpha(graph.fileName, nullptr, 0, 0, nullptr, 0, 0,
                                               &held->image, &held->alpha);
    if (result < 0) return false;
    held->hasAlpha = result == 0 ? 1 : 0;
    std::memcpy(held->fileName, graph.fileName, sizeof held->fileName);
    std::memcpy(held->directory, graph.directory, sizeof held->directory);
    held->valid = true;
    return true;
}

}  // namespace

int RestoreAllGraphs() {
    LogWrite("グラフィックを復帰します\n");
    char savedDirectory[260] = {};
    if (FileAccessGetDir(savedDirectory) == 0) savedDirectory[0] = '\0';

    HeldFile held{};
    GraphHandleTable& table = GetGraphicsState().graphs;
    for (int32_t slot = 0; slot < table.areaEnd; ++slot) {
        GraphRecord* graph = table.slots[slot];
        if (graph == nullptr || graph->lost != 1 || graph->fileName[0] == '\0') continue;
        const bool reloadable =
            IsGraphReloadable(graph) &&
            strnlen(graph->directory, sizeof graph->directory) <= kMaxReloadDirectory &&
            strnlen(graph->fileName, sizeof graph->fileName) <= kMaxReloadFileName;
        if (reloadable && (HoldsFileOf(held, *graph) || DecodeFileOf(*graph, &held))) {
            // The name is copied first: the transfer stores it into the record again.
            char fileName[kGraphFileNameSize];
            std::memcpy(fileName, graph->fileName, sizeof fileName);
            TransferImageToGraph(fileName, &held.image, held.hasAlpha ? &held.alpha : nullptr,
                                 graph->sourceX, graph->sourceY, graph->handle);
        }
        graph->lost = 0;
    }
    ReleaseHeld(&held);
    if (savedDirectory[0] != '\0') FileAccessSetDir(savedDirectory);
    return 0;
}
