// JPEG through libjpeg: the decoder reads grey and colour images through the stream source,
// the writer writes baseline RGB screenshots. Errors jump back to the setjmp of the routine
// that started the work; that routine keeps no object with a destructor, and everything the
// jump must not lose lives in a context record owned by its caller.
#include <cstring>

#include "graphics/codecs/image_decoders.h"
#include "graphics/codecs/image_input.h"
#include "graphics/codecs/jpeg_support.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

// A progressive file may hold any number of scans, each costing a pass over the image; real
// files have a few dozen at most.
constexpr int kMaxScans = 1000;
// Working memory libjpeg may take for one image (coefficient buffers of progressive files).
constexpr long kMaxWorkingMemory = 512L << 20;

// ---- reading ---------------------------------------------------------------------------------

struct JpegReadContext {
    jpeg_decompress_struct cinfo;
    JpegErrorManager error;
    JpegStreamSource source;
    jpeg_progress_mgr progress;
    uint8_t* pixels;
    GraphImage result;
};

void LimitScans(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decompress->input_scan_number > kMaxScans) {
        LogFormat("JPEG のスキャンが多すぎます (%d を超えています)", kMaxScans);
        std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
    }
}

// B, G, R order for colour rows.
void SwapRedBlue(uint8_t* row, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, row += 3) {
        const uint8_t red = row[0];
        row[0] = row[2];
        row[2] = red;
    }
}

// 0, or -1 after libjpeg's error or a refusal (logged).
int RunJpegRead(JpegReadContext* c, DataStream* stream, int64_t bytesLeft) {
    if (setjmp(c->error.jump) != 0) return -1;
    jpeg_create_decompress(&c->cinfo);
    c->cinfo.mem->max_memory_to_use = kMaxWorkingMemory;
    c->progress.progress_monitor = LimitScans;
    c->cinfo.progress = &c->progress;
    SetJpegStreamSource(&c->cinfo, &c->source, stream, bytesLeft);
    jpeg_read_header(&c->cinfo, TRUE);

    const int components = c->cinfo.num_components;
    if (components != 1 && components != 3) {
        return LogFormat("JPEG の色成分数 %d には対応していません", components);
    }
    if (!CheckImageSize(c->cinfo.image_width, c->cinfo.image_height, "JPEG")) return -1;
    c->cinfo.out_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&c->cinfo);
    if (c->cinfo.output_components != components || c->cinfo.output_width != c->cinfo.image_width ||
        c->cinfo.output_height != c->cinfo.image_height) {
        return LogWrite("JPEG の出力形式が想定と違います\n");
    }

    const JDIMENSION width = c->cinfo.output_width;
    const JDIMENSION height = c->cinfo.output_height;
    const uint64_t pitch = uint64_t{width} * static_cast<uint64_t>(components);
    c->pixels = AllocImagePixels(pitch * height, 0);
    if (c->pixels == nullptr) return -1;
    while (c->cinfo.output_scanline < height) {
        JSAMPROW row = c->pixels + pitch * c->cinfo.output_scanline;
        if (jpeg_read_scanlines(&c->cinfo, &row, 1) != 1) {
            return LogWrite("JPEG の行を読み込めませんでした\n");
        }
        if (components == 3) SwapRedBlue(row, width);
    }
    jpeg_finish_decompress(&c->cinfo);

    if (components == 3) {
        SetColorFormatRgb24(&c->result.colorFormat);
    } else {
        SetColorFormatGrey8(&c->result.colorFormat);
    }
    c->result.width = static_cast<int32_t>(width);
    c->result.height = static_cast<int32_t>(height);
    c->result.pitch = static_cast<int32_t>(pitch);
    c->result.pixels = c->pixels;
    c->pixels = nullptr;
    return 0;
}

// ---- writing ---------------------------------------------------------------------------------

struct JpegWriteContext {
    jpeg_compress_struct cinfo;
    JpegErrorManager error;
    JpegFileDestination destination;
    const GraphImage* image;
    int quality;
    plat::File* file;
    uint8_t* row;
};

int RunJpegWrite(JpegWriteContext* c) {
    if (setjmp(c->error.jump) != 0) return -1;
    jpeg_create_compress(&c->cinfo);
    SetJpegFileDestination(&c->cinfo, &c->destination, c->file);
    const GraphImage* image = c->image;
    c->cinfo.image_width = static_cast<JDIMENSION>(image->width);
    c->cinfo.image_height = static_cast<JDIMENSION>(image->height);
    c->cinfo.input_components = 3;
    c->cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c->cinfo);
    jpeg_set_quality(&c->cinfo, c->quality, TRUE);
    jpeg_start_compress(&c->cinfo, TRUE);
    for (int32_t y = 0; y < image->height; ++y) {
        for (int32_t x = 0; x < image->width; ++x) {
            int r, g, b;
            GetGraphImagePixel(image, x, y, &r, &g, &b, nullptr);
            uint8_t* at = c->row + static_cast<size_t>(x) * 3;
            at[0] = static_cast<uint8_t>(r);
            at[1] = static_cast<uint8_t>(g);
            at[2] = static_cast<uint8_t>(b);
        }
        JSAMPROW row = c->row;
        jpeg_write_scanlines(&c->cinfo, &row, 1);
    }
    jpeg_finish_compress(&c->cinfo);
    return 0;
}

}  // namespace

int LoadJpegImage(DataStream* stream, GraphImage* image) {
    // Other files are turned away by the start-of-image marker before libjpeg is started.
    uint8_t marker[2];
    if (!ImageStreamSeek(stream, 0) || !ImageStreamRead(stream, marker, sizeof(marker)) ||
        marker[0] != 0xFF || marker[1] != 0xD8 || !ImageStreamSeek(stream, 0)) {
        return -1;
    }
    const int64_t bytesLeft = ImageStreamBytesLeft(stream);
    if (bytesLeft < 0) return LogWrite("JPEG ファイルのサイズが取得できませんでした\n");
    auto* c = static_cast<JpegReadContext*>(ZN_ALLOC_ZERO(sizeof(JpegReadContext)));
    if (c == nullptr) return LogWrite("JPEG の読み込み用のメモリの確保に失敗しました\n");
    c->cinfo.err = InitJpegErrorManager(&c->error);
    const int result = RunJpegRead(c, stream, bytesLeft);
    jpeg_destroy_decompress(&c->cinfo);
    if (result == 0) *image = c->result;
    TrackedFree(c->pixels);
    TrackedFree(c);
    return result;
}

int SaveJpegImage(const char* path, const GraphImage* image, int quality, int /*flag*/) {
    if (image == nullptr || image->pixels == nullptr || image->width < 1 || image->height < 1) {
        return LogWrite("JPEG に保存する画像がありません\n");
    }
    auto* c = static_cast<JpegWriteContext*>(ZN_ALLOC_ZERO(sizeof(JpegWriteContext)));
    if (c == nullptr) return LogWrite("JPEG の書き込み用のメモリの確保に失敗しました\n");
    c->image = image;
    c->quality = quality;
    c->row = static_cast<uint8_t*>(ZN_ALLOC(static_cast<size_t>(image->width) * 3));
    int result = -1;
    if (c->row == nullptr) {
        LogWrite("JPEG の行バッファの確保に失敗しました\n");
    } else {
        c->file = plat::OpenFile(path, plat::FileAccess::Write, plat::FileCreation::CreateAlways);
        if (c->file == nullptr) {
            LogFormat("JPEG ファイル %s を作成できませんでした", path);
        } else {
            c->cinfo.err = InitJpegErrorManager(&c->error);
            result = RunJpegWrite(c);
            jpeg_destroy_compress(&c->cinfo);
            plat::CloseFile(c->file);
        }
    }
    TrackedFree(c->row);
    TrackedFree(c);
    return result;
}
