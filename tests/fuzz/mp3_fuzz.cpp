// libFuzzer target of the MP3 frame scan (ID3v2 skip, frame search, trailing tag), then the
// whole sound converter over the input.
#include "tests/fuzz/sound_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzMp3Input(data, size);
}
