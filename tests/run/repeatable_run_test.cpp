// Whole runs of the game program as a child process: a scripted headless run on the virtual
// clock writes the same log every time, to the millisecond; a bad ZN_* value stops the program
// at start with a message naming the variable.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct RunResult {
    int exitCode = -1;
    std::string log;     // the Log.txt the run wrote ("" when none)
    std::string stderrText;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class GameRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zn_run_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        script_ = root_ / "input.txt";
        std::ofstream(script_) << "# a few key presses, then the window is closed\n"
                                  "2 down Z\n3 up Z\n4 down Escape\n5 up Escape\n8 close\n";
    }
    void TearDown() override { fs::remove_all(root_); }

    // Runs the game in a fresh folder of its own with exactly these variables.
    RunResult Run(const std::vector<std::string>& variables) {
        const fs::path dir = root_ / ("run" + std::to_string(++runs_));
        fs::create_directory(dir);
        const fs::path errPath = dir / "stderr.txt";
        std::vector<std::string> env = variables;
        env.push_back("PATH=/usr/bin:/bin");
        // The single-instance lock of this run alone: runs side by side do not refuse each other.
        env.push_back(std::string("XDG_RUNTIME_DIR=") + dir.string());
        std::vector<char*> envp;
        for (std::string& v : env) envp.push_back(v.data());
        envp.push_back(nullptr);
        std::string program = ZN_GAME_PROGRAM;
        char* argv[] = {program.data(), nullptr};

        const pid_t pid = fork();
        if (pid == 0) {
            const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (err < 0 || dup2(err, 2) < 0 || chdir(dir.c_str()) != 0) _exit(127);
            execve(program.c_str(), argv, envp.data());
            _exit(127);
        }
        RunResult result;
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid) return result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (fs::exists(dir / "Log.txt")) result.log = ReadFile(dir / "Log.txt");
        result.stderrText = ReadFile(errPath);
        return result;
    }

    std::vector<std::string> ScriptedRun() const {
        return {"ZN_VIDEO=headless", "ZN_CLOCK=virtual", "ZN_NOW=2009-06-15T10:20:30",
                "ZN_ANSWER=no", "ZN_INPUT=" + script_.string()};
    }

    fs::path root_;
    fs::path script_;
    int runs_ = 0;
};

TEST_F(GameRunTest, ScriptedVirtualClockRunsWriteTheSameLogToTheMillisecond) {
    const RunResult first = Run(ScriptedRun());
    ASSERT_EQ(first.exitCode, 0) << first.stderrText;
    // A log with its millisecond prefixes, from start-up to the memory dump at the end.
    ASSERT_NE(first.log.find("\n"), std::string::npos);
    EXPECT_EQ(first.log.rfind("0:", 0), 0u);
    EXPECT_NE(first.log.find("Alloc memory dump"), std::string::npos);
    for (int again = 0; again < 2; ++again) {
        const RunResult next = Run(ScriptedRun());
        ASSERT_EQ(next.exitCode, 0) << next.stderrText;
        EXPECT_EQ(next.log, first.log) << "run " << again + 2 << " differs";
    }
}

TEST_F(GameRunTest, BadVariableStopsTheProgramAtStartNamingIt) {
    struct Case {
        std::string variable;
        const char* wanted;
    };
    const Case cases[] = {
        {"ZN_NOW=2009-06-15 10:20:30", "ZN_NOW=2009-06-15 10:20:30: accepted values are"},
        {"ZN_ANSWER=maybe", "ZN_ANSWER=maybe: accepted values are yes, no, cancel or ok"},
        {"ZN_CLOCK=fast", "ZN_CLOCK=fast: accepted values are virtual"},
        {"ZN_VIDEO=x11", "ZN_VIDEO=x11: accepted values are headless or sdl2"},
        {"ZN_DEBUG_OUTPUT=on", "ZN_DEBUG_OUTPUT=on: accepted values are 0 or 1"},
        {"ZN_INPUT=" + root_.string(), "is a folder"},
        {"ZN_INPUT=" + (root_ / "missing.txt").string(), "no such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable);
        std::vector<std::string> variables = {"ZN_VIDEO=headless", "ZN_CLOCK=virtual"};
        const std::string name = c.variable.substr(0, c.variable.find('='));
        std::erase_if(variables, [&name](const std::string& v) { return v.rfind(name, 0) == 0; });
        variables.push_back(c.variable);
        const RunResult r = Run(variables);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.stderrText.find(c.wanted), std::string::npos) << r.stderrText;
        EXPECT_EQ(r.log, "");  // stopped before the library started
    }
    // A malformed script is refused the same way, naming the line.
    std::ofstream(script_) << "1 down Z\nsoon up Z\n";
    const RunResult r = Run(ScriptedRun());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.stderrText.find("ZN_INPUT: "), std::string::npos) << r.stderrText;
    EXPECT_NE(r.stderrText.find("line 2"), std::string::npos) << r.stderrText;
}

TEST(GameProgramTest, CarriesNoneOfThePlatformsTestControls) {
    // The test controls are a library of their own that the game program does not link: none
    // of their names is in its symbol table.
    const std::string binary = ReadFile(ZN_GAME_PROGRAM);
    ASSERT_FALSE(binary.empty());
    for (const char* name : {"ResetTestControls", "FailNextAllocations", "ResetWindowTestControls",
                             "StartInstanceLockHolder", "ResetDDrawTestControls",
                             "ResetInputTestControls", "ReferenceBlit", "SetOsVersionForTests",
                             "TakeMessageBoxRecords", "FailNextWindowCreations"}) {
        EXPECT_EQ(binary.find(name), std::string::npos) << name;
    }
    // The headless backend's injection, which scripted runs use, is there.
    EXPECT_NE(binary.find("InjectKey"), std::string::npos);
}

}  // namespace
