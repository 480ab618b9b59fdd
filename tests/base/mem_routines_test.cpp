#include "base/mem_routines.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <numeric>

namespace {

using Buffer = std::array<uint8_t, 32>;

Buffer Numbered() {
    Buffer b;
    std::iota(b.begin(), b.end(), uint8_t{1});
    return b;
}

TEST(MemRoutinesTest, MoveBehavesAsThroughATemporaryCopy) {
    const struct {
        size_t dst, src, n;
    } cases[] = {
        {4, 0, 16},   // destination above the source, overlapping
        {0, 4, 16},   // destination below the source, overlapping
        {5, 5, 10},   // the same place
        {20, 0, 8},   // apart
        {1, 0, 31},
        {0, 1, 31},
        {3, 9, 0},
    };
    for (const auto& c : cases) {
        Buffer actual = Numbered();
        Buffer expected = Numbered();
        MemMove(actual.data() + c.dst, actual.data() + c.src, c.n);
        std::memmove(expected.data() + c.dst, expected.data() + c.src, c.n);
        EXPECT_EQ(actual, expected) << "dst " << c.dst << " src " << c.src << " n " << c.n;
    }
}

TEST(MemRoutinesTest, CopyAndFill) {
    Buffer a{};
    const Buffer src = Numbered();
    MemCopy(a.data() + 2, src.data(), 5);
    const Buffer copied{0, 0, 1, 2, 3, 4, 5};
    EXPECT_EQ(a, copied);

    MemFill(a.data() + 1, 0x1AB, 3);  // the low byte only
    const Buffer filled{0, 0xAB, 0xAB, 0xAB, 3, 4, 5};
    EXPECT_EQ(a, filled);
    MemFill(a.data(), 7, 0);
    EXPECT_EQ(a, filled);
}

TEST(MemRoutinesTest, CompareAndDiffers) {
    const uint8_t x[] = {1, 2, 3, 4};
    const uint8_t y[] = {1, 2, 9, 4};
    const struct {
        int64_t n;
        int compare, differs;
    } cases[] = {{0, 0, 0}, {2, 0, 0}, {3, 1, 1}, {4, 1, 1}, {-1, -1, 1}};
    for (const auto& c : cases) {
        if (c.n >= 0) {
            EXPECT_EQ(MemCompare(x, y, static_cast<size_t>(c.n)), c.compare) << c.n;
        }
        EXPECT_EQ(MemDiffers(x, y, c.n), c.differs) << c.n;
    }
    EXPECT_EQ(MemCompare(x, x, 4), 0);
}

}  // namespace
