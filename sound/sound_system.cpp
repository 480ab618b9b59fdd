#include "sound/sound_system.h"

#include <cmath>
#include <cstdio>
#include <cstdarg>
#include <cstring>

#include "base/data_stream.h"
#include "base/fatal_exit.h"
#include "base/file_access_table.h"
#include "base/log.h"
#include "base/memory_stream.h"
#include "base/tracked_memory.h"
#include "platform/core/clock.h"
#include "sound/sound_converter.h"
#include "sound/capture/sound_capture.h"
#include "sound/music/music_handles.h"
#include "sound/sound_pump_driver.h"
#include "sound/stream/sound_stream.h"
#include "sound/stream/stream_ring.h"

namespace {

using plat::WAVEFORMATEX;

SoundOutputObjects output{nullptr, nullptr, nullptr, 0, 0, 0, 2, {}};
SoundHandleTable table{};

// The window the cooperative level names: the desktop's, which always exists. The platform has
// no desktop window of its own, so a fixed non-zero handle stands for it.
constexpr plat::WindowHandle kDesktopWindow = 0x10010;

constexpr uint32_t kBufferFlags = plat::DSBCAPS_GLOBALFOCUS | plat::DSBCAPS_CTRLVOLUME |
                                  plat::DSBCAPS_CTRLPAN | plat::DSBCAPS_CTRLFREQUENCY |
                                  plat::DSBCAPS_STATIC;  // 0x80E2
constexpr uint32_t kBufferFlagsFallback =
    plat::DSBCAPS_CTRLVOLUME | plat::DSBCAPS_CTRLPAN | plat::DSBCAPS_STATIC;  // 0xC2

int NoPump() { return 0; }
constexpr SoundPumpDriver kAbsentPump = {.processMessage = NoPump};

// Writes a formatted text as it is (the line stays open unless the text ends in "\n").
void LogPiece(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogPiece(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    LogWrite(text);
}

void ReleaseOutput() {
    if (output.silent != nullptr) {
        output.silent->Stop();
        output.silent->Release();
        output.silent = nullptr;
    }
    if (output.primary != nullptr) {
        output.primary->Stop();
        output.primary->Release();
        output.primary = nullptr;
    }
    if (output.device != nullptr) output.device->Release();
    output.device = nullptr;
    SetSoundBufferDevice(nullptr);
}

// The silent looping buffer: 100 frames of 16-bit stereo at 44100 Hz.
void StartSilentBuffer() {
    WAVEFORMATEX format{};
    format.wFormatTag = plat::WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.nAvgBytesPerSec = 176400;
    format.nBlockAlign = 4;
    format.wBitsPerSample = 16;
    plat::DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = plat::DSBCAPS_GLOBALFOCUS | plat::DSBCAPS_STATIC;  // 0x8002
    desc.dwBufferBytes = 400;
    desc.lpwfxFormat = &format;
    plat::IDirectSoundBuffer* buffer = nullptr;
    if (!plat::DSSucceeded(output.device->CreateSoundBuffer(&desc, &buffer, nullptr))) {
        LogFormat("無音バッファの作成に失敗しました");
        return;
    }
    void* ptr1 = nullptr;
    void* ptr2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    if (!plat::DSSucceeded(buffer->Lock(0, 400, &ptr1, &bytes1, &ptr2, &bytes2, 0))) {
        LogFormat("無音バッファのロックに失敗しました");
        buffer->Release();
        return;
    }
    std::memset(ptr1, 0, bytes1);
    if (ptr2 != nullptr) std::memset(ptr2, 0, bytes2);
    buffer->Unlock(ptr1, bytes1, ptr2, bytes2);
    buffer->Play(0, 0, plat::DSBPLAY_LOOPING);
    output.silent = buffer;
}

const char* OkNo(uint32_t flags, uint32_t bit) { return (flags & bit) != 0 ? "OK" : "NO"; }

void LogDevices() {
    plat::DSCAPS caps{};
    caps.dwSize = sizeof(caps);
    output.device->GetCaps(&caps);
    LogWrite("DirectSound デバイスを列挙します\n");
    LogIndentAdd();
    plat::SoundSystemLibrary* library = plat::LoadSoundSystemLibrary("DSOUND.DLL");
    if (library == nullptr) {
        LogWrite("DSOUND.DLL のロードに失敗しました\n");
        LogIndentSub();
        return;
    }
    const plat::DirectSoundEnumerateProc enumerate =
        plat::GetSoundSystemProcedure(library, "DirectSoundEnumerateA");
    if (enumerate == nullptr) {
        LogWrite("DirectSound デバイスの列挙用関数のポインタ取得に失敗しました\n");
        LogIndentSub();
        plat::FreeSoundSystemLibrary(library);
        return;
    }
    enumerate(EnumSoundDeviceLogProc, nullptr);
    LogIndentSub();
    LogPiece("最大サンプリングレート:%.2fKHz 最小サンプリングレート:%.2fKHz ",
             caps.dwMaxSecondarySampleRate / 1000.0, caps.dwMinSecondarySampleRate / 1000.0);
    LogPiece("総サウンドメモリ領域:%.2fKB 空きサウンドメモリ領域:%.2fKB \n",
             caps.dwTotalHwMemBytes / 1024.0, caps.dwFreeHwMemBytes / 1024.0);
    LogWrite("利用可能サンプリング精度\n");
    LogPiece(" プライマリ １６bit = %s  ８bit = %s ", OkNo(caps.dwFlags, plat::DSCAPS_PRIMARY16BIT),
             OkNo(caps.dwFlags, plat::DSCAPS_PRIMARY8BIT));
    LogPiece(" セカンダリ １６bit = %s  ８bit = %s \n",
             OkNo(caps.dwFlags, plat::DSCAPS_SECONDARY16BIT),
             OkNo(caps.dwFlags, plat::DSCAPS_SECONDARY8BIT));
    LogWrite("利用可能チャンネル\n");
    LogPiece(" プライマリ MONO = %s  STEREO = %s ", OkNo(caps.dwFlags, plat::DSCAPS_PRIMARYMONO),
             OkNo(caps.dwFlags, plat::DSCAPS_PRIMARYSTEREO));
    LogPiece(" セカンダリ MONO = %s  STEREO = %s \n",
             OkNo(caps.dwFlags, plat::DSCAPS_SECONDARYMONO),
             OkNo(caps.dwFlags, plat::DSCAPS_SECONDARYSTEREO));
    plat::FreeSoundSystemLibrary(library);
}

// A format a sound buffer takes, and a size it can hold: checked before creation, so that a
// sound the buffers cannot hold is refused instead of ending the program.
bool BufferCanHold(const WAVEFORMATEX* f, uint32_t bytes) {
    return f->wFormatTag == plat::WAVE_FORMAT_PCM && f->nChannels >= 1 && f->nChannels <= 2 &&
           (f->wBitsPerSample == 8 || f->wBitsPerSample == 16) &&
           f->nBlockAlign == f->nChannels * f->wBitsPerSample / 8 &&
           f->nSamplesPerSec >= plat::DSBFREQUENCY_MIN &&
           f->nSamplesPerSec <= plat::DSBFREQUENCY_MAX &&
           f->nAvgBytesPerSec == f->nSamplesPerSec * f->nBlockAlign &&
           bytes >= plat::DSBSIZE_MIN && bytes <= plat::DSBSIZE_MAX && bytes % f->nBlockAlign == 0;
}

// Copies the sound's PCM block into one of its buffers. 0, or -1 after a log line.
int CopyPcmToBuffer(SoundRecord* record, SoundBufferWrapper* buffer) {
    const uint32_t pcmBytes = record->pcmBytes;
    void* ptr1 = nullptr;
    void* ptr2 = nullptr;
    uint32_t bytes1 = 0, bytes2 = 0;
    if (LockBufferWrapper(buffer, 0, pcmBytes, &ptr1, &bytes1, &ptr2, &bytes2) != 0) {
        return LogFormat("サウンドデータの転送に失敗しました_1");
    }
    const uint32_t first = bytes1 < pcmBytes ? bytes1 : pcmBytes;
    std::memcpy(ptr1, record->pcm, first);
    uint32_t second = 0;
    if (ptr2 != nullptr && first < pcmBytes) {
        second = bytes2 < pcmBytes - first ? bytes2 : pcmBytes - first;
        std::memcpy(ptr2, static_cast<const unsigned char*>(record->pcm) + first, second);
    }
    if (UnlockBufferWrapper(buffer, ptr1, first, ptr2, second) != 0) {
        return LogFormat("サウンドデータの転送に失敗しました_2");
    }
    return 0;
}

void LowerAreaEnd(int32_t slot) {
    if (table.count == 0) {
        table.areaEnd = 0;
        return;
    }
    if (slot + 1 != table.areaEnd) return;
    int32_t end = slot;
    while (end > 0 && table.slots[end - 1] == nullptr) --end;
    table.areaEnd = end;
}

// The buffers that a handle's volume, pan and frequency are set on: its own, or for a stream
// handle the ring it plays through, which is its union handle's when it shares one (such a
// record holds no buffer itself). Null with count 0 when that ring is gone.
SoundBufferWrapper* HandleBuffers(SoundRecord* record, int32_t* count) {
    if (record->stream == 0) {
        *count = record->bufferCount;
        return record->buffers;
    }
    SoundRecord* holder = GetStreamRingHolder(record);
    *count = holder == nullptr ? 0 : 1;
    return holder == nullptr ? nullptr : holder->buffers;
}

}  // namespace

DriverSlot<SoundPumpDriver>& SoundPumpSlot() {
    static DriverSlot<SoundPumpDriver> slot(kAbsentPump);
    return slot;
}

SoundOutputObjects& GetSoundOutput() { return output; }
SoundHandleTable& GetSoundHandleTable() { return table; }

int StartSoundOutput() {
    if (output.device != nullptr) return -1;
    LogWrite("DirectSound の初期化を行います\n");
    LogWrite("DirectSound インターフェースの取得を行います....  ");
    plat::IDirectSound* device = nullptr;
    if (!plat::DSSucceeded(plat::CoCreateDirectSound(&device)) || device == nullptr) {
        LogWrite("DirectSoundインターフェースの作成に失敗しました\n");
        return -1;
    }
    LogWrite("成功\n");
    output.device = device;
    LogWrite("引き続きインターフェースの初期化処理...  ");
    if (!plat::DSSucceeded(device->Initialize(nullptr))) {
        LogWrite("初期化に失敗しました\n");
        ReleaseOutput();
        return -1;
    }
    LogWrite("成功\n");
    if (!plat::DSSucceeded(device->SetCooperativeLevel(kDesktopWindow, plat::DSSCL_PRIORITY))) {
        LogWrite("DirectSoundの協調レベルの設定に失敗しました\n");
        ReleaseOutput();
        return -1;
    }
    plat::DSBUFFERDESC primaryDesc{};
    primaryDesc.dwSize = sizeof(primaryDesc);
    primaryDesc.dwFlags = plat::DSBCAPS_PRIMARYBUFFER;
    if (!plat::DSSucceeded(device->CreateSoundBuffer(&primaryDesc, &output.primary, nullptr))) {
        output.primary = nullptr;
        LogWrite("DirectSoundのプライマリサウンドバッファの作成に失敗しました\n");
        ReleaseOutput();
        return -1;
    }
    plat::DSCAPS caps{};
    caps.dwSize = sizeof(caps);
    device->GetCaps(&caps);
    WAVEFORMATEX primaryFormat{};
    primaryFormat.wFormatTag = plat::WAVE_FORMAT_PCM;
    primaryFormat.nChannels = (caps.dwFlags & plat::DSCAPS_PRIMARYSTEREO) != 0 ? 2 : 1;
    primaryFormat.wBitsPerSample = (caps.dwFlags & plat::DSCAPS_PRIMARY16BIT) != 0 ? 16 : 8;
    primaryFormat.nSamplesPerSec =
        caps.dwMaxSecondarySampleRate < 44100 ? caps.dwMaxSecondarySampleRate : 44100;
    primaryFormat.nBlockAlign =
        static_cast<uint16_t>(primaryFormat.nChannels * primaryFormat.wBitsPerSample / 8);
    primaryFormat.nAvgBytesPerSec = primaryFormat.nSamplesPerSec * primaryFormat.nBlockAlign;
    if (!plat::DSSucceeded(output.primary->SetFormat(&primaryFormat))) {
        LogWrite("DirectSoundのプライマリサウンドバッファのフォーマット設定に失敗しました\n");
    }
    SetSoundBufferDevice(device);
    StartSilentBuffer();
    output.createType = 0;
    output.oggBytesPerSample = 2;
    InitSoundStreamList();
    SetOggBytesPerSample(2);
    SetSoundBufferSoftwareMode(output.softwareBuffers);
    LogDevices();
    LogWrite("DirectSound の初期化は正常に終了しました\n");
    DeleteAllSoundHandles();
    return 0;
}

int StopSoundOutput() {
    if (output.device == nullptr) return -1;
    FinishSoundCaptureFile();
    DeleteAllSoundHandles();
    DeleteAllMusicHandles();
    DeleteTemporaryMidiFile();
    ReleaseOutput();
    LogWrite("DirectSound の終了処理は正常に終了しました\n");
    return 0;
}

int StopAllSounds() {
    if (output.device == nullptr) return -1;
    for (int32_t slot = 0; slot < table.areaEnd; ++slot) {
        SoundRecord* record = table.slots[slot];
        if (record == nullptr) continue;
        for (int32_t i = 0; i < record->bufferCount; ++i) {
            if (record->buffers[i].valid) StopBufferWrapper(&record->buffers[i]);
        }
    }
    return 0;
}

SoundRecord* GetSoundRecord(HandleValue handle) {
    const int32_t slot = CheckHandleSlot(handle, kHandleKindSound, kMaxSoundHandles);
    if (slot < 0) return nullptr;
    SoundRecord* record = table.slots[slot];
    if (record == nullptr || !HandleSerialMatches(handle, record->serial)) return nullptr;
    return record;
}

HandleValue AddSoundData(HandleValue handle) {
    if (output.device == nullptr) return -1;
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
    if (!BufferCanHold(&format, pcmBytes)) {
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

// One ring buffer of six seconds of the format's byte rate for a streaming sound, which then
// joins the stream list. A format the ring cannot take is refused with a log line (it comes
// from the sound data, so it must not end the program).
static int CreateStreamRing(SoundRecord* record, const WAVEFORMATEX* format, HandleValue handle) {
    const uint64_t ringBytes =
        static_cast<uint64_t>(format->nAvgBytesPerSec) * kStreamRingSeconds;
    if (ringBytes > plat::DSBSIZE_MAX ||
        !BufferCanHold(format, static_cast<uint32_t>(ringBytes))) {
        return LogFormat("ストリーム風サウンドバッファに使えない音声フォーマットです");
    }
    plat::DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = kBufferFlags | plat::DSBCAPS_GETCURRENTPOSITION2;  // 0x180E2
    desc.dwBufferBytes = static_cast<uint32_t>(ringBytes);
    desc.lpwfxFormat = format;
    if (CreateBufferWrapper(&record->buffers[0], &desc) != 0) {
        FatalExit("ストリーム風サウンドバッファの作成に失敗しました");
        return -1;
    }
    record->bufferCount = 1;
    for (int32_t& flag : record->skipCopy) flag = 0;
    record->stream = 1;
    record->format = *format;
    record->streaming.ringBytes = static_cast<int64_t>(ringBytes);
    AddToSoundStreamList(record, handle);
    return 0;
}

int CreateSoundHandleBuffers(const WAVEFORMATEX* format, uint32_t bytes, int mode,
                             int bufferCount, HandleValue handle) {
    if (output.device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (mode != 0) return CreateStreamRing(record, format, handle);
    if (bufferCount < 1) bufferCount = 1;
    if (bufferCount > kSoundBuffersMax) bufferCount = kSoundBuffersMax;
    plat::DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = kBufferFlags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = format;
    if (CreateBufferWrapper(&record->buffers[0], &desc) != 0) {
        desc.dwFlags = kBufferFlagsFallback;
        if (CreateBufferWrapper(&record->buffers[0], &desc) != 0) {
            FatalExit("DirectSoundBuffer の作成に失敗しました");
            return -1;
        }
    }
    int32_t made = 1;
    while (made < bufferCount &&
           DuplicateBufferWrapper(&record->buffers[made], &record->buffers[0]) == 0) {
        ++made;
    }
    record->bufferCount = made;
    for (int32_t& flag : record->skipCopy) flag = 0;
    record->stream = mode;
    record->format = *format;
    return 0;
}

int PlaySoundHandle(HandleValue handle, int playType, int topFlag) {
    if (output.device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->stream != 0) return StartStreamSoundPlayback(handle, playType, topFlag);
    if (record->bufferCount < 1) return -1;
    // Where the copy started last now plays: a play that does not start from the top goes on
    // from there (from the start when that buffer cannot tell).
    uint32_t position = 0;
    if (GetBufferWrapperPosition(&record->buffers[record->current], &position) != 0) {
        position = 0;
    }
    record->current = record->current + 1 >= record->bufferCount ? 0 : record->current + 1;
    SoundBufferWrapper* buffer = &record->buffers[record->current];
    uint32_t status = 0;
    if (QueryBufferWrapperStatus(buffer, &status) != 0) return -1;
    if ((status & plat::DSBSTATUS_BUFFERLOST) != 0) {
        // The output device took the buffer's memory: get it back and write the sound again,
        // or it would play nothing from now on.
        if (RestoreBufferWrapper(buffer) != 0 || CopyPcmToBuffer(record, buffer) != 0) return -1;
        status = 0;
    }
    if ((status & plat::DSBSTATUS_PLAYING) != 0) {
        if (topFlag == 0) return 0;
        StopBufferWrapper(buffer);
    }
    SetBufferWrapperPosition(buffer, topFlag == 1 ? 0 : position);
    if (PlayBufferWrapper(buffer, playType == kSoundPlayLoop) != 0) return -1;
    record->lastPlayType = playType;
    record->playStartTime = plat::MillisecondClock();
    if (playType == kSoundPlayNormal) {
        // Waits for the end, pumping messages; the wait ends early when the library is to end.
        while (IsSoundHandlePlaying(handle) == 1) {
            plat::SleepMs(1);
            if (SoundPumpSlot()->processMessage() != 0) break;
        }
    }
    return 0;
}

int StopSoundHandle(HandleValue handle) {
    if (output.device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->stream != 0) return StopStreamSound(handle);
    for (int32_t i = 0; i < record->bufferCount; ++i) {
        uint32_t status = 0;
        if (QueryBufferWrapperStatus(&record->buffers[i], &status) != 0) return -1;
        if ((status & plat::DSBSTATUS_PLAYING) != 0) StopBufferWrapper(&record->buffers[i]);
    }
    return 0;
}

int IsSoundHandlePlaying(HandleValue handle) {
    if (output.device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (record->stream != 0) return IsStreamSoundPlaying(handle);
    for (int32_t i = 0; i < record->bufferCount; ++i) {
        uint32_t status = 0;
        if (QueryBufferWrapperStatus(&record->buffers[i], &status) == 0 &&
            (status & plat::DSBSTATUS_PLAYING) != 0) {
            return 1;
        }
    }
    return 0;
}

int32_t SoundVolumeToDecibels(int volume) {
    if (volume > 255) volume = 255;
    if (volume <= 0) return -10000;
    const int32_t value =
        static_cast<int32_t>(std::log10(volume * 0.00392156862745098) * 1000.0);
    return value < -10000 ? -10000 : value;
}

int SetSoundHandleVolume(int volume, HandleValue handle) {
    if (output.device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    const int32_t decibels = SoundVolumeToDecibels(volume);
    int32_t count = 0;
    SoundBufferWrapper* buffers = HandleBuffers(record, &count);
    for (int32_t i = 0; i < count; ++i) SetBufferWrapperVolume(&buffers[i], decibels);
    return 0;
}

int SetSoundHandlePan(int pan, HandleValue handle) {
    if (output.device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    if (pan < plat::DSBPAN_LEFT) pan = plat::DSBPAN_LEFT;
    if (pan > plat::DSBPAN_RIGHT) pan = plat::DSBPAN_RIGHT;
    int result = 0;
    int32_t count = 0;
    SoundBufferWrapper* buffers = HandleBuffers(record, &count);
    for (int32_t i = 0; i < count; ++i) {
        if (SetBufferWrapperPan(&buffers[i], pan) != 0) result = -1;
    }
    return result;
}

int SetSoundHandleFrequency(int frequency, HandleValue handle) {
    if (output.device == nullptr) return -1;
    SoundRecord* record = GetSoundRecord(handle);
    if (record == nullptr) return -1;
    uint32_t value = plat::DSBFREQUENCY_ORIGINAL;
    if (frequency > 0) {
        value = static_cast<uint32_t>(frequency);
        if (value < plat::DSBFREQUENCY_MIN) value = plat::DSBFREQUENCY_MIN;
        if (value > plat::DSBFREQUENCY_MAX) value = plat::DSBFREQUENCY_MAX;
    }
    int result = 0;
    int32_t count = 0;
    SoundBufferWrapper* buffers = HandleBuffers(record, &count);
    for (int32_t i = 0; i < count; ++i) {
        if (SetBufferWrapperFrequency(&buffers[i], value) != 0) result = -1;
    }
    return result;
}

int DeleteSoundHandle(HandleValue handle) {
    if (output.device == nullptr) return -1;
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
    LowerAreaEnd(slot);
    // The delete-pending handle whose ring this one was the last to share goes as well.
    if (alsoDelete != -1) DeleteSoundHandle(alsoDelete);
    return 0;
}

int DeleteAllSoundHandles() {
    if (output.device == nullptr) return -1;
    for (int32_t slot = 0; slot < kMaxSoundHandles; ++slot) {
        SoundRecord* record = table.slots[slot];
        if (record != nullptr) {
            DeleteSoundHandle(MakeHandleValue(kHandleKindSound, record->serial, slot));
        }
    }
    return 0;
}

int32_t EnumSoundDeviceLogProc(const plat::GUID* /*guid*/, const char* description,
                               const char* module, void* /*context*/) {
    LogFormat("モジュール名:%15s  ドライバ記述:%s ", module, description);
    return 1;
}
