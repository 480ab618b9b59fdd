// A movie's current frame into its graph's first piece: copied row by row when the frame
// already has the piece's layout, converted otherwise, an alpha movie's two halves taken as
// colour and alpha image.
#include <algorithm>

#include "graphics/image_transfer/image_transfer.h"
#include "graphics/image_transfer/movie_frame.h"
#include "graphics/surface_2d.h"
#include "graphics/surface_data.h"
#include "graphics/transfer_pixels.h"
#include "base/log.h"

namespace {

// The frame's left half as the colour picture and its right half as the alpha picture.
int CopyAlphaMovieFrame(const GraphImage& frame, HandleValue piece) {
    const int32_t half = frame.width / 2;
    GraphImage colour = frame;
    colour.width = half;
    GraphImage alpha = frame;
    alpha.width = half;
    alpha.pixels = frame.pixels + int64_t{half} * frame.colorFormat.format.bytes;
    return TransferImageToSurface2D(ImageSource(&colour, &alpha), nullptr, 0, 0, piece, 0);
}

// Where the piece's pixels are while the frame is written.
struct FrameDestination {
    uint8_t* pixels;
    int32_t pitch;
    const PaletteColorFormat* format;
    bool locked;
    RECT area;  // the piece inside its record
};

int OpenDestination(const Surface2DRecord& piece, SurfaceDataRecord* data, FrameDestination* out) {
    out->area = RECT{piece.sourceX, piece.sourceY, piece.sourceX + piece.width,
                     piece.sourceY + piece.height};
    out->locked = false;
    if (data->software) {
        const MEMIMG& m = data->image;
        if (!MemImgHasPixels(&m)) return -1;
        out->format = GetStandardColorFormat(m.pixelFormat, m.alpha, m.paletted);
        out->pitch = m.pitch;
        out->pixels = m.pixels + int64_t{out->area.top} * m.pitch +
                      int64_t{out->area.left} * MemImgBytesPerPixel(m.pixelFormat, m.paletted, m.alpha);
        return out->format != nullptr ? 0 : -1;
    }
    void* pixels = nullptr;
    if (LockSurfaceData(piece.surfaceData, &out->pitch, &pixels, 1, &out->area, &out->format) == -1) {
        return LogWrite("ムービーグラフィック転送先サーフェスのロックに失敗しました\n");
    }
    out->locked = true;
    out->pixels = static_cast<uint8_t*>(pixels);
    return out->format != nullptr && out->pixels != nullptr ? 0 : -1;
}

}  // namespace

int CopyMovieFrameToGraph(const MovieFrame* frame, GraphRecord* graph) {
    if (frame == nullptr || graph == nullptr || graph->surfaceCount < 1) return -1;
    const GraphImage& image = frame->image;
    if (image.pixels == nullptr || image.width <= 0 || image.height <= 0) return -1;
    const HandleValue pieceHandle = graph->surfaces[0];
    const Surface2DRecord* piece = GetSurface2D(pieceHandle);
    SurfaceDataRecord* data = piece != nullptr ? GetSurfaceData(piece->surfaceData) : nullptr;
    if (data == nullptr) return -1;

    if (frame->alpha) return CopyAlphaMovieFrame(image, pieceHandle);

    FrameDestination dest{};
    if (OpenDestination(*piece, data, &dest) != 0) {
        if (dest.locked) UnlockSurfaceData(piece->surfaceData, &dest.area);
        return -1;
    }
    int result = 0;
    if (frame->surfaceMode == kMovieSurfaceRgb24 ||
        !ColorFormatEquals(&image.colorFormat.format, &dest.format->format)) {
        const RECT source = {0, 0, std::min<int32_t>(image.width, piece->width),
                             std::min<int32_t>(image.height, piece->height)};
        result = TransferPixels(dest.pixels, dest.pitch, dest.format, image.pixels, image.pitch,
                                &image.colorFormat, nullptr, 0, nullptr, 0, 0, &source, 0, 0, 0,
                                kDitherNone, 0, 0, 0) < 0
                     ? LogWrite("ムービーのフレームの変換に失敗しました\n")
                     : 0;
    } else {
        CopyFrameRows(dest.pixels, dest.pitch, piece->width, piece->height,
                      dest.format->format.bytes, image.pixels, image.pitch, image.width,
                      image.height, image.colorFormat.format.bytes);
    }
    if (dest.locked) UnlockSurfaceData(piece->surfaceData, &dest.area);
    return result;
}
