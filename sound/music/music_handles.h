// Music handles for MIDI data and the current music. Music plays through the MCI sequencer
// (music mode 0) or a DirectMusic segment (mode 1, which this sound output does not build).
// Nothing in this program creates music or sets a current music; the linked operations are the
// state queries, stop and delete, the MCI notification handler and the stop of the current
// music at shut-down. Every operation returns -1 while the sound output is not started.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "platform/core/file.h"
#include "platform/mci/mci.h"

struct MusicRecord {
    uint32_t serial;  // the handle's 11-bit check serial
    int32_t playing;
    int32_t started;  // DirectMusic mode: the segment was seen playing once
    void* midiData;   // tracked memory
    uint32_t midiBytes;
};

struct MidiHandleTable {
    MusicRecord* slots[kMaxMusicHandles];
    int32_t count;
    int32_t areaEnd;  // one past the highest used slot
    int32_t serialCounter;
};

struct MusicState {
    // The MCI sequencer.
    plat::MCIDEVICEID mciDevice;
    int32_t loop;         // 1: every end notification plays the music again
    int32_t mciPlaying;
    char tempMidiPath[plat::kMaxPath];
    int32_t tempMidiWritten;
    // The current music: a sound handle (isSound 1) or a music handle; -1 none.
    HandleValue current;
    int32_t currentIsSound;
};

MidiHandleTable& GetMidiHandleTable();
MusicState& GetMusicState();

// The record behind a music handle, or null.
MusicRecord* GetMusicRecord(HandleValue handle);
// A new music record (no data yet) in the first slot the table rules give: the handle, or -1.
HandleValue AddMusicData();

// MCI mode: the MCI playing flag; DirectMusic mode: the record's playing flag; -1 invalid.
int GetMusicPlayState(HandleValue handle);
// Follows the segments' play state (DirectMusic mode only). 0.
int PollMusicPlayback();
// The window procedure's MM_MCINOTIFY: a looping music starts again from its beginning, any
// other closes the sequencer. 0; -1 when the sequencer refuses the play.
int HandleMciNotify();
int StopMusicHandle(HandleValue handle);
int DeleteMusicHandle(HandleValue handle);
int DeleteAllMusicHandles();
// Stops and deletes the current music (sound or music handle); it becomes none. 0.
int StopCurrentMusic();
// Deletes the temporary MIDI file when one was written. 0.
int DeleteTemporaryMidiFile();
