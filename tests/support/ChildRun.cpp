#include "support/ChildRun.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <thread>

namespace qef::test {

pid_t StartChild(const std::function<int()>& run, long long fileLimit) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    if (fileLimit >= 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(fileLimit), static_cast<rlim_t>(fileLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    _exit(run());
}

int WaitChild(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void KillChildAfter(pid_t pid, std::chrono::nanoseconds delay) {
    std::this_thread::sleep_for(delay);
    ::kill(pid, SIGKILL);
    WaitChild(pid);
}

}  // namespace qef::test
