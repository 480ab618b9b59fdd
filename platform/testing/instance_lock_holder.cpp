// Test controls: child processes that take or probe an instance lock, as another running
// instance of the program would.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>

#include "platform/window/instance_lock.h"
#include "platform/window/instance_lock_path.h"
#include "platform/testing/window_test_controls.h"

namespace plat {

namespace {

// Write ends of the pipes that keep each holder alive, by process id.
std::mutex g_holdersMutex;
std::map<int, int> g_holders;

// In the child after fork: only async-signal-safe calls. Closes every inherited descriptor
// but the ones to keep, so the child holds no lock of the parent's.
void CloseInheritedDescriptors(int keepA, int keepB) {
    for (int fd = 3; fd < 1024; ++fd) {
        if (fd != keepA && fd != keepB) ::close(fd);
    }
}

bool ChildTakesLock(const char* path) {
    const int fd = ::open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    return fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

}  // namespace

int StartInstanceLockHolder(const char* className) {
    const std::string path = InstanceLockPath(className);
    int ready[2];
    int keepAlive[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) return -1;
    if (::pipe2(keepAlive, O_CLOEXEC) != 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        CloseInheritedDescriptors(ready[1], keepAlive[0]);
        const char answer = ChildTakesLock(path.c_str()) ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        char c;
        // Holds the lock until the parent closes its end of the pipe (or dies).
        while (::read(keepAlive[0], &c, 1) > 0) {
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(keepAlive[0]);
    if (pid < 0) {
        ::close(ready[0]);
        ::close(keepAlive[1]);
        return -1;
    }
    char answer = 'n';
    const bool got = ::read(ready[0], &answer, 1) == 1;
    ::close(ready[0]);
    if (!got || answer != 'y') {
        ::close(keepAlive[1]);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }
    std::lock_guard<std::mutex> hold(g_holdersMutex);
    g_holders[pid] = keepAlive[1];
    return pid;
}

void StopInstanceLockHolder(int processId) {
    int fd = -1;
    {
        std::lock_guard<std::mutex> hold(g_holdersMutex);
        auto it = g_holders.find(processId);
        if (it == g_holders.end()) return;
        fd = it->second;
        g_holders.erase(it);
    }
    ::close(fd);
    ::waitpid(processId, nullptr, 0);
}

void StopAllInstanceLockHolders() {
    std::map<int, int> holders;
    {
        std::lock_guard<std::mutex> hold(g_holdersMutex);
        holders.swap(g_holders);
    }
    for (const auto& holder : holders) {
        ::close(holder.second);
        ::waitpid(holder.first, nullptr, 0);
    }
}

bool ProbeInstanceLockFromChild(const char* className) {
    const std::string path = InstanceLockPath(className);
    const pid_t pid = ::fork();
    if (pid == 0) {
        CloseInheritedDescriptors(-1, -1);
        ::_exit(ChildTakesLock(path.c_str()) ? 0 : 1);
    }
    if (pid < 0) return false;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace plat
