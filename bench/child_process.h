#pragma once

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>

namespace zek::bench {

/// What a shell command cost as a process of its own.
struct ChildCost {
    double seconds = 0.0;
    double peakMegabytes = 0.0;
    long pageFaults = 0;
};

/// Runs `command` under /bin/sh; nothing if it could not run or did not succeed.
///
/// The system counts what a child held before it started the command as part of its peak: a
/// child spawned as `std::system` does shares this process's memory and so has this
/// process's peak, a forked one its present size. So the shell is forked, after this process
/// has given back the memory it freed.
inline std::optional<ChildCost> RunChild(const std::string& command) {
    ::malloc_trim(0);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return ChildCost{elapsed.count(), static_cast<double>(usage.ru_maxrss) / 1024.0,
                     usage.ru_minflt};
}

}  // namespace zek::bench
