// Raw "BGRA" files: a 16-byte header ("BGRA", channel layout, width, height) and the pixels
// as B, G, R, A channels of 8 or 16 bits, top row first; decoded to 32-bit ARGB.
#include <cstring>

#include "graphics/codecs/image_decoders.h"
#include "graphics/codecs/image_input.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

constexpr const char* kFormatName = "BGRA";
constexpr uint32_t kChannels8 = 0x08080808;
constexpr uint32_t kChannels16 = 0x10101010;

// 16-bit channels keep their high byte, row by row.
bool ReadWideRows(DataStream* stream, uint8_t* pixels, uint32_t width, uint32_t height) {
    const size_t rowBytes = static_cast<size_t>(width) * 8;
    auto* row = static_cast<uint8_t*>(ZN_ALLOC(rowBytes));
    if (row == nullptr) return false;
    bool ok = true;
    for (uint32_t y = 0; y < height && ok; ++y) {
        ok = ImageStreamRead(stream, row, rowBytes);
        uint8_t* out = pixels + static_cast<size_t>(y) * width * 4;
        for (size_t i = 0; ok && i < static_cast<size_t>(width) * 4; ++i) out[i] = row[i * 2 + 1];
    }
    TrackedFree(row);
    return ok;
}

}  // namespace

int LoadBgraImage(DataStream* stream, GraphImage* image) {
    uint8_t header[16];
    if (!ImageStreamSeek(stream, 0) || !ImageStreamRead(stream, header, 4) ||
        std::memcmp(header, "BGRA", 4) != 0) {
        return -1;
    }
    if (!ImageStreamRead(stream, header + 4, 12)) {
        return LogWrite("BGRA のヘッダが途中で切れています\n");
    }
    const uint32_t layout = LoadLe32(header + 4);
    const uint32_t width = LoadLe32(header + 8);
    const uint32_t height = LoadLe32(header + 12);
    if (layout != kChannels8 && layout != kChannels16) {
        return LogFormat("BGRA のチャンネル構成 0x%08X には対応していません", layout);
    }
    if (!CheckImageSize(width, height, kFormatName)) return -1;

    const uint64_t pixelCount = uint64_t{width} * height;
    const uint64_t stored = pixelCount * (layout == kChannels8 ? 4 : 8);
    const int64_t left = ImageStreamBytesLeft(stream);
    if (left < 0 || static_cast<uint64_t>(left) < stored) {
        return LogWrite("BGRA の画素データが足りません\n");
    }
    uint8_t* pixels = AllocImagePixels(pixelCount * 4, 0);
    if (pixels == nullptr) return -1;
    const bool ok = layout == kChannels8
                        ? ImageStreamRead(stream, pixels, static_cast<size_t>(pixelCount * 4))
                        : ReadWideRows(stream, pixels, width, height);
    if (!ok) {
        TrackedFree(pixels);
        return LogWrite("BGRA の画素データを読み込めませんでした\n");
    }
    SetColorFormatArgb32(&image->colorFormat);
    image->width = static_cast<int32_t>(width);
    image->height = static_cast<int32_t>(height);
    image->pitch = static_cast<int32_t>(width * 4);
    image->pixels = pixels;
    return 0;
}
