#include "softrender/rules/pixel_context.h"

#include "softrender/rules/blend_tables.h"

PixelContext MakePixelContext(uint32_t bright, int32_t param, uint32_t colorKey) {
    const uint32_t p = param < 0 ? 0u : param > 255 ? 255u : static_cast<uint32_t>(param);
    PixelContext c{};
    c.brightB = ProductTable[bright & 0xFFu];
    c.brightG = ProductTable[(bright >> 8) & 0xFFu];
    c.brightR = ProductTable[(bright >> 16) & 0xFFu];
    c.paramRow = ProductTable[p];
    c.differenceRow = &SignedProductTable[p][SIGNED_PRODUCT_CENTRE];
    c.blend565Row = Blend565Table[p >> 2];
    c.param = p;
    c.bright = bright & 0xFFFFFFu;
    c.colorKey = colorKey;
    return c;
}
