// The decoder table and the decoding of a stream by the first decoder that accepts it.
#include "graphics/graph_load/graph_load.h"
#include "graphics/codecs/image_decoders.h"
#include "graphics/codecs/image_input.h"

const GraphImageDecoder GraphDecoderTable[] = {
    LoadBmpImage, LoadJpegImage, LoadPngImage, LoadBgraImage, LoadTgaImage, LoadDdsImage, nullptr,
};

int DecodeGraphImage(DataStream* stream, GraphImage* image) {
    for (const GraphImageDecoder* decoder = GraphDecoderTable; *decoder != nullptr; ++decoder) {
        if (!ImageStreamSeek(stream, 0)) return -1;
        if ((*decoder)(stream, image) == 0) return 0;
    }
    return -1;
}
