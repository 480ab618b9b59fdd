// libFuzzer target of the string walk: arbitrary bytes (stray lead bytes, a lead byte last,
// control characters, strings far longer than one pass) drawn through the glyph cache of a
// font of each type, horizontally and vertically, into a small image that the glyphs overrun.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"
#include "graphics/graph_load/graph_system.h"
#include "softrender/records/memimg.h"

namespace {

ScreenDriver gScreen = kAbsentScreen;

// Graph management on a software-only screen with one font of each type (the fourth with a
// wide edge), made once.
const HandleValue* Fonts() {
    static HandleValue fonts[4] = {-1, -1, -1, -1};
    static bool started = false;
    if (!started) {
        started = true;
        gScreen.isNoDirectDraw = [] { return 1; };
        gScreen.isScreenSoftwareDrawn = [] { return 1; };
        ScreenSlot().Install(gScreen);
        FontSlot().Install(kFontModule);
        InitGraphSystem();
        for (int type = 0; type < 4; ++type) {
            fonts[type] = CreateFontToHandle(nullptr, 12 + 6 * type, 6, type, -1,
                                             type == 3 ? 3 : -1, type & 1, -1, -1);
        }
    }
    return fonts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const HandleValue* fonts = Fonts();
    if (size < 2) return 0;
    const HandleValue font = fonts[data[0] & 3];
    const int vertical = (data[0] >> 2) & 1;
    const int transparent = (data[0] >> 3) & 1;
    const int32_t x = static_cast<int8_t>(data[1]);
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

    MEMIMG image{};
    if (InitMemImgPlain(&image, 24, 20, (data[0] >> 4) & 1) != 0) return 0;
    const RECT clip{0, 0, 24, 20};
    StringSize measured{};
    const int a = DrawCachedString(0, x, x / 2, 0, 1.0, 1.0, text.c_str(), 0xFFFF, nullptr, nullptr,
                                   1, font, 0x1234, -1, vertical, &measured);
    const int b = DrawCachedString(1, x, x / 2, 0, 1.0, 1.0, text.c_str(), 0xFFFF, &image, &clip,
                                   transparent, font, 0x1234, -1, vertical, nullptr);
    ReleaseMemImg(&image);
    if (a != b) __builtin_trap();
    return 0;
}
