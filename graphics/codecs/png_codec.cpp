// PNG through libpng: the decoder reads through a read function over the DataStream, the
// writer writes 8-bit RGB screenshots through the platform's files. libpng reports errors by
// jumping back to the setjmp of the routine that started the work; that routine keeps no
// object with a destructor, and everything the jump must not lose lives in a context record
// owned by its caller.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "graphics/codecs/image_decoders.h"
#include "graphics/codecs/image_input.h"
#include "platform/core/file.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

// ---- shared ----------------------------------------------------------------------------------

[[noreturn]] void PngError(png_structp png, png_const_charp message) {
    LogFormat("PNG の処理でエラーが発生しました：%s", message);
    png_longjmp(png, 1);
}

// Warnings concern things libpng mends or skips on its own; the image is still good.
void PngWarning(png_structp, png_const_charp) {}

// ---- reading ---------------------------------------------------------------------------------

struct PngReadContext {
    DataStream* stream;
    int64_t left;  // bytes from the stream's position to its end
    png_structp png;
    png_infop info;
    uint8_t* pixels;
    png_bytep* rows;
    GraphImage result;
};

// Reads exactly length bytes; a read past the end of the stream is a libpng error.
void PngStreamRead(png_structp png, png_bytep data, size_t length) {
    auto* context = static_cast<PngReadContext*>(png_get_io_ptr(png));
    if (length > static_cast<uint64_t>(context->left) ||
        !ImageStreamRead(context->stream, data, length)) {
        png_error(png, "Read Error");
    }
    context->left -= static_cast<int64_t>(length);
}

// The pixel format of the transformed rows.
void SetPngFormat(PngReadContext* c, int colorType, int channels) {
    GraphImage& image = c->result;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        SetColorFormat8(&image.colorFormat);
        png_colorp palette = nullptr;
        int count = 0;
        if (png_get_PLTE(c->png, c->info, &palette, &count) != 0) {
            for (int i = 0; i < count && i < 256; ++i) {
                image.colorFormat.palette[i] =
                    PaletteEntry{palette[i].blue, palette[i].green, palette[i].red, 0};
            }
        }
        return;
    }
    switch (channels) {
        case 1:
            SetColorFormatGrey8(&image.colorFormat);
            break;
        case 2:
            // Grey then alpha: the low byte is the grey level of all three colours, the high
            // byte the alpha.
            BuildColorFormat(&image.colorFormat, 16, 0xFF, 0xFF, 0xFF, 0xFF00);
            break;
        case 3:
            SetColorFormatRgb24(&image.colorFormat);
            break;
        default:
            SetColorFormatArgb32(&image.colorFormat);
            break;
    }
}

// Largest block libpng may allocate for one ancillary chunk, and the most ancillary chunks it
// may keep.
constexpr png_alloc_size_t kMaxPngChunkBytes = 1024 * 1024;
constexpr png_uint_32 kMaxPngCachedChunks = 16;

// Keeps libpng's own allocations small whatever a file declares. libpng takes an ancillary
// chunk that is larger than its limit for a mild fault and still allocates (and clears) a
// buffer of the declared size, so a few bytes of file could ask for a gigabyte. The decoder
// needs only IHDR, PLTE, tRNS, IDAT and IEND: every other chunk, known or not, is skipped
// while it is read, which needs no buffer of its size. The limits stand behind that for
// anything libpng still keeps.
void LimitPngChunks(png_structp png) {
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_chunk_malloc_max(png, kMaxPngChunkBytes);
    png_set_chunk_cache_max(png, kMaxPngCachedChunks);
}

// Runs libpng over the stream into c->result; 0, or -1 after libpng's error (logged).
int RunPngRead(PngReadContext* c) {
    if (setjmp(png_jmpbuf(c->png)) != 0) return -1;
    png_set_read_fn(c->png, c, PngStreamRead);
    png_set_user_limits(c->png, kMaxImageSide, kMaxImageSide);
    LimitPngChunks(c->png);
    png_read_info(c->png, c->info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(c->png, c->info, &width, &height, &bitDepth, &colorType, nullptr, nullptr,
                 nullptr);
    if (!CheckImageSize(width, height, "PNG")) png_error(c->png, "Image too large");

    png_set_strip_16(c->png);
    png_set_packing(c->png);
    png_set_packswap(c->png);
    if ((colorType == PNG_COLOR_TYPE_GRAY && bitDepth <= 8) ||
        png_get_valid(c->png, c->info, PNG_INFO_tRNS) != 0) {
        png_set_expand(c->png);
    }
    png_set_bgr(c->png);
    png_set_interlace_handling(c->png);
    png_read_update_info(c->png, c->info);

    const size_t rowBytes = png_get_rowbytes(c->png, c->info);
    const int channels = png_get_channels(c->png, c->info);
    const int outColorType = png_get_color_type(c->png, c->info);
    if (png_get_bit_depth(c->png, c->info) != 8 || rowBytes != size_t{width} * channels) {
        png_error(c->png, "Unexpected row layout");
    }
    c->pixels = AllocImagePixels(uint64_t{rowBytes} * height, 0);
    c->rows = static_cast<png_bytep*>(ZN_ALLOC(sizeof(png_bytep) * height));
    if (c->pixels == nullptr || c->rows == nullptr) png_error(c->png, "Out of memory");
    for (png_uint_32 y = 0; y < height; ++y) c->rows[y] = c->pixels + size_t{y} * rowBytes;
    png_read_image(c->png, c->rows);
    png_read_end(c->png, nullptr);

    SetPngFormat(c, outColorType, channels);
    c->result.width = static_cast<int32_t>(width);
    c->result.height = static_cast<int32_t>(height);
    c->result.pitch = static_cast<int32_t>(rowBytes);
    c->result.pixels = c->pixels;
    c->pixels = nullptr;
    return 0;
}

// ---- writing ---------------------------------------------------------------------------------

struct PngWriteContext {
    plat::File* file;
    png_structp png;
    png_infop info;
    uint8_t* row;
    const GraphImage* image;
    int level;
};

void PngFileWrite(png_structp png, png_bytep data, size_t length) {
    auto* context = static_cast<PngWriteContext*>(png_get_io_ptr(png));
    if (plat::WriteFile(context->file, data, length) != static_cast<int64_t>(length)) {
        png_error(png, "Write Error");
    }
}

void PngFileFlush(png_structp) {}

int RunPngWrite(PngWriteContext* c) {
    if (setjmp(png_jmpbuf(c->png)) != 0) return -1;
    const GraphImage* image = c->image;
    png_set_write_fn(c->png, c, PngFileWrite, PngFileFlush);
    png_set_filter(c->png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_compression_level(c->png, c->level);
    png_set_IHDR(c->png, c->info, static_cast<png_uint_32>(image->width),
                 static_cast<png_uint_32>(image->height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(c->png, c->info);
    for (int32_t y = 0; y < image->height; ++y) {
        for (int32_t x = 0; x < image->width; ++x) {
            int r, g, b;
            GetGraphImagePixel(image, x, y, &r, &g, &b, nullptr);
            uint8_t* at = c->row + static_cast<size_t>(x) * 3;
            at[0] = static_cast<uint8_t>(r);
            at[1] = static_cast<uint8_t>(g);
            at[2] = static_cast<uint8_t>(b);
        }
        png_write_row(c->png, c->row);
    }
    png_write_end(c->png, c->info);
    return 0;
}

}  // namespace

int LoadPngImage(DataStream* stream, GraphImage* image) {
    // Other files are turned away by the signature before libpng is started.
    uint8_t signature[8];
    if (!ImageStreamSeek(stream, 0) || !ImageStreamRead(stream, signature, sizeof(signature)) ||
        png_sig_cmp(signature, 0, sizeof(signature)) != 0 || !ImageStreamSeek(stream, 0)) {
        return -1;
    }
    auto* c = static_cast<PngReadContext*>(ZN_ALLOC_ZERO(sizeof(PngReadContext)));
    if (c == nullptr) return LogWrite("PNG の読み込み用のメモリの確保に失敗しました\n");
    c->stream = stream;
    c->left = ImageStreamBytesLeft(stream);
    int result = -1;
    if (c->left < 0) {
        LogWrite("PNG ファイルのサイズが取得できませんでした\n");
    } else {
        c->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
        c->info = c->png != nullptr ? png_create_info_struct(c->png) : nullptr;
        if (c->info == nullptr) {
            LogWrite("libpng の読み込み構造体を作れませんでした\n");
        } else {
            result = RunPngRead(c);
        }
        if (c->png != nullptr)
            png_destroy_read_struct(&c->png, c->info ? &c->info : nullptr, nullptr);
    }
    if (result == 0) *image = c->result;
    TrackedFree(c->pixels);
    TrackedFree(c->rows);
    TrackedFree(c);
    return result;
}

int SavePngImage(const char* path, const GraphImage* image, int compressionLevel) {
    if (image == nullptr || image->pixels == nullptr || image->width < 1 || image->height < 1) {
        return LogWrite("PNG に保存する画像がありません\n");
    }
    PngWriteContext context{};
    context.image = image;
    context.level = compressionLevel;
    context.row = static_cast<uint8_t*>(ZN_ALLOC(static_cast<size_t>(image->width) * 3));
    if (context.row == nullptr) return LogWrite("PNG の行バッファの確保に失敗しました\n");
    context.file = plat::OpenFile(path, plat::FileAccess::Write, plat::FileCreation::CreateAlways);
    int result = -1;
    if (context.file == nullptr) {
        LogFormat("PNG ファイル %s を作成できませんでした", path);
    } else {
        context.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
        context.info = context.png != nullptr ? png_create_info_struct(context.png) : nullptr;
        if (context.info == nullptr) {
            LogWrite("libpng の書き込み構造体を作れませんでした\n");
        } else {
            result = RunPngWrite(&context);
        }
        if (context.png != nullptr) {
            png_destroy_write_struct(&context.png, context.info ? &context.info : nullptr);
        }
        plat::CloseFile(context.file);
    }
    TrackedFree(context.row);
    return result;
}
