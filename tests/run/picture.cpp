#include "tests/run/picture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "base/data_stream.h"
#include "base/memory_stream.h"
#include "graphics/codecs/image_decoders.h"

bool LoadPicture(const std::string& path, Picture* out) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    if (bytes.empty()) return false;
    for (const GraphImageDecoder* d = GraphDecoderTable; *d != nullptr; ++d) {
        DataStream stream{*GetMemStreamFunctions(), MemStreamOpen(bytes.data(), bytes.size())};
        GraphImage image{};
        const int result = (*d)(&stream, &image);
        MemStreamClose(stream.handle);
        if (result != 0) continue;
        out->width = image.width;
        out->height = image.height;
        out->rgb.assign(static_cast<size_t>(image.width) * image.height, 0);
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                int r = 0, g = 0, b = 0;
                GetGraphImagePixel(&image, x, y, &r, &g, &b, nullptr);
                out->rgb[static_cast<size_t>(y) * image.width + x] =
                    static_cast<uint32_t>((r << 16) | (g << 8) | b);
            }
        }
        FreeGraphImage(&image);
        return true;
    }
    return false;
}

namespace {

constexpr uint32_t kColorKey = 0x008000;

char tileChar(int tile) {
    if (tile < 10) return static_cast<char>('0' + tile);
    if (tile < 36) return static_cast<char>('A' + tile - 10);
    static const char kMarks[] = "\":'?!/";
    if (tile >= 40 && tile <= 45) return kMarks[tile - 40];
    return '#';
}

int channelDiff(uint32_t a, uint32_t b, int scale) {
    int worst = 0;
    for (int shift : {16, 8, 0}) {
        const int want = static_cast<int>((a >> shift) & 255) * scale / 255;
        const int got = static_cast<int>((b >> shift) & 255);
        worst = std::max(worst, std::abs(want - got));
    }
    return worst;
}

}  // namespace

bool FontReader::fits(const Picture& shot, int x, int y, int tile, int bright, int* ink) const {
    // The tile's drawn pixels (all but the transparent colour) must be in the shot at the
    // brightness, within the rounding of the screen's pixel format.
    const int tx = (tile % 10) * size_;
    const int ty = (tile / 10) * size_;
    *ink = 0;
    if (!font_.inside(tx + size_ - 1, ty + size_ - 1)) return false;
    long total = 0;
    for (int v = 0; v < size_; ++v) {
        for (int u = 0; u < size_; ++u) {
            const uint32_t p = font_.at(tx + u, ty + v);
            if (p == kColorKey) continue;
            if (!shot.inside(x + u, y + v)) return false;
            const int d = channelDiff(p, shot.at(x + u, y + v), bright);
            if (d > 24) return false;
            total += d;
            ++*ink;
        }
    }
    return *ink > 0 && total <= 6L * *ink;
}

std::pair<int, int> FontReader::match(const Picture& shot, int x, int y) const {
    // Of the tiles that fit, the one with the most drawn pixels wins (a '1' lies inside a '4').
    int best = -1;
    int bestBright = -1;
    int bestInk = 0;
    for (int tile = 0; tile < 50; ++tile) {
        for (int bright : {255, 128}) {
            int ink = 0;
            if (fits(shot, x, y, tile, bright, &ink) && ink > bestInk) {
                best = tile;
                bestBright = bright;
                bestInk = ink;
            }
        }
    }
    return {best, bestBright};
}

bool FontReader::isAt(const Picture& shot, int x, int y, char c) const {
    int tile = -1;
    if (c >= '0' && c <= '9') tile = c - '0';
    if (c >= 'A' && c <= 'Z') tile = 10 + (c - 'A');
    int ink = 0;
    return tile >= 0 && fits(shot, x, y, tile, 255, &ink);
}

std::string FontReader::read(const Picture& shot, int x, int y, int n) const {
    std::string text;
    for (int i = 0; i < n; ++i) {
        const int tile = match(shot, x + i * size_, y).first;
        text += tile < 0 ? ' ' : tileChar(tile);
    }
    return text;
}

int FontReader::brightness(const Picture& shot, int x, int y) const {
    return match(shot, x, y).second;
}
