// Taking a streaming sound apart when its handle is deleted. A handle whose ring others still
// share stays, delete-pending, until the last of them goes.
#include <cstring>

#include "base/tracked_memory.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"
#include "sound/stream/stream_ring.h"

namespace {

void CloseStreamSource(SoundStreamSource* source, int mayClose) {
    if (source->converter.valid) CloseSoundConverter(&source->converter);
    if (source->stream.handle != 0) {
        // A type-3 source reads the stream it was handed (mayClose 0): the record closes it.
        // The other types read a memory stream of their own.
        if (source->dataType != kStreamDataCallerStream || mayClose == 0) {
            source->stream.functions.close(source->stream.handle);
        }
    }
    TrackedFree(source->image);
    std::memset(source, 0, sizeof(*source));
}

}  // namespace

int TakeApartStreamSound(HandleValue handle, HandleValue* alsoDelete) {
    *alsoDelete = -1;
    SoundRecord* record = GetStreamRecord(handle);
    if (record == nullptr) return -1;
    StopStreamSound(handle);
    SoundStreamState& state = record->streaming;
    if (state.sharers > 0) {
        state.deletePending = 1;
        return 0;
    }
    if (state.unionHandle != -1) {
        if (SoundRecord* holder = GetSoundRecord(state.unionHandle)) {
            SoundStreamState& shared = holder->streaming;
            if (shared.owner == handle) shared.owner = -1;
            if (shared.sharers > 0) --shared.sharers;
            if (shared.deletePending && shared.sharers == 0) *alsoDelete = state.unionHandle;
        }
    }
    RemoveFromSoundStreamList(record);
    for (int i = 0; i < state.sourceCount; ++i) {
        CloseStreamSource(&state.sources[i], state.mayClose[i]);
    }
    state.sourceCount = 0;
    return 1;
}
