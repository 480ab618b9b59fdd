#include "graphics/graphs/graph_handle_table.h"

#include <cstring>

#include "graphics/codecs/graph_image.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/drivers/graph_surface_driver.h"
#include "graphics/graphs/graphics_state.h"
#include "platform/core/text_encoding.h"
#include "base/fatal_exit.h"
#include "base/handle_area_end.h"
#include "base/file_access_table.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

GraphHandleTable& Table() { return GetGraphicsState().graphs; }

// Copies text into a buffer of size bytes, cutting it at the last whole character that fits
// (a double-byte character is never split). Returns 1 when the text was cut.
int CopyNameTruncating(char* buffer, size_t size, const char* text) {
    const size_t length = std::strlen(text);
    if (length < size) {
        std::memcpy(buffer, text, length + 1);
        return 0;
    }
    size_t keep = 0;
    while (keep < size - 1) {
        const size_t step = plat::IsSjisLeadByte(static_cast<unsigned char>(text[keep])) ? 2 : 1;
        if (keep + step > size - 1) break;
        keep += step;
    }
    std::memcpy(buffer, text, keep);
    buffer[keep] = '\0';
    return 1;
}

// The module that holds the graph's pixels: the texture pieces for a 3D graph, else the 2D
// surface records.
const DriverSlot<GraphSurfaceDriver>& SurfacesOf(const GraphRecord* graph) {
    return graph->flags.is3D ? TextureSlot() : Surface2DSlot();
}

int ReleaseGraphSurfaces(GraphRecord* graph) {
    return SurfacesOf(graph)->release(graph);
}

// The default restore callback: the graph loader plugged in at the time of the restore reloads
// the lost graphs from their files.
int ReloadThroughLoader() { return GraphLoaderSlot()->reloadAllGraphs(); }

}  // namespace

GraphRecord* GetGraphRecord(HandleValue handle) {
    const int32_t slot = CheckHandleSlot(handle, kHandleKindGraph, kMaxGraphHandles);
    if (slot < 0) return nullptr;
    GraphRecord* graph = Table().slots[slot];
    if (graph == nullptr || !HandleSerialMatches(handle, graph->serial)) return nullptr;
    return graph;
}

int IsGraphReloadable(const GraphRecord* graph) {
    return graph->fileName[0] != '\0' && graph->sourceNameTruncated == 0 ? 1 : 0;
}

HandleValue AllocGraphRecord(int32_t width, int32_t height, int want3D, GraphRecord** out,
                             int alpha, uint8_t paletted) {
    GraphicsState& state = GetGraphicsState();
    GraphHandleTable& table = state.graphs;
    const DrawState& draw = state.draw;

    if (table.count >= kMaxGraphHandles) {
        return FatalExit("グラフィックの数が許容量を越えました終了します");
    }

    int32_t slot = table.areaEnd;
    if (slot == kMaxGraphHandles) {
        slot = 0;
        while (table.slots[slot] != nullptr) ++slot;
    }

    auto* graph = static_cast<GraphRecord*>(ZN_ALLOC_ZERO(sizeof(GraphRecord)));
    if (graph == nullptr) return FatalExit("メモリの確保に失敗しました");
    table.slots[slot] = graph;

    graph->serial = TakeHandleSerial(&table.serialCounter);
    graph->handle = MakeHandleValue(kHandleKindGraph, graph->serial, slot);
    graph->width = width;
    graph->height = height;
    graph->movie = kNoHandle;
    graph->deleteFlag = nullptr;
    graph->extraBuffer = nullptr;
    for (HandleValue& surface : graph->surfaces) surface = kNoHandle;

    ++table.count;
    if (slot == table.areaEnd) ++table.areaEnd;

    GraphFlagBytes& flags = graph->flags;
    flags.is3D = (want3D && draw.use3D && state.direct3DInUse && !ScreenSlot()->isScreenSoftwareDrawn())
                     ? 1
                     : 0;
    flags.paletted = 0;

    if (draw.newGraphsDrawValid != 1) {
        flags.alpha = static_cast<uint8_t>(alpha);
        flags.drawValid = 0;
        flags.alphaTest = static_cast<uint8_t>(draw.alphaTest);
    } else {
        flags.drawValid = 1;
        flags.alphaTest = 0;
        flags.alpha = 0;
    }

    flags.colorDepth = static_cast<uint8_t>(draw.colorDepthSetting);
    if (flags.is3D) {
        if (draw.colorDepthSetting == 0) {
            flags.colorDepth = static_cast<uint8_t>(alpha == 1 ? 32 : GetDisplayDepth());
        }
        flags.softImage = 0;
    } else {
        if (draw.colorDepthSetting == 0 || ScreenSlot()->isNoDirectDraw()) {
            flags.colorDepth = static_cast<uint8_t>(GetDisplayDepth());
        }
        flags.softImage = static_cast<uint8_t>(draw.softImageSetting);
        flags.paletted = paletted;
    }

    if (out != nullptr) *out = graph;
    return graph->handle;
}

HandleValue AllocGraphWithSurface(int32_t width, int32_t height, int want3D, int alpha,
                                  uint8_t paletted) {
    GraphRecord* graph = nullptr;
    const HandleValue handle = AllocGraphRecord(width, height, want3D, &graph, alpha, paletted);
    if (handle < 0) return -1;

    if (SurfacesOf(graph)->create(graph) != 0) {
        LogWrite("グラフィックの作成に失敗しました\n");
        // A graph without pixels is of no use to anybody: it leaves its slot at once.
        DeleteGraphHandle(handle, 0);
        return -1;
    }
    return handle;
}

HandleValue CreateBlankGraph(int32_t width, int32_t height, int no3D) {
    return AllocGraphWithSurface(width, height, no3D ? 0 : 1, GetDrawState().blankGraphAlpha, 0);
}

HandleValue CreateGraphForImage(const GraphImage* image, const GraphImage* alphaImage,
                                int want3D) {
    Device3DSlot()->endCurrentDeviceScene();
    WindowFactsSlot()->waitWhileInactive();

    if (alphaImage != nullptr &&
        (alphaImage->width != image->width || alphaImage->height != image->height)) {
        LogWrite("アルファチャンネル用画像のサイズが元画像と異なります\n");
        return -1;
    }
    const int hasAlphaChannel = image->colorFormat.format.widthA != 0;
    const uint8_t paletted =
        (image->colorFormat.format.bytes == 1 && !hasAlphaChannel && alphaImage == nullptr) ? 1
                                                                                           : 0;
    const int alpha = (hasAlphaChannel || alphaImage != nullptr) ? 1 : 0;
    return AllocGraphWithSurface(image->width, image->height, want3D, alpha, paletted);
}

HandleValue DeriveGraph(int32_t x, int32_t y, int32_t width, int32_t height, HandleValue parent) {
    GraphRecord* source = GetGraphRecord(parent);
    if (source == nullptr) return -1;

    // The rectangle must start inside the parent and have a size: anything else would give a
    // graph of negative or zero size.
    if (x < 0 || y < 0 || x >= source->width || y >= source->height || width <= 0 ||
        height <= 0) {
        LogFormat("派生グラフィックの矩形が元のグラフィックの外にあります (%d, %d, %d, %d)", x,
                  y, width, height);
        return -1;
    }
    if (static_cast<int64_t>(x) + width > source->width) width = source->width - x;
    if (static_cast<int64_t>(y) + height > source->height) height = source->height - y;

    GraphRecord* graph = nullptr;
    const HandleValue handle = AllocGraphRecord(width, height, source->flags.is3D, &graph,
                                                source->flags.alpha, source->flags.paletted);
    if (handle < 0) return -1;

    graph->movie = source->movie;
    std::memcpy(graph->fileName, source->fileName, sizeof graph->fileName);
    std::memcpy(graph->directory, source->directory, sizeof graph->directory);
    graph->sourceNameTruncated = source->sourceNameTruncated;
    graph->flags = source->flags;
    graph->sourceX = source->sourceX + x;
    graph->sourceY = source->sourceY + y;

    if (SurfacesOf(graph)->derive(graph, x, y, width, height, source) != 0) {
        LogFormat("グラフィックの派生に失敗しました終了します");
        DeleteGraphHandle(handle, 0);
        return -1;
    }
    return handle;
}

int DeleteGraphHandle(HandleValue handle, int logFlag) {
    GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr) return -1;
    GraphHandleTable& table = Table();
    const int32_t slot = GetHandleSlot(handle);

    MovieSlot()->closeGraphMovieLink(graph);
    ReleaseGraphSurfaces(graph);

    if (logFlag) LogFormat("グラフィック %s の削除", graph->fileName);

    if (graph->extraBuffer != nullptr) {
        TrackedFree(graph->extraBuffer);
        graph->extraBuffer = nullptr;
    }

    --table.count;
    LowerHandleAreaEnd(table, slot);

    if (graph->deleteFlag != nullptr) *graph->deleteFlag = 1;
    TrackedFree(graph);
    table.slots[slot] = nullptr;
    return 0;
}

int DeleteAllGraphs(int logFlag) {
    if (!GetGraphicsState().graphicsUp) return 0;
    GraphHandleTable& table = Table();
    // The area end shrinks as the highest graphs go; the walk reads it afresh each step.
    for (int32_t slot = 0; slot < table.areaEnd; ++slot) {
        const GraphRecord* graph = table.slots[slot];
        if (graph == nullptr) continue;
        DeleteGraphHandle(MakeHandleValue(kHandleKindGraph, graph->serial, slot), logFlag);
    }
    return 0;
}

int SetGraphDeleteFlagPtr(HandleValue handle, int32_t* flag) {
    GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr) return -1;
    graph->deleteFlag = flag;
    if (flag != nullptr) *flag = 0;
    return 0;
}

int SetGraphSourceName(HandleValue handle, const char* name) {
    GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr) return -1;

    int truncated = 0;
    // The file-access table reports directories of up to 260 bytes.
    char directory[260] = {};
    if (FileAccessGetDir(directory) == 0) directory[0] = '\0';
    directory[sizeof directory - 1] = '\0';
    truncated |= CopyNameTruncating(graph->directory, sizeof graph->directory, directory);
    truncated |= CopyNameTruncating(graph->fileName, sizeof graph->fileName,
                                    name != nullptr ? name : "");
    graph->sourceNameTruncated = truncated;
    if (truncated) {
        LogFormat("ファイル名が長すぎるためグラフィック %s は再読み込みできません",
                  graph->fileName);
    }
    return 0;
}

int FillGraph(HandleValue handle, int32_t r, int32_t g, int32_t b, int32_t a) {
    GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr) return -1;
    return SurfacesOf(graph)->fill(graph, r, g, b, a);
}

int RestoreGraphSurfaces(HandleValue handle) {
    GraphRecord* graph = GetGraphRecord(handle);
    if (graph == nullptr) return -1;
    SurfacesOf(graph)->restore(graph);
    if (graph->movie != kNoHandle) MovieSlot()->restoreMovieSurfaces(graph->movie);
    return 0;
}

int RestoreLostGraphSurfaces() {
    if (!GetGraphicsState().graphicsUp) return 0;
    ScreenSlot()->restoreScreenSurfaces();
    GraphHandleTable& table = Table();
    for (int32_t slot = 0; slot < table.areaEnd; ++slot) {
        const GraphRecord* graph = table.slots[slot];
        if (graph != nullptr) RestoreGraphSurfaces(graph->handle);
    }
    return 0;
}

int FlagGraphsLostAndRestore() {
    GraphicsState& state = GetGraphicsState();
    GraphHandleTable& table = state.graphs;
    int32_t flagged = 0;
    for (int32_t slot = 0; slot < kMaxGraphHandles && flagged < table.count; ++slot) {
        GraphRecord* graph = table.slots[slot];
        if (graph == nullptr) continue;
        graph->lost = 1;
        ++flagged;
    }
    if (state.restoreCallback != nullptr) state.restoreCallback();
    FontSlot()->recreateAllFonts();
    return 0;
}

int InstallGraphReloadHandler(GraphRestoreCallback callback) {
    GetGraphicsState().restoreCallback = callback != nullptr ? callback : ReloadThroughLoader;
    return 0;
}

int HasGraphRestoreCallback() { return GetGraphicsState().restoreCallback != nullptr ? 1 : 0; }
