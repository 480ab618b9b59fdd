// libjpeg's data source over a DataStream.
#include <jerror.h>

#include "graphics/codecs/image_input.h"
#include "graphics/codecs/jpeg_support.h"

namespace {

JpegStreamSource* SourceOf(j_decompress_ptr cinfo) {
    return reinterpret_cast<JpegStreamSource*>(cinfo->src);
}

void InitSource(j_decompress_ptr cinfo) { SourceOf(cinfo)->startOfFile = TRUE; }

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    JpegStreamSource* source = SourceOf(cinfo);
    size_t count = source->left < static_cast<int64_t>(sizeof(source->buffer))
                       ? static_cast<size_t>(source->left)
                       : sizeof(source->buffer);
    if (count > 0 && !ImageStreamRead(source->stream, source->buffer, count)) count = 0;
    if (count == 0) {
        source->left = 0;
        if (source->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // The data ended early: what was decoded is kept, the rest of the image is filled by
        // libjpeg after the end-of-image marker given here.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        count = 2;
    } else {
        source->left -= static_cast<int64_t>(count);
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = count;
    source->startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    JpegStreamSource* source = SourceOf(cinfo);
    // Each refill supplies at least two bytes, so the loop ends.
    while (count > static_cast<long>(source->pub.bytes_in_buffer)) {
        count -= static_cast<long>(source->pub.bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    source->pub.next_input_byte += count;
    source->pub.bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

}  // namespace

void SetJpegStreamSource(j_decompress_ptr cinfo, JpegStreamSource* source, DataStream* stream,
                         int64_t bytesLeft) {
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->pub.next_input_byte = nullptr;
    source->pub.bytes_in_buffer = 0;
    source->stream = stream;
    source->left = bytesLeft;
    source->startOfFile = TRUE;
    cinfo->src = &source->pub;
}
