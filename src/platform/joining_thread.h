// A thread that is joined when it goes out of scope: std::jthread where the standard library
// has it, and the same for the WebAssembly build's, which has std::thread alone.
#pragma once

#include <thread>
#include <utility>

namespace zek::platform {

#if defined(__cpp_lib_jthread)

using JoiningThread = std::jthread;

#else

class JoiningThread {
  public:
    JoiningThread() noexcept = default;
    template <typename Work>
    explicit JoiningThread(Work&& work) : thread_(std::forward<Work>(work)) {}
    JoiningThread(JoiningThread&&) noexcept = default;
    JoiningThread& operator=(JoiningThread&& other) noexcept {
        if (thread_.joinable()) thread_.join();
        thread_ = std::move(other.thread_);
        return *this;
    }
    JoiningThread(const JoiningThread&) = delete;
    JoiningThread& operator=(const JoiningThread&) = delete;
    ~JoiningThread() {
        if (thread_.joinable()) thread_.join();
    }

    bool joinable() const noexcept { return thread_.joinable(); }
    void join() { thread_.join(); }
    std::thread::native_handle_type native_handle() { return thread_.native_handle(); }

  private:
    std::thread thread_;
};

#endif

}  // namespace zek::platform
