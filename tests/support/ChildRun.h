#pragma once
// A run in a child process, as the tests of killed and full-disk runs need it: the parent starts
// it, may kill it at a chosen moment, and waits for it.
#include <sys/types.h>

#include <chrono>
#include <functional>

namespace qef::test {

// Starts `run` in a child process that exits with its value. With fileLimit >= 0 no file may grow
// past that many bytes, and writing past it fails as on a full disk instead of killing the child.
pid_t StartChild(const std::function<int()>& run, long long fileLimit = -1);
// The child's exit code; -1 when it did not exit by itself.
int WaitChild(pid_t pid);
// Kills the child `delay` after now and waits for it.
void KillChildAfter(pid_t pid, std::chrono::nanoseconds delay);

}  // namespace qef::test
