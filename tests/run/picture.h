// Pictures for whole-run tests: the screen shots (PNG) and captures (BMP) a run writes and the
// game's own images, decoded by the library's decoders into plain RGB pixels; and a reader that
// finds the bitmap font's characters in a picture by comparing it with the font's tiles.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;  // 0xRRGGBB, row by row

    uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// The picture in the file (any format the library reads); false when it cannot be read.
bool LoadPicture(const std::string& path, Picture* out);

// A bitmap font of 50 square tiles, 10 to a row, with (0, 128, 0) as the transparent colour.
class FontReader {
public:
    FontReader(const Picture& font, int tileSize) : font_(font), size_(tileSize) {}

    // The n characters at (x, y), one tile apart, as the game drew them at brightness 255 or
    // 128: '0'-'9', 'A'-'Z', the marks, ' ' where no tile matches.
    std::string read(const Picture& shot, int x, int y, int n) const;
    // True when the character's tile is at (x, y) at brightness 255.
    bool isAt(const Picture& shot, int x, int y, char c) const;
    // The brightness (255 or 128) of the character at (x, y); -1 when none matches.
    int brightness(const Picture& shot, int x, int y) const;

private:
    // The best tile at (x, y): its index (-1 none) and brightness.
    std::pair<int, int> match(const Picture& shot, int x, int y) const;
    // True when the tile's drawn pixels are in the shot at (x, y) at the brightness; ink
    // receives the count of drawn pixels.
    bool fits(const Picture& shot, int x, int y, int tile, int bright, int* ink) const;

    const Picture& font_;
    int size_;
};
