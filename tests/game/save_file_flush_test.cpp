// The save file against what the disk does: the written bytes are flushed before the rename
// and the folder after it (seen through a stand-in of fsync that records each call and can
// fail one), and a named pipe in place of the save file is refused at once instead of holding
// the program.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <vector>

#include "hi_score.h"
#include "save_file.h"
#include "tests/game/stand_in/library_stand_in.h"
#include "tests/support/temp_dir.h"

namespace {

// One flush as the stand-in saw it: what the descriptor named, and the files of the folder at
// that moment.
struct FlushCall {
    std::string target;
    bool folder = false;
    std::string saveBytes;       // save.dat ("<none>" when missing)
    std::string temporaryBytes;  // save.dat.tmp ("<none>" when missing)
};

std::vector<FlushCall> g_flushes;
bool g_recording = false;
int g_failFileFlushes = 0;

// The file's bytes; "<none>" when it is missing, "<not a file>" for a pipe or anything else
// that is not a regular file (which is not opened: a pipe's open would wait).
std::string BytesOf(const char* name) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::symlink_status(name, ec);
    if (!std::filesystem::exists(status)) return "<none>";
    if (!std::filesystem::is_regular_file(status)) return "<not a file>";
    std::ifstream in(name, std::ios::binary);
    if (!in.is_open()) return "<none>";
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

// The game's calls of fsync land here (the definition in the program comes before the C
// library's); the real flush is made by the system call itself.
extern "C" int fsync(int fd) {
    if (g_recording) {
        FlushCall call;
        char link[64];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        char target[4096];
        const ssize_t n = ::readlink(link, target, sizeof target - 1);
        call.target = n > 0 ? std::string(target, static_cast<size_t>(n)) : "";
        struct stat st;
        call.folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
        call.saveBytes = BytesOf("save.dat");
        call.temporaryBytes = BytesOf("save.dat.tmp");
        g_flushes.push_back(call);
        if (!call.folder && g_failFileFlushes > 0) {
            --g_failFileFlushes;
            errno = EIO;
            return -1;
        }
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

std::string Le(int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((u >> (8 * i)) & 255);
    return s;
}

// A table of one score dated 2024-03-04 05:06:07 and the choice: the bytes of its save.
std::string SaveBytes(int score, int choice) {
    std::string s = Le(score) + Le(2024 * 65536 + 3 * 256 + 4) + Le(5 * 65536 + 6 * 256 + 7);
    s += std::string(48, '\0');
    return s + Le(choice);
}

class SaveFileFlushTest : public ::testing::Test {
protected:
    void SetUp() override {
        lib_.setDateTime(ApiDateTime{2024, 3, 4, 5, 6, 7, 0});
        g_flushes.clear();
        g_failFileFlushes = 0;
        g_recording = true;
    }
    void TearDown() override {
        g_recording = false;
        g_failFileFlushes = 0;
    }

    // Saves a table of one score and the choice as save.dat.
    static bool Save(int score, int choice) {
        HiScoreArray table;
        table.insert(score);
        return writeSaveFile("save.dat", table, choice);
    }

    ScopedTempDir dir_;
    LibraryStandIn lib_;
};

TEST_F(SaveFileFlushTest, TheFileIsFlushedBeforeTheRenameAndTheFolderAfterIt) {
    std::ofstream("save.dat", std::ios::binary) << SaveBytes(10, 1);
    ASSERT_TRUE(Save(777, 2));
    EXPECT_EQ(BytesOf("save.dat"), SaveBytes(777, 2));

    ASSERT_EQ(g_flushes.size(), 2u);
    const FlushCall& file = g_flushes[0];
    EXPECT_FALSE(file.folder);
    EXPECT_EQ(std::filesystem::path(file.target).filename(), "save.dat.tmp");
    EXPECT_EQ(file.temporaryBytes, SaveBytes(777, 2)) << "flushed before it was written whole";
    EXPECT_EQ(file.saveBytes, SaveBytes(10, 1)) << "flushed after the rename";

    const FlushCall& folder = g_flushes[1];
    EXPECT_TRUE(folder.folder);
    EXPECT_TRUE(std::filesystem::equivalent(folder.target, dir_.path()));
    EXPECT_EQ(folder.saveBytes, SaveBytes(777, 2)) << "the folder flushed before the rename";
    EXPECT_EQ(folder.temporaryBytes, "<none>");
}

TEST_F(SaveFileFlushTest, AFailedFlushIsReportedAndKeepsTheOldSave) {
    struct Case {
        const char* name;
        bool oldSave;
    } cases[] = {{"over an old save", true}, {"first save", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove("save.dat");
        if (c.oldSave) std::ofstream("save.dat", std::ios::binary) << SaveBytes(10, 1);
        g_flushes.clear();
        g_failFileFlushes = 1;
        EXPECT_FALSE(Save(777, 2));
        EXPECT_EQ(BytesOf("save.dat"), c.oldSave ? SaveBytes(10, 1) : "<none>");
        EXPECT_FALSE(std::filesystem::exists("save.dat.tmp"));
        ASSERT_EQ(g_flushes.size(), 1u);  // nothing renamed, so no folder to flush
        EXPECT_FALSE(g_flushes[0].folder);

        // The next save, flushed, goes through.
        EXPECT_TRUE(Save(778, 3));
        EXPECT_EQ(BytesOf("save.dat"), SaveBytes(778, 3));
    }
}

// Runs the call in a thread of its own; when it has not come back within a few seconds, the
// pipe's other end is opened so that the stuck open ends, and false says it blocked.
template <typename Call>
bool ReturnsWithoutBlocking(const char* pipe, Call call) {
    std::future<void> done = std::async(std::launch::async, call);
    const bool returned = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    int unblocker = -1;
    if (!returned) unblocker = ::open(pipe, O_RDWR | O_NONBLOCK);
    done.get();
    if (unblocker >= 0) ::close(unblocker);
    return returned;
}

TEST_F(SaveFileFlushTest, ANamedPipeAsTheSaveFileIsRefusedAtOnce) {
    ASSERT_EQ(::mkfifo("save.dat", 0644), 0);
    HiScoreArray table;
    table.insert(55);
    int choice = 3;
    bool read = true;
    EXPECT_TRUE(ReturnsWithoutBlocking("save.dat", [&] {
        read = readSaveFile("save.dat", table, choice);
    }));
    EXPECT_FALSE(read);
    EXPECT_EQ(choice, 3);
    EXPECT_EQ(table.at(0).getScore(), 55);

    // A save replaces the pipe with the file.
    EXPECT_TRUE(Save(66, 1));
    EXPECT_EQ(BytesOf("save.dat"), SaveBytes(66, 1));
}

// Whatever stands at the temporary name is a leftover of the game's own: a pipe there neither
// holds the save nor stops it, and a link there is replaced, never followed into its target.
TEST_F(SaveFileFlushTest, ALeftoverAtTheTemporaryNameIsReplacedWithoutBeingFollowed) {
    struct Leftover {
        const char* what;
        void (*make)();
    };
    const Leftover leftovers[] = {
        {"a named pipe", [] { ASSERT_EQ(::mkfifo("save.dat.tmp", 0644), 0); }},
        {"a link to a user's file",
         [] { ASSERT_EQ(::symlink("notes.txt", "save.dat.tmp"), 0); }},
        {"a dangling link", [] { ASSERT_EQ(::symlink("nowhere/file", "save.dat.tmp"), 0); }},
        {"a stale temporary file",
         [] { std::ofstream("save.dat.tmp", std::ios::binary) << "half a save"; }},
    };
    for (const Leftover& leftover : leftovers) {
        SCOPED_TRACE(leftover.what);
        std::filesystem::remove("save.dat");
        std::ofstream("notes.txt", std::ios::binary) << "the user's own words";
        std::ofstream("save.dat", std::ios::binary) << SaveBytes(10, 1);
        leftover.make();
        bool saved = false;
        EXPECT_TRUE(ReturnsWithoutBlocking("save.dat.tmp", [&] { saved = Save(777, 2); }));
        EXPECT_TRUE(saved);
        EXPECT_EQ(BytesOf("save.dat"), SaveBytes(777, 2));
        EXPECT_EQ(BytesOf("save.dat.tmp"), "<none>");
        EXPECT_EQ(BytesOf("notes.txt"), "the user's own words");
    }
}

}  // namespace
