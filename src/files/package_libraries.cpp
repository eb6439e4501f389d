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

// Loaded for the rest of the program's life, as a library it was linked with would be.
void* Open(const char* soname, const char* writes) {
    void* library = ::dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        throw StreamError(std::string(writes) + " are written by " + soname +
                          ", which cannot be loaded: " + ::dlerror());
    }
    return library;
}

template <typename Function>
void Take(void* library, const char* soname, const char* name, Function& function) {
    void* found = ::dlsym(library, name);
    if (found == nullptr) {
        throw StreamError(std::string(soname) + " has no function " + name +
                          "; a newer version is needed");
    }
    function = std::bit_cast<Function>(found);
}

#define ZEK_TAKE(name) Take(library, soname, #name, functions.name);

ReadStatFunctions LoadReadStat() {
    const char* const soname = ZEK_READSTAT_SONAME;
    void* const library = Open(soname, "SPSS and Stata files");
    ReadStatFunctions functions;
    ZEK_READSTAT_FUNCTIONS(ZEK_TAKE)
    return functions;
}

XlsxWriterFunctions LoadXlsxWriter() {
    const char* const soname = ZEK_XLSXWRITER_SONAME;
    void* const library = Open(soname, "Excel workbooks");
    XlsxWriterFunctions functions;
    ZEK_XLSXWRITER_FUNCTIONS(ZEK_TAKE)
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
