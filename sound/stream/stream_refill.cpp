// The refill of a stream's ring from the message pump: the ring is kept three seconds ahead of
// the play cursor with the sources' PCM, a source repeats or hands over to the next as it runs
// out, and after the last one silence follows until the cursor has passed the data's end: the
// whole ring but what the cursor has still to play is silenced then, so no older data is heard
// after the end however unevenly the pump comes.
//
// The written part of the ring is the window from the refill limit (four seconds behind the
// write position) to the write position, and the play cursor alone decides what happens: in
// the window, the refill writes; outside it nothing is written and -1 is reported. When the
// cursor got there by running past the written data (the pump stalled while the output played
// on), the next refill starts afresh just ahead of the cursor rather than behind it. A cursor
// that stood still has heard nothing, however long the program or the output was held, so
// the stream then goes on where it was.
#include <cstring>

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

// The cursor lies in the written window, from the refill limit to the write position (both
// ends included: a cursor at the write position has heard all but nothing more).
bool CursorInWindow(const SoundStreamState& state, int64_t cursor) {
    const int64_t ring = state.ringBytes;
    return CyclicBytes(cursor - state.refillLimit, ring) <=
           CyclicBytes(state.writePosition - state.refillLimit, ring);
}

// A cursor outside the window either lags behind its start (the refill wrote a little more
// than the window while the cursor stood still) or ran past the write position (the data ran
// out). Since the last refill it has moved from `previous`: past the data only when it moved
// further than the data then written ahead of it.
bool CursorRanPastData(const SoundStreamState& state, int64_t previous, int64_t cursor) {
    const int64_t ring = state.ringBytes;
    return CyclicBytes(cursor - previous, ring) > CyclicBytes(state.writePosition - previous, ring);
}

// The bytes a refill writes with `ahead` bytes between the cursor and the write position: up
// to three seconds ahead, counted in 128ths of a second, and never less than an eighth of a
// second.
int64_t RefillBytes(int64_t ahead, uint32_t avg, uint32_t align) {
    const int64_t ahead128 = ahead * 128 / avg;
    const int64_t least = avg / 8;
    int64_t bytes = least;
    if (ahead128 < kAheadSeconds * 128) bytes = (kAheadSeconds * 128 - ahead128) * avg / 128;
    if (bytes < least) bytes = least;
    bytes = AlignDown(bytes, align);
    return bytes > 0 ? bytes : align;
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
    if (avg == 0 || align == 0) return -1;  // a format of no rate has no ring to fill
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

    // Only the play cursor tells how far the output went: a cursor that has not moved has
    // heard nothing, however long the pump or the output stood still.
    const int64_t previous = state.refillCursor;
    state.refillCursor = cursor;
    int64_t bytes = 0;
    if (state.ending) {
        // Silence follows the data; once the cursor has passed the data's end the sound stops.
        const bool passed = CyclicBytes(cursor - state.cursorAtEnd, ringBytes) >=
                            CyclicBytes(state.dataEnd - state.cursorAtEnd, ringBytes);
        if (passed) {
            StopBufferWrapper(ring);
            state.ending = 0;
            return 0;
        }
        // The stop comes only with a refill, and the pump may stay away for seconds: silence
        // goes over the whole ring but what the cursor has still to play, from the write
        // position round to the cursor, so that nothing older is heard after the data's end
        // however long the next refill takes. Once done, each refill silences only what the
        // cursor has played since.
        bytes = AlignDown(CyclicBytes(cursor - state.writePosition, ringBytes), align);
        if (bytes <= 0) return 0;
    } else {
        if (state.resync) {
            // After the data ran out: start again a sixteenth of a second ahead of the cursor.
            state.resync = 0;
            const int64_t margin = AlignDown(avg / 16, align) + align;
            state.writePosition = CyclicBytes(cursor + margin, ringBytes);
            state.refillLimit = CyclicBytes(state.writePosition - window, ringBytes);
        } else if (!CursorInWindow(state, cursor)) {
            if (CursorRanPastData(state, previous, cursor)) state.resync = 1;
            return -1;
        }
        bytes = RefillBytes(CyclicBytes(state.writePosition - cursor, ringBytes), avg, align);
    }
    if (FillRing(fill, ring, state.writePosition, bytes) != 0) return -1;
    AdvanceWritePosition(state, bytes, window);
    return 0;
}
