// The Mersenne Twister MT19937 with the 1998 reference seeding. A whole block of 624 tempered
// output words is generated at once; the reader takes them in order and generates the next
// block when they are used up. Start-up seeds it with the millisecond clock.
#pragma once
#include <cstdint>

constexpr int kRandomMTWords = 624;

struct RandomMTState {
    uint32_t state[kRandomMTWords] = {};
    uint32_t output[kRandomMTWords] = {};
    uint32_t index = kRandomMTWords;  // next output word to hand out
    uint32_t seeded = 0;
    uint32_t mmx = 0;                 // 1: blocks are generated two words at a time
};

// The generator's global record.
RandomMTState& GetRandomMTState();

// Fills the state words from seed (1998 reference seeding), detects MMX, marks the generator
// seeded and generates the first block.
void SeedRandomMT(uint32_t seed);
// Only the state-word filling of SeedRandomMT: for each word, its high half from x and its
// low half from the high half of 69069 x + 1, x advancing twice per word by x = 69069 x + 1.
void SeedRandomMTWords(uint32_t seed);
// Runs the recurrence over all 624 state words, tempers them into the output words and
// resets the output index to 0; with the MMX flag through GenerateRandomMTMmx.
void GenerateRandomMT();
// The same block, computed two words at a time.
void GenerateRandomMTMmx();
// 1 when the processor has MMX (CPUID function 1, EDX bit 23), else 0.
uint32_t DetectMmxForRandom();
// The next output word; generates a new block when the current one is used up. An unseeded
// generator is first seeded with 4357, the reference generator's default.
uint32_t GetRandomMT();
