#pragma once

#include <sys/wait.h>
#include <unistd.h>

namespace koro::test {

// Runs body in a child process and gives its exit code, or minus the signal that ended it.
// Limits or a user the child takes on stay out of the test program.
template <typename Body> int inChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

} // namespace koro::test
