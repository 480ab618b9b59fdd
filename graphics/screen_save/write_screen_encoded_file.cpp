// The screen save's JPEG and PNG files: the rectangle copied into a decoded image in the
// screen's own format, rows without gaps, handed to the image writers.
#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/codecs/image_decoders.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/screen_save/screen_save.h"
#include "graphics/screen_save/screen_save_internal.h"

int WriteScreenEncodedFile(const char* fileName, const ScreenPixelSource& source, int type,
                           int jpegQuality, int jpegFlag, int pngLevel) {
    GraphImage image{};
    image.colorFormat = *source.format;
    image.width = source.width;
    image.height = source.height;
    image.pitch = source.width * source.format->format.bytes;
    const size_t rowBytes = static_cast<size_t>(image.pitch);
    image.pixels = static_cast<uint8_t*>(ZN_ALLOC(rowBytes * static_cast<size_t>(image.height)));
    if (image.pixels == nullptr) {
        return LogWrite("画像セーブ用一時バッファの確保に失敗しました\n");
    }
    for (int32_t y = 0; y < image.height; ++y) {
        std::memcpy(image.pixels + rowBytes * static_cast<size_t>(y),
                    source.pixels + static_cast<ptrdiff_t>(y) * source.pitch, rowBytes);
    }
    const int result = type == kScreenSaveJpeg
                           ? SaveJpegImage(fileName, &image, jpegQuality, jpegFlag)
                           : SavePngImage(fileName, &image, pngLevel);
    FreeGraphImage(&image);
    return result;
}
