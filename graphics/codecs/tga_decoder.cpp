// TGA files: colour-mapped (types 1 and 9) and true-colour (types 2 and 10) images of 16, 24
// or 32 bits, uncompressed or run-length encoded, turned top-down and left to right.
#include <cstring>

#include "graphics/codecs/image_decoders.h"
#include "graphics/codecs/image_input.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

constexpr const char* kFormatName = "TGA";
constexpr size_t kHeaderSize = 18;
constexpr size_t kFooterSize = 26;
constexpr int32_t kMaxSide = 4095;

struct TgaHeader {
    uint8_t idLength;
    uint8_t colorMapType;
    uint8_t imageType;
    uint16_t mapFirst;
    uint16_t mapLength;
    uint8_t mapEntryBits;
    uint16_t xOrigin, yOrigin;
    uint16_t width, height;
    uint8_t pixelBits;
    uint8_t descriptor;
};

TgaHeader ReadHeader(const uint8_t* d) {
    TgaHeader h;
    h.idLength = d[0];
    h.colorMapType = d[1];
    h.imageType = d[2];
    h.mapFirst = LoadLe16(d + 3);
    h.mapLength = LoadLe16(d + 5);
    h.mapEntryBits = d[7];
    h.xOrigin = LoadLe16(d + 8);
    h.yOrigin = LoadLe16(d + 10);
    h.width = LoadLe16(d + 12);
    h.height = LoadLe16(d + 14);
    h.pixelBits = d[16];
    h.descriptor = d[17];
    return h;
}

bool IsColorMapped(const TgaHeader& h) { return h.imageType == 1 || h.imageType == 9; }
bool IsRunLength(const TgaHeader& h) { return h.imageType == 9 || h.imageType == 10; }

// The footer counts when its signature is there and it names no extension area.
bool HasFooter(const uint8_t* data, size_t size) {
    if (size < kHeaderSize + kFooterSize) return false;
    const uint8_t* footer = data + size - kFooterSize;
    return std::memcmp(footer + 8, "TRUEVISION-XFILE", 16) == 0 && LoadLe32(footer) == 0;
}

// One pixel value of the given byte size, least significant byte first.
uint32_t LoadValue(const uint8_t* at, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
    return value;
}

void StoreValue(uint8_t* at, int bytes, uint32_t value) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

struct TgaSource {
    const uint8_t* data;
    size_t size;               // bytes of pixel data available
    size_t at;                 // next byte
    int sourceBytes;           // bytes per stored pixel (1 for an index)
    int outBytes;              // bytes per output pixel
    const uint32_t* colorMap;  // 256 entries for colour-mapped images, else null
};

// The next stored pixel as an output value; false when the data has run out.
bool NextPixel(TgaSource& source, uint32_t* value) {
    if (source.size - source.at < static_cast<size_t>(source.sourceBytes)) return false;
    const uint32_t stored = LoadValue(source.data + source.at, source.sourceBytes);
    source.at += static_cast<size_t>(source.sourceBytes);
    *value = source.colorMap != nullptr ? source.colorMap[stored & 0xFF] : stored;
    return true;
}

// Fills count pixels in file order; 0, or -1 with a log line when the data runs out.
int DecodePixels(TgaSource& source, bool runLength, uint8_t* out, uint64_t count) {
    uint64_t written = 0;
    uint32_t value = 0;
    while (written < count) {
        uint64_t run = 1;
        bool repeat = false;
        if (runLength) {
            if (source.at >= source.size) break;
            const uint8_t packet = source.data[source.at++];
            run = (packet & 0x7Fu) + 1;
            repeat = (packet & 0x80) != 0;
            // A packet running past the image ends it.
            if (run > count - written) run = count - written;
            if (repeat && !NextPixel(source, &value)) break;
        }
        for (uint64_t i = 0; i < run; ++i) {
            if (!repeat && !NextPixel(source, &value)) {
                return LogWrite("TGA の画素データが途中で切れています\n");
            }
            StoreValue(out + written * static_cast<uint64_t>(source.outBytes), source.outBytes,
                       value);
            ++written;
        }
    }
    if (written < count) return LogWrite("TGA の画素データが途中で切れています\n");
    return 0;
}

// Turns bottom-up rows and right-to-left pixels into the top-down, left-to-right order.
void Reorient(uint8_t* pixels, int32_t width, int32_t height, int bytes, bool bottomUp,
              bool rightToLeft) {
    const size_t pitch = static_cast<size_t>(width) * static_cast<size_t>(bytes);
    uint8_t held[4];
    if (rightToLeft) {
        for (int32_t y = 0; y < height; ++y) {
            uint8_t* left = pixels + static_cast<size_t>(y) * pitch;
            uint8_t* right = left + pitch - static_cast<size_t>(bytes);
            for (; left < right; left += bytes, right -= bytes) {
                std::memcpy(held, left, static_cast<size_t>(bytes));
                std::memcpy(left, right, static_cast<size_t>(bytes));
                std::memcpy(right, held, static_cast<size_t>(bytes));
            }
        }
    }
    if (bottomUp) {
        for (int32_t y = 0; y < height / 2; ++y) {
            uint8_t* top = pixels + static_cast<size_t>(y) * pitch;
            uint8_t* bottom = pixels + static_cast<size_t>(height - 1 - y) * pitch;
            for (size_t i = 0; i < pitch; ++i) {
                const uint8_t byte = top[i];
                top[i] = bottom[i];
                bottom[i] = byte;
            }
        }
    }
}

void SetTgaFormat(int depth, GraphImage* image) {
    switch (depth) {
        case 16:
            std::memset(&image->colorFormat, 0, sizeof(image->colorFormat));
            BuildColorFormat(&image->colorFormat, 16, 0x7C00, 0x03E0, 0x001F, 0);
            break;
        case 24:
            SetColorFormatRgb24(&image->colorFormat);
            break;
        default:
            SetColorFormatArgb32(&image->colorFormat);
            break;
    }
}

// Decodes a whole file held in memory; 0, or -1 (with a log line once it is known to be a TGA
// file it cannot take).
int DecodeTga(const uint8_t* data, size_t size, GraphImage* image) {
    if (size < kHeaderSize) return -1;
    const TgaHeader h = ReadHeader(data);
    const bool knownType =
        h.imageType == 1 || h.imageType == 2 || h.imageType == 9 || h.imageType == 10;
    if (!knownType || h.colorMapType > 1) return -1;

    const int depth = IsColorMapped(h) ? h.mapEntryBits : h.pixelBits;
    if (IsColorMapped(h) && (h.colorMapType != 1 || h.pixelBits != 8)) {
        return LogWrite("TGA のカラーマップが不正です\n");
    }
    if (h.xOrigin != 0 || h.yOrigin != 0) return LogWrite("TGA の原点が 0 ではありません\n");
    if (h.width == 0 || h.height == 0 || h.width > kMaxSide || h.height > kMaxSide) {
        return LogFormat("TGA の画像サイズ %u x %u は扱えません", h.width, h.height);
    }
    if (depth != 16 && depth != 24 && depth != 32) {
        return LogFormat("TGA の %d ビットカラーには対応していません", depth);
    }

    // The image ID comes first, then the colour map (kept only for colour-mapped images; its
    // entries past index 255 can never be addressed by an 8-bit index).
    size_t at = kHeaderSize + h.idLength;
    uint32_t colorMap[256] = {};
    if (h.colorMapType == 1) {
        const size_t entryBytes = (h.mapEntryBits + 7u) / 8;
        const size_t mapBytes = entryBytes * h.mapLength;
        if (at > size || size - at < mapBytes)
            return LogWrite("TGA のカラーマップが途中で切れています\n");
        if (IsColorMapped(h)) {
            for (size_t i = 0; i < h.mapLength && h.mapFirst + i < 256; ++i) {
                colorMap[h.mapFirst + i] =
                    LoadValue(data + at + i * entryBytes, static_cast<int>(entryBytes));
            }
        }
        at += mapBytes;
    }
    size_t end = HasFooter(data, size) ? size - kFooterSize : size;
    if (at > end) return LogWrite("TGA の画素データがありません\n");

    const int outBytes = depth / 8;
    TgaSource source{data + at, end - at,
                     0,         IsColorMapped(h) ? 1 : outBytes,
                     outBytes,  IsColorMapped(h) ? colorMap : nullptr};
    const uint64_t count = static_cast<uint64_t>(h.width) * h.height;
    uint8_t* pixels = AllocImagePixels(count * static_cast<uint64_t>(outBytes), 0);
    if (pixels == nullptr) return -1;
    if (DecodePixels(source, IsRunLength(h), pixels, count) != 0) {
        TrackedFree(pixels);
        return -1;
    }
    Reorient(pixels, h.width, h.height, outBytes, (h.descriptor & 0x20) == 0,
             (h.descriptor & 0x10) != 0);
    SetTgaFormat(depth, image);
    image->width = h.width;
    image->height = h.height;
    image->pitch = h.width * outBytes;
    image->pixels = pixels;
    return 0;
}

}  // namespace

int LoadTgaImage(DataStream* stream, GraphImage* image) {
    // The header is looked at first, so that other files are turned away without being read.
    uint8_t header[kHeaderSize];
    if (!ImageStreamSeek(stream, 0) || !ImageStreamRead(stream, header, sizeof(header))) return -1;
    const TgaHeader h = ReadHeader(header);
    if (!(h.imageType == 1 || h.imageType == 2 || h.imageType == 9 || h.imageType == 10) ||
        h.colorMapType > 1) {
        return -1;
    }
    size_t size = 0;
    uint8_t* data = ImageStreamReadWhole(stream, &size, kFormatName);
    if (data == nullptr) return -1;
    GraphImage* result = static_cast<GraphImage*>(ZN_ALLOC_ZERO(sizeof(GraphImage)));
    int status = -1;
    if (result == nullptr) {
        LogWrite("TGA の読み込み用のメモリの確保に失敗しました\n");
    } else if (DecodeTga(data, size, result) == 0) {
        *image = *result;
        status = 0;
    }
    TrackedFree(result);
    TrackedFree(data);
    return status;
}
