// Adding sources to a streaming sound: the data of each source is read whole into memory
// (types 0 and 2) or read from the caller's stream while it plays (type 3); the first source
// fixes the format and gives the handle its ring, its own or its union handle's.
#include <cstring>

#include "base/file_access_table.h"
#include "base/log.h"
#include "base/memory_stream.h"
#include "base/tracked_memory.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"

namespace {

// Everything a source holds, given back; the caller's own stream (type 3) stays open.
void DropSource(SoundStreamSource* source) {
    if (source->converter.valid) CloseSoundConverter(&source->converter);
    if (source->dataType != kStreamDataCallerStream && source->stream.handle != 0) {
        source->stream.functions.close(source->stream.handle);
    }
    TrackedFree(source->image);
    std::memset(source, 0, sizeof(*source));
}

// A memory stream over the source's image and a converter on it. 0 or -1.
int OpenImageSource(SoundStreamSource* source) {
    source->stream = DataStream{*GetMemStreamFunctions(),
                                MemStreamOpen(source->image, source->imageBytes)};
    if (source->stream.handle == 0) return -1;
    return OpenSoundConverter(&source->stream, &source->converter);
}

// The whole stream decoded to PCM and kept as a RIFF WAVE image of that PCM. 0 or -1.
int DecodeWholeSource(DataStream* stream, SoundStreamSource* source) {
    void* data = nullptr;
    uint32_t dataBytes = 0;
    if (ReadWholeDataStream(stream, &data, &dataBytes) != 0) return -1;
    DataStream memory{*GetMemStreamFunctions(), MemStreamOpen(data, dataBytes)};
    SoundConverter converter;
    plat::WAVEFORMATEX format{};
    void* pcm = nullptr;
    uint32_t pcmBytes = 0;
    int result = -1;
    if (memory.handle != 0 && OpenSoundConverter(&memory, &converter) == 0) {
        result = ConvertWholeToPcm(&converter, &format, &pcm, &pcmBytes);
        CloseSoundConverter(&converter);
    }
    if (memory.handle != 0) memory.functions.close(memory.handle);
    TrackedFree(data);
    if (result != 0) return LogFormat("音声データの変換に失敗しました");
    format.cbSize = 0;
    source->image = BuildWaveFileImage(&format, sizeof(format), pcm, pcmBytes,
                                       &source->imageBytes);
    TrackedFree(pcm);
    if (source->image == nullptr || OpenImageSource(source) != 0) {
        return LogFormat("音声データのオープンに失敗しました");
    }
    return 0;
}

// The record takes its ring for its first source: the union handle's when that one is a
// stream handle with a ring of its own in the same format, else a new one.
int TakeRing(SoundRecord* record, HandleValue handle, HandleValue unionHandle) {
    SoundStreamState& state = record->streaming;
    state.sharers = 0;
    state.owner = -1;
    state.deletePending = 0;
    state.unionHandle = -1;
    state.writePosition = kStreamNotPrimed;
    SoundRecord* other = unionHandle == handle ? nullptr : GetSoundRecord(unionHandle);
    if (other != nullptr && other->stream == 1 && other->streaming.unionHandle == -1 &&
        other->streaming.sourceCount > 0 &&
        std::memcmp(&other->format, &record->format, sizeof(record->format)) == 0) {
        record->stream = 1;
        record->bufferCount = 1;
        state.unionHandle = unionHandle;
        state.ringBytes = other->streaming.ringBytes;
        ++other->streaming.sharers;
        AddToSoundStreamList(record, handle);
        return 0;
    }
    return CreateSoundHandleBuffers(&record->format,
                                    record->format.nAvgBytesPerSec * kStreamRingSeconds, 1, 1,
                                    handle);
}

}  // namespace

int ReadWholeDataStream(DataStream* stream, void** image, uint32_t* bytes) {
    stream->functions.seek(stream->handle, 0, 2);
    const int64_t size = stream->functions.tell(stream->handle);
    stream->functions.seek(stream->handle, 0, 0);
    if (size <= 0) return LogFormat("音声データの読み込みに失敗しました");
    void* block = size <= 0x7FFFFFFF ? ZN_ALLOC(static_cast<size_t>(size)) : nullptr;
    if (block == nullptr) return LogFormat("ストリームの読み込みに必要なメモリの確保に失敗しました");
    const size_t got = stream->functions.read(block, 1, static_cast<size_t>(size), stream->handle);
    if (got != static_cast<size_t>(size)) {
        TrackedFree(block);
        return LogFormat("音声データの読み込みに失敗しました");
    }
    *image = block;
    *bytes = static_cast<uint32_t>(size);
    return 0;
}

int AddSreamSound(DataStream* stream, uint8_t loopCount, HandleValue handle, int dataType,
                  int* mayClose, HandleValue unionHandle) {
    if (GetSoundOutput().device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    SoundStreamState& state = record->streaming;
    // A record that already plays as a normal sound takes no stream source either.
    if (record->stream == 0 && (state.sourceCount > 0 || record->bufferCount > 0)) {
        return LogWrite("ストリーム風サウンドではないサウンドデータが渡されました in AddSreamSound\n");
    }
    if (state.sourceCount > 0) {
        if (IsStreamSoundPlaying(handle) == 1) {
            return LogWrite("既に再生中のストリームサウンドデータにデータを追加しようとしました\n");
        }
        if (state.sourceCount >= kStreamSourcesMax) {
            return LogWrite("ストリーム風サウンドの制御データ領域がいっぱいです\n");
        }
    }
    if (dataType != kStreamDataPcm && dataType != kStreamDataImage &&
        dataType != kStreamDataCallerStream) {
        return LogFormat("ストリーム風サウンドのデータタイプ %d は使えません", dataType);
    }

    const int index = state.sourceCount;
    SoundStreamSource* source = &state.sources[index];
    std::memset(source, 0, sizeof(*source));
    source->dataType = dataType;
    stream->functions.seek(stream->handle, 0, 0);
    int close = 1;
    if (dataType == kStreamDataPcm) {
        if (DecodeWholeSource(stream, source) != 0) {
            DropSource(source);
            return -1;
        }
    } else if (dataType == kStreamDataImage) {
        if (ReadWholeDataStream(stream, &source->image, &source->imageBytes) != 0 ||
            OpenImageSource(source) != 0) {
            DropSource(source);
            return LogFormat("音声データのオープンに失敗しました");
        }
    } else {
        source->stream = *stream;
        if (OpenSoundConverter(&source->stream, &source->converter) != 0) {
            DropSource(source);
            return LogFormat("音声データのオープンに失敗しました");
        }
        close = 0;
    }

    plat::WAVEFORMATEX format{};
    GetConverterFormat(&source->converter, &format);
    if (index > 0) {
        if (std::memcmp(&format, &record->format, sizeof(format)) != 0) {
            DropSource(source);
            return LogFormat("フォーマットの違う音声データは同時に使うことは出来ません");
        }
    } else {
        record->format = format;
        if (TakeRing(record, handle, unionHandle) != 0) {
            DropSource(source);
            return -1;
        }
    }

    source->loopCount = loopCount;
    state.mayClose[index] = close;
    state.sourceCount = index + 1;
    int64_t total = 0;
    for (int i = 0; i < state.sourceCount; ++i) {
        const int64_t bytes = GetConverterPcmSize(&state.sources[i].converter);
        if (bytes > 0) total += bytes / record->format.nBlockAlign;
    }
    state.totalSamples = total;
    if (mayClose != nullptr) *mayClose = close;
    return 0;
}

int AppendStreamSourceFile(const char* path, uint8_t loopCount, HandleValue handle,
                           int dataType, HandleValue unionHandle) {
    if (GetSoundOutput().device == nullptr || GetSoundRecord(handle) == nullptr) return -1;
    const uintptr_t file = FileAccessOpen(path, 0, 0, 0);
    if (file == 0) return LogFormat("右記のＷＡＶファイルのロードに失敗しました：%s ", path);
    DataStream stream{*GetFileStreamFunctions(), file};
    int mayClose = 1;
    if (AddSreamSound(&stream, loopCount, handle, dataType, &mayClose, unionHandle) != 0) {
        FileAccessClose(file);
        return LogFormat("右記のＷＡＶファイルのセットアップに失敗しました：%s ", path);
    }
    if (mayClose) FileAccessClose(file);
    return 0;
}

int AppendStreamSourceImage(const void* image, uint32_t imageBytes, uint8_t loopCount,
                            HandleValue handle, int dataType, HandleValue unionHandle) {
    if (GetSoundOutput().device == nullptr || GetSoundRecord(handle) == nullptr) return -1;
    DataStream stream{*GetMemStreamFunctions(), MemStreamOpen(image, imageBytes)};
    if (stream.handle == 0) {
        return LogFormat("ＷＡＶファイルのストリームイメージハンドルの作成に失敗しました ");
    }
    // The caller's image is not the record's to keep: a stream over it is copied into memory.
    if (dataType == kStreamDataCallerStream) dataType = kStreamDataImage;
    int mayClose = 1;
    const int result =
        AddSreamSound(&stream, loopCount, handle, dataType, &mayClose, unionHandle);
    stream.functions.close(stream.handle);
    if (result != 0) {
        return LogFormat("ＷＡＶファイルのストリームイメージのセットアップに失敗しました ");
    }
    return 0;
}

int SetStreamSourceLoopStart(HandleValue handle, int sourceIndex, int64_t sample) {
    if (GetSoundOutput().device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr || record->stream == 0) return -1;
    SoundStreamState& state = record->streaming;
    if (sourceIndex < 0 || sourceIndex >= state.sourceCount || sample < 0) {
        return LogFormat("ストリーム風サウンドのループ開始位置の指定が不正です");
    }
    SoundStreamSource& source = state.sources[sourceIndex];
    const int64_t bytes = GetConverterPcmSize(&source.converter);
    if (bytes >= 0 && sample >= bytes / record->format.nBlockAlign) {
        return LogFormat("ストリーム風サウンドのループ開始位置が音声データの外です");
    }
    source.loopStartSample = sample;
    return 0;
}
