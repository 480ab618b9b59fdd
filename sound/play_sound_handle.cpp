// Playing and stopping sound handles. A normal sound starts its buffers in turn, so that one
// effect sounds several times at once; a streaming sound is handed to the stream's playback.
#include "platform/core/clock.h"
#include "sound/sound_handle_buffers.h"
#include "sound/sound_pump_driver.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"

namespace {

int NoPump() { return 0; }
constexpr SoundPumpDriver kAbsentPump = {.processMessage = NoPump};

}  // namespace

DriverSlot<SoundPumpDriver>& SoundPumpSlot() {
    static DriverSlot<SoundPumpDriver> slot(kAbsentPump);
    return slot;
}

int PlaySoundHandle(HandleValue handle, int playType, int topFlag) {
    if (GetSoundOutput().device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->stream != 0) return StartStreamSoundPlayback(handle, playType, topFlag);
    if (record->bufferCount < 1) return -1;
    // Where the copy started last now plays: a play that does not start from the top goes on
    // from there (from the start when that buffer cannot tell).
    uint32_t position = 0;
    if (GetBufferWrapperPosition(&record->buffers[record->current], &position) != 0) {
        position = 0;
    }
    record->current = record->current + 1 >= record->bufferCount ? 0 : record->current + 1;
    SoundBufferWrapper* buffer = &record->buffers[record->current];
    uint32_t status = 0;
    if (QueryBufferWrapperStatus(buffer, &status) != 0) return -1;
    if ((status & plat::DSBSTATUS_BUFFERLOST) != 0) {
        // The output device took the buffer's memory: get it back and write the sound again,
        // or it would play nothing from now on.
        if (RestoreBufferWrapper(buffer) != 0 || CopyPcmToBuffer(record, buffer) != 0) return -1;
        status = 0;
    }
    if ((status & plat::DSBSTATUS_PLAYING) != 0) {
        if (topFlag == 0) return 0;
        StopBufferWrapper(buffer);
    }
    SetBufferWrapperPosition(buffer, topFlag == 1 ? 0 : position);
    if (PlayBufferWrapper(buffer, playType == kSoundPlayLoop) != 0) return -1;
    record->lastPlayType = playType;
    record->playStartTime = plat::MillisecondClock();
    if (playType == kSoundPlayNormal) {
        // Waits for the end, pumping messages; the wait ends early when the library is to end.
        while (IsSoundHandlePlaying(handle) == 1) {
            plat::SleepMs(1);
            if (SoundPumpSlot()->processMessage() != 0) break;
        }
    }
    return 0;
}

int StopSoundHandle(HandleValue handle) {
    if (GetSoundOutput().device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->stream != 0) return StopStreamSound(handle);
    for (int32_t i = 0; i < record->bufferCount; ++i) {
        uint32_t status = 0;
        if (QueryBufferWrapperStatus(&record->buffers[i], &status) != 0) return -1;
        if ((status & plat::DSBSTATUS_PLAYING) != 0) StopBufferWrapper(&record->buffers[i]);
    }
    return 0;
}

int IsSoundHandlePlaying(HandleValue handle) {
    if (GetSoundOutput().device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->stream != 0) return IsStreamSoundPlaying(handle);
    for (int32_t i = 0; i < record->bufferCount; ++i) {
        uint32_t status = 0;
        if (QueryBufferWrapperStatus(&record->buffers[i], &status) == 0 &&
            (status & plat::DSBSTATUS_PLAYING) != 0) {
            return 1;
        }
    }
    return 0;
}
