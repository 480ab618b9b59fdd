// libFuzzer target of the TGA decoder.
#include "tests/fuzz/decoder_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzOneDecoder(LoadTgaImage, data, size);
}
