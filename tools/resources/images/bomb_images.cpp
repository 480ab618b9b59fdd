// Bomb pieces: streaks of blue-white light flung out from the ship, long and bright in the
// first tile, short and violet in the last.
#include "tools/resources/images/images.h"
#include "tools/resources/paint/canvas.h"
#include "tools/resources/paint/tile_sheet.h"

namespace res {

namespace {

constexpr int kTiles = 8;

RgbImage DrawBombPiece(int index) {
    const float t = static_cast<float>(index) / (kTiles - 1);
    Canvas c(16, 32);
    const float half = 12.5f - 7.0f * t;
    const float width = 4.0f - 2.2f * t;
    const Point top = {8, 16 - half}, bottom = {8, 16 + half};
    const Colour outer = Mix(Rgb8(90, 140, 255), Rgb8(140, 50, 200), t);
    const Colour core = Mix(Rgb8(255, 255, 255), Rgb8(200, 170, 255), t);
    c.Glow(Capsule(top, bottom, width * 0.5f), outer, 0.6f - 0.3f * t, 3.0f);
    c.Fill(Capsule(top, bottom, width), Linear(8, top.y, Scale(outer, 0.6f), 8, bottom.y, outer));
    c.Fill(Capsule({8, 16 - half * 0.6f}, {8, 16 + half * 0.8f}, width * 0.45f), Solid(core));
    return Flatten(c);
}

}  // namespace

RgbImage DrawBombPieces() { return MakeTileSheet({kTiles, 8, 1, 16, 32}, DrawBombPiece); }

}  // namespace res
