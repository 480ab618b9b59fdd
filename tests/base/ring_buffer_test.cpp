#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/testing/test_controls.h"
#include "base/ring_buffer.h"
#include "base/tracked_memory.h"
#include "tests/support/log_test_fixture.h"

namespace {

// "リングバッファの再確保に失敗しました(確保しようとしたサイズ " in Shift-JIS.
const unsigned char kGrowFailedSjis[] = {
    0x83, 0x8A, 0x83, 0x93, 0x83, 0x4F, 0x83, 0x6F, 0x83, 0x62, 0x83, 0x74, 0x83, 0x40,
    0x82, 0xCC, 0x8D, 0xC4, 0x8A, 0x6D, 0x95, 0xDB, 0x82, 0xC9, 0x8E, 0xB8, 0x94, 0x73,
    0x82, 0xB5, 0x82, 0xDC, 0x82, 0xB5, 0x82, 0xBD, 0x28, 0x8A, 0x6D, 0x95, 0xDB, 0x82,
    0xB5, 0x82, 0xE6, 0x82, 0xA4, 0x82, 0xC6, 0x82, 0xB5, 0x82, 0xBD, 0x83, 0x54, 0x83,
    0x43, 0x83, 0x59, 0x20};

class RingBufferTest : public LogFixture {
protected:
    void TearDown() override {
        RingBufferFree(&ring_);
        LogFixture::TearDown();
    }

    // A ring of the given capacity holding length bytes 0, 1, 2, ... from position start on,
    // wrapping past the end when they do not fit.
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

    std::vector<unsigned char> Bytes(uint32_t from, uint32_t count) const {
        return std::vector<unsigned char>(ring_.data + from, ring_.data + from + count);
    }

    static std::vector<unsigned char> Counting(uint32_t count) {
        std::vector<unsigned char> out(count);
        for (uint32_t i = 0; i < count; ++i) out[i] = static_cast<unsigned char>(i);
        return out;
    }

    RingBuffer ring_;
};

TEST_F(RingBufferTest, WrappedDataMovesInOrderToTheStartOfTheGrownBuffer) {
    Fill(100, 60, 80);  // 40 bytes at 60..99, the other 40 at 0..39
    EXPECT_EQ(RingBufferReserve(50, &ring_), 0);
    EXPECT_EQ(ring_.capacity, 1130u);
    EXPECT_EQ(ring_.start, 0u);
    EXPECT_EQ(ring_.end, 80u);
    EXPECT_EQ(ring_.length, 80u);
    EXPECT_EQ(Bytes(0, 80), Counting(80));
    EXPECT_EQ(GetAllocState().count, 1u);  // the old buffer went back
}

TEST_F(RingBufferTest, UnwrappedDataMovesToTheStart) {
    Fill(100, 10, 70);
    EXPECT_EQ(RingBufferReserve(31, &ring_), 0);
    EXPECT_EQ(ring_.capacity, 1101u);
    EXPECT_EQ(ring_.start, 0u);
    EXPECT_EQ(ring_.end, 70u);
    EXPECT_EQ(Bytes(0, 70), Counting(70));
}

TEST_F(RingBufferTest, EnoughRoomKeepsTheBuffer) {
    Fill(100, 100 - 30, 30);  // ends exactly at the capacity
    ring_.end = 100;
    unsigned char* before = ring_.data;
    EXPECT_EQ(RingBufferReserve(70, &ring_), 0);
    EXPECT_EQ(ring_.data, before);
    EXPECT_EQ(ring_.capacity, 100u);
    EXPECT_EQ(ring_.end, 0u);  // wrapped by the reserve
}

TEST_F(RingBufferTest, EmptyRingGetsItsFirstBuffer) {
    EXPECT_EQ(RingBufferReserve(10, &ring_), 0);
    ASSERT_NE(ring_.data, nullptr);
    EXPECT_EQ(ring_.capacity, 1010u);
    EXPECT_EQ(ring_.length, 0u);
}

TEST_F(RingBufferTest, WrapPositionsOnlyAtCapacity) {
    ring_.capacity = 50;
    ring_.start = 50;
    ring_.end = 49;
    RingBufferWrapPositions(&ring_);
    EXPECT_EQ(ring_.start, 0u);
    EXPECT_EQ(ring_.end, 49u);
    ring_.end = 50;
    RingBufferWrapPositions(&ring_);
    EXPECT_EQ(ring_.end, 0u);
    ring_ = RingBuffer{};
}

TEST_F(RingBufferTest, FailedGrowthKeepsDataAndLogsInShiftJis) {
    Fill(100, 60, 80);
    RingBuffer before = ring_;
    plat::FailNextAllocations(1);
    EXPECT_EQ(RingBufferReserve(50, &ring_), -1);
    EXPECT_EQ(ring_.data, before.data);
    EXPECT_EQ(ring_.capacity, 100u);
    EXPECT_EQ(ring_.start, 60u);
    EXPECT_EQ(ring_.end, 40u);
    EXPECT_EQ(ring_.length, 80u);
    for (uint32_t i = 0; i < 80; ++i) ASSERT_EQ(ring_.data[(60 + i) % 100], i) << i;

    // The heap failure dumps the live blocks first; the ring's own line comes last.
    std::string expectedLine = "0:" +
                               std::string(reinterpret_cast<const char*>(kGrowFailedSjis),
                                           sizeof(kGrowFailedSjis)) +
                               "1130 byte)\r\n";
    std::string log = LogText();
    ASSERT_GE(log.size(), expectedLine.size());
    EXPECT_EQ(log.substr(log.size() - expectedLine.size()), expectedLine);

    // Growth works again once memory is there.
    EXPECT_EQ(RingBufferReserve(50, &ring_), 0);
    EXPECT_EQ(Bytes(0, 80), Counting(80));
}

TEST_F(RingBufferTest, SizeBeyondAnyBlockIsRefusedAndDataKept) {
    Fill(100, 0, 10);
    unsigned char* before = ring_.data;
    EXPECT_EQ(RingBufferReserve(UINT32_MAX, &ring_), -1);
    EXPECT_EQ(ring_.data, before);
    EXPECT_EQ(ring_.length, 10u);
    EXPECT_EQ(ring_.capacity, 100u);
}

TEST_F(RingBufferTest, FreeReleasesAndZeroes) {
    Fill(100, 5, 20);
    EXPECT_EQ(RingBufferFree(&ring_), 0);
    EXPECT_EQ(ring_.data, nullptr);
    EXPECT_EQ(ring_.start, 0u);
    EXPECT_EQ(ring_.end, 0u);
    EXPECT_EQ(ring_.length, 0u);
    EXPECT_EQ(ring_.capacity, 0u);
    EXPECT_EQ(GetAllocState().count, 0u);
}

}  // namespace
