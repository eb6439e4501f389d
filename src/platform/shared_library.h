// A shared library loaded by name while the program runs, closed again unless it is kept.
#pragma once

#include <optional>
#include <string>

namespace zek::platform {

class SharedLibrary {
  public:
    /// The library the system finds under `soname`; empty, with the system's reason (or that
    /// it gave none) in `reason`, when it cannot be loaded.
    static std::optional<SharedLibrary> Load(const char* soname, std::string& reason);

    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&&) = delete;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    ~SharedLibrary();

    /// The address of the library's function `name`, or null when it has none.
    void* Find(const char* name) const;
    /// Leaves the library loaded for the rest of the program's life, as a library the
    /// program was linked with is.
    void KeepLoaded() { handle_ = nullptr; }

  private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

}  // namespace zek::platform
