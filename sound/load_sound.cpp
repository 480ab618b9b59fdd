// Loading sounds: a file or a file image decoded whole to PCM and copied into every buffer of
// a new handle, or, while the create type asks for streaming, made a streaming sound of it.
#include "base/data_stream.h"
#include "base/file_access_table.h"
#include "base/log.h"
#include "base/memory_stream.h"
#include "base/tracked_memory.h"
#include "sound/converter/sound_converter.h"
#include "sound/sound_handle_buffers.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"

using plat::WAVEFORMATEX;

int LoadWholeFile(const char* path, void** image, uint32_t* bytes) {
    const uintptr_t file = FileAccessOpen(path, 0, 0, 0);
    if (file == 0) return LogFormat("右記のファイルのオープンに失敗しました：%s", path);
    FileAccessSeek(file, 0, kSeekEnd);
    const int64_t size = FileAccessTell(file);
    FileAccessSeek(file, 0, kSeekSet);
    void* block = nullptr;
    if (size >= 0 && size <= 0x7FFFFFFF) block = ZN_ALLOC(size > 0 ? size : 1);
    if (block == nullptr) {
        FileAccessClose(file);
        return LogFormat("右記のファイルのロードに必要なメモリの確保に失敗しました：%s", path);
    }
    const size_t got = size > 0 ? FileAccessRead(block, 1, static_cast<size_t>(size), file) : 0;
    FileAccessClose(file);
    *image = block;
    *bytes = static_cast<uint32_t>(got);
    return 0;
}

HandleValue LoadSoundFromFile(const char* path, int bufferCount, HandleValue unionHandle) {
    const SoundOutputObjects& output = GetSoundOutput();
    if (output.device == nullptr) return -1;
    if (output.createType != 0) {
        // A streaming sound of the create type's data, on the union handle's ring if it fits.
        const HandleValue handle = AddSoundData(-1);
        if (handle == -1) return -1;
        if (AppendStreamSourceFile(path, 0, handle, output.createType, unionHandle) != 0) {
            DeleteSoundHandle(handle);
            return -1;
        }
        PrimeStreamSound(handle);
        return handle;
    }
    void* image = nullptr;
    uint32_t bytes = 0;
    if (LoadWholeFile(path, &image, &bytes) != 0) {
        return LogFormat("右記の音声ファイルのロードに失敗しました_1：%s", path);
    }
    const int count = bufferCount < 1 ? 1 : bufferCount > kSoundBuffersMax ? kSoundBuffersMax
                                                                             : bufferCount;
    const HandleValue handle = LoadSoundFromMemory(image, bytes, count, -1);
    TrackedFree(image);
    if (handle == -1) {
        return LogFormat("右記の音声ファイルのロードに失敗しました_2：%s", path);
    }
    return handle;
}

HandleValue LoadSoundFromMemory(const void* image, uint32_t imageBytes, int bufferCount,
                                HandleValue unionHandle) {
    const SoundOutputObjects& output = GetSoundOutput();
    if (output.device == nullptr || bufferCount > kSoundBuffersMax) return -1;
    if (bufferCount < 1) bufferCount = 1;
    const HandleValue handle = AddSoundData(-1);
    if (handle == -1) return -1;
    if (output.createType != 0) {
        if (AppendStreamSourceImage(image, imageBytes, 0, handle, output.createType,
                                    unionHandle) != 0) {
            DeleteSoundHandle(handle);
            return -1;
        }
        PrimeStreamSound(handle);
        return handle;
    }
    SoundRecord* record = GetSoundRecord(handle);

    DataStream stream{*GetMemStreamFunctions(), MemStreamOpen(image, imageBytes)};
    if (stream.handle == 0) {
        DeleteSoundHandle(handle);
        return -1;
    }
    SoundConverter converter;
    if (OpenSoundConverter(&stream, &converter) != 0) {
        LogFormat("音声ファイルのＰＣＭへの変換に失敗しました");
        stream.functions.close(stream.handle);
        DeleteSoundHandle(handle);
        return -1;
    }
    WAVEFORMATEX format{};
    void* pcm = nullptr;
    uint32_t pcmBytes = 0;
    const int converted = ConvertWholeToPcm(&converter, &format, &pcm, &pcmBytes);
    CloseSoundConverter(&converter);
    stream.functions.close(stream.handle);
    if (converted != 0) {
        LogFormat("音声ファイルを格納するメモリ領域の確保に失敗しました");
        DeleteSoundHandle(handle);
        return -1;
    }
    record->pcm = pcm;
    record->pcmBytes = pcmBytes;
    record->format = format;
    if (!SoundBufferCanHold(&format, pcmBytes)) {
        LogFormat("音声データの形式または長さがサウンドバッファに合いません");
        DeleteSoundHandle(handle);
        return -1;
    }
    if (CreateSoundHandleBuffers(&format, pcmBytes, 0, bufferCount, handle) != 0) {
        DeleteSoundHandle(handle);
        return -1;
    }
    for (int32_t i = 0; i < record->bufferCount; ++i) {
        if (record->skipCopy[i] == 1) continue;
        if (CopyPcmToBuffer(record, &record->buffers[i]) != 0) {
            DeleteSoundHandle(handle);
            return -1;
        }
    }
    return handle;
}
