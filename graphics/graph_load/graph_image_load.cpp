// Image files and memory blocks opened as streams and decoded, with the alpha image that a
// "_a" file beside an image supplies.
#include <cstring>

#include "graphics/graph_load/graph_load.h"
#include "platform/core/text_encoding.h"
#include "base/file_access_table.h"
#include "base/memory_stream.h"

int LoadGraphImage(const char* path, const void* memory, size_t size, int fromMemory,
                   GraphImage* image) {
    DataStream stream;
    if (fromMemory) {
        stream.functions = *GetMemStreamFunctions();
        stream.handle = MemStreamOpen(memory, size);
    } else {
        if (path == nullptr) return -1;
        stream.functions = *GetFileStreamFunctions();
        stream.handle = FileAccessOpen(path, 0, 0, 0);
    }
    if (stream.handle == 0) return -1;

    GraphImage decoded{};
    const int result = DecodeGraphImage(&stream, &decoded);
    if (fromMemory) {
        stream.functions.close(stream.handle);
    } else {
        FileAccessClose(stream.handle);
    }
    if (result == 0) *image = decoded;
    return result;
}

bool MakeAlphaImageName(const char* path, char* out, size_t size) {
    // The extension's "." is the last one after the last directory separator; the separator
    // byte 0x5C may also be the second byte of a double-byte character.
    const size_t length = std::strlen(path);
    size_t dot = length;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (plat::IsSjisLeadByte(c) && i + 1 < length) {
            ++i;
        } else if (c == '\\' || c == '/') {
            dot = length;
        } else if (c == '.') {
            dot = i;
        }
    }
    if (length + 3 > size) return false;
    std::memcpy(out, path, dot);
    std::memcpy(out + dot, "_a", 2);
    std::memcpy(out + dot + 2, path + dot, length - dot + 1);
    return true;
}

int LoadGraphImageWithAlpha(const char* path, const void* memory, size_t size, int fromMemory,
                            const void* alphaMemory, size_t alphaSize, int alphaFromMemory,
                            GraphImage* image, GraphImage* alphaImage) {
    if (LoadGraphImage(path, memory, size, fromMemory, image) != 0) return -1;
    if (alphaFromMemory == 1) {
        if (alphaMemory == nullptr) return 1;
        return LoadGraphImage(nullptr, alphaMemory, alphaSize, 1, alphaImage) == 0 ? 0 : 1;
    }
    if (alphaFromMemory != 0 || path == nullptr) return 1;
    char alphaName[1024];
    if (!MakeAlphaImageName(path, alphaName, sizeof(alphaName))) return 1;
    return LoadGraphImage(alphaName, nullptr, 0, 0, alphaImage) == 0 ? 0 : 1;
}
