// The growth of the network's rings: a ring that must grow at least doubles (capped by the
// caller's ceiling, never below what is needed), keeps its wrapped data in order, and is
// counted; appending many small pieces grows it a logarithmic number of times. A ring of
// blocks grows without moving what it holds: a growth copies at most the newest part of one
// block, however large the ring.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "net/network_counters.h"
#include "net/network_ring.h"
#include "base/tracked_memory.h"
#include "platform/testing/test_controls.h"
#include "tests/support/log_test_fixture.h"

namespace {

constexpr uint32_t kBlock = kNetWorkRingBlockBytes;

class NetworkRingGrowthTest : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        ResetNetWorkCounters();
    }
    void TearDown() override {
        FreeNetWorkRing(&ring_);
        LogFixture::TearDown();
    }

    // The ring grown to capacity through its own operations, then holding length bytes
    // 0, 1, 2, ... from position start on, wrapping past the end. The counters start at 0.
    void Fill(uint32_t capacity, uint32_t start, uint32_t length) {
        FreeNetWorkRing(&ring_);
        ASSERT_EQ(ReserveNetWorkRing(capacity - 1000, capacity - 1000, &ring_), 0);
        ASSERT_EQ(ring_.capacity, capacity);
        std::vector<unsigned char> skipped(start);
        ASSERT_EQ(AddNetWorkRing(skipped.data(), start, &ring_), 0);
        DropNetWorkRing(start, &ring_);
        std::vector<unsigned char> bytes(length);
        for (uint32_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
        ASSERT_EQ(AddNetWorkRing(bytes.data(), length, &ring_), 0);
        ASSERT_EQ(ring_.capacity, capacity);
        ASSERT_EQ(ring_.start, start % capacity);
        ResetNetWorkCounters();
    }

    // The ring holds length bytes as Fill wrote them.
    void ExpectFilledBytes(uint32_t length) {
        ASSERT_EQ(ring_.length, length);
        std::vector<unsigned char> out(length);
        ASSERT_EQ(ReadNetWorkRing(out.data(), length, 0, &ring_), 0);
        for (uint32_t i = 0; i < length; ++i) {
            ASSERT_EQ(out[i], static_cast<unsigned char>(i * 7 + 3)) << "byte " << i;
        }
    }

    NetWorkRing ring_;
};

struct GrowthCase {
    const char* name;
    uint32_t capacity, start, length, extra, ceiling;
    uint32_t grownCapacity;  // 0: no growth
    uint32_t copied;         // bytes the growth copies
};

TEST_F(NetworkRingGrowthTest, ARingThatMustGrowDoublesUpToTheCeilingAndMovesLittle) {
    const GrowthCase cases[] = {
        // One small block: moved whole into a larger one.
        {"fits: nothing moves", 1100, 60, 80, 10, UINT32_MAX, 0, 0},
        {"doubling is below what is needed + slack", 1100, 1060, 1080, 500, UINT32_MAX, 2580, 1080},
        {"doubled", 4000, 3000, 3500, 1000, UINT32_MAX, 8000, 3500},
        {"the ceiling caps the doubling", 4000, 3000, 3500, 1000, 6000, 6000, 3500},
        {"needed beyond the ceiling still fits", 4000, 3000, 3500, 5000, 6000, 9500, 3500},
        // Beyond one block the ring goes into full blocks, the small one copied once.
        {"into blocks", 40000, 30000, 35000, 10000, UINT32_MAX, 2 * kBlock, 35000},
        // A ring of blocks: new blocks go in at a boundary within the free part.
        {"blocks, free up to the boundary", 4 * kBlock, 0, 3 * kBlock + 10, kBlock, UINT32_MAX,
         8 * kBlock, 0},
        {"blocks, wrapped, free up to the boundary", 4 * kBlock, 2 * kBlock + 5, 3 * kBlock,
         kBlock + 5, UINT32_MAX, 8 * kBlock, 0},
        {"blocks, the end on a boundary", 4 * kBlock, kBlock, 3 * kBlock, 2 * kBlock, UINT32_MAX,
         8 * kBlock, 0},
        {"blocks, the end at position 0, the start within a block", 4 * kBlock, kBlock + 7,
         3 * kBlock - 7, kBlock + 10, UINT32_MAX, 8 * kBlock, 0},
        {"blocks, the free part within one block", 4 * kBlock, 2 * kBlock + 300,
         4 * kBlock - 200, 1000, UINT32_MAX, 8 * kBlock, 100},
        {"blocks, full", 4 * kBlock, kBlock + 40000, 4 * kBlock, 1, UINT32_MAX, 8 * kBlock, 40000},
        {"blocks, the ceiling caps the doubling", 4 * kBlock, 1000, 4 * kBlock - 500, 3000,
         5 * kBlock, 5 * kBlock, 500},
        {"blocks, empty: nothing to keep", 4 * kBlock, 3 * kBlock, 0, 6 * kBlock, UINT32_MAX,
         8 * kBlock, 0},
    };
    for (const GrowthCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(c.capacity, c.start, c.length);
        ASSERT_EQ(ReserveNetWorkRing(c.extra, c.ceiling, &ring_), 0);
        const NetWorkCounters counters = GetNetWorkCounters();
        if (c.grownCapacity == 0) {
            EXPECT_EQ(ring_.capacity, c.capacity);
            EXPECT_EQ(counters.ringGrowths, 0u);
        } else {
            EXPECT_EQ(ring_.capacity, c.grownCapacity);
            EXPECT_EQ(counters.ringGrowths, 1u);
            EXPECT_EQ(counters.ringBytesCopied, c.copied);
        }
        EXPECT_GE(ring_.capacity - ring_.length, c.extra);
        ExpectFilledBytes(c.length);
        // The room made is there: the extra bytes go in after the held ones, without
        // another growth.
        const std::vector<unsigned char> extra(c.extra, 0xEE);
        ASSERT_EQ(AddNetWorkRing(extra.data(), c.extra, &ring_), 0);
        EXPECT_EQ(GetNetWorkCounters().ringGrowths, c.grownCapacity == 0 ? 0u : 1u);
        std::vector<unsigned char> held(c.length);
        ASSERT_EQ(ReadNetWorkRing(held.data(), c.length, 1, &ring_), 0);
        for (uint32_t i = 0; i < c.length; ++i) {
            ASSERT_EQ(held[i], static_cast<unsigned char>(i * 7 + 3)) << "byte " << i;
        }
        std::vector<unsigned char> back(c.extra);
        ASSERT_EQ(ReadNetWorkRing(back.data(), c.extra, 1, &ring_), 0);
        EXPECT_EQ(back, extra);
        EXPECT_EQ(ring_.length, 0u);
    }
}

TEST_F(NetworkRingGrowthTest, ManySmallAppendsGrowLogarithmicallyAndKeepTheBytes) {
    std::vector<unsigned char> piece(1000);
    const int pieces = 4096;
    for (int i = 0; i < pieces; ++i) {
        for (size_t k = 0; k < piece.size(); ++k) piece[k] = static_cast<unsigned char>(i + k);
        ASSERT_EQ(AddNetWorkRing(piece.data(), static_cast<uint32_t>(piece.size()), &ring_), 0);
    }
    const NetWorkCounters counters = GetNetWorkCounters();
    // From 2000 bytes to 4 MB by doubling: a dozen growths. Only the moves of the ring while
    // it is smaller than a block copy, less than two blocks in all (one growth per piece
    // would copy about 8 GB, whole-ring moves about 4 MB).
    EXPECT_LE(counters.ringGrowths, 14u);
    EXPECT_LT(counters.ringBytesCopied, uint64_t{2 * kBlock});
    ASSERT_EQ(ring_.length, static_cast<uint32_t>(pieces) * 1000u);
    std::vector<unsigned char> out(1000);
    for (int i = 0; i < pieces; ++i) {
        ASSERT_EQ(ReadNetWorkRing(out.data(), 1000, 1, &ring_), 0);
        for (size_t k = 0; k < out.size(); ++k) {
            ASSERT_EQ(out[k], static_cast<unsigned char>(i + k)) << "piece " << i;
        }
    }
    EXPECT_EQ(ring_.length, 0u);
}

// Writes in place (as the receive step does), appends, peeks, reads and drops in a random
// order, against a plain queue of the same bytes: the ring always holds the queue's bytes,
// whatever growths happen with the data wrapped anywhere, and no growth copies a block.
TEST_F(NetworkRingGrowthTest, RandomUseKeepsTheBytesOfAPlainQueue) {
    std::mt19937 random(12345);
    std::deque<unsigned char> model;
    unsigned char next = 0;
    for (int step = 0; step < 3000; ++step) {
        const NetWorkCounters before = GetNetWorkCounters();
        const uint32_t size = random() % 3 == 0 ? random() % 70000 : random() % 3000;
        switch (random() % 5) {
            case 0: {  // in place, a block's part at a time
                ASSERT_EQ(ReserveNetWorkRing(size, 1u << 22, &ring_), 0);
                uint32_t left = size;
                while (left > 0) {
                    unsigned char* at = nullptr;
                    const uint32_t room = NetWorkRingWritable(ring_, &at);
                    ASSERT_GT(room, 0u);
                    const uint32_t n = std::min(room, left);
                    for (uint32_t i = 0; i < n; ++i) {
                        at[i] = next;
                        model.push_back(next++);
                    }
                    CommitNetWorkRing(n, &ring_);
                    left -= n;
                }
                break;
            }
            case 1: {
                std::vector<unsigned char> bytes(size);
                for (unsigned char& b : bytes) {
                    b = next;
                    model.push_back(next++);
                }
                ASSERT_EQ(AddNetWorkRing(bytes.data(), size, &ring_), 0);
                break;
            }
            case 2:
            case 3: {
                const uint32_t n = std::min<uint32_t>(size, static_cast<uint32_t>(model.size()));
                std::vector<unsigned char> out(n);
                const int take = random() % 2;
                ASSERT_EQ(ReadNetWorkRing(out.data(), n, take, &ring_), 0);
                ASSERT_TRUE(std::equal(out.begin(), out.end(), model.begin())) << "step " << step;
                if (take) model.erase(model.begin(), model.begin() + n);
                break;
            }
            default: {  // sent in place, as the send step does
                const unsigned char* at = nullptr;
                const uint32_t n = std::min(NetWorkRingReadable(ring_, &at), size);
                for (uint32_t i = 0; i < n; ++i) ASSERT_EQ(at[i], model[i]) << "step " << step;
                DropNetWorkRing(n, &ring_);
                model.erase(model.begin(), model.begin() + n);
                break;
            }
        }
        ASSERT_EQ(ring_.length, model.size());
        // At most one growth, which copies less than one block (a whole-ring move copies
        // everything held).
        const NetWorkCounters after = GetNetWorkCounters();
        EXPECT_LE(after.ringGrowths - before.ringGrowths, 1u) << "step " << step;
        EXPECT_LT(after.ringBytesCopied - before.ringBytesCopied, uint64_t{kBlock})
            << "step " << step;
    }
    EXPECT_GT(ring_.capacity, 4 * kBlock) << "the ring never grew into blocks";
}

TEST_F(NetworkRingGrowthTest, AFailedGrowthKeepsTheRingAsItWas) {
    Fill(4 * kBlock, kBlock + 100, 3 * kBlock);
    const NetWorkRing before = ring_;
    const uint32_t blocksInUse = GetAllocState().count;
    plat::FailNextAllocations(1);
    EXPECT_EQ(ReserveNetWorkRing(2 * kBlock, UINT32_MAX, &ring_), -1);
    EXPECT_EQ(ring_.blocks, before.blocks);
    EXPECT_EQ(ring_.capacity, before.capacity);
    EXPECT_EQ(ring_.start, before.start);
    EXPECT_EQ(GetNetWorkCounters().ringGrowths, 0u);
    EXPECT_EQ(GetAllocState().count, blocksInUse);
    ExpectFilledBytes(3 * kBlock);
    EXPECT_NE(LogText().find("リングバッファの再確保に失敗しました"), std::string::npos);
    // A size no ring positions reach is refused the same way.
    EXPECT_EQ(ReserveNetWorkRing(UINT32_MAX, UINT32_MAX, &ring_), -1);
    ExpectFilledBytes(3 * kBlock);
    // Growth works again once memory is there.
    EXPECT_EQ(ReserveNetWorkRing(2 * kBlock, UINT32_MAX, &ring_), 0);
    EXPECT_EQ(ring_.capacity, 8 * kBlock);
    ExpectFilledBytes(3 * kBlock);
}

}  // namespace
