#include "platform/testing/reference_sprite_renderer.h"

#include <SDL.h>

#include <vector>

namespace plat {

struct ReferenceSpriteRenderer {
    SDL_Surface* target = nullptr;
    SDL_Renderer* renderer = nullptr;
    struct Image {
        SDL_Texture* texture;
        int width, height;
    };
    std::vector<Image> images;
};

ReferenceSpriteRenderer* CreateReferenceSpriteRenderer(int width, int height) {
    SDL_Surface* target =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    if (target == nullptr) return nullptr;
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(target);
    if (renderer == nullptr) {
        SDL_FreeSurface(target);
        return nullptr;
    }
    auto* made = new ReferenceSpriteRenderer;
    made->target = target;
    made->renderer = renderer;
    return made;
}

void DestroyReferenceSpriteRenderer(ReferenceSpriteRenderer* renderer) {
    if (renderer == nullptr) return;
    for (const auto& image : renderer->images) SDL_DestroyTexture(image.texture);
    SDL_DestroyRenderer(renderer->renderer);
    SDL_FreeSurface(renderer->target);
    delete renderer;
}

int AddReferenceImage(ReferenceSpriteRenderer* renderer, const uint32_t* pixels, int width,
                      int height, int pitch, bool keyed, uint32_t key) {
    // SDL reads the pixels only while the texture is made.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels), width, height, 32, pitch, SDL_PIXELFORMAT_RGB888);
    if (surface == nullptr) return -1;
    if (keyed && SDL_SetColorKey(surface, SDL_TRUE, key) != 0) {
        SDL_FreeSurface(surface);
        return -1;
    }
    SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer->renderer, surface);
    SDL_FreeSurface(surface);
    if (texture == nullptr) return -1;
    renderer->images.push_back({texture, width, height});
    return static_cast<int>(renderer->images.size()) - 1;
}

int ClearReferenceFrame(ReferenceSpriteRenderer* renderer) {
    if (SDL_SetRenderDrawColor(renderer->renderer, 0, 0, 0, 255) != 0) return -1;
    return SDL_RenderClear(renderer->renderer) == 0 ? 0 : -1;
}

int DrawReferenceImage(ReferenceSpriteRenderer* renderer, int image, int x, int y) {
    const auto& im = renderer->images[static_cast<size_t>(image)];
    const SDL_Rect to = {x, y, im.width, im.height};
    return SDL_RenderCopy(renderer->renderer, im.texture, nullptr, &to) == 0 ? 0 : -1;
}

int DrawReferenceImageTurned(ReferenceSpriteRenderer* renderer, int image, int cx, int cy,
                             double angle) {
    const auto& im = renderer->images[static_cast<size_t>(image)];
    const SDL_Rect to = {cx - im.width / 2, cy - im.height / 2, im.width, im.height};
    const double degrees = angle * (180.0 / 3.14159265358979323846);
    return SDL_RenderCopyEx(renderer->renderer, im.texture, nullptr, &to, degrees, nullptr,
                            SDL_FLIP_NONE) == 0
               ? 0
               : -1;
}

int PresentReferenceFrame(ReferenceSpriteRenderer* renderer) {
    SDL_RenderPresent(renderer->renderer);
    return 0;
}

const uint32_t* ReferenceFramePixels(const ReferenceSpriteRenderer* renderer, int* pitch) {
    *pitch = renderer->target->pitch;
    return static_cast<const uint32_t*>(renderer->target->pixels);
}

}  // namespace plat
