// A reference sprite renderer for benchmarks: SDL2's own software renderer (over a 32-bit
// memory surface, so it runs without a display) drawing a frame of images the way a program
// on SDL2 draws it: SDL_RenderClear, SDL_RenderCopy of each image (SDL_RenderCopyEx for a
// turned one), SDL_RenderPresent. It exists only so that the full-frame benchmark can measure
// the library's frame against SDL2's on the same picture.
#pragma once
#include <cstdint>

namespace plat {

struct ReferenceSpriteRenderer;

// A renderer drawing into a width × height 0x00RRGGBB surface; null when SDL refuses.
ReferenceSpriteRenderer* CreateReferenceSpriteRenderer(int width, int height);
void DestroyReferenceSpriteRenderer(ReferenceSpriteRenderer* renderer);

// An image of width × height 0x00RRGGBB pixels (pitch bytes per row) made a texture of the
// renderer; keyed: pixels equal to key are transparent (SDL's colour key). The image's index,
// or -1 when SDL refuses.
int AddReferenceImage(ReferenceSpriteRenderer* renderer, const uint32_t* pixels, int width,
                      int height, int pitch, bool keyed, uint32_t key);

// The frame's steps; each returns 0, or -1 when SDL reports a failure.
int ClearReferenceFrame(ReferenceSpriteRenderer* renderer);
// The image at its own size with its top left corner at (x, y).
int DrawReferenceImage(ReferenceSpriteRenderer* renderer, int image, int x, int y);
// The image at its own size centred on (cx, cy), turned clockwise by angle radians.
int DrawReferenceImageTurned(ReferenceSpriteRenderer* renderer, int image, int cx, int cy,
                             double angle);
int PresentReferenceFrame(ReferenceSpriteRenderer* renderer);

// The surface drawn into (width × height pixels, pitch bytes per row).
const uint32_t* ReferenceFramePixels(const ReferenceSpriteRenderer* renderer, int* pitch);

}  // namespace plat
