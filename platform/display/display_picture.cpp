// The picture the display shows: read out as 32-bit pixels, and written as a PNG file (rows
// filtered by their left neighbour and deflated with zlib).
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/display/display.h"
#include "platform/display/display_internal.h"
#include "platform/window/window_core.h"

namespace plat {

WindowHandle FirstVisibleWindow() {
    wincore::CoreState& core = wincore::Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    WindowHandle any = 0;
    for (size_t i = 0; i < core.windows.size(); ++i) {
        const wincore::WindowRecord& w = core.windows[i];
        if (!w.inUse || w.destroying) continue;
        if (w.visible) return wincore::HandleOf(i);
        if (any == 0) any = wincore::HandleOf(i);
    }
    return any;
}

namespace {

uint32_t Expand(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = __builtin_ctz(mask);
    const uint32_t max = mask >> shift;
    return ((value & mask) >> shift) * 255 / max;
}

// Converts a framebuffer pixel at p to 0x00RRGGBB.
uint32_t ToRgb(const DisplayFramebuffer& fb, const uint8_t* p, const uint8_t (*palette)[3]) {
    switch (fb.bitsPerPixel) {
        case 8: {
            const uint8_t* c = palette[p[0]];
            return static_cast<uint32_t>(c[0]) << 16 | static_cast<uint32_t>(c[1]) << 8 | c[2];
        }
        case 16: {
            const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
            return Expand(v, fb.redMask) << 16 | Expand(v, fb.greenMask) << 8 |
                   Expand(v, fb.blueMask);
        }
        default: {
            uint32_t v;
            std::memcpy(&v, p, 4);
            return v & 0xFFFFFF;
        }
    }
}

void PutBe(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(static_cast<uint8_t>(v >> 24));
    out->push_back(static_cast<uint8_t>(v >> 16));
    out->push_back(static_cast<uint8_t>(v >> 8));
    out->push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data) {
    PutBe(out, static_cast<uint32_t>(data.size()));
    const size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out->data() + start, static_cast<uInt>(out->size() - start));
    PutBe(out, static_cast<uint32_t>(crc));
}

}  // namespace

bool ReadShownPicture(WindowHandle window, ShownPicture* out) {
    if (out == nullptr) return false;
    const DisplayFramebuffer fb = GetDisplayFramebuffer();
    Rect area{0, 0, fb.width, fb.height};
    if (!DisplayInFullScreenMode()) {
        const WindowHandle shown = window != 0 ? window : DisplayWindow();
        if (shown == 0 || !WindowClientOnDesktop(shown, &area)) return false;
    }
    const int32_t width = std::max(0, area.right - area.left);
    const int32_t height = std::max(0, area.bottom - area.top);
    out->width = width;
    out->height = height;
    out->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    DisplayGlobals& s = DisplayState();
    uint8_t palette[256][3];
    {
        std::lock_guard<std::recursive_mutex> hold(s.mutex);
        std::memcpy(palette, s.palette, sizeof(palette));
    }
    const int32_t bytes = std::max(1, fb.bitsPerPixel / 8);
    for (int32_t y = 0; y < height; ++y) {
        const int64_t fy = static_cast<int64_t>(area.top) + y;
        if (fy < 0 || fy >= fb.height) continue;
        for (int32_t x = 0; x < width; ++x) {
            const int64_t fx = static_cast<int64_t>(area.left) + x;
            if (fx < 0 || fx >= fb.width) continue;
            const uint8_t* p = fb.pixels + fy * fb.pitch + fx * bytes;
            out->pixels[static_cast<size_t>(y) * width + x] = ToRgb(fb, p, palette);
        }
    }
    return true;
}

Rect FitPictureRect(int32_t outputWidth, int32_t outputHeight, int32_t pictureWidth,
                    int32_t pictureHeight) {
    if (outputWidth <= 0 || outputHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return Rect{0, 0, 0, 0};
    }
    int64_t w = outputWidth, h = outputHeight;
    if (w * pictureHeight > h * pictureWidth) {
        w = h * pictureWidth / pictureHeight;
    } else {
        h = w * pictureHeight / pictureWidth;
    }
    const int32_t left = static_cast<int32_t>((outputWidth - w) / 2);
    const int32_t top = static_cast<int32_t>((outputHeight - h) / 2);
    return Rect{left, top, left + static_cast<int32_t>(w), top + static_cast<int32_t>(h)};
}

bool EncodePicturePng(const ShownPicture& picture, std::vector<uint8_t>* png) {
    if (picture.width <= 0 || picture.height <= 0) return false;
    // Rows of a filter byte and R, G, B per pixel. Filter 1 (each byte minus the byte of the
    // pixel to its left) turns the flat areas and gradients of a game screen into runs of
    // zeros and small values that deflate well.
    const size_t rowBytes = 1 + static_cast<size_t>(picture.width) * 3;
    std::vector<uint8_t> raw(rowBytes * static_cast<size_t>(picture.height));
    for (int32_t y = 0; y < picture.height; ++y) {
        uint8_t* row = raw.data() + rowBytes * y;
        row[0] = 1;
        uint32_t left = 0;
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint32_t v = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            row[1 + x * 3] = static_cast<uint8_t>((v >> 16) - (left >> 16));
            row[2 + x * 3] = static_cast<uint8_t>((v >> 8) - (left >> 8));
            row[3 + x * 3] = static_cast<uint8_t>(v - left);
            left = v;
        }
    }
    uLongf zSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> z(zSize);
    if (compress2(z.data(), &zSize, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) {
        return false;
    }
    z.resize(zSize);

    png->clear();
    png->reserve(z.size() + 64);
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (uint8_t byte : kSignature) png->push_back(byte);
    std::vector<uint8_t> header;
    PutBe(&header, static_cast<uint32_t>(picture.width));
    PutBe(&header, static_cast<uint32_t>(picture.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    return true;
}

bool WriteShownPicturePng(WindowHandle window, const char* path, std::string* error) {
    ShownPicture picture;
    std::vector<uint8_t> png;
    if (path == nullptr || path[0] == '\0') {
        if (error != nullptr) *error = "no file name";
        return false;
    }
    if (!ReadShownPicture(window, &picture) || picture.width <= 0 || picture.height <= 0) {
        if (error != nullptr) *error = "no picture is shown";
        return false;
    }
    if (!EncodePicturePng(picture, &png)) {
        if (error != nullptr) *error = "the picture cannot be compressed";
        return false;
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        if (error != nullptr) *error = std::string("cannot write ") + path;
        return false;
    }
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        if (error != nullptr) *error = std::string("cannot write ") + path;
        return false;
    }
    return true;
}

}  // namespace plat
