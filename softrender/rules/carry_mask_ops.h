// Word-at-a-time channel arithmetic of the software kernels: the carry-masked add and subtract
// that treat the three colour channels of a pixel with one integer addition or subtraction,
// for 32-bit pixels (bytes B, G, R, fourth) and for 16-bit 5-6-5 pixels, one at a time or two
// per 32-bit word, and the half-average.
//
// These are deliberately not exact per-channel saturating operations. The lowest bit of some
// channels is cleared so that a carry (or borrow) out of the channel below lands there; the
// collected carries are then smeared back over their channel to saturate it. What that gives,
// channel by channel, is written beside each routine; the kernels keep these exact results.
#pragma once
#include <cstdint>

// --- 32-bit pixels --------------------------------------------------------------------------

// Carry-masked add of the packed term t (B, G, R in bytes 0..2; byte 3 takes no part) to d.
// Blue is min(255, dB + tB). Green is 255 when (dG >> 1) + (tG >> 1) >= 128, else
// 2 * ((dG >> 1) + (tG >> 1)) plus 1 when the low bit of dG or tG is set or blue overflowed;
// red likewise over green. The fourth byte becomes red's carry (0 or 1).
inline uint32_t CarryMaskAdd32(uint32_t d, uint32_t t) {
    const uint32_t sum = (t & 0x00FEFEFFu) + (d & 0x00FEFEFFu);
    const uint32_t carries = sum & 0x01010100u;
    return sum | (carries - (carries >> 8)) | ((d | t) & 0x00010100u);
}

// The add of the unscaled leaf: as CarryMaskAdd32 without the term that keeps the operands'
// low bits, so the lowest bit of green (red) is only blue's (green's) carry.
inline uint32_t CarryMaskAddUnscaled32(uint32_t d, uint32_t s) {
    const uint32_t sum = (d & 0x00FEFEFFu) + (s & 0x00FEFEFFu);
    const uint32_t carries = sum & 0x01010100u;
    return sum | (carries - (carries >> 8));
}

// Carry-masked subtract of the packed term t from d. Blue is max(0, dB - tB). Green is 0 when
// (dG >> 1) < (tG >> 1), else 2 * ((dG >> 1) - (tG >> 1)) plus 1 when blue did not borrow;
// red likewise over green. The fourth byte becomes 0. Bits 24..31 of t take no part in the
// result, so callers may pass a whole source pixel.
inline uint32_t CarryMaskSub32(uint32_t d, uint32_t t) {
    const uint32_t diff = (d | 0x01010100u) - (t & 0xFEFEFEFFu);
    const uint32_t guards = diff & 0x01010100u;
    return diff & (guards - (guards >> 8));
}

// The half-average: each channel floor(s / 2) + floor(d / 2), the fourth byte 0.
inline uint32_t HalfAverage32(uint32_t d, uint32_t s) {
    return ((s >> 1) & 0x007F7F7Fu) + ((d >> 1) & 0x007F7F7Fu);
}

// Exact per-byte saturating add and subtract of all four bytes (the packed-byte forms).
inline uint32_t SaturatingAddBytes32(uint32_t d, uint32_t s) {
    uint32_t r = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t v = ((d >> shift) & 0xFFu) + ((s >> shift) & 0xFFu);
        r |= (v > 255u ? 255u : v) << shift;
    }
    return r;
}
inline uint32_t SaturatingSubBytes32(uint32_t d, uint32_t s) {
    uint32_t r = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t dv = (d >> shift) & 0xFFu;
        const uint32_t sv = (s >> shift) & 0xFFu;
        r |= (dv > sv ? dv - sv : 0u) << shift;
    }
    return r;
}

// --- 16-bit 5-6-5 pixels ----------------------------------------------------------------------

// Saturating add of e to d (both 5-6-5 colours in the low 16 bits). Blue is the exact
// saturating sum. Green and red are summed without their lowest bit, which becomes the OR of
// the two lowest bits, and a carry out of blue (green) also sets the lowest bit of green
// (red). An overflowing channel is filled with ones above its lowest bit: red becomes 31,
// green 62 or 63.
inline uint32_t SaturatingAdd565(uint32_t d, uint32_t e) {
    const uint32_t t = (d & 0xF7DEF7DFu) + (e & 0xF7DEF7DFu);
    const uint32_t c = t & 0x08210820u;
    return (t | (c - (c >> 5)) | ((d | e) & 0x0820u)) & 0xFFFFu;
}

// Saturating subtract of e from d. Guard bits at 5, 11 and 16 absorb a borrow out of blue,
// green (bits 6..10) and red (bits 12..15); a channel whose guard was taken becomes 0. Blue is
// the exact saturating difference; green's lowest bit is always 0; red is computed on its
// upper four bits and its lowest bit is 1 exactly when neither green nor red borrowed.
inline uint32_t SaturatingSub565(uint32_t d, uint32_t e) {
    const uint32_t u = (d | 0x08210820u) - (e & 0xF7DEF7DFu);
    const uint32_t c = u & 0x08210820u;
    return (u & (c - (c >> 5))) & 0xFFFFu;
}

// The add of the unscaled leaf for a pixel done alone (an odd last pixel): as
// SaturatingAdd565 without the term that keeps the operands' low bits.
inline uint32_t SaturatingAddUnscaled565(uint32_t d, uint32_t s) {
    const uint32_t t = (d & 0xF7DFu) + (s & 0xF7DFu);
    const uint32_t c = t & 0x08210820u;
    return (t | (c - (c >> 5))) & 0xFFFFu;
}

// Two pixels per 32-bit word (first pixel in the low half) for the unscaled add. The second
// pixel's lowest blue bit is cleared in both operands and receives the first pixel's red carry:
// the pair's result is that of this word procedure, not of two separate pixels. The carry out
// of the second pixel's red (out of the 32-bit addition) fills that red.
inline uint32_t SaturatingAddPair565(uint32_t d2, uint32_t s2) {
    const uint32_t a = d2 & 0xF7DEF7DFu;
    const uint32_t b = s2 & 0xF7DEF7DFu;
    const uint32_t t = a + b;
    const uint32_t e = t < a ? 1u : 0u;
    const uint32_t q = t & 0x08210820u;
    return t | (q - ((q >> 5) | (e << 27)));
}

// Two pixels per word for the unscaled subtract: the second pixel's lowest blue bit is the
// guard of the first pixel's red; the borrow out of the 32-bit subtraction clears the second
// pixel's red.
inline uint32_t SaturatingSubPair565(uint32_t d2, uint32_t s2) {
    const uint32_t a = d2 | 0x08210820u;
    const uint32_t b = s2 & 0xF7DEF7DFu;
    const uint32_t u = a - b;
    const uint32_t e = a < b ? 1u : 0u;
    const uint32_t q = u & 0x08210820u;
    return u & ((q - (q >> 5)) | (e == 0 ? 0xF8000000u : 0u));
}

// The half-average: each field floor(s / 2) + floor(d / 2). Also correct for two pixels in
// one word with the mask doubled (0x7BEF7BEF).
inline uint32_t HalfAverage565(uint32_t d, uint32_t s) {
    return ((s >> 1) & 0x7BEFu) + ((d >> 1) & 0x7BEFu);
}
inline uint32_t HalfAveragePair565(uint32_t d2, uint32_t s2) {
    return ((s2 >> 1) & 0x7BEF7BEFu) + ((d2 >> 1) & 0x7BEF7BEFu);
}
