// The game with named pipes where its files belong: a pipe as save.dat, as one of the res/
// images or as res.ZNA is refused at once (a pipe's open would otherwise wait for a writer that
// never comes, before the window could even be closed). The game then starts without the
// save, shows its error screen, or reads the loose files, exactly as when the file is missing.
// A pipe given as the input script stops the start as a missing script does. The save's own
// temporary name is never written through: a link there is replaced, and the file it points
// at is kept; a folder where the save belongs fails every save, which the player is told once.
// Every run is stopped by the runner's time limit should an open hang again.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/run/game_runner.h"
#include "tests/run/picture.h"

namespace fs = std::filesystem;

namespace {

constexpr int kTimeLimitSeconds = 50;
const std::string kTitleScript = "3 shot title.png\n10 close\n";
const std::string kErrorScript = "3 shot error.png\n5 down Z\n6 up Z\n40 close\n";
// Title, level select, the ready pause and a little play; Escape records the score (a save),
// back at level select another game is started and escaped (a second save).
const std::string kTwoSavesScript =
    "5 down Z\n6 up Z\n13 down Z\n14 up Z\n130 down Escape\n131 up Escape\n"
    "140 down Z\n141 up Z\n260 down Escape\n261 up Escape\n270 close\n";
const std::string kSaveFailedLine =
    "save.dat: the high scores could not be saved (kept until the game ends)\n";

class UnusualFilesRunTest : public ::testing::Test {
protected:
    void SetUp() override { runner_.SetTimeLimit(kTimeLimitSeconds); }

    // Runs the game and checks that it ended by itself with code 0.
    GameRunResult RunToEnd(const fs::path& dir, const std::string& script) {
        const GameRunResult run = runner_.Run(dir, script);
        EXPECT_FALSE(run.timedOut) << "the run hung";
        EXPECT_EQ(run.exitCode, 0) << run.stderrText;
        return run;
    }

    static Picture Shot(const fs::path& dir, const char* name) {
        Picture picture;
        EXPECT_TRUE(LoadPicture((dir / name).string(), &picture)) << name;
        return picture;
    }

    static void MakePipe(const fs::path& path) {
        ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0) << path;
    }

    GameRunner runner_;
};

TEST_F(UnusualFilesRunTest, APipeAsTheSaveFileStartsTheGameWithoutTheSave) {
    const fs::path plain = runner_.NewDir();
    RunToEnd(plain, kTitleScript);

    const fs::path piped = runner_.NewDir();
    MakePipe(piped / "save.dat");
    RunToEnd(piped, kTitleScript);
    EXPECT_TRUE(Shot(piped, "title.png").rgb == Shot(plain, "title.png").rgb);
    EXPECT_TRUE(fs::is_fifo(piped / "save.dat"));
}

TEST_F(UnusualFilesRunTest, APipeAsAnImageShowsTheErrorScreenAsAMissingImageDoes) {
    const fs::path missing = runner_.NewDir({"Player.bmp"});
    const GameRunResult missingRun = RunToEnd(missing, kErrorScript);

    const fs::path piped = runner_.NewDir({"Player.bmp"});
    MakePipe(piped / "res" / "Player.bmp");
    const GameRunResult pipedRun = RunToEnd(piped, kErrorScript);
    // The loader's usual line names the file, as for a missing one.
    const size_t named = pipedRun.log.find("res\\Player.bmp");
    ASSERT_NE(named, std::string::npos) << pipedRun.log;
    const size_t lineStart = pipedRun.log.rfind('\n', named) + 1;
    const size_t textStart = pipedRun.log.find(':', lineStart) + 1;  // after the time
    const std::string line =
        pipedRun.log.substr(textStart, pipedRun.log.find('\n', named) - textStart);
    EXPECT_NE(missingRun.log.find(line), std::string::npos) << line;
    EXPECT_TRUE(Shot(piped, "error.png").rgb == Shot(missing, "error.png").rgb);
}

TEST_F(UnusualFilesRunTest, APipeAsTheArchiveLeavesTheLooseFilesOrTheErrorScreen) {
    const fs::path plain = runner_.NewDir();
    RunToEnd(plain, kTitleScript);

    // Beside the res folder: the loose files are read.
    const fs::path beside = runner_.NewDir();
    MakePipe(beside / "res.ZNA");
    RunToEnd(beside, kTitleScript);
    EXPECT_TRUE(Shot(beside, "title.png").rgb == Shot(plain, "title.png").rgb);

    // In its place: nothing can be loaded, and the error screen shows.
    const fs::path alone = runner_.NewDir();
    fs::remove(alone / "res");
    MakePipe(alone / "res.ZNA");
    const GameRunResult run = RunToEnd(alone, kErrorScript);
    EXPECT_NE(run.log.find("res\\"), std::string::npos) << run.log;
    const Picture error = Shot(alone, "error.png");
    int white = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 200; ++x) white += (error.at(x, y) & 0xFFFFFF) == 0xFFFFFF;
    }
    EXPECT_GT(white, 20) << "no error text";
}

TEST_F(UnusualFilesRunTest, APipeAsTheInputScriptStopsTheStartAsAMissingScriptDoes) {
    const fs::path dir = runner_.NewDir();
    MakePipe(dir / "script.pipe");
    struct Case {
        fs::path script;
        const char* problem;
    } cases[] = {
        {dir / "missing.txt", "no such file"},
        {dir / "script.pipe", "is a pipe or a device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script.string());
        const GameRunResult run =
            runner_.Run(dir, kTitleScript, {"ZN_INPUT=" + c.script.string()});
        EXPECT_FALSE(run.timedOut) << "the run hung";
        EXPECT_EQ(run.exitCode, 2);
        // One line naming the variable, the file and what is wrong with it.
        EXPECT_EQ(run.stderrText.rfind("ZN_INPUT=" + c.script.string() + ": ", 0), 0u)
            << run.stderrText;
        EXPECT_NE(run.stderrText.find(c.problem), std::string::npos) << run.stderrText;
        EXPECT_EQ(run.log, "") << "the game started";
        EXPECT_FALSE(fs::exists(dir / "title.png"));
    }
    EXPECT_TRUE(fs::is_fifo(dir / "script.pipe"));
}

TEST_F(UnusualFilesRunTest, ALinkAtTheSavesTemporaryNameIsReplacedAndItsTargetKept) {
    const fs::path dir = runner_.NewDir();
    const std::string notes = "the player's own notes\n";
    std::ofstream(dir / "notes.txt", std::ios::binary) << notes;
    ASSERT_EQ(::symlink("notes.txt", (dir / "save.dat.tmp").c_str()), 0);
    const GameRunResult run = RunToEnd(dir, kTwoSavesScript);
    EXPECT_EQ(GameRunner::ReadFile(dir / "notes.txt"), notes);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "save.dat")));
    EXPECT_EQ(fs::file_size(dir / "save.dat"), 64u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "save.dat.tmp")));
    EXPECT_EQ(run.stderrText.find(kSaveFailedLine), std::string::npos) << run.stderrText;
}

TEST_F(UnusualFilesRunTest, AFolderAsTheSaveFileIsToldOnceAndTheGameGoesOn) {
    const fs::path dir = runner_.NewDir();
    fs::create_directory(dir / "save.dat");
    const GameRunResult run = RunToEnd(dir, kTwoSavesScript);
    const size_t told = run.stderrText.find(kSaveFailedLine);
    ASSERT_NE(told, std::string::npos) << run.stderrText;
    EXPECT_EQ(run.stderrText.find(kSaveFailedLine, told + 1), std::string::npos)
        << run.stderrText;
    EXPECT_TRUE(fs::is_directory(dir / "save.dat"));
}

}  // namespace
