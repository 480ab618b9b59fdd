#include "softrender/rules/blend_tables.h"

uint32_t ProductTable[256][256];
int32_t SignedProductTable[256][512];
uint8_t Blend565Table[64][64 * 64];
uint8_t BlendWeightMap[256];
int32_t UseMmx;

void BuildBlendTables() {
    // Integer division in C++ truncates toward zero, which is the rounding each table wants:
    // toward zero for the signed products, down for the non-negative ones.
    for (int p = 0; p < 256; ++p) {
        for (int d = -255; d <= 255; ++d) {
            SignedProductTable[p][SIGNED_PRODUCT_CENTRE + d] = d * p / 255;
        }
    }
    for (int p = 0; p < 256; ++p) {
        for (int v = 0; v < 256; ++v) ProductTable[p][v] = static_cast<uint32_t>(v * p / 255);
    }
    for (int o = 0; o < 64; ++o) {
        for (int m = 0; m < 64; ++m) {
            for (int i = 0; i < 64; ++i) {
                Blend565Table[o][m * 64 + i] = static_cast<uint8_t>((m * o + i * (63 - o)) / 63);
            }
        }
    }
}

int BuildBlendWeightMap(int borderParam, int borderRange) {
    // The caller passes clamped values; clamping again keeps the divisor positive whatever
    // arrives.
    const int b = borderParam < 0 ? 0 : borderParam > 255 ? 255 : borderParam;
    const int r = borderRange < 0 ? 0 : borderRange > 255 ? 255 : borderRange;
    const int step = 65536 / (r + 1);
    const int offset = 256 - (step + 256) * b / 256;
    for (int i = 0; i < 256; ++i) {
        const int w = i * 256 / (r + 1) + offset;
        BlendWeightMap[i] = static_cast<uint8_t>(w > 255 ? 255 : w < 0 ? 0 : w);
    }
    return 0;
}
