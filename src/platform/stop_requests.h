// Ctrl+C and SIGTERM as requests to stop rather than as the end of the program: a class set
// that is told to stop starts no other dataset, finishes the one under way, writes the class
// key of those complete and tidies up before it ends.
#pragma once

#include <atomic>
#include <memory>
#include <string>

namespace zek::platform {

class StopRequests {
  public:
    /// From now on Ctrl+C (SIGINT) and SIGTERM are taken as requests; a second one ends the
    /// program at once, as the signal would have. Made before any other thread starts, so
    /// that every thread leaves the signals to this one.
    StopRequests();
    ~StopRequests();
    StopRequests(const StopRequests&) = delete;
    StopRequests& operator=(const StopRequests&) = delete;

    /// The number of the first signal received, or 0.
    int received() const { return received_.load(std::memory_order_relaxed); }
    /// "Ctrl+C (SIGINT)" or "SIGTERM".
    static std::string NameOf(int signal);

  private:
    struct Watcher;
    std::atomic<int> received_{0};
    std::unique_ptr<Watcher> watcher_;
};

}  // namespace zek::platform
