#include "graphics/screen/screen_state.h"

#include "graphics/screen/screen.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/screen/screen_host.h"

ScreenState& GetScreenState() {
    static ScreenState state = {};
    return state;
}

void ResetScreenState() {
    ScreenState& s = GetScreenState();
    if (s.directDraw != nullptr) return;
    if (s.primaryImage.magic == MEMIMG_MAGIC) ReleaseMemImg(&s.primaryImage);
    if (s.backImage.magic == MEMIMG_MAGIC) ReleaseMemImg(&s.backImage);
    if (s.zImage.magic == MEMIMG_MAGIC) ReleaseMemImg(&s.zImage);
    s = ScreenState{};
}

void GetScreenDimensions(int32_t* width, int32_t* height) {
    const ScreenState& s = GetScreenState();
    if (width != nullptr) *width = s.screenWidth != 0 ? s.screenWidth : kDefaultScreenWidth;
    if (height != nullptr) *height = s.screenHeight != 0 ? s.screenHeight : kDefaultScreenHeight;
}

int32_t GetScreenDepth() {
    const int32_t depth = GetScreenState().displayDepth;
    return depth != 0 ? depth : 16;
}

plat::DrawSurface* GetFrontSurface() {
    const ScreenState& s = GetScreenState();
    return s.useTempPrimary ? s.tempPrimary : s.primary;
}

plat::DrawSurface* GetBackSurface() { return GetScreenState().back; }
plat::DirectDraw* GetScreenDirectDraw() { return GetScreenState().directDraw; }
int IsSoftwareScreen() { return GetScreenState().softwareScreen; }
const PaletteColorFormat* GetScreenColorFormat() { return &GetScreenState().screenFormat; }
const SurfacePixelFormat* GetScreenPixelFormat() { return &GetScreenState().screenPixelFormat; }
uint64_t GetPresentCount() { return GetScreenState().presentCount; }

void GetDDCaps(plat::DDCaps* out) { *out = GetScreenState().caps; }

namespace {

constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

}  // namespace

const plat::PixelFormat kOverlayFormats[kOverlayFormatCount] = {
    {sizeof(plat::PixelFormat), plat::DDPF_FOURCC, FourCC('U', 'Y', 'V', 'Y'), 0, 0, 0, 0, 0},
    {sizeof(plat::PixelFormat), plat::DDPF_FOURCC, FourCC('Y', 'U', 'Y', '2'), 0, 0, 0, 0, 0},
};
const char* const kOverlayFormatNames[kOverlayFormatCount + 1] = {"UYVY", "YUY2", nullptr};

const VideoCardFacts* GetVideoCardFacts() { return &GetScreenState().videoCard; }

const plat::PixelFormat* GetOverlayFormat() {
    const ScreenState& s = GetScreenState();
    if (s.overlayFormat < 0 || s.overlayFormat >= kOverlayFormatCount) return nullptr;
    int32_t width = 0, height = 0;
    GetScreenDimensions(&width, &height);
    if (width < 640 || height < 400) return nullptr;
    return &kOverlayFormats[s.overlayFormat];
}

int SetVSyncWait(int32_t value) {
    GetScreenState().vsyncWait = value;
    return 0;
}

int GetVSyncWait() { return GetScreenState().vsyncWait; }

int SetSoftwareRenderRequest(int32_t value) {
    ScreenState& s = GetScreenState();
    s.softwareRequest = s.noDirectDraw ? 1 : value;
    return 0;
}

int GetSoftwareRenderRequest() { return GetScreenState().softwareRequest; }

int GetFlipToGdiMode() { return GetScreenState().flipToGdi; }

int SetUseTempPrimary(int32_t value) {
    ScreenState& s = GetScreenState();
    if (s.directDraw != nullptr) return -1;
    s.useTempPrimary = value;
    return 0;
}

// --- Colours ------------------------------------------------------------------------------------

namespace {

// A channel value 0..255 placed in a format's channel.
uint32_t PlaceChannel(int32_t c, uint8_t width, uint8_t shift) {
    if (width == 0) return 0;
    const uint32_t v = static_cast<uint32_t>(c & 255);
    return width >= 8 ? v << (shift + width - 8) : (v >> (8 - width)) << shift;
}

int32_t ReadChannel(uint32_t value, uint32_t mask, uint8_t width, uint8_t shift) {
    if (width == 0) return 0;
    const uint64_t max = (uint64_t{1} << width) - 1;
    return static_cast<int32_t>(((value & mask) >> shift) * 255 / max);
}

// The format a screen colour is made in: the standard format of the display depth on a
// software screen, the display's own format otherwise.
const ColorFormat* ScreenColorMakingFormat() {
    const ScreenState& s = GetScreenState();
    if (s.softwareScreen) {
        return &GetStandardColorFormat(GetScreenDepth() == 16 ? 0 : 1, 0, 0)->format;
    }
    return &s.screenFormat.format;
}

}  // namespace

uint32_t MakeScreenColor(int32_t r, int32_t g, int32_t b) {
    const ScreenState& s = GetScreenState();
    if (GetScreenDepth() == 8) {
        // The nearest palette entry; the first of equals wins.
        uint32_t best = 0;
        int64_t bestDistance = INT64_MAX;
        for (uint32_t i = 0; i < 256; ++i) {
            const plat::PaletteEntry& e = s.paletteEntries[i];
            const int64_t dr = e.red - (r & 255), dg = e.green - (g & 255), db = e.blue - (b & 255);
            const int64_t distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
        return best;
    }
    const ColorFormat* f = ScreenColorMakingFormat();
    return PlaceChannel(r, f->widthR, f->shiftR) | PlaceChannel(g, f->widthG, f->shiftG) |
           PlaceChannel(b, f->widthB, f->shiftB) | f->noUseMask;
}

int GetScreenColorRGB(uint32_t value, int32_t* r, int32_t* g, int32_t* b) {
    int32_t cr = 0, cg = 0, cb = 0;
    if (GetScreenDepth() == 8) {
        if (value > 255) return -1;
        const plat::PaletteEntry& e = GetScreenState().paletteEntries[value];
        cr = e.red;
        cg = e.green;
        cb = e.blue;
    } else {
        const ColorFormat* f = ScreenColorMakingFormat();
        cr = ReadChannel(value, f->maskR, f->widthR, f->shiftR);
        cg = ReadChannel(value, f->maskG, f->widthG, f->shiftG);
        cb = ReadChannel(value, f->maskB, f->widthB, f->shiftB);
    }
    if (r != nullptr) *r = cr;
    if (g != nullptr) *g = cg;
    if (b != nullptr) *b = cb;
    return 0;
}
