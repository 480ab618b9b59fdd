#include "platform/testing/reference_presenter.h"

#include <SDL.h>

namespace plat {

struct ReferencePresenter {
    SDL_Surface* target;
    SDL_Renderer* renderer;
    SDL_Texture* texture;
};

ReferencePresenter* CreateReferencePresenter(int width, int height) {
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32,
                                                         SDL_PIXELFORMAT_RGB888);
    if (target == nullptr) return nullptr;
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(target);
    if (renderer == nullptr) {
        SDL_FreeSurface(target);
        return nullptr;
    }
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888,
                                             SDL_TEXTUREACCESS_STREAMING, width, height);
    if (texture == nullptr) {
        SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(target);
        return nullptr;
    }
    return new ReferencePresenter{target, renderer, texture};
}

int RunReferencePresent(ReferencePresenter* presenter, const void* pixels, int pitch) {
    if (SDL_UpdateTexture(presenter->texture, nullptr, pixels, pitch) != 0) return -1;
    if (SDL_RenderCopy(presenter->renderer, presenter->texture, nullptr, nullptr) != 0) return -1;
    SDL_RenderPresent(presenter->renderer);
    return 0;
}

void DestroyReferencePresenter(ReferencePresenter* presenter) {
    if (presenter == nullptr) return;
    SDL_DestroyTexture(presenter->texture);
    SDL_DestroyRenderer(presenter->renderer);
    SDL_FreeSurface(presenter->target);
    delete presenter;
}

}  // namespace plat
