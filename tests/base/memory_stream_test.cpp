// Memory streams: partial elements at the end, clamped seeks, the end flag.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/memory_stream.h"
#include "tests/support/file_fixture.h"

namespace {

using MemoryStreamTest = FileFixture;

struct ReadCase {
    const char* name;
    size_t start;
    size_t size;
    size_t count;
    size_t elements;  // expected result
    size_t bytes;     // bytes expected to be copied
    int end;          // end flag afterwards
};

const ReadCase kReadCases[] = {
    {"all fit", 0, 4, 5, 5, 20, 0},
    {"exactly to the end", 0, 7, 3, 3, 21, 0},
    {"whole elements that fit", 11, 4, 5, 2, 8, 0},
    {"less than one element left", 18, 4, 5, 1, 3, 0},
    {"one byte left", 20, 4, 1, 1, 1, 0},
    {"at the end", 21, 4, 1, 0, 0, 1},
    {"count whose byte size wraps", 5, 2, SIZE_MAX / 2 + 1, 8, 16, 0},
};

TEST_F(MemoryStreamTest, Reads) {
    const std::string data = RandomBytes(21, 1);
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.name);
        uintptr_t stream = MemStreamOpen(data.data(), data.size());
        ASSERT_NE(stream, 0u);
        ASSERT_EQ(MemStreamSeek(stream, static_cast<int64_t>(c.start), 0), 0);
        char buffer[40];
        std::memset(buffer, 0x5A, sizeof(buffer));
        EXPECT_EQ(MemStreamRead(buffer, c.size, c.count, stream), c.elements);
        EXPECT_EQ(std::string(buffer, c.bytes), data.substr(c.start, c.bytes));
        EXPECT_EQ(buffer[c.bytes], 0x5A) << "nothing copied beyond";
        EXPECT_EQ(MemStreamTell(stream), static_cast<int64_t>(c.start + c.bytes));
        EXPECT_EQ(MemStreamEof(stream), c.end);
        EXPECT_EQ(MemStreamClose(stream), 0);
    }
}

TEST_F(MemoryStreamTest, EndFlagAndClampedSeeks) {
    const std::string data = RandomBytes(100, 2);
    uintptr_t stream = MemStreamOpen(data.data(), data.size());
    ASSERT_NE(stream, 0u);
    char buffer[100];

    ASSERT_EQ(MemStreamRead(buffer, 1, 100, stream), 100u);
    EXPECT_EQ(MemStreamEof(stream), 0) << "reading up to the end is not yet the end";
    EXPECT_EQ(MemStreamRead(buffer, 1, 1, stream), 0u);
    EXPECT_EQ(MemStreamEof(stream), 1);
    EXPECT_EQ(MemStreamRead(buffer, 1, 1, stream), 0u) << "a second read at the end";
    EXPECT_EQ(MemStreamEof(stream), 1);

    EXPECT_EQ(MemStreamSeek(stream, -5, 0), 0);
    EXPECT_EQ(MemStreamTell(stream), 0);
    EXPECT_EQ(MemStreamEof(stream), 0) << "a seek clears the end flag";
    EXPECT_EQ(MemStreamSeek(stream, 107, 0), 0);
    EXPECT_EQ(MemStreamTell(stream), 100);
    EXPECT_EQ(MemStreamSeek(stream, -30, 2), 0);
    EXPECT_EQ(MemStreamTell(stream), 70);
    EXPECT_EQ(MemStreamSeek(stream, -80, 1), 0);
    EXPECT_EQ(MemStreamTell(stream), 0);
    EXPECT_EQ(MemStreamSeek(stream, INT64_MAX, 1), 0);
    EXPECT_EQ(MemStreamTell(stream), 100);
    EXPECT_EQ(MemStreamSeek(stream, 1, 3), -1) << "unknown origin";

    EXPECT_EQ(MemStreamIdleCheck(stream), 1);
    EXPECT_EQ(MemStreamClose(stream), 0);
}

TEST_F(MemoryStreamTest, OpenFailsWhenMemoryRunsOut) {
    const char data[4] = {1, 2, 3, 4};
    plat::FailNextAllocations(1);
    EXPECT_EQ(MemStreamOpen(data, sizeof(data)), 0u);
}

}  // namespace
