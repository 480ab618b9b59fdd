// libjpeg's data destination over a platform file.
#include <jerror.h>

#include "graphics/codecs/jpeg_support.h"

namespace {

JpegFileDestination* DestinationOf(j_compress_ptr cinfo) {
    return reinterpret_cast<JpegFileDestination*>(cinfo->dest);
}

void WriteOut(j_compress_ptr cinfo, size_t count) {
    JpegFileDestination* destination = DestinationOf(cinfo);
    if (count > 0 && plat::WriteFile(destination->file, destination->buffer, count) !=
                         static_cast<int64_t>(count)) {
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
}

void InitDestination(j_compress_ptr cinfo) {
    JpegFileDestination* destination = DestinationOf(cinfo);
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = sizeof(destination->buffer);
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    WriteOut(cinfo, sizeof(DestinationOf(cinfo)->buffer));
    InitDestination(cinfo);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    JpegFileDestination* destination = DestinationOf(cinfo);
    WriteOut(cinfo, sizeof(destination->buffer) - destination->pub.free_in_buffer);
}

}  // namespace

void SetJpegFileDestination(j_compress_ptr cinfo, JpegFileDestination* destination,
                            plat::File* file) {
    destination->pub.init_destination = InitDestination;
    destination->pub.empty_output_buffer = EmptyOutputBuffer;
    destination->pub.term_destination = TermDestination;
    destination->file = file;
    cinfo->dest = &destination->pub;
}
