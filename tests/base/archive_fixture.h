// A fixture for the archive tests: the file fixture (temporary current directory, leak check)
// with the archive tables emptied before and after, and helpers that write archives made by
// the archive writer.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/archive/archive_state.h"
#include "base/archive/archive_table.h"
#include "base/archive/archive_writer.h"
#include "tests/support/file_fixture.h"

class ArchiveFixture : public FileFixture {
protected:
    void SetUp() override {
        ClearArchiveTables();
        FileFixture::SetUp();
    }

    void TearDown() override {
        CloseAllArchives();
        SetArchiveKeyText(nullptr);
        SetArchiveExtension(nullptr);
        SetArchiveMemoryMode(0);
        FileFixture::TearDown();
    }

    static std::vector<unsigned char> MakeArchive(const std::vector<ArchiveSource>& sources,
                                                  ArchiveWriteOptions options = {}) {
        std::string error;
        std::vector<unsigned char> bytes = WriteArchive(sources, options, &error);
        EXPECT_FALSE(bytes.empty()) << error;
        return bytes;
    }

    static void WriteBytes(const char* name, const std::vector<unsigned char>& bytes) {
        WriteWholeFile(name, std::string(bytes.begin(), bytes.end()));
    }

    // The whole of a file read through the file access table; "<missing>" when it does not open.
    static std::string ReadThroughTable(const char* path) {
        const uintptr_t file = FileAccessOpen(path, 0, 0, 0);
        if (file == 0) return "<missing>";
        std::string bytes;
        char chunk[4096];
        for (;;) {
            const size_t got = FileAccessRead(chunk, 1, sizeof(chunk), file);
            if (got == 0) break;
            bytes.append(chunk, got);
        }
        EXPECT_EQ(FileAccessEof(file), -1);
        EXPECT_EQ(FileAccessClose(file), 0);
        return bytes;
    }
};
