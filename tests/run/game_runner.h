// Whole runs of the built game program as a child process, headless on the virtual clock, each
// in a working directory of its own that sees the build's res/ folder (or a copy with files
// left out), with a script of input and shots.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

struct GameRunResult {
    int exitCode = -1;   // -1 when the program did not end by itself
    std::string log;     // the Log.txt the run wrote ("" when none)
    std::string stderrText;
    bool timedOut = false;  // stopped by the runner's time limit
};

class GameRunner {
public:
    // The moment the runs' local clock starts from.
    static constexpr const char* kNow = "2009-06-15T10:20:30";

    GameRunner();
    ~GameRunner();
    GameRunner(const GameRunner&) = delete;
    GameRunner& operator=(const GameRunner&) = delete;

    // A fresh working directory whose res/ is the build's resource folder; with files left
    // out, res/ is a copy of it without them.
    std::filesystem::path NewDir(const std::vector<std::string>& leftOut = {});
    // Runs the game in dir with the input script (ZN_INPUT), ZN_NOW = kNow, the start-up
    // question answered No (a window); the extra variables (NAME=value) given add to these or
    // replace them.
    GameRunResult Run(const std::filesystem::path& dir, const std::string& script,
                      const std::vector<std::string>& extraEnv = {});

    static std::string ReadFile(const std::filesystem::path& path);

    // Runs from now on are stopped (killed) when they have not ended after this many seconds
    // of real time; 0, the default, lets them run until they end. A guard for runs that could
    // otherwise hang the test, not a measure of speed.
    void SetTimeLimit(int seconds) { timeLimitSeconds_ = seconds; }

private:
    std::filesystem::path root_;
    int dirs_ = 0;
    int timeLimitSeconds_ = 0;
};
