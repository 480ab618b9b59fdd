// The body shared by the decoder fuzz targets: one decoder over the input through a memory
// stream; an accepted image is read whole (so that a pixel buffer smaller than the image's
// size shows up under the address sanitizer) and every tracked block must be given back.
#pragma once
#include <cstddef>
#include <cstdint>

#include "graphics/codecs/graph_image.h"
#include "graphics/codecs/image_decoders.h"
#include "base/memory_stream.h"
#include "base/tracked_memory.h"

inline int FuzzOneDecoder(GraphImageDecoder decoder, const uint8_t* data, size_t size) {
    const uint32_t blocksBefore = GetAllocState().count;
    DataStream stream{*GetMemStreamFunctions(), MemStreamOpen(data, size)};
    if (stream.handle == 0) return 0;
    GraphImage image{};
    if (decoder(&stream, &image) == 0) {
        if (image.pixels == nullptr || image.width < 1 || image.height < 1 ||
            image.pitch < image.width * image.colorFormat.format.bytes) {
            __builtin_trap();
        }
        volatile unsigned sum = 0;
        const size_t bytes = static_cast<size_t>(image.pitch) * static_cast<size_t>(image.height);
        for (size_t i = 0; i < bytes; ++i) sum = sum + image.pixels[i];
        // The pixel routines on the corners (the byte sum above already covers every byte).
        const int right = image.width - 1, bottom = image.height - 1;
        sum = sum + GetGraphImagePixelArgb(&image, 0, 0) +
              GetGraphImagePixelArgb(&image, right, 0) + GetGraphImagePixelArgb(&image, 0, bottom) +
              GetGraphImagePixelArgb(&image, right, bottom);
        FreeGraphImage(&image);
    }
    stream.functions.close(stream.handle);
    if (GetAllocState().count != blocksBefore) __builtin_trap();
    return 0;
}
