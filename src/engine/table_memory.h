// Memory for the engine's tables: allocated once for the life of the program and left
// untouched until a run fills it. A large run fills megabytes of each table; taken a small
// page at a time, that is a fault and a cleared page per 4 KiB, a large share of such a
// run's time. So the memory starts on a large-page boundary, and a run about to fill enough
// of it asks for large pages first.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>

#include "platform/large_pages.h"

namespace zek {

using platform::kLargePageBytes;

/// `count` cells of `T`, not initialised: a run writes every cell it reads.
template <typename T>
class TableMemory {
    static_assert(std::is_trivially_default_constructible_v<T> &&
                  std::is_trivially_destructible_v<T>);

  public:
    explicit TableMemory(std::size_t count)
        : cells_(static_cast<T*>(::operator new(WholePages(count * sizeof(T)), kAlignment))) {}
    ~TableMemory() { ::operator delete(cells_, kAlignment); }
    TableMemory(const TableMemory&) = delete;
    TableMemory& operator=(const TableMemory&) = delete;

    T* data() const { return cells_; }
    T& operator[](std::size_t index) const { return cells_[index]; }

    /// Before a run fills the first `count` cells. Below half a large page the small pages
    /// a run touches cost less than clearing a large one.
    void PrepareFor(std::size_t count) {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kLargePageBytes / 2 || bytes <= advisedBytes_) return;
        advisedBytes_ = WholePages(bytes);
        platform::AdviseLargePages(cells_, advisedBytes_);
    }

  private:
    // The table ends on a boundary too, so that advice for its last page is advice for
    // nothing else.
    static constexpr std::size_t WholePages(std::size_t bytes) {
        return (bytes + kLargePageBytes - 1) / kLargePageBytes * kLargePageBytes;
    }

    static constexpr std::align_val_t kAlignment{kLargePageBytes};
    T* cells_;
    std::size_t advisedBytes_ = 0;
};

}  // namespace zek
