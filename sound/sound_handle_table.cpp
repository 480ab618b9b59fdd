// The table of sound handles: a new handle's record, the record behind a handle, and the
// delete of a handle with its buffers, its PCM and, for a streaming sound, its sources.
#include "base/log.h"
#include "base/tracked_memory.h"
#include "base/handle_area_end.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"

namespace {

SoundHandleTable table{};

}  // namespace

SoundHandleTable& GetSoundHandleTable() { return table; }

SoundRecord* GetSoundRecord(HandleValue handle) {
    const int32_t slot = CheckHandleSlot(handle, kHandleKindSound, kMaxSoundHandles);
    if (slot < 0) return nullptr;
    SoundRecord* record = table.slots[slot];
    if (record == nullptr || !HandleSerialMatches(handle, record->serial)) return nullptr;
    return record;
}

HandleValue AddSoundData(HandleValue handle) {
    if (GetSoundOutput().device == nullptr) return -1;
    int32_t slot = -1;
    bool reuse = false;
    if (handle != -1) {
        const int32_t wanted = CheckHandleSlot(handle, kHandleKindSound, kMaxSoundHandles);
        if (wanted >= 0 && table.slots[wanted] == nullptr) {
            slot = wanted;
            reuse = true;
        }
    }
    if (!reuse) {
        if (table.count >= kMaxSoundHandles) {
            return LogWrite("サウンドの数が許容量を越えました\n");
        }
        if (table.areaEnd < kMaxSoundHandles) {
            slot = table.areaEnd;
        } else {
            for (slot = 0; slot < kMaxSoundHandles && table.slots[slot] != nullptr; ++slot) {
            }
        }
    }
    auto* record = static_cast<SoundRecord*>(ZN_ALLOC_ZERO(sizeof(SoundRecord)));
    if (record == nullptr) {
        return LogWrite("メモリ領域の確保に失敗しました in AddSoundData\n");
    }
    record->serial = reuse ? GetHandleSerial(handle) : TakeHandleSerial(&table.serialCounter);
    table.slots[slot] = record;
    ++table.count;
    if (slot >= table.areaEnd) table.areaEnd = slot + 1;
    if (table.areaEnd < table.count) table.areaEnd = table.count;
    return reuse ? handle : MakeHandleValue(kHandleKindSound, record->serial, slot);
}

int DeleteSoundHandle(HandleValue handle) {
    if (GetSoundOutput().device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    HandleValue alsoDelete = -1;
    if (record->stream != 0) {
        // A stream record whose ring others still share stays, delete-pending.
        if (TakeApartStreamSound(handle, &alsoDelete) == 0) return 0;
    } else if (record->buffers[0].valid) {
        StopSoundHandle(handle);
    }
    for (SoundBufferWrapper& buffer : record->buffers) {
        if (buffer.valid) ReleaseBufferWrapper(&buffer);
    }
    TrackedFree(record->pcm);
    TrackedFree(record);
    const int32_t slot = GetHandleSlot(handle);
    table.slots[slot] = nullptr;
    --table.count;
    LowerHandleAreaEnd(table, slot);
    // The delete-pending handle whose ring this one was the last to share goes as well.
    if (alsoDelete != -1) DeleteSoundHandle(alsoDelete);
    return 0;
}

int DeleteAllSoundHandles() {
    if (GetSoundOutput().device == nullptr) return -1;
    for (int32_t slot = 0; slot < kMaxSoundHandles; ++slot) {
        SoundRecord* record = table.slots[slot];
        if (record != nullptr) {
            DeleteSoundHandle(MakeHandleValue(kHandleKindSound, record->serial, slot));
        }
    }
    return 0;
}
