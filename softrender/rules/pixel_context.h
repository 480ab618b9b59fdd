// The per-call inputs of the pixel rules: the blend-table rows chosen once per call from the
// draw state's bright and blend parameter, the source's colour key and the palette. A kernel
// fills one before its loop runs; the rules read nothing else but the pixels and the global
// BlendWeightMap.
#pragma once
#include <cstdint>

struct PixelContext {
    // ProductTable rows of the bright's blue, green and red bytes.
    const uint32_t* brightB;
    const uint32_t* brightG;
    const uint32_t* brightR;
    const uint32_t* paramRow;       // ProductTable[p]
    const int32_t* differenceRow;   // SignedProductTable[p], at its centre (difference 0)
    const uint8_t* blend565Row;     // Blend565Table[p >> 2]
    uint32_t param;                 // p, 0..255
    uint32_t bright;                // the bright, 0x00RRGGBB
    uint32_t colorKey;              // the source's colour key, whole
    const uint32_t* palette32;      // 256 entries of a 32-bit paletted source
    const uint16_t* palette16;      // 256 entries of a 16-bit paletted source
    // BlendWeightMap[g] in the three colour lanes of a pixel's four 16-bit lanes, read by the
    // AVX2 steps of loops with a blend image; null unless the kernel prepared it for the call.
    const uint64_t* weightLanes;
};

// Chooses the table rows for a bright (0x00RRGGBB) and a parameter (clamped to 0..255).
// The palette and widened weight pointers stay null; a kernel that needs them sets them.
PixelContext MakePixelContext(uint32_t bright, int32_t param, uint32_t colorKey);
