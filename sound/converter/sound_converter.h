// Sound converters: a sound file read through a DataStream, turned into 8- or 16-bit PCM.
// RIFF WAVE with PCM data is read as it stands; RIFF WAVE with another format tag and raw MP3
// go through the codec manager; Ogg Vorbis goes through vorbisfile. The same operations serve
// whole decodes at load and piecewise reads while a sound streams: open, seek to a sample,
// read bytes, ask the size and format, close.
#pragma once
#include <vorbis/vorbisfile.h>

#include <cstdint>

#include "base/data_stream.h"
#include "platform/acm/acm.h"
#include "platform/dsound/dsound_types.h"

enum SoundConverterKind : int32_t {
    kSoundConverterPcm = 0,
    kSoundConverterAcm = 1,
    kSoundConverterOgg = 2,
};

struct SoundConverter {
    int32_t valid;
    int32_t end;     // 1 once a read found the end of the source
    int32_t kind;
    DataStream stream;  // the caller's stream (not closed here)
    int64_t dataStart;  // stream position of the sound data
    int64_t dataBytes;
    plat::WAVEFORMATEX format;  // output format, always PCM

    // Ogg Vorbis.
    int32_t oggOpen;
    OggVorbis_File ogg;
    int32_t oggBytesPerSample;

    // Codec manager.
    plat::WAVEFORMATEX* sourceFormat;  // tracked memory, sourceFormatBytes long
    uint32_t sourceFormatBytes;
    plat::HACMSTREAM acmStream;
    plat::ACMSTREAMHEADER acmHeader;
    unsigned char* sourceBuffer;    // one source piece (MP3: the whole data)
    uint32_t sourceBufferBytes;
    int64_t sourcePosition;         // bytes of the data taken from the source so far
    int64_t totalSamples;           // -1 when unknown
    int32_t acmStarted;             // 1 after the first conversion since the start
    int32_t acmDrained;             // 1 once the codec has given out everything it held

    unsigned char* work;            // decoded bytes waiting to be read
    uint32_t workBytes;             // its size
    uint32_t workFilled;            // bytes waiting in it
    uint32_t workOffset;            // read offset in it
    int64_t bytePosition;           // output bytes delivered so far (or sought to)
};

// 0, or -1 when no reader accepts the data (the stream is then left as it is, unclosed).
int OpenSoundConverter(DataStream* stream, SoundConverter* converter);
// 0; -1 when the converter is not valid. The caller's stream stays open.
int CloseSoundConverter(SoundConverter* converter);
// Moves the next read to the sample frame given. 0 or -1.
int SeekSoundConverter(SoundConverter* converter, int64_t sample);
// Up to bytes output bytes; the count delivered (0 at the end), -1 when not valid.
int64_t ReadSoundConverter(SoundConverter* converter, void* buffer, int64_t bytes);
int GetConverterFormat(const SoundConverter* converter, plat::WAVEFORMATEX* out);
// The PCM bytes the whole source yields (Ogg: with one second of room to spare).
int64_t GetConverterPcmSize(const SoundConverter* converter);

// Decodes the whole source into a new tracked block. 0 with *pcm, *bytes and *format set,
// or -1 (nothing allocated).
int ConvertWholeToPcm(SoundConverter* converter, plat::WAVEFORMATEX* format, void** pcm,
                      uint32_t* bytes);

// A RIFF WAVE file image in a new tracked block: "RIFF", size, "WAVE", "fmt " with the format
// bytes given, "data" with the data. Null when memory runs out or the sizes do not fit the
// 32-bit size fields.
void* BuildWaveFileImage(const void* format, uint32_t formatBytes, const void* data,
                         uint32_t dataBytes, uint32_t* imageBytes);

// The Ogg decoder's bytes per output sample (the sound output sets 2; 1 gives unsigned 8-bit).
void SetOggBytesPerSample(int32_t bytes);
