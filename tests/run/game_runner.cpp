#include "tests/run/game_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <thread>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

GameRunner::GameRunner() {
    char pattern[] = "/tmp/zn_game_run_XXXXXX";
    if (mkdtemp(pattern) != nullptr) root_ = pattern;
}

GameRunner::~GameRunner() {
    std::error_code ignored;
    if (!root_.empty()) fs::remove_all(root_, ignored);
}

std::string GameRunner::ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

fs::path GameRunner::NewDir(const std::vector<std::string>& leftOut) {
    std::string name = "run";
    name += std::to_string(++dirs_);
    const fs::path dir = root_ / name;
    fs::create_directories(dir);
    const fs::path resources = ZN_GAME_RESOURCES;
    if (leftOut.empty()) {
        fs::create_directory_symlink(resources, dir / "res");
    } else {
        fs::create_directory(dir / "res");
        for (const fs::directory_entry& e : fs::directory_iterator(resources)) {
            const std::string name = e.path().filename().string();
            if (std::find(leftOut.begin(), leftOut.end(), name) != leftOut.end()) continue;
            fs::copy_file(e.path(), dir / "res" / name);
        }
    }
    return dir;
}

GameRunResult GameRunner::Run(const fs::path& dir, const std::string& script,
                              const std::vector<std::string>& extraEnv) {
    const fs::path scriptPath = dir / "input.txt";
    std::ofstream(scriptPath) << script;
    const fs::path errPath = dir / "stderr.txt";
    std::vector<std::string> env = {"ZN_VIDEO=headless", "ZN_CLOCK=virtual",
                                    std::string("ZN_NOW=") + kNow, "ZN_ANSWER=no",
                                    std::string("ZN_INPUT=") + scriptPath.string(),
                                    "PATH=/usr/bin:/bin",
                                    // the single-instance lock of this run alone, so that
                                    // runs side by side do not refuse each other
                                    std::string("XDG_RUNTIME_DIR=") + dir.string()};
    for (const std::string& extra : extraEnv) {
        const std::string name = extra.substr(0, extra.find('=') + 1);
        const auto same = std::find_if(env.begin(), env.end(), [&](const std::string& v) {
            return v.compare(0, name.size(), name) == 0;
        });
        if (same != env.end()) {
            *same = extra;
        } else {
            env.push_back(extra);
        }
    }
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
    GameRunResult result;
    int status = 0;
    if (pid < 0) return result;
    if (timeLimitSeconds_ > 0) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::seconds(timeLimitSeconds_);
        pid_t ended = 0;
        while ((ended = waitpid(pid, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (ended == 0) {
            kill(pid, SIGKILL);
            result.timedOut = true;
            ended = waitpid(pid, &status, 0);
        }
        if (ended != pid) return result;
    } else if (waitpid(pid, &status, 0) != pid) {
        return result;
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (fs::exists(dir / "Log.txt")) result.log = ReadFile(dir / "Log.txt");
    result.stderrText = ReadFile(errPath);
    return result;
}
