#pragma once
// Runs a check as a user without root's powers over files. The tests run as
// root in CI, and root reads and writes anything, so a check about a folder
// the user cannot read or write runs in a child that has become "nobody";
// as a normal user it runs here, after `lockOut` has taken the rights away
// (and `letIn` gives them back).

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace fake {

inline bool asNormalUser(const std::function<bool()>& check, const std::function<void()>& lockOut,
                         const std::function<void()>& letIn) {
    if (::geteuid() != 0) {
        lockOut();
        const bool ok = check();
        letIn();
        return ok;
    }
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0)
        ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && check() ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace fake
