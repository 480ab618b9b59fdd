// The screen save's BMP file: a 14-byte file header, a 40-byte info header and 24-bit rows
// stored bottom-up, each padded to a multiple of 4 bytes.
#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/screen_save/screen_save_internal.h"
#include "platform/core/file.h"

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

void Put16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}
void Put32(uint8_t* at, uint32_t value) {
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

void BuildHeaders(uint8_t* headers, int32_t width, int32_t height, uint32_t pixelBytes) {
    std::memset(headers, 0, kFileHeaderSize + kInfoHeaderSize);
    headers[0] = 'B';
    headers[1] = 'M';
    Put32(headers + 2, kFileHeaderSize + kInfoHeaderSize + pixelBytes);
    Put32(headers + 10, kFileHeaderSize + kInfoHeaderSize);
    uint8_t* info = headers + kFileHeaderSize;
    Put32(info + 0, kInfoHeaderSize);
    Put32(info + 4, static_cast<uint32_t>(width));
    Put32(info + 8, static_cast<uint32_t>(height));  // positive: rows stored bottom-up
    Put16(info + 12, 1);
    Put16(info + 14, 24);
    // Compression 0 and the remaining fields 0.
}

// One source row as B, G, R bytes (the row's padding is left as it is: zero).
void ConvertRow(const ScreenPixelSource& source, const uint8_t* from, uint8_t* to) {
    const ColorFormat& f = source.format->format;
    if (f.bits == 32 && f.maskR == 0xFF0000 && f.maskG == 0xFF00 && f.maskB == 0xFF) {
        // Bytes B, G, R of each 4-byte pixel as they stand.
        for (int32_t x = 0; x < source.width; ++x, from += 4, to += 3) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
        return;
    }
    for (int32_t x = 0; x < source.width; ++x, to += 3) {
        uint32_t pixel = 0;
        if (f.bits == 16) {
            uint16_t v;
            std::memcpy(&v, from + x * 2, 2);
            pixel = v;
        } else {
            std::memcpy(&pixel, from + x * 4, 4);
        }
        ScreenPixelToBgr(f, pixel, to);
    }
}

}  // namespace

int WriteScreenBmpFile(const char* fileName, const ScreenPixelSource& source) {
    const int bits = source.format->format.bits;
    if (bits != 16 && bits != 32) {
        return LogFormat("%d ビットの画面は BMP に保存できません", bits);
    }
    const size_t rowBytes = (static_cast<size_t>(source.width) * 3 + 3) & ~size_t{3};
    const size_t pixelBytes = rowBytes * static_cast<size_t>(source.height);
    if (pixelBytes > 0xFFFFFFFFu - kFileHeaderSize - kInfoHeaderSize) {
        return LogWrite("BMP に保存するには画像が大きすぎます\n");
    }
    auto* pixels = static_cast<uint8_t*>(ZN_ALLOC_ZERO(pixelBytes));
    if (pixels == nullptr) return LogWrite("グラフィック保存用メモリの確保に失敗しました\n");
    // Bottom row first.
    for (int32_t y = 0; y < source.height; ++y) {
        ConvertRow(source, source.pixels + static_cast<ptrdiff_t>(y) * source.pitch,
                   pixels + static_cast<size_t>(source.height - 1 - y) * rowBytes);
    }
    uint8_t headers[kFileHeaderSize + kInfoHeaderSize];
    BuildHeaders(headers, source.width, source.height, static_cast<uint32_t>(pixelBytes));

    plat::DeleteFile(fileName);
    plat::File* file =
        plat::OpenFile(fileName, plat::FileAccess::Write, plat::FileCreation::CreateNew);
    int result = -1;
    if (file == nullptr) {
        LogWrite("ＢＭＰセーブ用ファイルのオープンに失敗しました\n");
    } else {
        const bool written =
            plat::WriteFile(file, headers, sizeof headers) == static_cast<int64_t>(sizeof headers) &&
            plat::WriteFile(file, pixels, pixelBytes) == static_cast<int64_t>(pixelBytes);
        plat::CloseFile(file);
        if (written) {
            result = 0;
        } else {
            // A file cut short would pass for a picture: it is removed.
            plat::DeleteFile(fileName);
            LogWrite("ＢＭＰファイルの書き込みに失敗しました\n");
        }
    }
    TrackedFree(pixels);
    return result;
}
