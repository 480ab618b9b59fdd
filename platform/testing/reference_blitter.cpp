#include "platform/testing/reference_blitter.h"

#include <SDL.h>

namespace plat {

struct ReferenceBlit {
    SDL_Surface* source;
    SDL_Surface* dest;
    SDL_Palette* palette;
};

namespace {

Uint32 SdlFormat(ReferencePixelLayout layout) {
    switch (layout) {
        case ReferencePixelLayout::Xrgb8888: return SDL_PIXELFORMAT_RGB888;
        case ReferencePixelLayout::Argb8888: return SDL_PIXELFORMAT_ARGB8888;
        case ReferencePixelLayout::Rgb565: return SDL_PIXELFORMAT_RGB565;
        case ReferencePixelLayout::Index8: return SDL_PIXELFORMAT_INDEX8;
    }
    return SDL_PIXELFORMAT_UNKNOWN;
}

int SdlDepth(ReferencePixelLayout layout) {
    switch (layout) {
        case ReferencePixelLayout::Rgb565: return 16;
        case ReferencePixelLayout::Index8: return 8;
        default: return 32;
    }
}

SDL_Surface* Wrap(const ReferenceImage& image) {
    return SDL_CreateRGBSurfaceWithFormatFrom(image.pixels, image.width, image.height,
                                              SdlDepth(image.layout), image.pitch,
                                              SdlFormat(image.layout));
}

}  // namespace

ReferenceBlit* CreateReferenceBlit(const ReferenceImage& source, const ReferenceImage& dest,
                                   ReferenceBlend blend, uint32_t colorKey, uint8_t alphaMod) {
    auto* blit = new ReferenceBlit{Wrap(source), Wrap(dest), nullptr};
    bool ok = blit->source != nullptr && blit->dest != nullptr;
    if (ok && source.layout == ReferencePixelLayout::Index8) {
        blit->palette = SDL_AllocPalette(256);
        SDL_Color colors[256];
        for (int i = 0; i < 256; ++i) {
            const uint32_t c = source.palette != nullptr ? source.palette[i] : 0;
            colors[i] = SDL_Color{static_cast<Uint8>(c >> 16), static_cast<Uint8>(c >> 8),
                                  static_cast<Uint8>(c), 255};
        }
        ok = blit->palette != nullptr &&
             SDL_SetPaletteColors(blit->palette, colors, 0, 256) == 0 &&
             SDL_SetSurfacePalette(blit->source, blit->palette) == 0;
    }
    if (ok) {
        SDL_BlendMode mode = SDL_BLENDMODE_NONE;
        switch (blend) {
            case ReferenceBlend::Copy: break;
            case ReferenceBlend::ColorKey:
                ok = SDL_SetColorKey(blit->source, SDL_TRUE, colorKey) == 0;
                break;
            case ReferenceBlend::AlphaMod:
                mode = SDL_BLENDMODE_BLEND;
                ok = SDL_SetSurfaceAlphaMod(blit->source, alphaMod) == 0;
                break;
            case ReferenceBlend::PixelAlpha: mode = SDL_BLENDMODE_BLEND; break;
            case ReferenceBlend::Add: mode = SDL_BLENDMODE_ADD; break;
            case ReferenceBlend::Modulate: mode = SDL_BLENDMODE_MOD; break;
        }
        ok = ok && SDL_SetSurfaceBlendMode(blit->source, mode) == 0;
    }
    if (!ok) {
        DestroyReferenceBlit(blit);
        return nullptr;
    }
    return blit;
}

int RunReferenceBlit(ReferenceBlit* blit, int x, int y) {
    SDL_Rect to{x, y, blit->source->w, blit->source->h};
    return SDL_BlitSurface(blit->source, nullptr, blit->dest, &to) == 0 ? 0 : -1;
}

int RunReferenceBlitScaled(ReferenceBlit* blit, int x, int y, int width, int height) {
    SDL_Rect to{x, y, width, height};
    return SDL_BlitScaled(blit->source, nullptr, blit->dest, &to) == 0 ? 0 : -1;
}

void DestroyReferenceBlit(ReferenceBlit* blit) {
    if (blit == nullptr) return;
    if (blit->source != nullptr) SDL_FreeSurface(blit->source);
    if (blit->dest != nullptr) SDL_FreeSurface(blit->dest);
    if (blit->palette != nullptr) SDL_FreePalette(blit->palette);
    delete blit;
}

int ReferenceFill(const ReferenceImage& dest, uint32_t value) {
    SDL_Surface* surface = Wrap(dest);
    if (surface == nullptr) return -1;
    const int result = SDL_FillRect(surface, nullptr, value);
    SDL_FreeSurface(surface);
    return result == 0 ? 0 : -1;
}

}  // namespace plat
