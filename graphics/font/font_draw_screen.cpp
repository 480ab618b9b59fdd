// The font drawing screen: a screen-sized software image on which blended and antialiased
// text of a font with a software cache is composed before it is drawn onto the draw target.
// Made with the font and again whenever it was deleted from outside (the surface's deleted
// flag is the font's lost flag).
#include "graphics/drivers/screen_driver.h"
#include "graphics/font/font.h"
#include "graphics/surfaces/surface_2d.h"

int MakeFontDrawScreen(FontRecord* r, HandleValue font) {
    r->drawScreenLost = 0;
    int32_t width = 0, height = 0;
    GetScreenSize(&width, &height);
    GraphFlagBytes flags{};
    flags.softImage = 1;
    flags.alpha = (r->type & kFontTypeAntialias) != 0 ? 1 : 0;
    flags.colorDepth = static_cast<uint8_t>(GetDisplayDepth() == 32 ? 32 : 16);
    const HandleValue screen = AddSurface2D(width, height, 0, 0, kNoHandle, nullptr, 0, 0, flags);
    if (screen < 0) {
        r->drawScreen = kNoHandle;
        r->drawScreenLost = 1;
        return -1;
    }
    r->drawScreen = screen;
    SetSurface2DDeleteFlagPtr(screen, &r->drawScreenLost);
    // Deleted from outside: the glyphs are rendered again as well.
    ClearFontGlyphCache(font);
    return 0;
}
