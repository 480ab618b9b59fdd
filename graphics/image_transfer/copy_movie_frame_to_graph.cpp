// A movie's current frame into its graph: into the first 2D piece, copied row by row when the
// frame already has the piece's layout, converted otherwise; into every texture piece of a
// texture graph, converted; an alpha movie's two halves taken as colour and alpha image.
#include <algorithm>

#include "graphics/drivers/texture_piece_access_driver.h"
#include "graphics/image_transfer/image_transfer.h"
#include "graphics/image_transfer/movie_frame.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/pixels/transfer_pixels.h"
#include "base/log.h"

namespace {

// An alpha movie's frame split: its left half as the colour picture and its right half as
// the alpha picture.
struct AlphaMovieHalves {
    GraphImage colour;
    GraphImage alpha;
};

AlphaMovieHalves SplitAlphaMovieFrame(const GraphImage& frame) {
    const int32_t half = frame.width / 2;
    AlphaMovieHalves out{frame, frame};
    out.colour.width = half;
    out.alpha.width = half;
    out.alpha.pixels = frame.pixels + int64_t{half} * frame.colorFormat.format.bytes;
    return out;
}

int CopyAlphaMovieFrame(const GraphImage& frame, HandleValue piece) {
    const AlphaMovieHalves halves = SplitAlphaMovieFrame(frame);
    return TransferImageToSurface2D(ImageSource(&halves.colour, &halves.alpha), nullptr, 0, 0,
                                    piece, 0);
}

// A texture graph (the graph of a movie opened while the 3D device draws): every texture piece
// takes the part of the frame under it, converted to the texture's format, as a still image
// is put into a texture graph.
int CopyMovieFrameToTextures(const MovieFrame& frame, const GraphRecord* graph) {
    int result = 0;
    if (frame.alpha) {
        const AlphaMovieHalves halves = SplitAlphaMovieFrame(frame.image);
        result = TexturePieceAccessSlot()->transferSourceOffset(
            ImageSource(&halves.colour, &halves.alpha), 0, 0, graph);
    } else {
        result = TexturePieceAccessSlot()->transferSourceOffset(
            ImageSource(&frame.image, nullptr), 0, 0, graph);
    }
    return result != 0 ? LogWrite("ムービーのフレームをテクスチャに転送できませんでした\n") : 0;
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
    if (graph->flags.is3D) return CopyMovieFrameToTextures(*frame, graph);
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
