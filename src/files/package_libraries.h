// ReadStat (SPSS and Stata files) and libxlsxwriter (Excel workbooks) as tables of the
// functions this program calls. Where the build knows the libraries' names (Linux), they are
// loaded when the first such file is written rather than with the program: with what they
// bring along (OpenSSL among it) their loading would weigh on every start of zek-generate,
// whose runs mostly write text. Elsewhere the tables hold the functions the
// program is linked with.
#pragma once

#include <readstat.h>
#include <xlsxwriter.h>

// Each list names every function of its library that the program calls.
#define ZEK_READSTAT_FUNCTIONS(X)      \
    X(readstat_add_label_set)          \
    X(readstat_add_variable)           \
    X(readstat_begin_row)              \
    X(readstat_begin_writing_dta)      \
    X(readstat_begin_writing_sav)      \
    X(readstat_end_row)                \
    X(readstat_end_writing)            \
    X(readstat_error_message)          \
    X(readstat_insert_double_value)    \
    X(readstat_insert_missing_value)   \
    X(readstat_label_double_value)     \
    X(readstat_set_data_writer)        \
    X(readstat_variable_set_format)    \
    X(readstat_variable_set_label)     \
    X(readstat_variable_set_label_set) \
    X(readstat_variable_set_measure)   \
    X(readstat_writer_free)            \
    X(readstat_writer_init)            \
    X(readstat_writer_set_file_timestamp)

#define ZEK_XLSXWRITER_FUNCTIONS(X) \
    X(format_set_num_format)        \
    X(lxw_strerror)                 \
    X(workbook_add_format)          \
    X(workbook_add_worksheet)       \
    X(workbook_close)               \
    X(workbook_new_opt)             \
    X(workbook_set_properties)      \
    X(worksheet_write_number)       \
    X(worksheet_write_string)

#define ZEK_FUNCTION_POINTER(name) decltype(&::name) name = nullptr;

namespace zek {

/// The members bear the names of the library's functions: `readStat.readstat_writer_init()`.
struct ReadStatFunctions {
    ZEK_READSTAT_FUNCTIONS(ZEK_FUNCTION_POINTER)
};

struct XlsxWriterFunctions {
    ZEK_XLSXWRITER_FUNCTIONS(ZEK_FUNCTION_POINTER)
};

/// The library's functions, loaded on the first call; throws `StreamError`, saying which
/// library could not be loaded and why, when it cannot be (a later call tries again).
const ReadStatFunctions& ReadStat();
const XlsxWriterFunctions& XlsxWriter();

}  // namespace zek

#undef ZEK_FUNCTION_POINTER
