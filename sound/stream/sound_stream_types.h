// The records of a streaming sound: the up to three sources it plays one after another and the
// state of its ring buffer, kept in the sound record of its handle.
#pragma once
#include <cstdint>

#include "base/data_stream.h"
#include "base/handle_value.h"
#include "base/link_list.h"
#include "sound/converter/sound_converter.h"

constexpr int32_t kStreamSourcesMax = 3;
// The ring holds six seconds of the sound's own byte rate.
constexpr int32_t kStreamRingSeconds = 6;
// The write position of a stream that has not been filled since it was primed.
constexpr int64_t kStreamNotPrimed = -800;
// A loop count that repeats its source for ever.
constexpr uint8_t kStreamLoopEndless = 255;

// Data types of a source: the whole data decoded to PCM at once, the file image kept in memory
// and decoded while it plays, or decoded straight from the caller's stream.
enum StreamDataType : int32_t {
    kStreamDataPcm = 0,
    kStreamDataImage = 2,
    kStreamDataCallerStream = 3,
};

struct SoundStreamSource {
    uint8_t loopCount;     // extra plays; 255 endless; read as a signed byte (128..254 act as 0)
    int32_t dataType;      // StreamDataType
    void* image;           // types 0 and 2: the bytes the stream reads (tracked memory)
    uint32_t imageBytes;
    DataStream stream;     // over the image, or the caller's stream (type 3)
    int64_t loopStartSample;
    SoundConverter converter;
};

struct SoundStreamState {
    HandleValue unionHandle;   // the handle whose buffer this one shares; -1: its own buffer
    int32_t sharers;           // handles that share this handle's buffer
    HandleValue owner;         // the handle that plays through this record's buffer (-1 none)
    int32_t deletePending;     // deleted while others still share its buffer
    int64_t ringBytes;         // 6 × the byte rate
    int64_t writePosition;     // bytes; kStreamNotPrimed until the first fill
    int64_t refillLimit;       // write position minus 4 s, cyclic
    SoundStreamSource sources[kStreamSourcesMax];
    int32_t mayClose[kStreamSourcesMax];  // 1: the data went to memory, the caller may close
    int32_t sourceCount;
    int32_t currentSource;
    int32_t repeatCount;       // plays of the current source so far, beyond the first
    int64_t bytePosition;      // in the current source
    int64_t totalSamples;      // of all sources
    int64_t bytesPlayed;
    int64_t lastCursor;
    int32_t primed;
    int32_t ending;            // the last source is exhausted: only silence follows
    int32_t loopWrapped;       // a loop play went back to source 0, not yet heard
    int32_t endReached;
    int64_t dataEnd;           // ring position where the data ends
    int64_t cursorAtEnd;       // the play cursor when the data ended
    int64_t wrapPosition;      // ring position of the last loop wrap
    int32_t resync;            // the data ran out: the next refill starts at the play cursor
    int64_t refillCursor;      // the play cursor at the last refill while playing
    LinkNode node;             // in the stream list
};

// Every stream record, in the order added (a list with sentinels; value = handle).
struct SoundStreamList {
    LinkNode head;
    LinkNode tail;
    int32_t started;
};
