// Playing and stopping streaming sounds, the ownership of a shared ring, and the count of the
// bytes played as the play cursor moves.
#include "platform/core/clock.h"
#include "sound/sound_pump_driver.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"
#include "sound/stream/stream_ring.h"

SoundRecord* GetStreamRecord(HandleValue handle) {
    if (GetSoundOutput().device == nullptr) return nullptr;
    SoundRecord* record = GetSoundRecord(handle);
    return record != nullptr && record->stream != 0 ? record : nullptr;
}

SoundRecord* GetStreamRingHolder(SoundRecord* record) {
    if (record->streaming.unionHandle == -1) return record;
    SoundRecord* holder = GetSoundRecord(record->streaming.unionHandle);
    return holder != nullptr && holder->stream != 0 ? holder : nullptr;
}

bool StreamOwnsRing(HandleValue handle, SoundRecord* record) {
    const SoundRecord* holder = GetStreamRingHolder(record);
    return holder != nullptr && holder->streaming.owner == handle;
}

int64_t CyclicBytes(int64_t value, int64_t ringBytes) {
    if (ringBytes <= 0) return 0;
    value %= ringBytes;
    return value < 0 ? value + ringBytes : value;
}

int AcquireStreamBuffer(HandleValue handle, SoundRecord* record, SoundBufferWrapper** wrapper,
                        int take) {
    SoundRecord* holder = GetStreamRingHolder(record);
    if (holder == nullptr) return -1;
    if (wrapper != nullptr) *wrapper = &holder->buffers[0];
    const HandleValue owner = holder->streaming.owner;
    if (owner == handle) return 0;
    if (owner == -1 || GetSoundRecord(owner) == nullptr) {
        holder->streaming.owner = handle;
        return 0;
    }
    if (take == 0) return -1;
    StopStreamSound(owner);
    // The ring now carries another sound and what the former owner had decoded ahead is gone
    // with it: that one starts again from the top when it plays next.
    if (SoundRecord* former = GetSoundRecord(owner)) {
        SoundStreamState& lost = former->streaming;
        lost.bytePosition = 0;
        lost.bytesPlayed = 0;
        lost.loopWrapped = 0;
        lost.repeatCount = 0;
        lost.currentSource = 0;
        lost.primed = 0;
        lost.ending = 0;
    }
    holder->streaming.owner = handle;
    return 0;
}

void TrackStreamPlayPosition(HandleValue handle, int64_t cursor) {
    SoundRecord* record = GetStreamRecord(handle);
    if (record == nullptr) return;
    SoundStreamState& state = record->streaming;
    if (!state.primed || !StreamOwnsRing(handle, record)) return;
    if (cursor < 0) {
        uint32_t position = 0;
        if (GetBufferWrapperPosition(&GetStreamRingHolder(record)->buffers[0], &position) != 0) {
            return;
        }
        cursor = position;
    }
    if (cursor == state.lastCursor) return;
    const int64_t ring = state.ringBytes;
    const int64_t moved = CyclicBytes(cursor - state.lastCursor, ring);
    if (state.loopWrapped && CyclicBytes(state.wrapPosition - state.lastCursor, ring) <= moved) {
        // The loop back to the first source is being heard: the count starts again there.
        state.bytesPlayed = CyclicBytes(cursor - state.wrapPosition, ring);
        state.loopWrapped = 0;
    } else {
        state.bytesPlayed += moved;
    }
    state.lastCursor = cursor;
}

int PrimeStreamSound(HandleValue handle) {
    SoundRecord* record = GetStreamRecord(handle);
    if (record == nullptr) return -1;
    SoundBufferWrapper* wrapper = nullptr;
    if (AcquireStreamBuffer(handle, record, &wrapper, 0) != 0) return -1;
    if (IsStreamSoundPlaying(handle) == 1) return -1;
    SoundStreamState& state = record->streaming;
    if (state.primed) return 0;
    if (state.sourceCount == 0) return -1;
    SetBufferWrapperPosition(wrapper, 0);
    state.writePosition = kStreamNotPrimed;
    state.refillLimit = -1;
    state.ending = 0;
    state.resync = 0;
    state.lastCursor = 0;
    state.refillCursor = 0;
    SoundStreamSource& source = state.sources[state.currentSource];
    SeekSoundConverter(&source.converter, state.bytePosition / record->format.nBlockAlign);
    state.primed = 1;
    RefillStreamSound(handle);
    return 0;
}

int StartStreamSoundPlayback(HandleValue handle, int playType, int topFlag) {
    SoundRecord* record = GetStreamRecord(handle);
    if (record == nullptr) return -1;
    SoundBufferWrapper* wrapper = nullptr;
    if (AcquireStreamBuffer(handle, record, &wrapper, 1) != 0) return -1;
    if (topFlag == 0 && IsStreamSoundPlaying(handle) == 1) return 0;
    StopStreamSound(handle);
    SoundStreamState& state = record->streaming;
    const bool loopChanged = ((playType ^ record->lastPlayType) & 2) != 0;
    if ((loopChanged && state.endReached) || (topFlag == 1 && state.bytesPlayed != 0)) {
        state.bytePosition = 0;
        state.bytesPlayed = 0;
        state.loopWrapped = 0;
        state.repeatCount = 0;
        state.currentSource = 0;
        state.primed = 0;
        if (topFlag == 1) state.endReached = 0;
    }
    record->lastPlayType = playType;
    if (PrimeStreamSound(handle) != 0) return -1;
    if (PlayBufferWrapper(wrapper, 1) != 0) return -1;
    record->playStartTime = plat::MillisecondClock();
    if (playType == kSoundPlayNormal) {
        // Waits for the end, pumping messages (which refill the ring) without sleeping. Without
        // a pump the wait refills the ring itself, so that the end still comes.
        while (IsStreamSoundPlaying(handle) == 1) {
            if (SoundPumpSlot().IsAbsent()) RefillStreamSound(handle);
            if (SoundPumpSlot()->processMessage() != 0) break;
        }
    }
    return 0;
}

int StopStreamSound(HandleValue handle) {
    SoundRecord* record = GetStreamRecord(handle);
    if (record == nullptr) return -1;
    TrackStreamPlayPosition(handle, -1);
    SoundRecord* holder = GetStreamRingHolder(record);
    if (holder == nullptr || holder->streaming.owner != handle) return 0;
    // A shared ring is free for its sharers again; a ring of its own keeps its owner.
    if (holder != record) holder->streaming.owner = -1;
    uint32_t status = 0;
    if (QueryBufferWrapperStatus(&holder->buffers[0], &status) == 0 &&
        (status & plat::DSBSTATUS_PLAYING) != 0) {
        StopBufferWrapper(&holder->buffers[0]);
    }
    return 0;
}

int IsStreamSoundPlaying(HandleValue handle) {
    SoundRecord* record = GetStreamRecord(handle);
    if (record == nullptr) return -1;
    SoundRecord* holder = GetStreamRingHolder(record);
    if (holder == nullptr || holder->streaming.owner != handle) return 0;
    uint32_t status = 0;
    if (QueryBufferWrapperStatus(&holder->buffers[0], &status) != 0) return 0;
    return (status & plat::DSBSTATUS_PLAYING) != 0 ? 1 : 0;
}
