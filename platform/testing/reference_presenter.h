// A reference presenter for benchmarks: SDL2's own way of putting a frame of pixels on the
// screen (SDL_UpdateTexture + SDL_RenderCopy + SDL_RenderPresent) on a software renderer that
// draws into an off-screen surface, so it runs without a display. It exists only so that the
// full-frame benchmark can measure the library's present against it.
#pragma once
#include <cstdint>

namespace plat {

struct ReferencePresenter;

// A presenter for 32-bit 0x00RRGGBB frames of width × height; null when SDL refuses.
ReferencePresenter* CreateReferencePresenter(int width, int height);
// Uploads the frame (pitch bytes per row) and renders it. 0, or -1 when SDL reports a failure.
int RunReferencePresent(ReferencePresenter* presenter, const void* pixels, int pitch);
void DestroyReferencePresenter(ReferencePresenter* presenter);

}  // namespace plat
