#include "platform/stop_requests.h"

#include <signal.h>

namespace zek::platform {

// WebAssembly has no signals of its own and no thread to wait for them: Node ends the program
// on Ctrl+C as a signal does, and the files that a run stages are then left unpublished.
struct StopRequests::Watcher {};

StopRequests::StopRequests() = default;

StopRequests::~StopRequests() = default;

std::string StopRequests::NameOf(int signal) {
    if (signal == SIGINT) return "Ctrl+C (SIGINT)";
    if (signal == SIGTERM) return "SIGTERM";
    return "signal " + std::to_string(signal);
}

}  // namespace zek::platform
