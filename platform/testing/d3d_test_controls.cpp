#include "platform/testing/d3d_test_controls.h"

#include "platform/d3d/d3d_internal.h"
#include "platform/d3d/d3d_spans_wide.h"

namespace plat {

void ResetD3DTestControls() {
    D3DGlobals& state = D3DState();
    state.failDeviceCreates = 0;
    state.logging = false;
    state.calls.clear();
    state.minTextureSide = kDefaultMinTextureSide;
    state.maxTextureSide = kDefaultMaxTextureSide;
    state.squareOnlyTextures = false;
    state.only16BitTextures = false;
    state.fastSpans = true;
    state.wideSpans = true;
    DDrawState().direct3DOffered = false;
    DDrawState().failTextureCreates = 0;
}

void OfferDirect3D(bool on) { DDrawState().direct3DOffered = on; }

void SetD3DTextureSideLimits(uint32_t minSide, uint32_t maxSide) {
    D3DState().minTextureSide = minSide;
    D3DState().maxTextureSide = maxSide;
}

void SetD3DSquareOnlyTextures(bool on) { D3DState().squareOnlyTextures = on; }
void OfferOnly16BitD3DTextureFormats(bool on) { D3DState().only16BitTextures = on; }

void FailNextDeviceCreates(int count) { D3DState().failDeviceCreates = count; }
void FailNextTextureCreates(int count) { DDrawState().failTextureCreates = count; }

void StartD3DCallLog() {
    D3DGlobals& state = D3DState();
    state.calls.clear();
    state.logging = true;
}

std::vector<D3DCall> TakeD3DCallLog() {
    std::vector<D3DCall> calls;
    calls.swap(D3DState().calls);
    return calls;
}

void StopD3DCallLog() {
    D3DGlobals& state = D3DState();
    state.logging = false;
    state.calls.clear();
}

void UseD3DFastSpans(bool on) { D3DState().fastSpans = on; }
uint64_t D3DFastTriangleCount() { return D3DState().fastTriangles; }
uint64_t D3DJoinedPairCount() { return D3DState().joinedPairs; }
uint64_t D3DRectanglePairCount() { return D3DState().rectanglePairs; }
uint64_t D3DUnscaledRectangleCount() { return D3DState().unscaledRectangles; }
void UseD3DWideSpans(bool on) { D3DState().wideSpans = on; }
bool D3DWideSpansAvailable() { return raster::ProcessorHasWideRuns(); }
uint64_t D3DWideRunCount() { return D3DState().wideRuns; }

uint32_t LiveD3DDeviceCount() { return D3DState().liveDevices; }

}  // namespace plat
