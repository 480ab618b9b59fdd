// libFuzzer target of the DDS decoder.
#include "tests/fuzz/decoder_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzOneDecoder(LoadDdsImage, data, size);
}
