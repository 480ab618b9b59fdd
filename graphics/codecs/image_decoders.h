// The image decoders and writers: each decoder takes a stream positioned anywhere, reads the
// file from its start and, when the data is in its format and sound, fills a GraphImage (pixels
// from tracked memory, freed later with FreeGraphImage) and returns 0.
//
// A decoder returns -1 and leaves the output untouched when the data is not in its format (no
// log line: the next decoder is tried) or when it is in its format but damaged, truncated, too
// large or of a kind the library does not take (one log line saying why). Every header field,
// offset, size, run and palette index of the file is checked before use.
#pragma once
#include <cstdint>

#include "graphics/codecs/graph_image.h"
#include "base/data_stream.h"

// Largest image any decoder produces: each side at most kMaxImageSide pixels and at most
// kMaxImagePixels pixels in all (a 4-byte-per-pixel image of that size is 256 MB).
constexpr int32_t kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t{1} << 26;

using GraphImageDecoder = int (*)(DataStream* stream, GraphImage* image);

// The decoders in the order they are tried, ending in a null entry.
extern const GraphImageDecoder GraphDecoderTable[];

// BMP: 1, 4, 8, 16, 24 and 32 bits, RLE8, RLE4 and bit fields; core, info, V4 and V5 headers.
// 4- and 8-bit images come out paletted (8-bit indices), all others as 24-bit RGB.
int LoadBmpImage(DataStream* stream, GraphImage* image);
// JPEG through libjpeg: grey images as 8-bit grey, colour images as 24-bit RGB.
int LoadJpegImage(DataStream* stream, GraphImage* image);
// PNG through libpng: paletted images without transparency as 8-bit indices, grey as 8-bit
// grey, grey with alpha as 16-bit grey + alpha, colour as 24-bit RGB or 32-bit ARGB.
int LoadPngImage(DataStream* stream, GraphImage* image);
// Raw "BGRA" files with 8 or 16 bits per channel, as 32-bit ARGB.
int LoadBgraImage(DataStream* stream, GraphImage* image);
// TGA types 1, 2, 9 and 10 of 16, 24 or 32 bits, top-down and left to right.
int LoadTgaImage(DataStream* stream, GraphImage* image);
// Uncompressed DDS: the first surface, in the format its header describes.
int LoadDdsImage(DataStream* stream, GraphImage* image);

// Writers of screenshots: 8-bit RGB PNG with the given zlib level, and baseline RGB JPEG of the
// given quality (flag is not used). The file is made or overwritten. 0, or -1 with a log line.
int SavePngImage(const char* path, const GraphImage* image, int compressionLevel);
int SaveJpegImage(const char* path, const GraphImage* image, int quality, int flag);
