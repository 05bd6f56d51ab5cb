#pragma once

#include <chrono>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>

namespace zr5::test {

// Ends a helper process the tests started (a test server, tinyproxy) without
// trusting it to honour SIGTERM: a daemon that takes the signal between two
// turns of its accept loop may sleep on until the next connection, so after a
// grace period the child is killed outright.
inline void stopChild(pid_t pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (::waitpid(pid, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace zr5::test
