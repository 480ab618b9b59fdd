#include "platform/testing/ddraw_test_controls.h"

#include "platform/ddraw/ddraw_internal.h"

namespace plat {

void ResetDDrawTestControls() {
    DDrawGlobals& state = DDrawState();
    state.videoBudget = kDefaultVideoMemoryBudget;
    state.pitchPadding = 0;
    state.displayOverridden = false;
    state.displayOverride = {};
    state.failCreates = state.failLocks = state.failGetDCs = 0;
    state.failDirectDrawCreates = state.failDirectDrawInitializes = 0;
    state.logging = false;
    state.calls.clear();
    state.guardViolations = 0;
}

void SetVideoMemoryBudget(size_t bytes) { DDrawState().videoBudget = bytes; }

size_t GetVideoMemoryInUse() { return DDrawState().videoInUse; }

void SetSurfacePitchPadding(uint32_t bytes) { DDrawState().pitchPadding = bytes; }

void OverrideDisplayFormat(const PixelFormat* format) {
    DDrawGlobals& state = DDrawState();
    state.displayOverridden = format != nullptr;
    state.displayOverride = format != nullptr ? *format : PixelFormat{};
    InstallDisplaySurfaces(kDDrawDisplaySurfaces);
}

int LoseVideoMemorySurfaces() {
    int count = 0;
    for (SurfaceImpl* surface : DDrawState().live) {
        if (surface->isPrimary) {
            // The display's memory is video memory too.
            if (!surface->lost) ++count;
            LosePrimary(surface);
            continue;
        }
        if (!surface->inVideoMemory) continue;
        surface->lost = true;
        ++count;
    }
    return count;
}

void FailNextSurfaceCreates(int count) { DDrawState().failCreates = count; }
void FailNextSurfaceLocks(int count) { DDrawState().failLocks = count; }
void FailNextSurfaceGetDCs(int count) { DDrawState().failGetDCs = count; }

void StartDDrawCallLog() {
    DDrawGlobals& state = DDrawState();
    state.calls.clear();
    state.logging = true;
}

std::vector<DDrawCall> TakeDDrawCallLog() {
    std::vector<DDrawCall> calls;
    calls.swap(DDrawState().calls);
    return calls;
}

void StopDDrawCallLog() {
    DDrawGlobals& state = DDrawState();
    state.logging = false;
    state.calls.clear();
}

uint32_t SurfaceSerial(DrawSurface* surface) {
    return surface != nullptr ? static_cast<SurfaceImpl*>(surface)->serial : 0;
}

size_t LiveSurfaceCount() { return DDrawState().live.size(); }

uint32_t SurfaceGuardViolations() { return DDrawState().guardViolations; }

}  // namespace plat
