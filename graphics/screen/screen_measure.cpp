// What a mode change measures on a hardware screen: which surface copy is faster, the refresh
// rate and the frame time; and the raster polls those and the present's waits use.
#include <cstdarg>
#include <cstdio>

#include "base/log.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_host.h"
#include "graphics/screen/screen_internal.h"
#include "platform/core/clock.h"
#include "platform/ddraw/ddraw.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr int kCopyRounds = 8;
constexpr int kFramePasses = 5;
constexpr int kMaxFrameSamples = 20;

uint64_t Microseconds() {
    const uint64_t frequency = plat::PerformanceFrequency();
    if (frequency == 0) return uint64_t{plat::MillisecondClock()} * 1000;
    const uint64_t counter = plat::PerformanceCounter();
    return counter / frequency * 1000000 + counter % frequency * 1000000 / frequency;
}

// Polls until the raster enters the blank or its line goes back (a new frame), for at most
// kRasterPollLimitMs.
void PollFrameEnd(plat::DirectDraw* dd) {
    const uint32_t start = plat::MillisecondClock();
    uint32_t previous = 0;
    dd->GetScanLine(&previous);
    for (uint32_t look = 0;
         look < kRasterPollLookLimit && plat::MillisecondClock() - start < kRasterPollLimitMs;
         ++look) {
        if (InVerticalBlank(dd)) return;
        uint32_t line = 0;
        dd->GetScanLine(&line);
        if (line < previous) return;
        previous = line;
    }
}

}  // namespace

int LogWriteFormat(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return LogWrite(text);
}

int InVerticalBlank(plat::DirectDraw* dd) {
    int32_t status = 0;
    if (dd == nullptr || !plat::DDSucceeded(dd->GetVerticalBlankStatus(&status))) return 0;
    return status != 0 ? 1 : 0;
}

int PollVerticalBlank(plat::DirectDraw* dd, int wantBlank, bool pump) {
    const uint32_t start = plat::MillisecondClock();
    int pumped = 0;
    for (uint32_t look = 0; look < kRasterPollLookLimit; ++look) {
        if (InVerticalBlank(dd) == wantBlank) return pumped;
        if (pump) {
            pumped = ScreenHostSlot()->processMessage();
            if (pumped != 0) return pumped;
        }
        if (plat::MillisecondClock() - start >= kRasterPollLimitMs) return pumped;
    }
    return pumped;
}

void MeasureSurfaceCopy(ScreenState& s) {
    plat::DrawSurface* front = GetFrontSurface();
    if (front == nullptr || s.work == nullptr) return;
    int32_t width = 0, height = 0;
    GetScreenDimensions(&width, &height);
    const plat::Rect whole{0, 0, width, height};

    uint64_t start = Microseconds();
    for (int i = 0; i < kCopyRounds; ++i) {
        s.work->BltFast(0, 0, front, &whole, plat::DDBLTFAST_NOCOLORKEY | plat::DDBLTFAST_WAIT);
    }
    const double bltFastUs = static_cast<double>(Microseconds() - start);

    double bitBltUs = 0.0;
    plat::DeviceContext* workDc = nullptr;
    plat::DeviceContext* frontDc = nullptr;
    if (plat::DDSucceeded(s.work->GetDC(&workDc))) {
        if (plat::DDSucceeded(front->GetDC(&frontDc))) {
            start = Microseconds();
            for (int i = 0; i < kCopyRounds; ++i) {
                plat::BitBlt(workDc, 0, 0, width, height, frontDc, 0, 0, plat::SRCCOPY);
            }
            plat::GdiFlush();
            bitBltUs = static_cast<double>(Microseconds() - start);
            front->ReleaseDC(frontDc);
        }
        s.work->ReleaseDC(workDc);
    }
    s.preferGdiCopy = bltFastUs < bitBltUs ? 0 : 1;
    LogFormat("サーフェス間転送には %s を使用します", s.preferGdiCopy ? "BitBlt" : "BltFast");
    LogFormat("BitBlt:%.0lfμs   BltFast:%.0lfμs", bitBltUs, bltFastUs);
}

void MeasureRefreshRate(ScreenState& s) {
    s.refreshMeasured = -1;
    if (ScreenHostSlot()->osCode() <= 0x103) return;
    const plat::WindowHandle window = ScreenWindow();
    plat::DeviceContext* dc = plat::GetDC(window);
    if (dc == nullptr) return;
    const int32_t rate = plat::GetDeviceCaps(dc, plat::VREFRESH);
    plat::ReleaseDC(window, dc);
    if (rate >= 60) s.refreshMeasured = rate;
}

void MeasureFrameTime(ScreenState& s) {
    plat::DirectDraw* dd = s.directDraw;
    s.framePeriod = -1;
    s.frameTime = -1;
    if (dd == nullptr) return;
    s.scanLines = plat::GetSystemMetrics(plat::SM_CYSCREEN);
    LogWriteFormat("スキャンラインの数:%d\n", s.scanLines);
    const int samples = s.refreshMeasured > 0 ? 4 : kMaxFrameSamples;

    // Three times to the end of a vertical blank.
    for (int i = 0; i < 3; ++i) {
        PollVerticalBlank(dd, 1, false);
        PollVerticalBlank(dd, 0, false);
    }

    int32_t ms[kMaxFrameSamples] = {};
    uint64_t us[kMaxFrameSamples] = {};
    for (int pass = 0; pass < kFramePasses && s.framePeriod < 0; ++pass) {
        for (int i = 0; i < samples; ++i) {
            PollVerticalBlank(dd, 0, false);
            const uint32_t startMs = plat::MillisecondClock();
            const uint64_t startUs = Microseconds();
            PollFrameEnd(dd);
            ms[i] = static_cast<int32_t>(plat::MillisecondClock() - startMs);
            us[i] = Microseconds() - startUs;
        }
        for (int i = 0; i < samples && s.framePeriod < 0; ++i) {
            for (int j = i + 1; j < samples; ++j) {
                if (ms[i] == ms[j]) {
                    s.framePeriod = ms[i];
                    break;
                }
            }
        }
    }
    if (s.framePeriod < 0) {
        LogWrite("１フレームの時間を正常に取得できませんでした\n");
        return;
    }
    if (s.refreshMeasured <= 0) {
        uint64_t total = 0;
        for (int i = 0; i < samples; ++i) total += us[i];
        const uint64_t mean = total / static_cast<uint64_t>(samples);
        if (mean > 0) {
            const uint64_t tenths = 10000000 / mean;
            s.refreshMeasured = static_cast<int32_t>(tenths / 10 + (tenths % 10 > 5 ? 1 : 0));
        }
    }
    LogFormat("１フレーム当たりの時間は %d msecです", s.framePeriod);
    for (int i = 0; i < samples; ++i) LogFormat("\tTri%02d:%d msec", i, ms[i]);
    s.frameTime = (s.framePeriod * 2 - 4) / 3;
}
