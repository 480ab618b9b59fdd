#include "graphics/codecs/image_input.h"

#include "graphics/codecs/image_decoders.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

// Largest file read whole: the biggest image the decoders make with its headers and padding.
constexpr int64_t kMaxWholeFileBytes = int64_t{512} << 20;
// Largest pixel block: every byte offset of an image fits a signed 32-bit value.
constexpr uint64_t kMaxPixelBytes = 0x7FFFFFFF;

}  // namespace

bool ImageStreamSeek(DataStream* stream, int64_t offset) {
    return stream->functions.seek(stream->handle, offset, 0) == 0 &&
           stream->functions.tell(stream->handle) == offset;
}

int64_t ImageStreamBytesLeft(DataStream* stream) {
    const int64_t position = stream->functions.tell(stream->handle);
    if (position < 0) return -1;
    if (stream->functions.seek(stream->handle, 0, 2) != 0) return -1;
    const int64_t end = stream->functions.tell(stream->handle);
    if (stream->functions.seek(stream->handle, position, 0) != 0) return -1;
    if (end < position) return -1;
    return end - position;
}

bool ImageStreamRead(DataStream* stream, void* buffer, size_t size) {
    auto* at = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    // Items of one byte: a stream that has fewer bytes left reports exactly how many it gave.
    while (done < size) {
        const size_t got = stream->functions.read(at + done, 1, size - done, stream->handle);
        if (got == 0 || got > size - done) return false;
        done += got;
    }
    return true;
}

uint8_t* ImageStreamReadWhole(DataStream* stream, size_t* size, const char* formatName) {
    if (!ImageStreamSeek(stream, 0)) {
        LogFormat("%s ファイルの先頭に戻れませんでした", formatName);
        return nullptr;
    }
    const int64_t length = ImageStreamBytesLeft(stream);
    if (length < 0 || length > kMaxWholeFileBytes) {
        LogFormat("%s ファイルのサイズが扱える範囲を超えています", formatName);
        return nullptr;
    }
    auto* data = static_cast<uint8_t*>(ZN_ALLOC(length > 0 ? static_cast<size_t>(length) : 1));
    if (data == nullptr) {
        LogFormat("%s ファイルを読み込むメモリの確保に失敗しました", formatName);
        return nullptr;
    }
    if (!ImageStreamRead(stream, data, static_cast<size_t>(length))) {
        TrackedFree(data);
        LogFormat("%s ファイルの読み込みに失敗しました", formatName);
        return nullptr;
    }
    *size = static_cast<size_t>(length);
    return data;
}

int CheckImageSize(int64_t width, int64_t height, const char* formatName) {
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide ||
        width * height > kMaxImagePixels) {
        LogFormat("%s の画像サイズ %lld x %lld は扱えません", formatName,
                  static_cast<long long>(width), static_cast<long long>(height));
        return 0;
    }
    return 1;
}

uint8_t* AllocImagePixels(uint64_t size, int zero) {
    if (size > kMaxPixelBytes) {
        LogFormat("画像のピクセルデータが大きすぎます サイズ:%llu",
                  static_cast<unsigned long long>(size));
        return nullptr;
    }
    const size_t bytes = size != 0 ? static_cast<size_t>(size) : 1;
    void* block = zero ? ZN_ALLOC_ZERO(bytes) : ZN_ALLOC(bytes);
    if (block == nullptr) {
        LogFormat("画像のピクセルデータ用のメモリの確保に失敗しました サイズ:%zu", bytes);
    }
    return static_cast<uint8_t*>(block);
}
