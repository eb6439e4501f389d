#include "files/package_libraries.h"

#include <string>

#include "files/text_file.h"

#if defined(ZEK_READSTAT_SONAME) && defined(ZEK_XLSXWRITER_SONAME)
#include <dlfcn.h>

#include <bit>
#endif

namespace zek {

namespace {

#if defined(ZEK_READSTAT_SONAME) && defined(ZEK_XLSXWRITER_SONAME)

// A library loaded for the rest of the program's life once every function it must have is
// found, as a library the program was linked with would be; one that lacks a function is
// closed again.
class LoadedLibrary {
  public:
    LoadedLibrary(const char* soname, const char* writes)
        : handle_(::dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
        if (handle_ != nullptr) return;
        const char* reason = ::dlerror();
        throw StreamError(std::string(writes) + " are written by " + soname +
                          ", which cannot be loaded: " +
                          (reason != nullptr ? reason : "the system gives no reason"));
    }
    ~LoadedLibrary() {
        if (handle_ != nullptr) ::dlclose(handle_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    void* get() const { return handle_; }
    /// Every function was found: the library stays.
    void Keep() { handle_ = nullptr; }

  private:
    void* handle_;
};

template <typename Function>
void Take(void* library, const char* soname, const char* name, Function& function) {
    void* found = ::dlsym(library, name);
    if (found == nullptr) {
        throw StreamError(std::string(soname) + " has no function " + name +
                          "; a newer version is needed");
    }
    function = std::bit_cast<Function>(found);
}

#define ZEK_TAKE(name) Take(library.get(), soname, #name, functions.name);

ReadStatFunctions LoadReadStat() {
    const char* const soname = ZEK_READSTAT_SONAME;
    LoadedLibrary library(soname, "SPSS and Stata files");
    ReadStatFunctions functions;
    ZEK_READSTAT_FUNCTIONS(ZEK_TAKE)
    library.Keep();
    return functions;
}

XlsxWriterFunctions LoadXlsxWriter() {
    const char* const soname = ZEK_XLSXWRITER_SONAME;
    LoadedLibrary library(soname, "Excel workbooks");
    XlsxWriterFunctions functions;
    ZEK_XLSXWRITER_FUNCTIONS(ZEK_TAKE)
    library.Keep();
    return functions;
}

#undef ZEK_TAKE

#else

#define ZEK_LINKED(name) functions.name = &::name;

ReadStatFunctions LoadReadStat() {
    ReadStatFunctions functions;
    ZEK_READSTAT_FUNCTIONS(ZEK_LINKED)
    return functions;
}

XlsxWriterFunctions LoadXlsxWriter() {
    XlsxWriterFunctions functions;
    ZEK_XLSXWRITER_FUNCTIONS(ZEK_LINKED)
    return functions;
}

#undef ZEK_LINKED

#endif

}  // namespace

// Filled once, on the first call that succeeds, by whichever thread comes first, and never
// changed after: the system's libraries, not state of the program.
const ReadStatFunctions& ReadStat() {
    static const ReadStatFunctions functions = LoadReadStat();
    return functions;
}

const XlsxWriterFunctions& XlsxWriter() {
    static const XlsxWriterFunctions functions = LoadXlsxWriter();
    return functions;
}

}  // namespace zek
