#include "platform/processors.h"

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

#include <algorithm>

namespace zek::platform {

#if defined(__linux__)

int AllowedProcessorCount() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) {
        return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    }
    return std::max(1, CPU_COUNT(&allowed));
}

void KeepOffCallersProcessor(std::thread::native_handle_type helper) {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    const int callers = sched_getcpu();
    if (callers < 0 || sched_getaffinity(0, sizeof allowed, &allowed) != 0) return;
    CPU_CLR(callers, &allowed);
    if (CPU_COUNT(&allowed) == 0) return;
    pthread_setaffinity_np(helper, sizeof allowed, &allowed);
}

#elif defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)

// WebAssembly without threads (a page that is not cross-origin isolated cannot have them):
// one processor, so that no run asks for a second thread.
int AllowedProcessorCount() {
    return 1;
}

void KeepOffCallersProcessor(std::thread::native_handle_type) {}

#else

int AllowedProcessorCount() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void KeepOffCallersProcessor(std::thread::native_handle_type) {}

#endif

bool CanStartThreads() {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    return false;
#else
    return true;
#endif
}

bool OtherProcessorsAllowed() {
    return CanStartThreads() && AllowedProcessorCount() > 1;
}

}  // namespace zek::platform
