// The pieces libjpeg takes from the library: an error manager whose exit logs the message and
// jumps back to the routine that started the work, a source manager over a DataStream and a
// destination manager over a platform file.
#pragma once
#include <cstdio>  // jpeglib.h needs FILE declared first

#include <jpeglib.h>

#include <csetjmp>
#include <cstdint>

#include "platform/core/file.h"
#include "base/data_stream.h"

// The standard error manager with JpegErrorExit as its exit and the log as its output. The
// routine that starts libjpeg sets `jump` with setjmp before the first libjpeg call.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};
jpeg_error_mgr* InitJpegErrorManager(JpegErrorManager* manager);
// Logs the message of the error being raised and jumps back.
[[noreturn]] void JpegErrorExit(j_common_ptr cinfo);

// Reads the stream from its position in pieces of up to 4096 bytes; at the end of the data it
// raises the empty-input error when nothing was read yet, else warns of the premature end and
// supplies an end-of-image marker.
struct JpegStreamSource {
    jpeg_source_mgr pub;
    DataStream* stream;
    int64_t left;  // bytes from the stream's position to its end
    boolean startOfFile;
    JOCTET buffer[4096];
};
void SetJpegStreamSource(j_decompress_ptr cinfo, JpegStreamSource* source, DataStream* stream,
                         int64_t bytesLeft);

// Writes the compressed data to a platform file in pieces of 4096 bytes; a failed write is the
// file-write error.
struct JpegFileDestination {
    jpeg_destination_mgr pub;
    plat::File* file;
    JOCTET buffer[4096];
};
void SetJpegFileDestination(j_compress_ptr cinfo, JpegFileDestination* destination,
                            plat::File* file);
