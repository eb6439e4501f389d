#include "files/package_libraries.h"

#include <string>

#include "files/text_file.h"

#if defined(ZEK_READSTAT_SONAME) && defined(ZEK_XLSXWRITER_SONAME)
#include <bit>
#include <optional>
#include <utility>

#include "platform/shared_library.h"
#endif

namespace zek {

namespace {

#if defined(ZEK_READSTAT_SONAME) && defined(ZEK_XLSXWRITER_SONAME)

// A library is kept for the rest of the program's life once every function it must have is
// found; one that lacks a function is closed again.
platform::SharedLibrary LoadNamedLibrary(const char* soname, const char* writes) {
    std::string reason;
    std::optional<platform::SharedLibrary> library = platform::SharedLibrary::Load(soname, reason);
    if (!library) {
        throw StreamError(std::string(writes) + " are written by " + soname +
                          ", which cannot be loaded: " + reason);
    }
    return std::move(*library);
}

template <typename Function>
void Take(const platform::SharedLibrary& library, const char* soname, const char* name,
          Function& function) {
    void* found = library.Find(name);
    if (found == nullptr) {
        throw StreamError(std::string(soname) + " has no function " + name +
                          "; a newer version is needed");
    }
    function = std::bit_cast<Function>(found);
}

#define ZEK_TAKE(name) Take(library, soname, #name, functions.name);

ReadStatFunctions LoadReadStat() {
    const char* const soname = ZEK_READSTAT_SONAME;
    platform::SharedLibrary library = LoadNamedLibrary(soname, "SPSS and Stata files");
    ReadStatFunctions functions;
    ZEK_READSTAT_FUNCTIONS(ZEK_TAKE)
    library.KeepLoaded();
    return functions;
}

XlsxWriterFunctions LoadXlsxWriter() {
    const char* const soname = ZEK_XLSXWRITER_SONAME;
    platform::SharedLibrary library = LoadNamedLibrary(soname, "Excel workbooks");
    XlsxWriterFunctions functions;
    ZEK_XLSXWRITER_FUNCTIONS(ZEK_TAKE)
    library.KeepLoaded();
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
