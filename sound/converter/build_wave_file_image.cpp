// A RIFF WAVE file image built from a format and its data: the form in which a streaming source
// keeps the PCM it decoded whole.
#include <cstring>

#include "base/tracked_memory.h"
#include "sound/converter/sound_converter.h"

void* BuildWaveFileImage(const void* format, uint32_t formatBytes, const void* data,
                         uint32_t dataBytes, uint32_t* imageBytes) {
    const uint64_t total = static_cast<uint64_t>(formatBytes) + dataBytes + 28;
    if (total > 0xFFFFFFFFull) return nullptr;
    auto* image = static_cast<unsigned char*>(ZN_ALLOC(static_cast<size_t>(total)));
    if (image == nullptr) return nullptr;
    auto put32 = [](unsigned char* p, uint32_t v) {
        p[0] = static_cast<unsigned char>(v);
        p[1] = static_cast<unsigned char>(v >> 8);
        p[2] = static_cast<unsigned char>(v >> 16);
        p[3] = static_cast<unsigned char>(v >> 24);
    };
    unsigned char* p = image;
    std::memcpy(p, "RIFF", 4);
    put32(p + 4, static_cast<uint32_t>(total - 8));
    std::memcpy(p + 8, "WAVE", 4);
    std::memcpy(p + 12, "fmt ", 4);
    put32(p + 16, formatBytes);
    p += 20;
    std::memcpy(p, format, formatBytes);
    p += formatBytes;
    std::memcpy(p, "data", 4);
    put32(p + 4, dataBytes);
    if (dataBytes != 0) std::memcpy(p + 8, data, dataBytes);
    if (imageBytes != nullptr) *imageBytes = static_cast<uint32_t>(total);
    return image;
}
