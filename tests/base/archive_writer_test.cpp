// The archive writer's refusals: what it cannot store is reported, not written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/archive/archive_writer.h"

namespace {

ArchiveSource File(const std::string& path, const std::string& data = "x") {
    ArchiveSource source;
    source.path = path;
    source.data = data;
    return source;
}

TEST(ArchiveWriter, RefusesWhatCannotBeStored) {
    ArchiveSource folder;
    folder.path = "a";
    folder.directory = true;
    ArchiveWriteOptions version4;
    version4.version = 4;
    const struct {
        const char* name;
        std::vector<ArchiveSource> sources;
        ArchiveWriteOptions options;
    } cases[] = {
        {"version 4", {File("a")}, version4},
        {"an empty path", {File("\\/")}, {}},
        {"a name twice in any case", {File("dir/Name.txt"), File("DIR\\name.TXT")}, {}},
        {"a file where a folder is needed", {File("a"), File("a/b")}, {}},
        {"a file over a folder", {folder, File("a")}, {}},
        {"a dot part", {File("a/../b")}, {}},
        {"a name over 255 bytes", {File(std::string(256, 'n'))}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_TRUE(WriteArchive(c.sources, c.options, &error).empty());
        EXPECT_FALSE(error.empty());
    }
}

TEST(ArchiveWriter, AFolderListedAfterItsFilesIsNoDuplicate) {
    ArchiveSource folder;
    folder.path = "a";
    folder.directory = true;
    std::string error;
    EXPECT_FALSE(WriteArchive({File("a/b"), folder}, {}, &error).empty()) << error;
}

}  // namespace
