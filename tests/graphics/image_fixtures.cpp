#include "tests/graphics/image_fixtures.h"

#include <cstdio>  // jpeglib.h needs FILE declared first

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace fixtures {

void PutLe16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLe32(Bytes& out, uint32_t value) {
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

// ---- BMP -------------------------------------------------------------------------------------

Bytes BuildBmp(const BmpFile& file) {
    Bytes info;
    PutLe32(info, file.headerSize);
    if (file.headerSize == 12) {
        PutLe16(info, static_cast<uint32_t>(file.width));
        PutLe16(info, static_cast<uint32_t>(file.height));
        PutLe16(info, 1);
        PutLe16(info, file.bitCount);
    } else {
        PutLe32(info, static_cast<uint32_t>(file.width));
        PutLe32(info, static_cast<uint32_t>(file.height));
        PutLe16(info, 1);
        PutLe16(info, file.bitCount);
        PutLe32(info, file.compression);
        PutLe32(info, static_cast<uint32_t>(file.pixels.size()));
        PutLe32(info, 2835);
        PutLe32(info, 2835);
        PutLe32(info, file.colorsUsed);
        PutLe32(info, 0);
        for (int i = 0; i < 4 && info.size() + 4 <= file.headerSize; ++i) {
            PutLe32(info, file.masks[i]);
        }
        info.resize(file.headerSize, 0);
    }
    Bytes afterInfo;
    if (file.writeMasksAfterHeader) {
        for (int i = 0; i < 3; ++i) PutLe32(afterInfo, file.masks[i]);
    }
    Append(afterInfo, file.table);

    const size_t natural = 14 + info.size() + afterInfo.size();
    const size_t offset = file.pixelOffset >= 0 ? static_cast<size_t>(file.pixelOffset) : natural;
    Bytes out = {'B', 'M'};
    PutLe32(out, static_cast<uint32_t>(std::max(offset, natural) + file.pixels.size()));
    PutLe32(out, 0);
    PutLe32(out, static_cast<uint32_t>(offset));
    Append(out, info);
    Append(out, afterInfo);
    if (out.size() < offset) out.resize(offset, 0);
    Append(out, file.pixels);
    return out;
}

Bytes PackBmpRows(int width, int height, int bits, bool topDown,
                  const std::function<uint32_t(int, int)>& value) {
    const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    Bytes out(stride * static_cast<size_t>(height), 0);
    for (int stored = 0; stored < height; ++stored) {
        const int y = topDown ? stored : height - 1 - stored;
        uint8_t* row = out.data() + stride * static_cast<size_t>(stored);
        for (int x = 0; x < width; ++x) {
            const uint32_t v = value(x, y);
            if (bits < 8) {
                const int bit = x * bits;
                const int shift = 8 - bits - bit % 8;
                row[bit / 8] |= static_cast<uint8_t>((v & ((1u << bits) - 1)) << shift);
            } else {
                for (int i = 0; i < bits / 8; ++i) {
                    row[static_cast<size_t>(x) * (bits / 8) + i] =
                        static_cast<uint8_t>(v >> (8 * i));
                }
            }
        }
    }
    return out;
}

uint32_t TableColor(int i) {
    const uint32_t r = static_cast<uint32_t>(i * 37 + 11) & 0xFF;
    const uint32_t g = static_cast<uint32_t>(255 - i) & 0xFF;
    const uint32_t b = static_cast<uint32_t>(i * 5 + 3) & 0xFF;
    return r << 16 | g << 8 | b;
}

Bytes MakeBmpTable(int count, bool core) {
    Bytes out;
    for (int i = 0; i < count; ++i) {
        const uint32_t c = TableColor(i);
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c >> 16));
        if (!core) out.push_back(0x77);  // reserved byte, to be dropped
    }
    return out;
}

// ---- TGA -------------------------------------------------------------------------------------

Bytes BuildTga(const TgaFile& file) {
    Bytes out;
    out.push_back(static_cast<uint8_t>(file.id.size()));
    out.push_back(file.colorMapType);
    out.push_back(file.imageType);
    PutLe16(out, file.mapFirst);
    PutLe16(out, file.mapLength);
    out.push_back(file.mapEntryBits);
    PutLe16(out, file.xOrigin);
    PutLe16(out, file.yOrigin);
    PutLe16(out, file.width);
    PutLe16(out, file.height);
    out.push_back(file.pixelBits);
    out.push_back(file.descriptor);
    Append(out, file.id);
    Append(out, file.colorMap);
    Append(out, file.pixels);
    if (file.footer) {
        PutLe32(out, 0);
        PutLe32(out, 0);
        const char* signature = "TRUEVISION-XFILE.";
        out.insert(out.end(), signature, signature + 17);
        out.push_back(0);
    }
    return out;
}

// ---- DDS -------------------------------------------------------------------------------------

Bytes BuildDds(const DdsFile& file) {
    Bytes out = {'D', 'D', 'S', ' '};
    Bytes header(124, 0);
    auto put = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    put(0, 124);
    put(4, file.flags);
    put(8, file.height);
    put(12, file.width);
    put(16, file.pitch);
    put(72, 32);
    put(76, file.pixelFormatFlags);
    put(80, file.fourCC);
    put(84, file.bitCount);
    for (int i = 0; i < 4; ++i) put(88 + 4 * static_cast<size_t>(i), file.masks[i]);
    put(104, 0x1000);  // caps: texture
    Append(out, header);
    Append(out, file.pixels);
    return out;
}

// ---- raw BGRA --------------------------------------------------------------------------------

Bytes BuildBgra(uint32_t channelLayout, uint32_t width, uint32_t height, const Bytes& pixels) {
    Bytes out = {'B', 'G', 'R', 'A'};
    PutLe32(out, channelLayout);
    PutLe32(out, width);
    PutLe32(out, height);
    Append(out, pixels);
    return out;
}

// ---- PNG -------------------------------------------------------------------------------------

namespace {

void PngToVector(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void PngFlushNothing(png_structp) {}

int PngChannels(int colorType) {
    switch (colorType) {
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        default:
            return 1;
    }
}

// Packs one row of samples into PNG's row layout (big-endian, several samples per byte below
// 8 bits).
Bytes PackPngRow(const PngFile& file, int y) {
    const int channels = PngChannels(file.colorType);
    const size_t samplesPerRow = static_cast<size_t>(file.width) * channels;
    const size_t bytes = (samplesPerRow * file.bitDepth + 7) / 8;
    Bytes row(bytes, 0);
    for (size_t i = 0; i < samplesPerRow; ++i) {
        const uint16_t s = file.samples[static_cast<size_t>(y) * samplesPerRow + i];
        if (file.bitDepth == 16) {
            row[2 * i] = static_cast<uint8_t>(s >> 8);
            row[2 * i + 1] = static_cast<uint8_t>(s);
        } else if (file.bitDepth == 8) {
            row[i] = static_cast<uint8_t>(s);
        } else {
            const size_t bit = i * static_cast<size_t>(file.bitDepth);
            const int shift = 8 - file.bitDepth - static_cast<int>(bit % 8);
            row[bit / 8] |= static_cast<uint8_t>((s & ((1u << file.bitDepth) - 1)) << shift);
        }
    }
    return row;
}

}  // namespace

Bytes BuildPng(const PngFile& file) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<Bytes> rows;
    for (int y = 0; y < file.height; ++y) rows.push_back(PackPngRow(file, y));
    std::vector<png_bytep> pointers;
    for (Bytes& row : rows) pointers.push_back(row.data());
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, PngToVector, PngFlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(file.width),
                 static_cast<png_uint_32>(file.height), file.bitDepth, file.colorType,
                 file.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (!file.palette.empty()) {
        std::vector<png_color> palette;
        for (const PngColor& c : file.palette) palette.push_back(png_color{c.r, c.g, c.b});
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    if (!file.paletteAlpha.empty()) {
        png_set_tRNS(png, info, file.paletteAlpha.data(),
                     static_cast<int>(file.paletteAlpha.size()), nullptr);
    } else if (file.keyColor) {
        png_color_16 key{};
        key.gray = file.keyGrey;
        key.red = file.keyR;
        key.green = file.keyG;
        key.blue = file.keyB;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// ---- JPEG ------------------------------------------------------------------------------------

namespace {

struct JpegFailure {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void JumpOnJpegError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegFailure*>(cinfo->err)->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr) {}

}  // namespace

Bytes BuildJpeg(int width, int height, int components, const Bytes& samples, int quality,
                bool progressive) {
    jpeg_compress_struct cinfo{};
    JpegFailure failure;
    cinfo.err = jpeg_std_error(&failure.pub);
    failure.pub.error_exit = JumpOnJpegError;
    failure.pub.output_message = IgnoreJpegMessage;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(samples.data()) +
                       static_cast<size_t>(cinfo.next_scanline) * width * components;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

bool DecodeJpegDirect(const Bytes& file, int* width, int* height, int* components, Bytes* samples) {
    jpeg_decompress_struct cinfo{};
    JpegFailure failure;
    cinfo.err = jpeg_std_error(&failure.pub);
    failure.pub.error_exit = JumpOnJpegError;
    failure.pub.output_message = IgnoreJpegMessage;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    *width = static_cast<int>(cinfo.output_width);
    *height = static_cast<int>(cinfo.output_height);
    *components = cinfo.output_components;
    samples->assign(static_cast<size_t>(*width) * *height * *components, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row =
            samples->data() + static_cast<size_t>(cinfo.output_scanline) * *width * *components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// ---- seeds -----------------------------------------------------------------------------------

namespace {

uint32_t Mix(int x, int y, int salt) {
    return static_cast<uint32_t>(x * 73 + y * 151 + salt * 29 + x * y * 7);
}

Bytes Samples(int count, int salt) {
    Bytes out(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        out[static_cast<size_t>(i)] = static_cast<uint8_t>(Mix(i, i / 7, salt));
    return out;
}

}  // namespace

std::vector<NamedFile> SmallSampleFiles() {
    std::vector<NamedFile> files;
    const int w = 5, h = 3;
    auto bmp = [&](const char* name, uint16_t bits, uint32_t compression, int table,
                   uint32_t headerSize, bool topDown) {
        BmpFile f;
        f.headerSize = headerSize;
        f.width = w;
        f.height = topDown ? -h : h;
        f.bitCount = bits;
        f.compression = compression;
        f.table = MakeBmpTable(table, headerSize == 12);
        if (compression == 3) {
            f.masks[0] = bits == 16 ? 0xF800 : 0xFF0000;
            f.masks[1] = bits == 16 ? 0x07E0 : 0xFF00;
            f.masks[2] = bits == 16 ? 0x001F : 0xFF;
            f.masks[3] = bits == 32 ? 0xFF000000 : 0;
            f.writeMasksAfterHeader = headerSize == 40;
        }
        f.pixels = PackBmpRows(w, h, bits, topDown, [&](int x, int y) {
            return Mix(x, y, bits) & (bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1);
        });
        files.push_back({name, BuildBmp(f)});
    };
    bmp("bmp_1", 1, 0, 2, 40, false);
    bmp("bmp_4", 4, 0, 16, 40, false);
    bmp("bmp_8", 8, 0, 256, 40, false);
    bmp("bmp_8_core", 8, 0, 256, 12, false);
    bmp("bmp_16", 16, 0, 0, 40, false);
    bmp("bmp_24", 24, 0, 0, 40, false);
    bmp("bmp_24_topdown", 24, 0, 0, 40, true);
    bmp("bmp_32", 32, 0, 0, 40, false);
    bmp("bmp_16_bitfields", 16, 3, 0, 40, false);
    bmp("bmp_32_v5", 32, 3, 0, 124, false);
    {
        BmpFile f;
        f.width = 6;
        f.height = 4;
        f.bitCount = 8;
        f.compression = 1;
        f.table = MakeBmpTable(16);
        f.colorsUsed = 16;
        f.pixels = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 2, 7,  0, 2,
                    1, 0, 3, 9, 0, 0, 0, 2, 2, 1, 4, 10, 0, 1};
        files.push_back({"bmp_rle8", BuildBmp(f)});
        f.bitCount = 4;
        f.compression = 2;
        f.pixels = {3,    0x5A, 0, 3, 0x12, 0x30, 0, 0, 0, 5,    0x12, 0x34,
                    0x50, 0,    0, 2, 1,    1,    0, 0, 2, 0x77, 0,    1};
        files.push_back({"bmp_rle4", BuildBmp(f)});
    }
    auto tga = [&](const char* name, uint8_t type, uint8_t bits, uint8_t descriptor) {
        TgaFile f;
        f.imageType = type;
        f.width = w;
        f.height = h;
        f.descriptor = descriptor;
        f.id = {'i', 'd'};
        const bool mapped = type == 1 || type == 9;
        if (mapped) {
            f.colorMapType = 1;
            f.mapLength = 4;
            f.mapEntryBits = bits;
            f.pixelBits = 8;
            f.colorMap = Samples(4 * bits / 8, 5);
        } else {
            f.pixelBits = bits;
        }
        const int bytes = mapped ? 1 : bits / 8;
        if (type == 9 || type == 10) {
            Bytes value = Samples(bytes, 9);
            if (mapped) value[0] &= 3;
            f.pixels.push_back(0x80 | 6);  // 7 repeats
            Append(f.pixels, value);
            f.pixels.push_back(7);  // 8 raw pixels
            Bytes raw = Samples(8 * bytes, 3);
            if (mapped)
                for (uint8_t& v : raw) v &= 3;
            Append(f.pixels, raw);
        } else {
            f.pixels = Samples(w * h * bytes, 4);
            if (mapped)
                for (uint8_t& v : f.pixels) v &= 3;
        }
        f.footer = true;
        files.push_back({name, BuildTga(f)});
    };
    tga("tga_1", 1, 24, 0x20);
    tga("tga_2_16", 2, 16, 0x00);
    tga("tga_2_32", 2, 32, 0x30);
    tga("tga_9", 9, 16, 0x20);
    tga("tga_10", 10, 24, 0x10);
    {
        DdsFile f;
        f.width = w;
        f.height = h;
        f.bitCount = 16;
        f.masks[0] = 0xF800;
        f.masks[1] = 0x07E0;
        f.masks[2] = 0x001F;
        f.pixels = Samples(w * h * 2, 6);
        files.push_back({"dds_masks", BuildDds(f)});
        f.pixelFormatFlags = 0x4;
        f.fourCC = 0x15;
        f.flags |= 0x8;
        f.pitch = w * 4 + 4;
        f.pixels = Samples((w * 4 + 4) * h, 7);
        files.push_back({"dds_fourcc", BuildDds(f)});
    }
    files.push_back({"bgra_8", BuildBgra(0x08080808, w, h, Samples(w * h * 4, 8))});
    files.push_back({"bgra_16", BuildBgra(0x10101010, w, h, Samples(w * h * 8, 9))});
    auto png = [&](const char* name, int colorType, int depth, bool trns) {
        PngFile f;
        f.width = w;
        f.height = h;
        f.colorType = colorType;
        f.bitDepth = depth;
        const int channels = colorType == 4 ? 2 : colorType == 2 ? 3 : colorType == 6 ? 4 : 1;
        for (int i = 0; i < w * h * channels; ++i) {
            f.samples.push_back(static_cast<uint16_t>(Mix(i, i / 3, depth) * 977));
        }
        if (colorType == 3) {
            for (int i = 0; i < (1 << depth); ++i) {
                f.palette.push_back(PngColor{static_cast<uint8_t>(i * 40),
                                             static_cast<uint8_t>(i * 90),
                                             static_cast<uint8_t>(255 - i)});
            }
            if (trns) f.paletteAlpha = {0, 128};
        } else if (trns) {
            f.keyColor = true;
            f.keyGrey = f.samples[0] & ((1u << depth) - 1);
        }
        files.push_back({name, BuildPng(f)});
    };
    png("png_palette", 3, 4, false);
    png("png_palette_trns", 3, 2, true);
    png("png_grey_1", 0, 1, false);
    png("png_grey_16", 0, 16, false);
    png("png_grey_trns", 0, 8, true);
    png("png_grey_alpha", 4, 8, false);
    png("png_rgb", 2, 8, false);
    png("png_rgba_16", 6, 16, false);
    files.push_back({"jpeg_grey", BuildJpeg(w * 3, h * 3, 1, Samples(w * h * 9, 1), 90)});
    files.push_back({"jpeg_colour", BuildJpeg(w * 3, h * 3, 3, Samples(w * h * 27, 2), 90)});
    files.push_back(
        {"jpeg_progressive", BuildJpeg(w * 3, h * 3, 3, Samples(w * h * 27, 3), 80, true)});
    return files;
}

}  // namespace fixtures
