#include "platform/shared_library.h"

#include <dlfcn.h>

#include <utility>

namespace zek::platform {

std::optional<SharedLibrary> SharedLibrary::Load(const char* soname, std::string& reason) {
    void* handle = ::dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (handle != nullptr) return SharedLibrary(handle);
    const char* said = ::dlerror();
    reason = said != nullptr ? said : "the system gives no reason";
    return std::nullopt;
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

SharedLibrary::~SharedLibrary() {
    if (handle_ != nullptr) ::dlclose(handle_);
}

void* SharedLibrary::Find(const char* name) const {
    return ::dlsym(handle_, name);
}

}  // namespace zek::platform
