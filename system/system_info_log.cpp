#include "system/system_info_log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/core/clock.h"
#include "platform/window/message_box.h"
#include "platform/core/system_info.h"
#include "base/log.h"
#include "base/number_routines.h"
#include "system/window_data.h"

namespace {

constexpr int32_t kDirectXVersion7 = 0x70000;

// Appends the version word of the OS to text and sets the OS code; other combinations add
// nothing and leave the code as it was.
void AppendOsWord(const plat::OsVersionInfo& os, char* text, size_t size, int32_t* osCode) {
    const char* word = nullptr;
    const char* extra = "";
    int32_t code = *osCode;
    switch (os.platformId) {
        case 0:
            word = "3.1";
            code = 0;
            break;
        case 1:
            if (os.minor == 0) {
                word = "95";
                if (os.service[0] == 'C') extra = "OSR2";
                code = 1;
            } else if (os.minor == 10) {
                word = "98";
                if (os.service[0] == 'A') extra = "SE";
                code = 2;
            } else if (os.minor == 90) {
                word = "Me";
                code = 3;
            }
            break;
        case 2:
            if (os.major == 3) {
                word = "NT 3.51";
                code = 260;
            } else if (os.major == 4) {
                word = "4.0";
                code = 261;
            } else if (os.major == 5 && os.minor == 0) {
                word = "2000";
                code = 262;
            } else if (os.major == 5 && os.minor == 1) {
                word = "XP";
                code = 263;
            } else if (os.major == 6) {
                word = "Vista";
                code = 264;
            }
            break;
        default:
            break;
    }
    if (word == nullptr) return;
    const size_t used = std::strlen(text);
    std::snprintf(text + used, size - used, "%s%s", word, extra);
    *osCode = code;
}

void LogOs(CpuFacts& cpu) {
    LogWrite("ＯＳ  ");
    const plat::OsVersionInfo os = plat::GetOsVersion();
    // The OS code follows the reported Windows version; the text names the system really
    // running, when it is known.
    char name[64] = "Windows";
    AppendOsWord(os, name, sizeof(name), &cpu.osCode);
    const char* shown = os.system[0] != '\0' ? os.system : name;
    // A very long system name is cut so the whole line always fits the text.
    std::snprintf(cpu.osText, sizeof(cpu.osText), "%.96s ( Build %d %s )", shown,
                  static_cast<int>(os.build), os.service);
    LogFormat("%s", cpu.osText);
}

// Counts the time-stamp counter over at least 100 ms of the millisecond clock.
void MeasureCpuSpeed(CpuFacts& cpu, ClockState& clock) {
    const uint64_t first = plat::TimeStampCounter();
    const uint32_t start = plat::MillisecondClock();
    while (plat::MillisecondClock() - start < 100) {
    }
    const uint64_t ticks = plat::TimeStampCounter() - first;
    cpu.cpuMhz = DoubleToInt(static_cast<double>(ticks) * 0.00001);
    clock.cpuClock = ticks * 10;
    LogFormat("ＣＰＵ動作速度：大体%.2fGHz", cpu.cpuMhz * 0.001);
}

void LogCpu(CpuFacts& cpu, ClockState& clock) {
    const plat::CpuInfo info = plat::GetCpuInfo();
    clock.useTimeStampCounter = info.hasCpuid && info.hasTimeStampCounter ? 1 : 0;
    if (clock.useTimeStampCounter) MeasureCpuSpeed(cpu, clock);

    if (!info.hasCpuid) {
        LogWrite("ＣＰＵＩＤ命令は使えません\n");
        return;
    }
    if (info.hasMmx) {
        LogWrite("ＭＭＸ命令を使用します\n");
        cpu.mmx = 1;
    } else {
        LogWrite("ＭＭＸは使えません\n");
    }
    LogWrite("ＣＰＵベンダ：");
    for (int piece = 0; piece < 3; ++piece) {
        char text[5] = {};
        std::memcpy(text, info.vendor + piece * 4, 4);
        LogWrite(text);
    }
    LogWrite("\n");
    if (info.brand[0] != '\0') {
        LogFormat("ＣＰＵ名：%s", info.brand);
        std::snprintf(cpu.cpuName, sizeof(cpu.cpuName), "%s", info.brand);
    }
}

}  // namespace

int OutputSystemInfo() {
    WindowData& data = GetWindowData();
    CpuFacts& cpu = data.cpu;

    LogWrite("システムの情報を出力します\n");
    LogIndentAdd();
    LogFormat("ＺＮライブラリ Ver%s", kLibraryVersion);
    LogOs(cpu);

    // No probe: the version that the graphics back ends need is recorded as present. (The
    // platform's clock needs no timer period to be begun.)
    cpu.directXVersion = kDirectXVersion7;

    LogCpu(cpu, data.clock);
    LogIndentSub();

    if (cpu.directXVersion < kDirectXVersion7) {
        plat::ShowMessageBox(data.window.handle,
                             cpu.directXVersion == 0
                                 ? "DirectX がインストールされていないのでここで終了します"
                                 : "DirectX バージョン 7 以前なのでソフトを起動することが出来ません",
                             "エラー", plat::MB_OK);
        std::exit(-1);
    }
    return 0;
}
