// Large pages for memory a program fills by the megabyte: taken a small page at a time, such
// memory costs a fault and a cleared page per 4 KiB.
#pragma once

#include <cstddef>

namespace zek::platform {

inline constexpr std::size_t kLargePageBytes = std::size_t{2} << 20;

/// Asks the system to back `[start, start + bytes)` with large pages when it is first touched;
/// `start` lies on a `kLargePageBytes` boundary. Where the system has no say in this, or
/// declines, the memory comes in small pages as before.
void AdviseLargePages(void* start, std::size_t bytes);

}  // namespace zek::platform
