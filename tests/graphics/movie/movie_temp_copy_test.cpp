// The temporary copy of a movie: chunks of at most 1 MB, a short read or write failing the
// copy (and leaving no file), a whole copy equal to its source.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/file_access_table.h"
#include "base/tracked_memory.h"
#include "graphics/movie/movie.h"
#include "platform/core/file.h"
#include "tests/support/temp_dir.h"

namespace {

// A source of size bytes that gives at most `readLimit` bytes in all, and a sink that takes at
// most `writeLimit` bytes in all, recording what it took and the chunk sizes asked for.
struct Ends {
    int64_t readLimit = 0;
    int64_t writeLimit = 0;
    int64_t readSoFar = 0;
    std::vector<uint8_t> written;
    std::vector<size_t> chunks;
};

int64_t Read(void* buffer, size_t size, void* context) {
    auto* e = static_cast<Ends*>(context);
    const int64_t n = std::min<int64_t>(static_cast<int64_t>(size), e->readLimit - e->readSoFar);
    for (int64_t i = 0; i < n; ++i) static_cast<uint8_t*>(buffer)[i] = static_cast<uint8_t>(e->readSoFar + i);
    e->readSoFar += n;
    return n;
}

int64_t Write(const void* data, size_t size, void* context) {
    auto* e = static_cast<Ends*>(context);
    e->chunks.push_back(size);
    const int64_t room = e->writeLimit - static_cast<int64_t>(e->written.size());
    const int64_t n = std::min<int64_t>(static_cast<int64_t>(size), room);
    const auto* bytes = static_cast<const uint8_t*>(data);
    e->written.insert(e->written.end(), bytes, bytes + n);
    return n;
}

TEST(MovieTempCopy, ChunksOfOneMegabyteAndShortReadsOrWritesFail) {
    constexpr int64_t kSize = 2 * 1048576 + 1000;
    const struct {
        const char* name;
        int64_t readLimit, writeLimit;
        bool whole;
        std::vector<size_t> chunks;
    } cases[] = {
        {"whole", kSize, kSize, true, {1048576, 1048576, 1000}},
        {"short write", kSize, 1048576 + 10, false, {1048576, 1048576}},
        {"short read", 1048576 + 5, kSize, false, {1048576}},
        {"empty", 0, 0, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ends ends;
        ends.readLimit = c.readLimit;
        ends.writeLimit = c.writeLimit;
        const int64_t size = c.readLimit == 0 ? 0 : kSize;
        EXPECT_EQ(CopyMovieInChunks(size, Read, &ends, Write, &ends), c.whole);
        EXPECT_EQ(ends.chunks, c.chunks);
        if (c.whole) {
            ASSERT_EQ(static_cast<int64_t>(ends.written.size()), size);
            for (size_t i = 0; i < ends.written.size(); i += 4099) {
                ASSERT_EQ(ends.written[i], static_cast<uint8_t>(i));
            }
        }
    }
    EXPECT_EQ(GetAllocState().count, 0u);
}

TEST(MovieTempCopy, AFileIsCopiedWholeIntoATemporaryFile) {
    ScopedTempDir dir;
    std::filesystem::create_directories(dir.path() / "tmp");
    setenv("TMPDIR", (dir.path() / "tmp").c_str(), 1);
    std::string content(1048576 + 77, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 13);
    std::ofstream(dir.path() / "movie.bin", std::ios::binary) << content;

    char temp[plat::kMaxPath] = {};
    ASSERT_EQ(CopyMovieToTempFile("movie.bin", temp), 0);
    const std::filesystem::path copy = plat::MapPath(temp);
    EXPECT_EQ(copy.parent_path(), dir.path() / "tmp");
    std::ifstream in(copy, std::ios::binary);
    const std::string copied((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(copied, content);
    std::filesystem::remove(copy);

    EXPECT_EQ(CopyMovieToTempFile("missing.bin", temp), -1);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "tmp"));
    unsetenv("TMPDIR");
}

}  // namespace
