// The growth of the network's rings: a ring that must grow at least doubles (capped by the
// caller's ceiling, never below what is needed), keeps its wrapped data in order, and is
// counted; appending many small pieces grows it a logarithmic number of times.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/ring_buffer.h"
#include "base/tracked_memory.h"
#include "net/network_counters.h"
#include "net/network_ring_io.h"
#include "tests/support/log_test_fixture.h"

namespace {

class NetworkRingGrowthTest : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        ResetNetWorkCounters();
    }
    void TearDown() override {
        RingBufferFree(&ring_);
        LogFixture::TearDown();
    }

    // A ring of the given capacity holding length bytes 0, 1, 2, ... from position start on,
    // wrapping past the end.
    void Fill(uint32_t capacity, uint32_t start, uint32_t length) {
        ring_.data = static_cast<unsigned char*>(TrackedAlloc(capacity, "", 0));
        ring_.capacity = capacity;
        ring_.start = start;
        ring_.length = length;
        for (uint32_t i = 0; i < length; ++i) {
            ring_.data[(start + i) % capacity] = static_cast<unsigned char>(i);
        }
        ring_.end = (start + length) % capacity;
    }

    RingBuffer ring_;
};

struct GrowthCase {
    uint32_t capacity, start, length, extra, ceiling;
    uint32_t grownCapacity;  // 0: no growth
};

TEST_F(NetworkRingGrowthTest, ARingThatMustGrowDoublesUpToTheCeiling) {
    const GrowthCase cases[] = {
        {100, 60, 80, 10, UINT32_MAX, 0},        // fits: nothing moves
        {100, 60, 80, 50, UINT32_MAX, 1130},     // doubling (200) is below what is needed + slack
        {4000, 3000, 3500, 1000, UINT32_MAX, 8000},  // doubled
        {4000, 3000, 3500, 1000, 6000, 6000},    // the ceiling caps the doubling
        {4000, 3000, 3500, 5000, 6000, 9500},    // needed beyond the ceiling still fits
    };
    for (const GrowthCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "capacity " << c.capacity << " extra " << c.extra
                                        << " ceiling " << c.ceiling);
        RingBufferFree(&ring_);
        ResetNetWorkCounters();
        Fill(c.capacity, c.start, c.length);
        ASSERT_EQ(ReserveNetWorkRing(c.extra, c.ceiling, &ring_), 0);
        const NetWorkCounters counters = GetNetWorkCounters();
        if (c.grownCapacity == 0) {
            EXPECT_EQ(ring_.capacity, c.capacity);
            EXPECT_EQ(counters.ringGrowths, 0u);
            continue;
        }
        EXPECT_EQ(ring_.capacity, c.grownCapacity);
        EXPECT_GE(ring_.capacity - ring_.length, c.extra);
        EXPECT_EQ(counters.ringGrowths, 1u);
        EXPECT_EQ(counters.ringBytesCopied, c.length);
        ASSERT_EQ(ring_.start, 0u);
        ASSERT_EQ(ring_.length, c.length);
        for (uint32_t i = 0; i < c.length; ++i) {
            ASSERT_EQ(ring_.data[i], static_cast<unsigned char>(i)) << "byte " << i;
        }
    }
}

TEST_F(NetworkRingGrowthTest, ManySmallAppendsGrowLogarithmicallyAndKeepTheBytes) {
    std::vector<unsigned char> piece(1000);
    const int pieces = 4096;
    for (int i = 0; i < pieces; ++i) {
        for (size_t k = 0; k < piece.size(); ++k) piece[k] = static_cast<unsigned char>(i + k);
        ASSERT_EQ(AddRingBuffer(piece.data(), static_cast<uint32_t>(piece.size()), &ring_), 0);
    }
    const NetWorkCounters counters = GetNetWorkCounters();
    // From 2000 bytes to 4 MB by doubling: a dozen growths, together copying less than the
    // final size (one growth per piece would copy about 8 GB).
    EXPECT_LE(counters.ringGrowths, 14u);
    EXPECT_LT(counters.ringBytesCopied, static_cast<uint64_t>(pieces) * piece.size());
    ASSERT_EQ(ring_.length, static_cast<uint32_t>(pieces) * 1000u);
    std::vector<unsigned char> out(1000);
    for (int i = 0; i < pieces; ++i) {
        ASSERT_EQ(ReadRingBuffer(out.data(), 1000, 1, &ring_), 0);
        for (size_t k = 0; k < out.size(); ++k) {
            ASSERT_EQ(out[k], static_cast<unsigned char>(i + k)) << "piece " << i;
        }
    }
    EXPECT_EQ(ring_.length, 0u);
}

}  // namespace
