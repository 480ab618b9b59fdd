// The surface layer's global state and the small helpers its files share.
#include <cstdlib>
#include <cstring>

#include "platform/core/environment.h"
#include "platform/ddraw/ddraw_internal.h"

namespace plat {

bool Direct3DOfferedFromEnvironment() {
    CheckProcessEnvironment();
    const char* v = std::getenv("ZN_DIRECT3D");
    return v == nullptr || std::strcmp(v, "off") != 0;
}

DDrawGlobals& DDrawState() {
    static DDrawGlobals state;
    return state;
}

bool ConsumePending(int* pending) {
    if (*pending <= 0) return false;
    --*pending;
    return true;
}

DDResult RecordCall(const char* op, uint32_t surface, uint32_t caps, uint32_t flags,
                    const Rect* rect, DDResult result) {
    DDrawGlobals& state = DDrawState();
    if (state.logging) {
        DDrawCall call = {};
        call.op = op;
        call.surface = surface;
        call.caps = caps;
        call.flags = flags;
        call.hasRect = rect != nullptr;
        if (rect != nullptr) call.rect = *rect;
        call.result = result;
        state.calls.push_back(call);
    }
    return result;
}

Rect WholeRect(const SurfaceImpl* surface) {
    return Rect{0, 0, static_cast<int32_t>(surface->width),
                static_cast<int32_t>(surface->height)};
}

bool RectInside(const Rect& r, const SurfaceImpl* surface) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
           static_cast<int64_t>(r.right) <= static_cast<int64_t>(surface->width) &&
           static_cast<int64_t>(r.bottom) <= static_cast<int64_t>(surface->height);
}

uint32_t ReadPixel(const uint8_t* p, uint32_t bytes) {
    switch (bytes) {
        case 1: return p[0];
        case 2: return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
        case 3:
            return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                   static_cast<uint32_t>(p[2]) << 16;
        default: {
            uint32_t value;
            std::memcpy(&value, p, 4);
            return value;
        }
    }
}

void WritePixel(uint8_t* p, uint32_t bytes, uint32_t value) {
    switch (bytes) {
        case 1: p[0] = static_cast<uint8_t>(value); break;
        case 2:
            p[0] = static_cast<uint8_t>(value);
            p[1] = static_cast<uint8_t>(value >> 8);
            break;
        case 3:
            p[0] = static_cast<uint8_t>(value);
            p[1] = static_cast<uint8_t>(value >> 8);
            p[2] = static_cast<uint8_t>(value >> 16);
            break;
        default: std::memcpy(p, &value, 4); break;
    }
}

bool SameLayout(const PixelFormat& a, const PixelFormat& b) {
    return a.bitCount == b.bitCount && a.redMask == b.redMask && a.greenMask == b.greenMask &&
           a.blueMask == b.blueMask && a.alphaMask == b.alphaMask &&
           (a.flags & DDPF_ZBUFFER) == (b.flags & DDPF_ZBUFFER);
}

}  // namespace plat
