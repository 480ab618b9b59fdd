// libFuzzer target of the streaming-sound road: the input becomes a stream source (decoded
// whole, or kept as an image and decoded while it plays), with a loop count and a loop start
// taken from its first bytes; it is played as a loop or once and its ring refilled a few
// times, then deleted. Every tracked block must be given back.
#include <cstddef>
#include <cstdint>

#include "base/tracked_memory.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int started = StartSoundOutput();
    if (started != 0 || size < 3) return 0;
    const uint8_t loops = data[0];
    const int type = (data[1] & 1) != 0 ? kStreamDataPcm : kStreamDataImage;
    const int playType = (data[1] & 2) != 0 ? kSoundPlayLoop : kSoundPlayBackground;
    const int64_t loopStart = data[2] * 37;
    data += 3;
    size -= 3;

    const uint32_t blocksBefore = GetAllocState().count;
    const HandleValue handle = AddSoundData(-1);
    if (handle == -1) __builtin_trap();
    if (AppendStreamSourceImage(data, static_cast<uint32_t>(size), loops, handle, type, -1) ==
        0) {
        SetStreamSourceLoopStart(handle, 0, loopStart);
        StartStreamSoundPlayback(handle, playType, 1);
        for (int i = 0; i < 4; ++i) RefillStreamSound(handle);
    }
    if (DeleteSoundHandle(handle) != 0) __builtin_trap();
    if (GetAllocState().count != blocksBefore) __builtin_trap();
    return 0;
}
