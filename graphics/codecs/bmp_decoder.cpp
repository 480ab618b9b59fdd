// BMP files: the file header, the info header in any of its sizes (core, info, V2 to V5), the
// colour table and masks where the header says they are, and the uncompressed 4-, 8- and
// 24-bit pixels. RLE data and the formats the GDI conversion handles go to their own parts.
#include <cstring>

#include "graphics/codecs/bmp_layout.h"
#include "graphics/codecs/image_decoders.h"
#include "graphics/codecs/image_input.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr const char* kFormatName = "BMP";

bool IsKnownInfoHeaderSize(uint32_t size) {
    return size == kCoreHeaderSize || size == 40 || size == 52 || size == 56 || size == 108 ||
           size == 124;
}

bool IsValidBitCount(uint16_t bits, uint32_t compression) {
    switch (compression) {
        case kBmpRgb:
            return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        case kBmpRle8:
            return bits == 8;
        case kBmpRle4:
            return bits == 4;
        case kBmpBitFields:
            return bits == 16 || bits == 32;
        default:
            return false;
    }
}

// Reads the header fields, the colour table and the masks, and locates the pixels. 0, or -1
// with a log line.
int ParseBmp(const uint8_t* data, size_t size, BmpLayout* layout) {
    std::memset(layout, 0, sizeof(*layout));
    if (size < kFileHeaderSize + 4) return LogWrite("BMP ファイルのヘッダが途中で切れています\n");
    const uint32_t headerSize = LoadLe32(data + 14);
    if (!IsKnownInfoHeaderSize(headerSize)) {
        return LogFormat("BMP の情報ヘッダのサイズ %u には対応していません", headerSize);
    }
    if (size < kFileHeaderSize + headerSize) {
        return LogWrite("BMP ファイルのヘッダが途中で切れています\n");
    }
    const uint8_t* info = data + kFileHeaderSize;
    int64_t width, height;
    uint32_t colorsUsed = 0;
    size_t entrySize = 4;
    size_t tableStart = kFileHeaderSize + headerSize;
    if (headerSize == kCoreHeaderSize) {
        width = LoadLe16(info + 4);
        height = LoadLe16(info + 6);
        layout->bitCount = LoadLe16(info + 10);
        layout->compression = kBmpRgb;
        entrySize = 3;
    } else {
        width = static_cast<int32_t>(LoadLe32(info + 4));
        height = static_cast<int32_t>(LoadLe32(info + 8));
        layout->bitCount = LoadLe16(info + 14);
        layout->compression = LoadLe32(info + 16);
        colorsUsed = LoadLe32(info + 32);
    }
    if (!IsValidBitCount(layout->bitCount, layout->compression)) {
        return LogFormat("BMP の %u ビット 圧縮形式 %u には対応していません", layout->bitCount,
                         layout->compression);
    }

    // The sign of the height gives the row order; INT32_MIN has no positive counterpart, and
    // compressed data is only ever stored bottom-up.
    layout->topDown = height < 0;
    const int64_t rows = height < 0 ? -height : height;
    if (!CheckImageSize(width, rows, kFormatName)) return -1;
    layout->width = static_cast<int32_t>(width);
    layout->rows = static_cast<int32_t>(rows);
    layout->storedHeight = static_cast<int32_t>(height);

    if (layout->compression == kBmpBitFields) {
        // Masks are part of headers of 52 bytes and more; after a 40-byte header they follow
        // it, ahead of any colour table.
        const uint8_t* masks = info + 40;
        if (headerSize == 40) {
            if (size < tableStart + 12) return LogWrite("BMP のマスクが途中で切れています\n");
            tableStart += 12;
        }
        for (int i = 0; i < 3; ++i) layout->masks[i] = LoadLe32(masks + 4 * i);
    }

    const uint32_t pixelOffset = LoadLe32(data + 10);
    if (pixelOffset < tableStart || pixelOffset > size) {
        return LogFormat("BMP の画素データの位置 %u が不正です", pixelOffset);
    }

    if (layout->bitCount <= 8) {
        // The table holds the used-colour count when given, else every colour of the bit
        // count; entries that would overlap the pixels are not part of it.
        const uint32_t full = 1u << layout->bitCount;
        uint32_t count = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
        const size_t room = (pixelOffset - tableStart) / entrySize;
        if (count > room) count = static_cast<uint32_t>(room);
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* entry = data + tableStart + i * entrySize;
            layout->palette[i] = PaletteEntry{entry[0], entry[1], entry[2], 0};
        }
        layout->paletteCount = static_cast<int32_t>(count);
    }

    layout->pixels = data + pixelOffset;
    layout->pixelBytes = size - pixelOffset;
    layout->stride = (static_cast<uint64_t>(layout->bitCount) * layout->width + 31) / 32 * 4;
    return 0;
}

// 1 when the uncompressed rows are all there.
bool HasAllRows(const BmpLayout& layout) {
    return layout.stride * static_cast<uint64_t>(layout.rows) <= layout.pixelBytes;
}

// The stored row that becomes output row y.
const uint8_t* StoredRow(const BmpLayout& layout, int32_t y) {
    const int32_t stored = layout.topDown ? y : layout.rows - 1 - y;
    return layout.pixels + static_cast<uint64_t>(stored) * layout.stride;
}

void SetPalettedFormat(const BmpLayout& layout, GraphImage* out) {
    SetColorFormat8(&out->colorFormat);
    std::memcpy(out->colorFormat.palette, layout.palette, sizeof(layout.palette));
}

// 8- and 24-bit rows are copied as stored, top row first; the pitch is the file's stride.
int CopyRows(const BmpLayout& layout, GraphImage* out) {
    uint8_t* pixels = AllocImagePixels(layout.stride * static_cast<uint64_t>(layout.rows), 0);
    if (pixels == nullptr) return -1;
    for (int32_t y = 0; y < layout.rows; ++y) {
        std::memcpy(pixels + static_cast<uint64_t>(y) * layout.stride, StoredRow(layout, y),
                    static_cast<size_t>(layout.stride));
    }
    if (layout.bitCount == 8) {
        SetPalettedFormat(layout, out);
    } else {
        SetColorFormatRgb24(&out->colorFormat);
    }
    out->width = layout.width;
    out->height = layout.rows;
    out->pitch = static_cast<int32_t>(layout.stride);
    out->pixels = pixels;
    return 0;
}

// 4-bit rows become one index per byte, high nibble first, in rows of the width rounded up
// to 4 bytes.
int ExpandNibbles(const BmpLayout& layout, GraphImage* out) {
    const uint64_t pitch = (static_cast<uint64_t>(layout.width) + 3) / 4 * 4;
    uint8_t* pixels = AllocImagePixels(pitch * static_cast<uint64_t>(layout.rows), 1);
    if (pixels == nullptr) return -1;
    for (int32_t y = 0; y < layout.rows; ++y) {
        const uint8_t* from = StoredRow(layout, y);
        uint8_t* to = pixels + static_cast<uint64_t>(y) * pitch;
        for (int32_t x = 0; x < layout.width; ++x) {
            const uint8_t pair = from[x / 2];
            to[x] = (x & 1) == 0 ? pair >> 4 : pair & 0x0F;
        }
    }
    SetPalettedFormat(layout, out);
    out->width = layout.width;
    out->height = layout.rows;
    out->pitch = static_cast<int32_t>(pitch);
    out->pixels = pixels;
    return 0;
}

int DecodeLayout(const BmpLayout& layout, GraphImage* out) {
    if (layout.compression == kBmpRle8 || layout.compression == kBmpRle4) {
        return DecodeBmpRle(layout, out);
    }
    if (!HasAllRows(layout)) {
        return LogFormat("BMP の画素データが足りません 必要:%llu バイト あり:%zu バイト",
                         static_cast<unsigned long long>(layout.stride * layout.rows),
                         layout.pixelBytes);
    }
    if (layout.compression == kBmpRgb) {
        if (layout.bitCount == 4) return ExpandNibbles(layout, out);
        if (layout.bitCount == 8 || layout.bitCount == 24) return CopyRows(layout, out);
    }
    return ConvertBmpThroughDib(layout, out);
}

}  // namespace

int LoadBmpImage(DataStream* stream, GraphImage* image) {
    uint8_t magic[2];
    if (!ImageStreamSeek(stream, 0) || !ImageStreamRead(stream, magic, 2) || magic[0] != 'B' ||
        magic[1] != 'M') {
        return -1;
    }
    size_t size = 0;
    uint8_t* data = ImageStreamReadWhole(stream, &size, kFormatName);
    if (data == nullptr) return -1;

    // The layout and the result are large (two palettes): they live in one tracked block.
    struct Work {
        BmpLayout layout;
        GraphImage result;
    };
    auto* work = static_cast<Work*>(ZN_ALLOC_ZERO(sizeof(Work)));
    int result = -1;
    if (work == nullptr) {
        LogWrite("BMP の読み込み用のメモリの確保に失敗しました\n");
    } else if (ParseBmp(data, size, &work->layout) == 0 &&
               DecodeLayout(work->layout, &work->result) == 0) {
        *image = work->result;
        result = 0;
    }
    TrackedFree(work);
    TrackedFree(data);
    return result;
}
