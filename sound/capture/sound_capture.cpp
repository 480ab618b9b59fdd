#include "sound/capture/sound_capture.h"

#include <cstring>

#include "base/log.h"
#include "sound/sound_system.h"

namespace {

SoundCaptureState capture{0, 0, nullptr};

void Put16(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void Put32(unsigned char* p, uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

uint32_t SaturatedSize(uint64_t bytes) {
    return bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes);
}

}  // namespace

SoundCaptureState& GetSoundCaptureState() { return capture; }

void BuildSoundCaptureHeader(uint32_t frames, unsigned char out[kSoundCaptureHeaderBytes]) {
    const uint64_t dataBytes = static_cast<uint64_t>(frames) * 4;
    std::memcpy(out, "RIFF", 4);
    Put32(out + 4, SaturatedSize(dataBytes + 38));
    std::memcpy(out + 8, "WAVE", 4);
    std::memcpy(out + 12, "fmt ", 4);
    Put32(out + 16, 18);
    Put16(out + 20, 1);       // PCM
    Put16(out + 22, 2);       // channels
    Put32(out + 24, 44100);   // samples per second
    Put32(out + 28, 176400);  // bytes per second
    Put16(out + 32, 4);       // block align
    Put16(out + 34, 16);      // bits per sample
    Put16(out + 36, 0);       // extra bytes
    std::memcpy(out + 38, "data", 4);
    Put32(out + 42, SaturatedSize(dataBytes));
}

int FinishSoundCaptureFile() {
    if (GetSoundOutput().device == nullptr || !capture.on) return -1;
    unsigned char header[kSoundCaptureHeaderBytes];
    BuildSoundCaptureHeader(capture.frames, header);
    int result = 0;
    if (capture.file == nullptr || plat::SeekFile(capture.file, 0, plat::SeekOrigin::Begin) != 0 ||
        plat::WriteFile(capture.file, header, sizeof(header)) !=
            static_cast<int64_t>(sizeof(header))) {
        result = LogFormat("サウンドキャプチャファイルのヘッダの書き込みに失敗しました");
    }
    if (capture.file != nullptr) plat::CloseFile(capture.file);
    capture.file = nullptr;
    capture.on = 0;
    return result;
}
