// The texture pixel formats of the device: the nine entries filled from the device's
// enumeration, the choice of an entry for a texture, and the 16-bit Z-buffer format.
#include <cstring>

#include "graphics/d3d/device.h"
#include "graphics/screen/screen_state.h"

namespace {

constexpr uint32_t kPixelFormatAlphaOnly = 0x2;          // alpha-only surfaces
constexpr uint32_t kPixelFormatLuminanceOrBump = 0xE0000;

bool EntryEmpty(const TextureFormatEntry& entry) { return entry.pixelFormat.size == 0; }

void StoreEntry(TextureFormatEntry& entry, const plat::PixelFormat& format) {
    entry.pixelFormat = format;
    entry.pixelFormat.size = sizeof(plat::PixelFormat);
    BuildColorFormat(&entry.colorFormat, static_cast<int>(format.bitCount), format.redMask,
                     format.greenMask, format.blueMask, format.alphaMask);
}

// Formats without alpha: the first one offered is kept unless a later one is the screen's own.
void StoreOpaqueEntry(TextureFormatEntry& entry, const plat::PixelFormat& format) {
    if (EntryEmpty(entry)) {
        StoreEntry(entry, format);
        return;
    }
    PaletteColorFormat offered;
    BuildColorFormat(&offered, static_cast<int>(format.bitCount), format.redMask,
                     format.greenMask, format.blueMask, format.alphaMask);
    const PaletteColorFormat* screen = GetScreenColorFormat();
    if (screen != nullptr && ColorFormatEquals(&offered.format, &screen->format)) {
        StoreEntry(entry, format);
    }
}

void CopyEntryWhenEmpty(TextureFormatEntry* formats, int32_t to, int32_t from) {
    if (EntryEmpty(formats[to])) formats[to] = formats[from];
}

}  // namespace

int32_t StoreOfferedTextureFormat(plat::PixelFormat* format, void* /*context*/) {
    if (format == nullptr) return 1;
    const uint32_t flags = format->flags;
    if (flags == kPixelFormatAlphaOnly || (flags & kPixelFormatLuminanceOrBump) != 0 ||
        (flags & plat::DDPF_FOURCC) != 0) {
        return 1;
    }
    TextureFormatEntry* formats = GetDevice3DState().formats;
    const bool hasAlpha = (flags & plat::DDPF_ALPHAPIXELS) != 0 && format->alphaMask != 0;
    if (format->bitCount == 16) {
        if (!hasAlpha) {
            StoreOpaqueEntry(formats[kTexFormat16], *format);
        } else if (format->alphaMask == 0xF000) {
            StoreEntry(formats[kTexFormat16Alpha], *format);
        } else if (format->alphaMask == 0x8000) {
            StoreEntry(formats[kTexFormat16AlphaKey], *format);
        }
    } else if (format->bitCount == 32) {
        if (!hasAlpha) {
            StoreOpaqueEntry(formats[kTexFormat32], *format);
        } else if (format->alphaMask == 0xFF000000u) {
            StoreEntry(formats[kTexFormat32Alpha], *format);
            StoreEntry(formats[kTexFormat32AlphaKey], *format);
        }
    }
    return 1;
}

int FillEmptyTextureFormats() {
    TextureFormatEntry* formats = GetDevice3DState().formats;
    if (EntryEmpty(formats[kTexFormat16])) return -1;
    CopyEntryWhenEmpty(formats, kTexFormat32, kTexFormat16);
    CopyEntryWhenEmpty(formats, kTexFormat32Alpha, kTexFormat16Alpha);
    CopyEntryWhenEmpty(formats, kTexFormat16AlphaKey, kTexFormat16Alpha);
    CopyEntryWhenEmpty(formats, kTexFormat32AlphaKey, kTexFormat32Alpha);
    CopyEntryWhenEmpty(formats, kTexFormat16Target, kTexFormat16);
    CopyEntryWhenEmpty(formats, kTexFormat32Target, kTexFormat32);
    CopyEntryWhenEmpty(formats, kTexFormatAlphaTarget, kTexFormat32Alpha);
    return 0;
}

int ChooseTextureFormat(int32_t colorDepth, int32_t alpha, int32_t alphaKey,
                        int32_t renderTarget) {
    const bool wide = colorDepth >= 24;
    if (renderTarget) {
        if (alpha || alphaKey) return kTexFormatAlphaTarget;
        return wide ? kTexFormat32Target : kTexFormat16Target;
    }
    if (alpha) return wide ? kTexFormat32Alpha : kTexFormat16Alpha;
    if (alphaKey) return wide ? kTexFormat32AlphaKey : kTexFormat16AlphaKey;
    return wide ? kTexFormat32 : kTexFormat16;
}

const PaletteColorFormat* GetTextureFormat(int32_t index, plat::PixelFormat* pixelFormat) {
    if (index < 0 || index >= kTextureFormatCount) return nullptr;
    const TextureFormatEntry& entry = GetDevice3DState().formats[index];
    if (EntryEmpty(entry)) return nullptr;
    if (pixelFormat != nullptr) *pixelFormat = entry.pixelFormat;
    return &entry.colorFormat;
}

const plat::PixelFormat* GetZBufferFormat() { return &GetDevice3DState().zBufferFormat; }
