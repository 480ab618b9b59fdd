// The blend tables: precomputed integer tables through which every software pixel kernel scales
// colour channels by a factor of 0..255 without dividing per pixel, the weight map that turns a
// blend graph's byte into a weight, and the flag that allows MMX paths. Process-wide arrays,
// zero until built, read directly by the kernels.
#pragma once
#include <cstdint>

// ProductTable[p][v] = floor(v × p / 255). Row p scales by p / 255; entries never exceed 255,
// so a reader may take the whole entry, its low 16 bits or its low byte. The 5- and 6-bit
// fields of 16-bit pixels index the same rows with the field value.
extern uint32_t ProductTable[256][256];

// SignedProductTable[p][SIGNED_PRODUCT_CENTRE + d] = d × p / 255 rounded toward zero, for
// d = -255..255. A reader takes a row pointer at the centre and indexes it by d:
//   const int32_t* row = &SignedProductTable[p][SIGNED_PRODUCT_CENTRE];
//   result = dst + row[src - dst];
// The last slot of each row (index 511) is padding and stays 0.
constexpr int SIGNED_PRODUCT_CENTRE = 255;
extern int32_t SignedProductTable[256][512];

// Blend565Table[o][m * 64 + i] = floor((m × o + i × (63 - o)) / 63) for o, m, i = 0..63: the
// source field m weighted o / 63 against the destination field i. The row is chosen from the
// blend parameter p as o = p >> 2; 5-bit fields use the same rows with m, i <= 31.
extern uint8_t Blend565Table[64][64 * 64];

// The other names under which the kernels know the signed product and 5-6-5 tables.
inline constexpr auto& DifferenceTable = SignedProductTable;
inline constexpr auto& Channel16Table = Blend565Table;

// BlendWeightMap[g]: the weight 0..255 of a blend-graph pixel of value g.
extern uint8_t BlendWeightMap[256];

// 1 when the processor's packed-byte instructions may be used, else 0. Set by the screen
// start-up before it builds the tables.
extern int32_t UseMmx;

// Builds ProductTable, SignedProductTable and Blend565Table. Takes no input and cannot fail.
void BuildBlendTables();

// Rebuilds BlendWeightMap from the blend graph's border parameter (where the threshold lies)
// and border range (how wide the soft edge is), each 0..255. Returns 0.
int BuildBlendWeightMap(int borderParam, int borderRange);
