// Where a run's helper thread may run. A thread that starts on its creator's processor waits
// there, or makes its creator wait, until the system moves one of them, which on a machine
// of few processors can take longer than the run; a helper that is kept off the creator's
// processor from the start runs beside it at once.
#pragma once

#include <thread>

namespace zek::platform {

/// How many processors this process may run on: those of its affinity mask where the system
/// keeps one (taskset, a container's limit), else every one the machine has; at least 1.
int AllowedProcessorCount();

/// Whether this process can start a thread at all: not WebAssembly without threads, where a
/// thread would never run and whatever waits for it would wait for ever.
bool CanStartThreads();

/// Whether this process may run on more than one processor (a process held to one core, say
/// by `taskset`, gains nothing from a second thread).
bool OtherProcessorsAllowed();

/// Asks the system to run `helper` on any allowed processor but the caller's. Where the
/// system has no say in this, or the request fails, the helper runs wherever it is put.
void KeepOffCallersProcessor(std::thread::native_handle_type helper);

}  // namespace zek::platform
