// The frame around the playing field, drawn opaque: tile 0 is the right panel's column next to
// the field (a lit edge on its left), tile 1 the panel under the score display, tile 2 a
// spare panel with a vent, tile 3 the left margin (a lit edge on its right). Each tile repeats
// seamlessly up and down and across.
#include "tools/resources/images/images.h"
#include "tools/resources/paint/canvas.h"
#include "tools/resources/paint/tile_sheet.h"

namespace res {

namespace {

const Colour kPanelTop = Rgb8(38, 42, 60);
const Colour kPanelBottom = Rgb8(28, 31, 46);
const Colour kEdge = Rgb8(110, 200, 255);

void PaintPanel(Canvas& c) {
    c.Fill(Box(16, 16, 20, 20), Linear(0, 0, kPanelTop, 0, 32, kPanelBottom));
    // Faint horizontal ribs that line up from tile to tile.
    for (float y : {7.5f, 23.5f}) c.Fill(Box(16, y, 20, 0.5f), Solid(Rgb8(46, 52, 72)));
    c.Fill(Box(16, 0.5f, 20, 0.5f), Solid(Rgb8(22, 24, 36)));
}

// A lit edge: the bright line at x, a dark groove beside it on the panel's side.
void PaintEdge(Canvas& c, float x, float grooveSide) {
    c.Fill(Box(x, 16, 1.0f, 20), Linear(0, 0, kEdge, 0, 32, Rgb8(70, 150, 230)));
    c.Fill(Box(x + grooveSide * 2.0f, 16, 1.0f, 20), Solid(Rgb8(14, 16, 26)));
    c.Fill(Box(x + grooveSide * 3.5f, 16, 0.5f, 20), Solid(Rgb8(60, 70, 100)));
}

RgbImage DrawFrameTile(int index) {
    Canvas c(32, 32);
    PaintPanel(c);
    if (index == 0) PaintEdge(c, 1.0f, +1.0f);
    if (index == 2) {
        for (float y : {11.0f, 16.0f, 21.0f}) {
            c.Fill(Box(16, y, 8, 1.2f, 1.2f), Solid(Rgb8(14, 16, 26)));
            c.Fill(Box(16, y + 1.2f, 8, 0.4f), Solid(Rgb8(60, 68, 96)));
        }
    }
    if (index == 3) PaintEdge(c, 31.0f, -1.0f);
    return FlattenOpaque(c);
}

}  // namespace

RgbImage DrawFrameTiles() { return MakeTileSheet({4, 2, 2, 32, 32}, DrawFrameTile); }

}  // namespace res
