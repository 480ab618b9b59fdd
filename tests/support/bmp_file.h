// Test pictures as BMP files: 24 bits per pixel, bottom-up, no palette, each pixel's colour
// (0x00RRGGBB) given by a function of its place.
#pragma once
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

// The bytes of the picture of width × height whose pixel (x, y) is colour(x, y).
inline std::string Bmp24Bytes(int32_t width, int32_t height,
                              const std::function<uint32_t(int x, int y)>& colour) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    std::string bytes(54 + imageBytes, '\0');
    auto put = [&](size_t at, uint32_t v, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<uint32_t>(bytes.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, imageBytes, 4);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            put(54 + static_cast<size_t>(height - 1 - y) * rowBytes + static_cast<size_t>(x) * 3,
                colour(x, y), 3);
        }
    }
    return bytes;
}

// The picture of width × height of one colour (0x00RRGGBB).
inline std::string Bmp24Bytes(int32_t width, int32_t height, uint32_t colour) {
    return Bmp24Bytes(width, height, [colour](int, int) { return colour; });
}

// Writes the picture whose pixel (x, y) is colour(x, y) to path.
inline void WriteBmp24File(const std::string& path, int32_t width, int32_t height,
                           const std::function<uint32_t(int x, int y)>& colour) {
    const std::string bytes = Bmp24Bytes(width, height, colour);
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
