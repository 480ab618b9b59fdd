#include "base/random_mt.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

constexpr int kN = kRandomMTWords;
constexpr int kM = 397;
constexpr uint32_t kMatrix = 0x9908B0DFu;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7FFFFFFFu;

// One word of the recurrence from the current word, its successor and the word M ahead.
inline uint32_t Twist(uint32_t current, uint32_t successor, uint32_t ahead) {
    const uint32_t y = (current & kUpperMask) | (successor & kLowerMask);
    return ahead ^ (y >> 1) ^ ((y & 1u) != 0 ? kMatrix : 0u);
}

inline uint32_t Temper(uint32_t y) {
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

void GenerateRandomMTPlain(RandomMTState& mt) {
    uint32_t* s = mt.state;
    for (int k = 0; k < kN; ++k) {
        // Words beyond the end wrap round to the start, which is already renewed.
        s[k] = Twist(s[k], s[(k + 1) % kN], s[(k + kM) % kN]);
    }
    for (int k = 0; k < kN; ++k) mt.output[k] = Temper(s[k]);
    mt.index = 0;
}

}  // namespace

RandomMTState& GetRandomMTState() {
    static RandomMTState state;
    return state;
}

void SeedRandomMTWords(uint32_t seed) {
    RandomMTState& mt = GetRandomMTState();
    uint32_t x = seed;
    for (int k = 0; k < kN; ++k) {
        uint32_t word = x & 0xFFFF0000u;
        x = 69069u * x + 1u;
        word |= (x & 0xFFFF0000u) >> 16;
        x = 69069u * x + 1u;
        mt.state[k] = word;
    }
}

void SeedRandomMT(uint32_t seed) {
    RandomMTState& mt = GetRandomMTState();
    SeedRandomMTWords(seed);
    mt.mmx = DetectMmxForRandom();
    mt.seeded = 1;
    GenerateRandomMT();
}

void GenerateRandomMT() {
    RandomMTState& mt = GetRandomMTState();
    if (mt.mmx != 0) {
        GenerateRandomMTMmx();
    } else {
        GenerateRandomMTPlain(mt);
    }
}

void GenerateRandomMTMmx() {
    // Two lanes side by side, as a 64-bit register would hold them: words k and k + 1 are
    // renewed together. All inputs of a pair are read before either word is written; the
    // words M ahead lie either in the old part (not yet renewed) or, past the wrap, at least
    // two words behind k and so already renewed, exactly as the one-word loop sees them.
    RandomMTState& mt = GetRandomMTState();
    uint32_t* s = mt.state;
    for (int k = 0; k < kN; k += 2) {
        const uint32_t cur[2] = {s[k], s[k + 1]};
        const uint32_t next[2] = {s[k + 1], s[(k + 2) % kN]};
        const uint32_t ahead[2] = {s[(k + kM) % kN], s[(k + kM + 1) % kN]};
        uint32_t out[2];
        for (int lane = 0; lane < 2; ++lane) {
            const uint32_t y = (cur[lane] & kUpperMask) | (next[lane] & kLowerMask);
            // All-ones mask from the low bit instead of a branch, as the packed code does.
            const uint32_t odd = 0u - (y & 1u);
            out[lane] = ahead[lane] ^ (y >> 1) ^ (odd & kMatrix);
        }
        s[k] = out[0];
        s[k + 1] = out[1];
    }
    for (int k = 0; k < kN; k += 2) {
        uint32_t y[2] = {s[k], s[k + 1]};
        for (int lane = 0; lane < 2; ++lane) y[lane] ^= y[lane] >> 11;
        for (int lane = 0; lane < 2; ++lane) y[lane] ^= (y[lane] << 7) & 0x9D2C5680u;
        for (int lane = 0; lane < 2; ++lane) y[lane] ^= (y[lane] << 15) & 0xEFC60000u;
        for (int lane = 0; lane < 2; ++lane) y[lane] ^= y[lane] >> 18;
        mt.output[k] = y[0];
        mt.output[k + 1] = y[1];
    }
    mt.index = 0;
}

uint32_t DetectMmxForRandom() {
#if defined(__i386__) || defined(__x86_64__)
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    // __get_cpuid checks that CPUID and function 1 exist before using them.
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return 0;
    return (edx & (1u << 23)) != 0 ? 1u : 0u;
#else
    return 0;
#endif
}

uint32_t GetRandomMT() {
    RandomMTState& mt = GetRandomMTState();
    if (mt.seeded == 0) SeedRandomMT(4357u);
    if (mt.index >= static_cast<uint32_t>(kN)) GenerateRandomMT();
    return mt.output[mt.index++];
}
