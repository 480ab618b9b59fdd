// Image files loaded into graphs, whole or divided, and the public load entries.
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/graph_load/graph_load.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/draw_state_record.h"
#include "base/file_access_table.h"
#include "base/log.h"

namespace {

// What a file decoded to: the colour image and, when there was one, the alpha image.
struct DecodedFile {
    GraphImage image;
    GraphImage alpha;
    int hasAlpha;
};

// -1 when nothing was decoded; otherwise both images mirrored when asked.
int DecodeFile(const char* path, int mirror, DecodedFile* out) {
    const int result =
        LoadGraphImageWithAlpha(path, nullptr, 0, 0, nullptr, 0, 0, &out->image, &out->alpha);
    if (result < 0) return -1;
    out->hasAlpha = result == 0 ? 1 : 0;
    if (mirror == 1) {
        MirrorGraphImage(&out->image);
        if (out->hasAlpha) MirrorGraphImage(&out->alpha);
    }
    return 0;
}

void FreeDecodedFile(DecodedFile* file) {
    FreeGraphImage(&file->image);
    FreeGraphImage(&file->alpha);
}

// A file that no decoder takes is a movie when it exists: the movie is opened and a graph of
// its size made in the display's depth as a software image, the movie rendering into it.
HandleValue OpenAsMovie(const char* path, int want3D, int movieOption) {
    const uintptr_t file = FileAccessOpen(path, 0, 0, 0);
    if (file == 0) {
        LogFormat("グラフィックファイル %s がありません", path);
        return -1;
    }
    FileAccessClose(file);
    DrawState& draw = GetDrawState();
    const int32_t depthSetting = draw.colorDepthSetting;
    const int32_t softImageSetting = draw.softImageSetting;
    const int use3D = IsUsing3DDevice();
    int32_t width = 0, height = 0, alpha = 0;
    const HandleValue movie =
        MovieSlot()->openMovieToGraph(path, &width, &height, movieOption, &alpha);
    if (movie == -1) {
        LogFormat("右記のグラフィックファイルのロードに失敗しました：%s ", path);
        return -1;
    }
    draw.colorDepthSetting = GetDisplayDepth();
    draw.softImageSetting = 1;
    const HandleValue graph = AllocGraphWithSurface(width, height, want3D, alpha, 0);
    draw.colorDepthSetting = depthSetting;
    SetUseSoftImageGraph(softImageSetting);
    SetUse3DFlag(use3D);
    GraphRecord* record = GetGraphRecord(graph);
    if (record == nullptr) {
        // No graph holds the movie, so nothing would ever close it.
        MovieSlot()->discardMovie(movie);
        LogFormat("右記のグラフィックファイルの格納用グラフィック領域の作成に失敗しました：%s", path);
        return -1;
    }
    record->movie = movie;
    return graph;
}

}  // namespace

HandleValue LoadGraphFile(const char* path, int want3D, int mirror, int movieOption) {
    Device3DSlot()->endCurrentDeviceScene();
    WindowFactsSlot()->waitWhileInactive();
    if (path == nullptr) {
        LogWrite("グラフィックファイル名がありません\n");
        return -1;
    }
    DecodedFile decoded{};
    if (DecodeFile(path, mirror, &decoded) != 0) return OpenAsMovie(path, want3D, movieOption);
    const HandleValue handle = CreateGraphFromGraphImage(
        &decoded.image, decoded.hasAlpha ? &decoded.alpha : nullptr, want3D);
    if (handle != -1) SetGraphSourceName(handle, path);
    FreeDecodedFile(&decoded);
    return handle;
}

int LoadDivGraphFile(const char* path, int32_t total, int32_t xCount, int32_t yCount, int32_t width,
                     int32_t height, HandleValue* handles, int want3D, int mirror) {
    WindowFactsSlot()->waitWhileInactive();
    DecodedFile decoded{};
    if (path == nullptr || DecodeFile(path, mirror, &decoded) != 0) {
        if (handles != nullptr) {
            for (int32_t i = 0; i < total; ++i) handles[i] = -1;
        }
        return LogFormat("右記のグラフィックファイルのロードに失敗しました：%s",
                         path != nullptr ? path : "");
    }
    const int result =
        CreateDivGraphFromGraphImage(&decoded.image, decoded.hasAlpha ? &decoded.alpha : nullptr,
                                     total, xCount, yCount, width, height, handles, want3D, mirror);
    if (result == 0) {
        for (int32_t i = 0; i < total; ++i) SetGraphSourceName(handles[i], path);
    }
    FreeDecodedFile(&decoded);
    return result;
}

HandleValue OpenGraphFile(const char* path, int no3D) {
    return LoadGraphFile(path, no3D ? 0 : 1, 0, 0);
}

int OpenDivGraphFile(const char* path, int32_t total, int32_t xCount, int32_t yCount, int32_t width,
                     int32_t height, HandleValue* handles, int no3D) {
    return LoadDivGraphFile(path, total, xCount, yCount, width, height, handles, no3D ? 0 : 1, 0);
}
