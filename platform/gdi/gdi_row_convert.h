// Internal to the platform layer: converting runs of DIB pixels into a device context's
// target, with the conversion chosen once per call. A row converter gives exactly the bytes
// of the per-pixel path (ReadSourcePixel, then the target channels): a masked copy when the
// two layouts hold the same channels at the same places with 8-bit-or-narrower fields that
// survive the round trip unchanged, per-channel tables for other 16- and 32-bit sources with
// fields of at most 8 bits, and the per-pixel path for everything else.
#pragma once
#include <cstdint>

#include "platform/gdi/gdi_pixels.h"

namespace plat::gdi {

enum class RowConversion { MaskedCopy, ChannelTables, PerPixel };

struct RowConverter {
    RowConversion kind;
    SourceLayout source;
    TargetLayout target;
    uint32_t sourceBytes;  // 2 or 4 for the first two kinds
    uint32_t keepMask;     // MaskedCopy: the bits a pixel keeps
    // ChannelTables: the target bits of each source field value (index = field value).
    uint32_t tableR[256], tableG[256], tableB[256];
};

// Chooses the conversion from the source's layout to the target's. False when the target
// cannot be written (not 16, 24 or 32 bits, or masks that are no channels).
bool MakeRowConverter(const SourceLayout& source, const DcTarget& target, RowConverter* out);
// Converts count pixels of a stored row, from column x on, into consecutive target pixels at
// out.
void ConvertRow(const RowConverter& c, const uint8_t* row, int64_t x, int64_t count,
                uint8_t* out);
// The per-pixel path whatever the layouts (the reference the others must match).
void ConvertRowPerPixel(const RowConverter& c, const uint8_t* row, int64_t x, int64_t count,
                        uint8_t* out);

}  // namespace plat::gdi
