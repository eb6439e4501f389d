#include "platform/stop_requests.h"

namespace zek::platform {

// Windows ends a console program on Ctrl+C through its own handler thread; the journal of
// every save finishes what such an end interrupts on the next run in that folder.
struct StopRequests::Watcher {};

StopRequests::StopRequests() = default;
StopRequests::~StopRequests() = default;

std::string StopRequests::NameOf(int signal) {
    return signal == 2 ? "Ctrl+C" : "signal " + std::to_string(signal);
}

}  // namespace zek::platform
