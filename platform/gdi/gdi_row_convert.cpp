// Runs of DIB pixels into a target: the masked copy, the per-channel tables and the per-pixel
// path, chosen once per call.
#include "platform/gdi/gdi_row_convert.h"

#include <cstring>

namespace plat::gdi {

namespace {

uint32_t PixelBits(const TargetLayout& t) {
    return FromByte(0xFF, t.r) | FromByte(0xFF, t.g) | FromByte(0xFF, t.b);
}

// The target bits the per-pixel path writes for a source field value of one channel.
void BuildTable(const Channel& from, const Channel& to, uint32_t* table) {
    const uint32_t count = from.width == 0 ? 1u : 1u << from.width;
    for (uint32_t v = 0; v < count; ++v) {
        table[v] = FromByte(ToByte(v << from.shift, from), to);
    }
}

// True when the table is the field moved into place unchanged.
bool TableIsIdentity(const Channel& from, const Channel& to, const uint32_t* table) {
    if (from.width != to.width || from.shift != to.shift) return false;
    const uint32_t count = from.width == 0 ? 1u : 1u << from.width;
    for (uint32_t v = 0; v < count; ++v) {
        if (table[v] != v << to.shift) return false;
    }
    return true;
}

template <class In, class Out>
void TableRow(const RowConverter& c, const uint8_t* row, int64_t x, int64_t count, uint8_t* out) {
    const Channel& r = c.source.r;
    const Channel& g = c.source.g;
    const Channel& b = c.source.b;
    const uint8_t* from = row + x * static_cast<int64_t>(sizeof(In));
    for (int64_t i = 0; i < count; ++i) {
        In p;
        std::memcpy(&p, from + i * static_cast<int64_t>(sizeof(In)), sizeof(In));
        const uint32_t v = p;
        const Out o = static_cast<Out>(c.tableR[(v & r.mask) >> r.shift] |
                                       c.tableG[(v & g.mask) >> g.shift] |
                                       c.tableB[(v & b.mask) >> b.shift]);
        std::memcpy(out + i * static_cast<int64_t>(sizeof(Out)), &o, sizeof(Out));
    }
}

template <class T>
void MaskedRow(const RowConverter& c, const uint8_t* row, int64_t x, int64_t count,
               uint8_t* out) {
    const T keep = static_cast<T>(c.keepMask);
    const uint8_t* from = row + x * static_cast<int64_t>(sizeof(T));
    if (keep == static_cast<T>(~T{0})) {
        std::memcpy(out, from, static_cast<size_t>(count) * sizeof(T));
        return;
    }
    for (int64_t i = 0; i < count; ++i) {
        T p;
        std::memcpy(&p, from + i * static_cast<int64_t>(sizeof(T)), sizeof(T));
        p &= keep;
        std::memcpy(out + i * static_cast<int64_t>(sizeof(T)), &p, sizeof(T));
    }
}

}  // namespace

bool MakeRowConverter(const SourceLayout& source, const DcTarget& target, RowConverter* out) {
    out->kind = RowConversion::PerPixel;
    out->source = source;
    if (!MakeTargetLayout(target, &out->target)) return false;
    const TargetLayout& t = out->target;
    const bool sourceMasked = source.bitCount == 16 || source.bitCount == 32;
    const bool targetMasked = t.bytes == 2 || t.bytes == 4;
    if (!sourceMasked || !targetMasked || source.r.width > 8 || source.g.width > 8 ||
        source.b.width > 8) {
        return true;
    }
    out->sourceBytes = source.bitCount / 8;
    BuildTable(source.r, t.r, out->tableR);
    BuildTable(source.g, t.g, out->tableG);
    BuildTable(source.b, t.b, out->tableB);
    out->kind = RowConversion::ChannelTables;
    if (out->sourceBytes == t.bytes && TableIsIdentity(source.r, t.r, out->tableR) &&
        TableIsIdentity(source.g, t.g, out->tableG) &&
        TableIsIdentity(source.b, t.b, out->tableB)) {
        out->kind = RowConversion::MaskedCopy;
        out->keepMask = PixelBits(t);
    }
    return true;
}

void ConvertRowPerPixel(const RowConverter& c, const uint8_t* row, int64_t x, int64_t count,
                        uint8_t* out) {
    for (int64_t i = 0; i < count; ++i) {
        uint8_t bgr[3];
        ReadSourcePixel(c.source, row, x + i, bgr);
        WriteTargetPixel(c.target, out + i * c.target.bytes, bgr);
    }
}

void ConvertRow(const RowConverter& c, const uint8_t* row, int64_t x, int64_t count,
                uint8_t* out) {
    if (count <= 0) return;
    switch (c.kind) {
        case RowConversion::MaskedCopy:
            if (c.sourceBytes == 4) {
                MaskedRow<uint32_t>(c, row, x, count, out);
            } else {
                MaskedRow<uint16_t>(c, row, x, count, out);
            }
            return;
        case RowConversion::ChannelTables:
            if (c.sourceBytes == 2) {
                if (c.target.bytes == 4) {
                    TableRow<uint16_t, uint32_t>(c, row, x, count, out);
                } else {
                    TableRow<uint16_t, uint16_t>(c, row, x, count, out);
                }
            } else if (c.target.bytes == 4) {
                TableRow<uint32_t, uint32_t>(c, row, x, count, out);
            } else {
                TableRow<uint32_t, uint16_t>(c, row, x, count, out);
            }
            return;
        case RowConversion::PerPixel:
            ConvertRowPerPixel(c, row, x, count, out);
            return;
    }
}

}  // namespace plat::gdi
