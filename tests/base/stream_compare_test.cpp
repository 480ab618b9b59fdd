// Disk files in each mode and memory streams, read through their stream function tables and
// compared byte for byte with the file they stand for, over element sizes and seek patterns.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "base/data_stream.h"
#include "base/memory_stream.h"
#include "tests/support/file_fixture.h"

namespace {

enum class Kind { Memory, Plain, Cached, Async, CachedAsync };
enum class Pattern { Sequential, RandomJumps, FromTheEnd, RelativeSteps, PastTheEnds };

// A few hundred KB with an odd tail, so that the 128 KB read-ahead buffer wraps several times
// and no element size divides the file.
constexpr size_t kFileSize = 300 * 1024 + 37;
constexpr size_t kElementSizes[] = {1, 3, 4, 7, 512, 4096, 65539, 200003};

struct Op {
    bool seek;
    int64_t offset;
    int origin;
};

// What a stream must do: disk files read whole elements only and may be placed beyond the end
// but not below 0; memory streams clamp seeks and hand out a last partial element.
struct ExpectedStream {
    const std::string& data;
    bool memory;
    int64_t position = 0;
    bool end = false;

    int Seek(int64_t offset, int origin) {
        int64_t size = static_cast<int64_t>(data.size());
        int64_t target = (origin == 0 ? 0 : origin == 1 ? position : size) + offset;
        if (memory) {
            position = std::clamp<int64_t>(target, 0, size);
        } else {
            if (target < 0) return -1;
            position = target;
        }
        end = false;
        return 0;
    }

    size_t Read(size_t size, size_t count, std::string* bytes) {
        bytes->clear();
        int64_t total = static_cast<int64_t>(data.size());
        if (position >= total) {
            end = true;
            return 0;
        }
        size_t left = static_cast<size_t>(total - position);
        size_t whole = left / size;
        size_t elements, taken;
        if (count <= whole) {
            elements = count;
            taken = count * size;
        } else if (whole > 0) {
            elements = whole;
            taken = whole * size;
        } else if (memory) {
            elements = 1;
            taken = left;
        } else {
            end = true;
            return 0;
        }
        *bytes = data.substr(static_cast<size_t>(position), taken);
        position += static_cast<int64_t>(taken);
        if (memory) end = false;
        return elements;
    }
};

// The steps of a pattern: seeks, and reads of the element size and count under test.
std::vector<Op> MakeOps(Pattern pattern, size_t elementSize, size_t chunk) {
    const int64_t size = static_cast<int64_t>(kFileSize);
    std::vector<Op> ops;
    auto seek = [&](int64_t offset, int origin) { ops.push_back({true, offset, origin}); };
    auto read = [&] { ops.push_back({false, 0, 0}); };
    switch (pattern) {
        case Pattern::Sequential:
            for (size_t i = 0; i < kFileSize / chunk + 3; ++i) read();
            break;
        case Pattern::RandomJumps: {
            std::mt19937 random(static_cast<uint32_t>(elementSize));
            for (int i = 0; i < 16; ++i) {
                seek(static_cast<int64_t>(random() % (kFileSize + 1)), 0);
                read();
            }
            break;
        }
        case Pattern::FromTheEnd:
            for (int64_t k = 1; k <= 8; ++k) {
                seek(-(k * size / 9 + k), 2);
                read();
            }
            break;
        case Pattern::RelativeSteps:
            seek(1000, 0);
            for (int i = 0; i < 12; ++i) {
                read();
                seek(-static_cast<int64_t>(chunk / 2 + 3), 1);
                read();
                seek(4099, 1);
            }
            break;
        case Pattern::PastTheEnds:
            seek(size + 5, 0);  // beyond the end: reads find the end
            read();
            seek(-1, 0);  // below 0: refused by files, clamped by memory
            read();
            seek(-(2 * size), 1);
            read();
            seek(size - static_cast<int64_t>(elementSize / 2) - 1, 0);  // less than an element left
            read();
            read();
            seek(0, 2);
            read();
            read();
            seek(-3, 1);
            read();
            seek(7, 1);
            read();
            break;
    }
    return ops;
}

class StreamCompareTest : public FileFixture,
                          public ::testing::WithParamInterface<std::tuple<Kind, Pattern>> {
protected:
    void SetUp() override {
        FileFixture::SetUp();
        // The disk set itself: the test looks into the disk file records behind the handles.
        SetFileAccessNoArchive(1);
        SetFileAccessTable(nullptr);
        data_ = RandomBytes(kFileSize, 7);
        WriteWholeFile("data.bin", data_);
        // The read-ahead runs whenever the thread has been idle for a millisecond: cached files
        // wait for it after each step, cached asynchronous ones let it interleave.
        SetDiskReadAheadWait(1);
    }

    DataStream Open(Kind kind) {
        DataStream stream{};
        if (kind == Kind::Memory) {
            stream.functions = *GetMemStreamFunctions();
            stream.handle = MemStreamOpen(data_.data(), data_.size());
        } else {
            stream.functions = *GetFileStreamFunctions();
            int cache = kind == Kind::Cached || kind == Kind::CachedAsync;
            int async = kind == Kind::Async || kind == Kind::CachedAsync;
            stream.handle = FileAccessOpen("data.bin", cache, 0, async);
        }
        return stream;
    }

    std::string data_;
};

TEST_P(StreamCompareTest, ReadsMatchTheFile) {
    const auto [kind, pattern] = GetParam();
    for (size_t elementSize : kElementSizes) {
        SCOPED_TRACE("element size " + std::to_string(elementSize));
        const size_t count = std::max<size_t>(1, 6000 / elementSize);
        DataStream stream = Open(kind);
        ASSERT_NE(stream.handle, 0u);
        ExpectedStream expected{data_, kind == Kind::Memory};

        std::vector<unsigned char> buffer(elementSize * count + 16);
        std::string want;
        int step = 0;
        for (const Op& op : MakeOps(pattern, elementSize, elementSize * count)) {
            SCOPED_TRACE("step " + std::to_string(step++));
            if (op.seek) {
                ASSERT_EQ(stream.functions.seek(stream.handle, op.offset, op.origin),
                          expected.Seek(op.offset, op.origin));
            } else {
                std::fill(buffer.begin(), buffer.end(), 0xCD);
                size_t got =
                    stream.functions.read(buffer.data(), elementSize, count, stream.handle);
                ASSERT_EQ(got, expected.Read(elementSize, count, &want));
                if (kind == Kind::Async || kind == Kind::CachedAsync) {
                    ASSERT_TRUE(
                        WaitUntil([&] { return stream.functions.idleCheck(stream.handle) == 1; }));
                }
                ASSERT_EQ(0, std::memcmp(buffer.data(), want.data(), want.size()));
                ASSERT_TRUE(std::all_of(buffer.begin() + want.size(), buffer.end(),
                                        [](unsigned char c) { return c == 0xCD; }))
                    << "bytes written beyond what was read";
            }
            if (kind == Kind::Cached) {
                // Let the read-ahead top its buffer up, so that the next read is served from it.
                auto* file = reinterpret_cast<DiskFileRecord*>(stream.handle);
                ASSERT_TRUE(WaitUntil([&] {
                    return file->cachedBytes.load() == kDiskFileCacheSize ||
                           file->cachePosition.load() + file->cachedBytes.load() >=
                               static_cast<int64_t>(kFileSize);
                }));
            }
            ASSERT_EQ(stream.functions.tell(stream.handle), expected.position);
            ASSERT_EQ(stream.functions.eof(stream.handle) != 0, expected.end);
        }
        // A seek is handed to the access thread without waiting: idle follows shortly.
        EXPECT_TRUE(WaitUntil([&] { return stream.functions.idleCheck(stream.handle) == 1; }));
        EXPECT_EQ(stream.functions.close(stream.handle), 0);
    }
}

std::string KindName(Kind kind) {
    switch (kind) {
        case Kind::Memory:
            return "Memory";
        case Kind::Plain:
            return "Plain";
        case Kind::Cached:
            return "Cached";
        case Kind::Async:
            return "Async";
        case Kind::CachedAsync:
            return "CachedAsync";
    }
    return "";
}

std::string PatternName(Pattern pattern) {
    switch (pattern) {
        case Pattern::Sequential:
            return "Sequential";
        case Pattern::RandomJumps:
            return "RandomJumps";
        case Pattern::FromTheEnd:
            return "FromTheEnd";
        case Pattern::RelativeSteps:
            return "RelativeSteps";
        case Pattern::PastTheEnds:
            return "PastTheEnds";
    }
    return "";
}

INSTANTIATE_TEST_SUITE_P(
    AllStreams, StreamCompareTest,
    ::testing::Combine(
        ::testing::Values(Kind::Memory, Kind::Plain, Kind::Cached, Kind::Async, Kind::CachedAsync),
        ::testing::Values(Pattern::Sequential, Pattern::RandomJumps, Pattern::FromTheEnd,
                          Pattern::RelativeSteps, Pattern::PastTheEnds)),
    [](const auto& info) {
        return KindName(std::get<0>(info.param)) + PatternName(std::get<1>(info.param));
    });

}  // namespace
