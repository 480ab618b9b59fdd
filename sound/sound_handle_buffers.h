// Writing a sound's PCM into its buffers, and the check that a buffer can hold it; shared by
// the load, which fills new buffers, and the play, which fills a buffer the device took back.
// CreateSoundHandleBuffers itself is an entry of the sound system.
#pragma once
#include <cstdint>

#include "platform/dsound/dsound_types.h"
#include "sound/sound_buffer_wrapper.h"

struct SoundRecord;

// A format a sound buffer takes, and a size it can hold: checked before creation, so that a
// sound the buffers cannot hold is refused instead of ending the program.
bool SoundBufferCanHold(const plat::WAVEFORMATEX* format, uint32_t bytes);
// Copies the sound's PCM block into one of its buffers. 0, or -1 after a log line.
int CopyPcmToBuffer(SoundRecord* record, SoundBufferWrapper* buffer);
