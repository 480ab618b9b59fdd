#include "softrender/records/memimg.h"

#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"
#include "softrender/records/display_image_format.h"

namespace {

// log2 of the pitch when the pitch is the smallest power of two not below the row size n
// (n is the automatic row size, or the given pitch), else -1.
int32_t PitchShiftFor(int64_t rowSize, int32_t pitch) {
    int64_t power = 1;
    int32_t shift = 0;
    while (power < rowSize) {
        power <<= 1;
        ++shift;
    }
    return power == pitch ? shift : -1;
}

}  // namespace

int MemImgBytesPerPixel(int pixelFormat, int paletted, int alpha) {
    if (pixelFormat == MEMIMG_FORMAT_565 && alpha) return 4;
    if (paletted) return 1;
    switch (pixelFormat) {
        case MEMIMG_FORMAT_565: return 2;
        case MEMIMG_FORMAT_32: return 4;
        case MEMIMG_FORMAT_RAW8: return 1;
        default: return 2;
    }
}

int CreateMemImg(MEMIMG* m, int width, int height, int pitch, uint32_t colorKey, int pixelFormat,
                 int paletted, int alpha) {
    if (m->magic == MEMIMG_MAGIC) {
        return LogFormat("メモリイメージは既に初期化されています");
    }
    if (pixelFormat < MEMIMG_FORMAT_565 || pixelFormat > MEMIMG_FORMAT_RAW16) {
        return LogFormat("メモリイメージのピクセルフォーマットが不正です : %d", pixelFormat);
    }
    paletted = paletted != 0 ? 1 : 0;
    alpha = alpha != 0 ? 1 : 0;
    if (paletted) alpha = 0;
    if (pixelFormat >= MEMIMG_FORMAT_RAW8) paletted = alpha = 0;

    const int bytesPerPixel = MemImgBytesPerPixel(pixelFormat, paletted, alpha);
    const int64_t rowBytes = static_cast<int64_t>(bytesPerPixel) * width;
    const bool automaticPitch = pitch == -1;
    const bool ownPixels = m->pixels == nullptr;
    // Sizes are checked in 64-bit arithmetic so that nothing wraps: the buffer must hold every
    // row, and every byte offset in it must fit a signed 32-bit value.
    int64_t pitch64 = automaticPitch ? (rowBytes + 15) / 16 * 16 : pitch;
    if (width < 0 || height < 0 || pitch64 > static_cast<int64_t>(MEMIMG_MAX_BYTES) ||
        (ownPixels && (pitch64 < rowBytes ||
                       static_cast<uint64_t>(pitch64) * static_cast<uint64_t>(height) >
                           MEMIMG_MAX_BYTES))) {
        return LogFormat("メモリイメージのサイズが不正です 幅:%d 高さ:%d ピッチ:%d", width,
                         height, pitch);
    }

    m->width = width;
    m->height = height;
    m->colorKey = colorKey;
    m->pixelFormat = pixelFormat;
    m->paletted = paletted;
    m->alpha = alpha;
    m->palette = m->paletteData;
    m->paletteCount = 0;
    m->pitch = static_cast<int32_t>(pitch64);
    m->pitchShift = PitchShiftFor(automaticPitch ? rowBytes : pitch64, m->pitch);
    m->colorFormat = &GetStandardColorFormat(pixelFormat, alpha, paletted)->format;

    if (ownPixels) {
        const size_t size = static_cast<size_t>(m->pitch) * static_cast<size_t>(height);
        // An empty image still gets a block, so that a created image always has pixels.
        m->pixels = static_cast<uint8_t*>(ZN_ALLOC(size != 0 ? size : 1));
        if (m->pixels == nullptr) {
            return LogFormat("メモリイメージ用のメモリの確保に失敗しました サイズ:%zu", size);
        }
        m->pixelsBorrowed = 0;
    } else {
        m->pixelsBorrowed = 1;
    }

    m->magic = MEMIMG_MAGIC;
    return 0;
}

int InitMemImgPlain(MEMIMG* m, int width, int height, int pixelFormat) {
    // Zeroing a live record would lose its pixels.
    if (m->magic == MEMIMG_MAGIC) {
        return LogFormat("メモリイメージは既に初期化されています");
    }
    std::memset(m, 0, sizeof(*m));
    if (pixelFormat == -1) pixelFormat = DisplayImageFormatSlot()->displayImageFormat();
    return CreateMemImg(m, width, height, -1, 0, pixelFormat, 0, 0);
}

int InitMemImgZBuffer(MEMIMG* m, int width, int height) {
    return InitMemImgPlain(m, width, height, MEMIMG_FORMAT_RAW16);
}

void InitMemImgView(MEMIMG* view, const MEMIMG* parent, int x, int y, int width, int height) {
    const int bytesPerPixel =
        parent->colorFormat != nullptr
            ? parent->colorFormat->bytes
            : MemImgBytesPerPixel(parent->pixelFormat, parent->paletted, parent->alpha);
    view->width = width;
    view->height = height;
    view->pitch = parent->pitch;
    view->pitchShift = parent->pitchShift;
    view->colorFormat = parent->colorFormat;
    view->colorKey = parent->colorKey;
    view->pixelFormat = parent->pixelFormat;
    view->paletted = parent->paletted;
    view->paletteCount = parent->paletteCount;
    view->alpha = parent->alpha;
    view->palette = parent->palette;
    // The pixels are the parent's: marked borrowed so that a release of the view by mistake
    // cannot free them.
    view->pixelsBorrowed = 1;
    view->pixels = parent->pixels == nullptr
                       ? nullptr
                       : parent->pixels + static_cast<ptrdiff_t>(y) * parent->pitch +
                             static_cast<ptrdiff_t>(x) * bytesPerPixel;
    view->magic = MEMIMG_MAGIC;
}

int MemImgHasPixels(const MEMIMG* m) { return m->pixels != nullptr ? 1 : 0; }

void ReleaseMemImg(MEMIMG* m) {
    if (m->magic != MEMIMG_MAGIC) return;
    if (!m->pixelsBorrowed && m->pixels != nullptr) TrackedFree(m->pixels);
    m->pixels = nullptr;
    m->pixelsBorrowed = 0;
    m->magic = 0;
}
