// The music handle table and the stop and delete of music handles and of the current music.
#include "sound/music/music_handles.h"

#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"
#include "base/handle_area_end.h"
#include "sound/sound_pump_driver.h"
#include "sound/sound_system.h"

namespace {

MidiHandleTable table{};
MusicState state{0, 0, 0, {}, 0, -1, 0};

// Messages pumped after the sequencer is closed, so that its last notification is handled.
constexpr int kPumpsAfterStop = 5;

bool SoundStarted() { return GetSoundOutput().device != nullptr; }

}  // namespace

MidiHandleTable& GetMidiHandleTable() { return table; }
MusicState& GetMusicState() { return state; }

MusicRecord* GetMusicRecord(HandleValue handle) {
    const int32_t slot = CheckHandleSlot(handle, kHandleKindMusic, kMaxMusicHandles);
    if (slot < 0) return nullptr;
    MusicRecord* record = table.slots[slot];
    if (record == nullptr || !HandleSerialMatches(handle, record->serial)) return nullptr;
    return record;
}

HandleValue AddMusicData() {
    if (!SoundStarted()) return -1;
    if (table.count >= kMaxMusicHandles) return LogWrite("ミュージックの数が許容量を越えました\n");
    int32_t slot = table.areaEnd;
    if (slot >= kMaxMusicHandles) {
        for (slot = 0; slot < kMaxMusicHandles && table.slots[slot] != nullptr; ++slot) {
        }
    }
    auto* record = static_cast<MusicRecord*>(ZN_ALLOC_ZERO(sizeof(MusicRecord)));
    if (record == nullptr) return LogWrite("メモリ領域の確保に失敗しました in AddMusicData\n");
    record->serial = TakeHandleSerial(&table.serialCounter);
    table.slots[slot] = record;
    ++table.count;
    if (slot >= table.areaEnd) table.areaEnd = slot + 1;
    return MakeHandleValue(kHandleKindMusic, record->serial, slot);
}

int GetMusicPlayState(HandleValue handle) {
    if (!SoundStarted()) return -1;
    const MusicRecord* record = GetMusicRecord(handle);
    if (record == nullptr) return -1;
    return GetSoundOutput().musicMode == 0 ? state.mciPlaying : record->playing;
}

int StopMusicHandle(HandleValue handle) {
    if (!SoundStarted()) return -1;
    MusicRecord* record = GetMusicRecord(handle);
    if (record == nullptr) return -1;
    state.loop = 0;
    if (GetSoundOutput().musicMode == 0) {
        HandleMciNotify();  // closes the sequencer while it plays
        for (int i = 0; i < kPumpsAfterStop; ++i) SoundPumpSlot()->processMessage();
    }
    DeleteTemporaryMidiFile();
    record->playing = 0;
    record->started = 0;
    return 0;
}

int DeleteMusicHandle(HandleValue handle) {
    if (!SoundStarted()) return -1;
    MusicRecord* record = GetMusicRecord(handle);
    if (record == nullptr) return -1;
    if (GetMusicPlayState(handle) == 1) StopMusicHandle(handle);
    if (record->midiData != nullptr) {
        std::memset(record->midiData, 0, record->midiBytes);
        TrackedFree(record->midiData);
    }
    TrackedFree(record);
    const int32_t slot = GetHandleSlot(handle);
    table.slots[slot] = nullptr;
    --table.count;
    LowerHandleAreaEnd(table, slot);
    if (state.current == handle && !state.currentIsSound) state.current = -1;
    return 0;
}

int DeleteAllMusicHandles() {
    if (!SoundStarted()) return -1;
    for (int32_t slot = 0; slot < kMaxMusicHandles; ++slot) {
        const MusicRecord* record = table.slots[slot];
        if (record != nullptr) {
            DeleteMusicHandle(MakeHandleValue(kHandleKindMusic, record->serial, slot));
        }
    }
    return 0;
}

int StopCurrentMusic() {
    if (!SoundStarted()) return -1;
    if (state.current == -1) return 0;
    const HandleValue current = state.current;
    state.current = -1;
    if (state.currentIsSound) {
        StopSoundHandle(current);
        DeleteSoundHandle(current);
    } else {
        StopMusicHandle(current);
        DeleteMusicHandle(current);
    }
    state.currentIsSound = 0;
    return 0;
}

int DeleteTemporaryMidiFile() {
    if (state.tempMidiWritten) {
        plat::DeleteFile(state.tempMidiPath);
        state.tempMidiWritten = 0;
    }
    return 0;
}
