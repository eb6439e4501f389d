#include "platform/large_pages.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zek::platform {

#if defined(__linux__)

void AdviseLargePages(void* start, std::size_t bytes) {
    // Only advice: a kernel without transparent large pages refuses it, and the pages come
    // small.
    ::madvise(start, bytes, MADV_HUGEPAGE);
}

#else

void AdviseLargePages(void*, std::size_t) {}

#endif

}  // namespace zek::platform
