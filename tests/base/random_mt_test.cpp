#include "base/random_mt.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

namespace {

// The 1998 reference seeding, written out here on its own to check the generator against.
std::vector<uint32_t> ReferenceSeedWords(uint32_t seed) {
    std::vector<uint32_t> words(624);
    for (uint32_t& w : words) {
        w = seed & 0xFFFF0000u;
        seed = 69069u * seed + 1u;
        w |= (seed & 0xFFFF0000u) >> 16;
        seed = 69069u * seed + 1u;
    }
    return words;
}

// std::mt19937 holding the given state words, about to regenerate (libstdc++'s stream format:
// the 624 words, then the index 624).
std::mt19937 EngineFromWords(const std::vector<uint32_t>& words) {
    std::stringstream stream;
    for (uint32_t w : words) stream << w << ' ';
    stream << 624;
    std::mt19937 engine;
    stream >> engine;
    EXPECT_FALSE(stream.fail());
    return engine;
}

class RandomMTTest : public ::testing::Test {
protected:
    void SetUp() override { GetRandomMTState() = RandomMTState{}; }
    void TearDown() override { GetRandomMTState() = RandomMTState{}; }
};

TEST_F(RandomMTTest, SeedingFillsTheReferenceWords) {
    for (uint32_t seed : {0u, 1u, 4357u, 5489u, 0xFFFFFFFFu}) {
        SeedRandomMTWords(seed);
        const std::vector<uint32_t> expected = ReferenceSeedWords(seed);
        const RandomMTState& mt = GetRandomMTState();
        EXPECT_EQ(std::vector<uint32_t>(mt.state, mt.state + 624), expected) << "seed " << seed;
    }
}

TEST_F(RandomMTTest, SeedSetsFlagsAndGeneratesTheReferenceSequence) {
    SeedRandomMT(5489);
    const RandomMTState& mt = GetRandomMTState();
    EXPECT_EQ(mt.seeded, 1u);
    EXPECT_EQ(mt.mmx, DetectMmxForRandom());
    EXPECT_EQ(mt.index, 0u);

    std::mt19937 engine = EngineFromWords(ReferenceSeedWords(5489));
    EXPECT_EQ(GetRandomMT(), engine()) << "first output word";
    for (int i = 1; i < 2000; ++i) ASSERT_EQ(GetRandomMT(), engine()) << "output " << i;
}

// Every block, generated one word at a time and two words at a time.
class RandomMTSequenceTest : public RandomMTTest,
                             public ::testing::WithParamInterface<uint32_t> {};

TEST_P(RandomMTSequenceTest, MatchesStdMt19937) {
    for (uint32_t seed : {5489u, 4357u, 0u, 0xFFFFFFFFu}) {
        GetRandomMTState() = RandomMTState{};
        SeedRandomMTWords(seed);
        RandomMTState& mt = GetRandomMTState();
        mt.mmx = GetParam();
        mt.seeded = 1;
        GenerateRandomMT();
        EXPECT_EQ(mt.index, 0u);

        std::mt19937 engine = EngineFromWords(ReferenceSeedWords(seed));
        for (int i = 0; i < 3000; ++i) {  // crosses four block boundaries
            ASSERT_EQ(GetRandomMT(), engine()) << "seed " << seed << " output " << i;
        }
        // The state words agree as well: the engine writes its words and then its index.
        std::stringstream stream;
        stream << engine;
        std::vector<uint32_t> engineWords(624);
        for (uint32_t& w : engineWords) stream >> w;
        EXPECT_EQ(std::vector<uint32_t>(mt.state, mt.state + 624), engineWords);
    }
}

INSTANTIATE_TEST_SUITE_P(MmxFlag, RandomMTSequenceTest, ::testing::Values(0u, 1u),
                         [](const auto& info) {
                             return info.param != 0 ? std::string("Mmx") : std::string("Plain");
                         });

TEST_F(RandomMTTest, PairwiseGeneratorMatchesOneWordGenerator) {
    RandomMTState& mt = GetRandomMTState();
    SeedRandomMTWords(12345);
    RandomMTState plain = mt;
    for (int block = 0; block < 5; ++block) {
        mt = plain;
        GenerateRandomMTMmx();
        const RandomMTState pairwise = mt;
        mt = plain;
        mt.mmx = 0;
        GenerateRandomMT();
        plain = mt;
        ASSERT_EQ(std::vector<uint32_t>(pairwise.output, pairwise.output + 624),
                  std::vector<uint32_t>(plain.output, plain.output + 624))
            << "block " << block;
        ASSERT_EQ(std::vector<uint32_t>(pairwise.state, pairwise.state + 624),
                  std::vector<uint32_t>(plain.state, plain.state + 624));
        EXPECT_EQ(pairwise.index, 0u);
    }
}

TEST_F(RandomMTTest, UnseededReadSeedsWithTheReferenceDefault) {
    const uint32_t first = GetRandomMT();
    EXPECT_EQ(GetRandomMTState().seeded, 1u);
    std::mt19937 engine = EngineFromWords(ReferenceSeedWords(4357));
    EXPECT_EQ(first, engine());
}

TEST_F(RandomMTTest, MmxDetectionIsStable) {
    const uint32_t flag = DetectMmxForRandom();
    EXPECT_TRUE(flag == 0 || flag == 1);
    EXPECT_EQ(DetectMmxForRandom(), flag);
#if defined(__x86_64__)
    EXPECT_EQ(flag, 1u) << "every x86-64 processor has MMX";
#endif
}

}  // namespace
