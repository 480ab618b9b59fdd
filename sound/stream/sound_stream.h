// Streaming sounds: long sound data played through one six-second ring buffer that the message
// pump refills while it plays, instead of being decoded whole at load. A stream handle plays up
// to three sources one after another, each repeated a given number of times from its loop
// start, and may share its ring buffer with another stream handle of the same format (its
// union handle); only one of the sharers plays at a time. Every operation returns -1 while the
// sound output is not started or the handle is not a sound handle.
#pragma once
#include <cstdint>

#include "base/data_stream.h"
#include "base/handle_value.h"
#include "sound/sound_buffer_wrapper.h"
#include "sound/stream/sound_stream_types.h"

struct SoundRecord;

// Adds a source read from stream to the handle's record. *mayClose is 1 when the data went to
// memory (the caller may close its stream), 0 when the record reads the caller's stream from now
// on (a type-3 source: the record closes it when it is deleted). The first source fixes the
// format and the buffer: the union handle's ring when it is a stream handle with its own ring
// and the same format, else a ring of its own. 0 or -1 after a log line.
int AddSreamSound(DataStream* stream, uint8_t loopCount, HandleValue handle, int dataType,
                  int* mayClose, HandleValue unionHandle);
// A file opened through the file access table as a source of the handle.
int AppendStreamSourceFile(const char* path, uint8_t loopCount, HandleValue handle,
                           int dataType, HandleValue unionHandle);
// A file image in memory as a source (copied: the caller keeps its image).
int AppendStreamSourceImage(const void* image, uint32_t imageBytes, uint8_t loopCount,
                            HandleValue handle, int dataType, HandleValue unionHandle);
// Where a repeat of the source starts, in sample frames (0 when never set): below the
// source's length. 0 or -1.
int SetStreamSourceLoopStart(HandleValue handle, int sourceIndex, int64_t sample);

// Fills the ring from the start when the handle owns its buffer and is neither playing nor
// primed. 0 or -1.
int PrimeStreamSound(HandleValue handle);
// Plays the stream (play types of PlaySoundHandle; the ring always loops). 0 or -1.
int StartStreamSoundPlayback(HandleValue handle, int playType, int topFlag);
int StopStreamSound(HandleValue handle);
// 1 when the buffer plays and this handle owns it, else 0 (-1 for a bad handle).
int IsStreamSoundPlaying(HandleValue handle);
// Keeps the ring three seconds ahead of the play cursor, writing at least an eighth of a second
// a call. 0; -1 when the cursor lies outside the written part of the ring: nothing is written
// then, and when the cursor ran past the written data (the stream stalled) the next refill
// starts again just ahead of it. Once a play's data has ended, all of the ring but what the
// cursor has still to play is silence, and the sound stops when the cursor passes the end.
int RefillStreamSound(HandleValue handle);
// RefillStreamSound for every stream handle, in the order they were made. Always 0.
int RefillAllStreamSounds();
// The buffer the handle plays through (its own or its union handle's) in *wrapper, and its
// ownership: with no owner the handle becomes it; another owner gives -1 unless take is 1,
// which stops the other handle first. 0 when the handle owns the buffer.
int AcquireStreamBuffer(HandleValue handle, SoundRecord* record, SoundBufferWrapper** wrapper,
                        int take);
// Reads a whole stream into a new tracked block. 0 or -1 after a log line.
int ReadWholeDataStream(DataStream* stream, void** image, uint32_t* bytes);

// The stream part of deleting a handle: stops it and, unless other handles still share its
// ring (then it only becomes delete-pending and 0 is returned), leaves the stream list and
// closes its sources; 1 then, and the caller releases the ring and frees the record. When the
// handle shared the ring of a delete-pending handle as its last sharer, *alsoDelete gets that
// handle (else -1), which the caller deletes afterwards.
int TakeApartStreamSound(HandleValue handle, HandleValue* alsoDelete);

// The stream list of the sound output: cleared at start, walked by RefillAllStreamSounds.
void InitSoundStreamList();
void AddToSoundStreamList(SoundRecord* record, HandleValue handle);
void RemoveFromSoundStreamList(SoundRecord* record);
