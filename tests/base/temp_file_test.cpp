// Temporary files: new, empty, writable, with their full path handed back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "base/temp_file.h"
#include "tests/support/file_fixture.h"

namespace {

class TempFileTest : public FileFixture {
protected:
    // The temporary directory is the test's own, so that nothing is left elsewhere.
    void SetUp() override {
        FileFixture::SetUp();
        const char* previous = std::getenv("TMPDIR");
        hadTmpDir_ = previous != nullptr;
        if (hadTmpDir_) previousTmpDir_ = previous;
        setenv("TMPDIR", dir_.str().c_str(), 1);
    }
    void TearDown() override {
        if (hadTmpDir_) {
            setenv("TMPDIR", previousTmpDir_.c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
        FileFixture::TearDown();
    }

    bool hadTmpDir_ = false;
    std::string previousTmpDir_;
};

TEST_F(TempFileTest, NewWritableFilesWithTheirPaths) {
    char first[260];
    char second[260];
    plat::File* a = CreateTempFile(first);
    plat::File* b = CreateTempFile(second);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_STRNE(first, second);
    EXPECT_EQ(std::string(first).rfind(dir_.str() + "/", 0), 0u) << first;
    EXPECT_EQ(plat::FileSize(a), 0);

    EXPECT_EQ(plat::WriteFile(a, "movie", 5), 5);
    plat::CloseFile(a);
    plat::CloseFile(b);
    uintptr_t file = DiskFileOpen(first, 0, 0, 0);
    ASSERT_NE(file, 0u);
    char buffer[8] = {};
    EXPECT_EQ(DiskFileRead(buffer, 1, 8, file), 5u);
    EXPECT_STREQ(buffer, "movie");
    EXPECT_EQ(DiskFileClose(file), 0);

    plat::File* c = CreateTempFile(nullptr);
    ASSERT_NE(c, nullptr) << "the path is optional";
    plat::CloseFile(c);
}

TEST_F(TempFileTest, FailureGivesNull) {
    plat::FailNextFileOpens(1);
    char path[260] = "unchanged";
    EXPECT_EQ(CreateTempFile(path), nullptr);
    EXPECT_STREQ(path, "unchanged");
}

}  // namespace
