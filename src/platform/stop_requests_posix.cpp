#include "platform/stop_requests.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

namespace zek::platform {

namespace {

// The watcher is woken with this one to end it.
constexpr int kWakeSignal = SIGUSR2;

sigset_t WatchedSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, kWakeSignal);
    return signals;
}

}  // namespace

// A thread of its own waits for the signals, which every other thread blocks: no handler, and
// so nothing shared but the one atomic number.
struct StopRequests::Watcher {
    sigset_t signals = WatchedSignals();
    sigset_t previousMask{};
    std::thread thread;
};

StopRequests::StopRequests() : watcher_(std::make_unique<Watcher>()) {
    ::pthread_sigmask(SIG_BLOCK, &watcher_->signals, &watcher_->previousMask);
    watcher_->thread = std::thread([this] {
        while (true) {
            int signal = 0;
            if (::sigwait(&watcher_->signals, &signal) != 0) continue;
            if (signal == kWakeSignal) return;
            int expected = 0;
            if (received_.compare_exchange_strong(expected, signal)) continue;
            // Asked twice: the signal does what it does by default, here, now.
            ::signal(signal, SIG_DFL);
            sigset_t just;
            sigemptyset(&just);
            sigaddset(&just, signal);
            ::pthread_sigmask(SIG_UNBLOCK, &just, nullptr);
            ::raise(signal);
        }
    });
}

StopRequests::~StopRequests() {
    ::pthread_kill(watcher_->thread.native_handle(), kWakeSignal);
    watcher_->thread.join();
    // A signal that came while the program was ending is still a request to stop: it takes
    // effect when the signals are let through again.
    ::pthread_sigmask(SIG_SETMASK, &watcher_->previousMask, nullptr);
}

std::string StopRequests::NameOf(int signal) {
    if (signal == SIGINT) return "Ctrl+C (SIGINT)";
    if (signal == SIGTERM) return "SIGTERM";
    return "signal " + std::to_string(signal);
}

}  // namespace zek::platform
