// The refill of a stream's ring from the message pump: the ring is kept three seconds ahead of
// the play cursor with the sources' PCM, a source repeats or hands over to the next as it runs
// out, and after the last one silence follows until the cursor has passed the data's end.
//
// The written part of the ring is the window from the refill limit (four seconds behind the
// write position) to the write position. A cursor outside it, or more time gone since the last
// refill than the data ahead covered then, means the pump stalled and the cursor went through
// data already played: nothing is written, -1 is reported, and the next refill starts afresh
// just ahead of the cursor rather than behind it.
#include <cstring>

#include "platform/core/clock.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"
#include "sound/stream/stream_ring.h"

namespace {

constexpr int64_t kAheadSeconds = 3;  // the refill keeps this much ahead of the cursor
constexpr int64_t kFirstFillSeconds = 4;
constexpr int64_t kWindowSeconds = 4;  // the refill limit lies this far behind the write position

// One refill's view of the record.
struct RingFill {
    SoundRecord* record;
    SoundStreamState* state;
    int64_t cursor;  // the play cursor when the fill began
    uint32_t align;
};

int64_t AlignDown(int64_t bytes, uint32_t align) { return bytes - bytes % align; }

void FillSoundSilence(void* out, int64_t bytes, uint16_t bitsPerSample) {
    std::memset(out, bitsPerSample == 8 ? 127 : 0, static_cast<size_t>(bytes));
}

// The current source ran out: it repeats from its loop start while its loop count allows (255
// for ever; counts 128..254 read as negative, so never), else the next source follows. Past
// the last source a loop play goes back to the first; any other play ends: -1.
int AdvanceStreamSource(RingFill& fill, int64_t ringPosition) {
    SoundStreamState& state = *fill.state;
    SoundStreamSource* source = &state.sources[state.currentSource];
    ++state.repeatCount;
    const int8_t loops = static_cast<int8_t>(source->loopCount);
    if (source->loopCount == kStreamLoopEndless || loops >= state.repeatCount) {
        state.bytePosition = fill.align * source->loopStartSample;
        SeekSoundConverter(&source->converter, source->loopStartSample);
        return 0;
    }
    state.repeatCount = 0;
    ++state.currentSource;
    if (state.currentSource >= state.sourceCount) {
        state.endReached = 1;
        if (fill.record->lastPlayType == kSoundPlayLoop) {
            state.loopWrapped = 1;
            state.currentSource = 0;
            state.wrapPosition = ringPosition;
        } else {
            state.currentSource = state.sourceCount - 1;
            state.ending = 1;
            state.dataEnd = ringPosition;
            state.cursorAtEnd = fill.cursor;
            return -1;
        }
    }
    state.bytePosition = 0;
    SeekSoundConverter(&state.sources[state.currentSource].converter, 0);
    return 0;
}

// Copies the sources' PCM into one locked region that starts at ringStart; silence once the
// data has ended, or when the sources give nothing however often they are advanced (a loop
// round of no data would otherwise never end).
void FillFromStreamSource(RingFill& fill, unsigned char* out, int64_t bytes,
                          int64_t ringStart) {
    SoundStreamState& state = *fill.state;
    const uint16_t bits = fill.record->format.wBitsPerSample;
    int64_t filled = 0;
    int emptyRounds = 0;
    while (filled < bytes) {
        if (state.ending || emptyRounds > 2 * kStreamSourcesMax + 2) {
            FillSoundSilence(out + filled, bytes - filled, bits);
            return;
        }
        SoundStreamSource& source = state.sources[state.currentSource];
        int64_t got = ReadSoundConverter(&source.converter, out + filled, bytes - filled);
        if (got < 0) got = 0;
        got = AlignDown(got, fill.align);
        filled += got;
        state.bytePosition += got;
        if (filled >= bytes) break;
        emptyRounds = got == 0 ? emptyRounds + 1 : 0;
        AdvanceStreamSource(fill, CyclicBytes(ringStart + filled, state.ringBytes));
    }
}

// Writes bytes at the ring position offset (wrapping into a second region). 0 or -1.
int FillRing(RingFill& fill, SoundBufferWrapper* ring, int64_t offset, int64_t bytes) {
    void* ptr1 = nullptr;
    void* ptr2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    if (LockBufferWrapper(ring, static_cast<uint32_t>(offset), static_cast<uint32_t>(bytes),
                          &ptr1, &bytes1, &ptr2, &bytes2) != 0) {
        return -1;
    }
    FillFromStreamSource(fill, static_cast<unsigned char*>(ptr1), bytes1, offset);
    if (ptr2 != nullptr && bytes2 != 0) {
        FillFromStreamSource(fill, static_cast<unsigned char*>(ptr2), bytes2, 0);
    }
    UnlockBufferWrapper(ring, ptr1, bytes1, ptr2, bytes2);
    return 0;
}

void AdvanceWritePosition(SoundStreamState& state, int64_t written, int64_t window) {
    state.writePosition = CyclicBytes(state.writePosition + written, state.ringBytes);
    state.refillLimit = CyclicBytes(state.writePosition - window, state.ringBytes);
}

bool CursorInWindow(const SoundStreamState& state, int64_t cursor) {
    const int64_t ring = state.ringBytes;
    return CyclicBytes(cursor - state.refillLimit, ring) <=
           CyclicBytes(state.writePosition - state.refillLimit, ring);
}

// More time has gone since the last refill than the data then ahead of the cursor lasts (with a
// quarter of a second to spare for the output's own pace).
bool StalledByTime(const SoundStreamState& state, uint32_t now, uint32_t avg) {
    const int64_t elapsed = static_cast<uint32_t>(now - state.refillClock);
    return elapsed * avg / 1000 > state.aheadBytes + avg / 4;
}

}  // namespace

int RefillStreamSound(HandleValue handle) {
    SoundRecord* record = GetStreamRecord(handle);
    if (record == nullptr) return -1;
    SoundStreamState& state = record->streaming;
    if (!state.primed || !StreamOwnsRing(handle, record)) return 0;
    SoundBufferWrapper* ring = &GetStreamRingHolder(record)->buffers[0];
    TrackStreamPlayPosition(handle, -1);

    const uint32_t avg = record->format.nAvgBytesPerSec;
    const uint32_t align = record->format.nBlockAlign;
    const int64_t ringBytes = state.ringBytes;
    const int64_t window = kWindowSeconds * avg;
    uint32_t status = 0;
    const bool playing = QueryBufferWrapperStatus(ring, &status) == 0 &&
                         (status & plat::DSBSTATUS_PLAYING) != 0;
    uint32_t position = 0;
    GetBufferWrapperPosition(ring, &position);
    const int64_t cursor = position;
    RingFill fill{record, &state, cursor, align};

    if (!playing) {
        // The first fill after priming: four seconds from the start of the ring.
        if (state.writePosition != kStreamNotPrimed) return 0;
        state.writePosition = 0;
        const int64_t first = AlignDown(kFirstFillSeconds * avg, align);
        if (FillRing(fill, ring, 0, first) != 0) {
            state.writePosition = kStreamNotPrimed;
            return -1;
        }
        AdvanceWritePosition(state, first, window);
        return 0;
    }

    const uint32_t now = plat::MillisecondClock();
    if (state.ending) {
        // Silence follows the data; once the cursor has passed the data's end the sound stops.
        const bool passed = CyclicBytes(cursor - state.cursorAtEnd, ringBytes) >=
                            CyclicBytes(state.dataEnd - state.cursorAtEnd, ringBytes);
        if (passed || !CursorInWindow(state, cursor) || StalledByTime(state, now, avg)) {
            StopBufferWrapper(ring);
            state.ending = 0;
            return 0;
        }
    } else if (state.resync) {
        // After a stall: start again a sixteenth of a second ahead of the cursor.
        state.resync = 0;
        const int64_t margin = AlignDown(avg / 16, align) + align;
        state.writePosition = CyclicBytes(cursor + margin, ringBytes);
        state.refillLimit = CyclicBytes(state.writePosition - window, ringBytes);
    } else if (!CursorInWindow(state, cursor) || StalledByTime(state, now, avg)) {
        state.resync = 1;
        return -1;
    }

    const int64_t ahead = CyclicBytes(state.writePosition - cursor, ringBytes);
    state.refillClock = now;
    state.aheadBytes = ahead;
    if (ahead >= kAheadSeconds * avg) return 0;
    int64_t bytes = state.ending ? avg / 8 : kAheadSeconds * avg - ahead;
    if (bytes < avg / 8) bytes = avg / 8;
    bytes = AlignDown(bytes, align);
    if (bytes <= 0) bytes = align;
    if (FillRing(fill, ring, state.writePosition, bytes) != 0) return -1;
    AdvanceWritePosition(state, bytes, window);
    state.aheadBytes = ahead + bytes;
    return 0;
}
