// Image files built in memory for the decoder tests and the fuzzing seeds: BMP, TGA, DDS and
// raw BGRA byte for byte from their fields, PNG and JPEG through libpng and libjpeg.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fixtures {

using Bytes = std::vector<uint8_t>;

void PutLe16(Bytes& out, uint32_t value);
void PutLe32(Bytes& out, uint32_t value);
void Append(Bytes& out, const Bytes& more);

// ---- BMP -------------------------------------------------------------------------------------

struct BmpFile {
    uint32_t headerSize = 40;  // 12 (core), 40, 52, 56, 108 or 124
    int32_t width = 0;
    int32_t height = 0;  // negative for top-down rows
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    // Red, green, blue, alpha: inside headers of 52 bytes and more (as far as they reach), and
    // after a 40-byte header when writeMasksAfterHeader is set.
    uint32_t masks[4] = {};
    bool writeMasksAfterHeader = false;
    Bytes table;               // colour table as stored (4 bytes an entry, 3 for core headers)
    Bytes pixels;              // pixel data as stored
    int64_t pixelOffset = -1;  // -1: right after header, masks and table
};
Bytes BuildBmp(const BmpFile& file);

// Rows of bits-per-pixel values in stored order (bottom-up unless topDown), each padded to 4
// bytes; value(x, y) gives the pixel of the picture's row y counted from the top.
Bytes PackBmpRows(int width, int height, int bits, bool topDown,
                  const std::function<uint32_t(int, int)>& value);
// count table entries of 4 bytes (or 3 with core): B, G, R of entry i from TableColor(i).
Bytes MakeBmpTable(int count, bool core = false);
// The colour of table entry i as 0xRRGGBB (distinct for i < 256).
uint32_t TableColor(int i);

// ---- TGA -------------------------------------------------------------------------------------

struct TgaFile {
    Bytes id;  // image ID (its length goes to the header)
    uint8_t colorMapType = 0;
    uint8_t imageType = 2;
    uint16_t mapFirst = 0;
    uint16_t mapLength = 0;
    uint8_t mapEntryBits = 0;
    uint16_t xOrigin = 0, yOrigin = 0;
    uint16_t width = 0, height = 0;
    uint8_t pixelBits = 24;
    uint8_t descriptor = 0x20;  // bit 5: top-down; bit 4: right to left
    Bytes colorMap;
    Bytes pixels;
    bool footer = false;
};
Bytes BuildTga(const TgaFile& file);

// ---- DDS -------------------------------------------------------------------------------------

struct DdsFile {
    uint32_t flags = 0x1007;  // caps, height, width, pixel format
    uint32_t width = 0, height = 0;
    uint32_t pitch = 0;
    uint32_t pixelFormatFlags = 0x40;  // RGB
    uint32_t fourCC = 0;
    uint32_t bitCount = 0;
    uint32_t masks[4] = {};  // R, G, B, A
    Bytes pixels;
};
Bytes BuildDds(const DdsFile& file);

// ---- raw BGRA --------------------------------------------------------------------------------

Bytes BuildBgra(uint32_t channelLayout, uint32_t width, uint32_t height, const Bytes& pixels);

// ---- PNG and JPEG ----------------------------------------------------------------------------

struct PngColor {
    uint8_t r, g, b;
};

struct PngFile {
    int width = 0, height = 0;
    int bitDepth = 8;
    int colorType = 2;  // PNG_COLOR_TYPE_*
    bool interlaced = false;
    std::vector<PngColor> palette;
    Bytes paletteAlpha;     // tRNS of palette images
    bool keyColor = false;  // tRNS of grey and RGB images: keyGrey or keyR, keyG, keyB
    uint16_t keyGrey = 0, keyR = 0, keyG = 0, keyB = 0;
    // Samples in file order, channels per pixel as the colour type has them, one uint16_t
    // each (only the low bitDepth bits are used).
    std::vector<uint16_t> samples;
};
Bytes BuildPng(const PngFile& file);

// A JPEG of the samples (1 grey, 3 R, G, B or 4 C, M, Y, K per pixel), baseline or
// progressive.
Bytes BuildJpeg(int width, int height, int components, const Bytes& samples, int quality,
                bool progressive = false);
// Decodes a JPEG with libjpeg directly (to compare against): samples as libjpeg gives them.
bool DecodeJpegDirect(const Bytes& file, int* width, int* height, int* components, Bytes* samples);

// ---- seeds -----------------------------------------------------------------------------------

// Small valid files of every format and kind the decoders take, with a name for each.
struct NamedFile {
    std::string name;
    Bytes bytes;
};
std::vector<NamedFile> SmallSampleFiles();

}  // namespace fixtures
