// The log of the sound device at start: every sound device the system knows, then the
// capabilities of the one in use.
#include "sound/sound_device_log.h"

#include <cstdarg>
#include <cstdio>

#include "base/log.h"

namespace {

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

const char* OkNo(uint32_t flags, uint32_t bit) { return (flags & bit) != 0 ? "OK" : "NO"; }

}  // namespace

void LogSoundDevices(plat::IDirectSound* device) {
    plat::DSCAPS caps{};
    caps.dwSize = sizeof(caps);
    device->GetCaps(&caps);
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

int32_t EnumSoundDeviceLogProc(const plat::GUID* /*guid*/, const char* description,
                               const char* module, void* /*context*/) {
    LogFormat("モジュール名:%15s  ドライバ記述:%s ", module, description);
    return 1;
}
