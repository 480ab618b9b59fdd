// libFuzzer target of the RIFF WAVE readers: the chunk walk, then the whole sound converter
// (PCM and codec formats) over the input. An accepted sound is decoded whole and every byte of
// its PCM read; every tracked block must be given back.
#include "tests/fuzz/sound_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzWaveInput(data, size);
}
