// The start and end of the sound output: the device at the priority level, its primary buffer
// set to the best format the device plays, and a silent looping buffer that keeps the output
// going; and the stop of every sound that shut-down begins with.
#include <cstring>

#include "base/log.h"
#include "sound/capture/sound_capture.h"
#include "sound/converter/sound_converter.h"
#include "sound/music/music_handles.h"
#include "sound/sound_device_log.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"

namespace {

using plat::WAVEFORMATEX;

SoundOutputObjects output{nullptr, nullptr, nullptr, 0, 0, 0, 2, {}};

// The window the cooperative level names: the desktop's, which always exists. The platform has
// no desktop window of its own, so a fixed non-zero handle stands for it.
constexpr plat::WindowHandle kDesktopWindow = 0x10010;

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

}  // namespace

SoundOutputObjects& GetSoundOutput() { return output; }

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
    LogSoundDevices(device);
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
    const SoundHandleTable& table = GetSoundHandleTable();
    for (int32_t slot = 0; slot < table.areaEnd; ++slot) {
        SoundRecord* record = table.slots[slot];
        if (record == nullptr) continue;
        for (int32_t i = 0; i < record->bufferCount; ++i) {
            if (record->buffers[i].valid) StopBufferWrapper(&record->buffers[i]);
        }
    }
    return 0;
}
