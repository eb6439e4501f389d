#include "engine/thread_placement.h"

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

namespace zek {

#if defined(__linux__)

bool OtherProcessorsAllowed() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) {
        return std::thread::hardware_concurrency() > 1;
    }
    return CPU_COUNT(&allowed) > 1;
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

#else

bool OtherProcessorsAllowed() {
    return std::thread::hardware_concurrency() > 1;
}

void KeepOffCallersProcessor(std::thread::native_handle_type) {}

#endif

}  // namespace zek
