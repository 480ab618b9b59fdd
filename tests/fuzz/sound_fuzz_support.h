// The bodies of the sound fuzz targets: a reader over the input through a memory stream, then
// a whole decode whose every byte is read (so that a short PCM block shows up under the
// address sanitizer). Every tracked block must be given back.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/memory_stream.h"
#include "base/tracked_memory.h"
#include "sound/converter/mp3_frame.h"
#include "sound/converter/sound_converter.h"
#include "sound/converter/wave_chunks.h"

inline void FuzzWholeDecode(DataStream* stream) {
    SoundConverter converter;
    if (OpenSoundConverter(stream, &converter) != 0) return;
    plat::WAVEFORMATEX format{};
    void* pcm = nullptr;
    uint32_t bytes = 0;
    if (ConvertWholeToPcm(&converter, &format, &pcm, &bytes) == 0) {
        if (format.nBlockAlign == 0 || bytes % format.nBlockAlign != 0) __builtin_trap();
        volatile unsigned sum = 0;
        for (uint32_t i = 0; i < bytes; ++i) sum = sum + static_cast<unsigned char*>(pcm)[i];
        TrackedFree(pcm);
    }
    // Seeks and piecewise reads after the whole decode.
    unsigned char piece[777];
    SeekSoundConverter(&converter, 3);
    ReadSoundConverter(&converter, piece, sizeof(piece));
    SeekSoundConverter(&converter, 100000);
    ReadSoundConverter(&converter, piece, sizeof(piece));
    CloseSoundConverter(&converter);
}

inline int FuzzWaveInput(const uint8_t* data, size_t size) {
    const uint32_t blocksBefore = GetAllocState().count;
    DataStream stream{*GetMemStreamFunctions(), MemStreamOpen(data, size)};
    if (stream.handle == 0) return 0;
    static WaveFileLayout layout;
    if (ReadWaveFileLayout(&stream, &layout) == 0) {
        if (layout.dataStart < 0 || layout.dataBytes < 0 ||
            layout.dataStart + layout.dataBytes > static_cast<int64_t>(size) ||
            layout.formatBytes > kWaveFormatKeepMax) {
            __builtin_trap();
        }
    }
    FuzzWholeDecode(&stream);
    stream.functions.close(stream.handle);
    if (GetAllocState().count != blocksBefore) __builtin_trap();
    return 0;
}

inline int FuzzMp3Input(const uint8_t* data, size_t size) {
    const uint32_t blocksBefore = GetAllocState().count;
    DataStream stream{*GetMemStreamFunctions(), MemStreamOpen(data, size)};
    if (stream.handle == 0) return 0;
    Mp3StreamLayout layout{};
    if (ScanMp3Stream(&stream, &layout) == 0) {
        if (layout.firstFrame < 0 || layout.firstFrame >= layout.dataEnd ||
            layout.dataEnd > static_cast<int64_t>(size) || layout.frameCount < 1 ||
            layout.first.frameBytes < 24) {
            __builtin_trap();
        }
    }
    FuzzWholeDecode(&stream);
    stream.functions.close(stream.handle);
    if (GetAllocState().count != blocksBefore) __builtin_trap();
    return 0;
}
