#include "files/package_files.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "files/text_file.h"

#if ZEK_PACKAGE_FORMATS
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <utility>

#include "files/data_file.h"
#include "files/package_libraries.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "setup/scale_score.h"
#endif

namespace zek {

#if ZEK_PACKAGE_FORMATS
namespace {

// Every file says it was made at this moment, so that the same data give the same bytes.
constexpr time_t kFileTimestamp = 946684800;  // 2000-01-01 00:00 UTC

struct PackageColumn {
    std::string name;
    /// Grouping columns and the codes of categories are nominal, the points of a rating scale
    /// ordinal; scores are scale.
    readstat_measure_t measure = READSTAT_MEASURE_SCALE;
    int decimals = 0;
    std::string label;                       ///< empty: none
    std::map<int, std::string> levelLabels;  ///< of a grouping column
};

// The data file's table: its columns and, row by row, the values it writes (NaN where a
// score is missing).
struct PackageTable {
    std::vector<PackageColumn> columns;
    std::vector<double> cells;  ///< row by row
    std::size_t rowCount = 0;
    double At(std::size_t row, std::size_t column) const {
        return cells[row * columns.size() + column];
    }
};

// A table without rows with the columns of `columns`, their decimals still to be set.
PackageTable EmptyTableOf(const DataColumns& columns) {
    PackageTable table;
    for (const DataColumn& column : columns.all()) {
        readstat_measure_t measure = READSTAT_MEASURE_SCALE;
        if (column.role != ColumnRole::Score || column.Coded()) {
            measure = column.ordered ? READSTAT_MEASURE_ORDINAL : READSTAT_MEASURE_NOMINAL;
        }
        table.columns.push_back(
            PackageColumn{column.name, measure, 0, column.label, column.levelLabels});
    }
    return table;
}

// The long layout: a row per case and occasion.
PackageTable LongTableOf(const GenerationSetup& setup, const ScoreTable& generated) {
    const DataLayout layout = LayoutOf(setup);
    const DataColumns columns = LongDataColumnsOf(DataColumnsOf(setup));
    PackageTable table = EmptyTableOf(columns);
    const int levels = columns.groupingCount() - 1;  // the occasion is written apart
    const WrittenScores written = ScoresAsWritten(setup, generated);
    double id = 0.0;
    for (std::size_t b = 0; b < written.size(); ++b) {
        const DataBlock& block = layout.blocks[b];
        for (int v = 0; v < layout.variableCount; ++v) {
            int& decimals = table.columns.back().decimals;
            decimals = std::max(decimals, DecimalsOf(setup, block, v));
        }
        for (std::size_t row = 0; row < static_cast<std::size_t>(block.rowCount); ++row) {
            ++id;
            for (std::size_t v = 0; v < written[b].size(); ++v) {
                table.cells.push_back(id);
                for (int level = 0; level < levels; ++level) {
                    table.cells.push_back(block.cell.levels[static_cast<std::size_t>(level)]);
                }
                table.cells.push_back(static_cast<double>(v + 1));
                table.cells.push_back(written[b][v][row]);
                ++table.rowCount;
            }
        }
    }
    return table;
}

PackageTable TableOf(const GenerationSetup& setup, const ScoreTable& generated) {
    if (WritesLongLayout(setup)) return LongTableOf(setup, generated);
    const DataLayout layout = LayoutOf(setup);
    const DataColumns columns = DataColumnsOf(setup);
    const int levels = columns.groupingCount();
    PackageTable table = EmptyTableOf(columns);
    const std::size_t firstScore = 1 + static_cast<std::size_t>(levels);
    const WrittenScores written = ScoresAsWritten(setup, generated);
    const std::optional<ScaleScoreColumn> scaleScore = ScaleScoreColumn::Of(setup);
    if (scaleScore) table.columns.back().decimals = scaleScore->decimals();
    std::vector<double> items;
    double id = 0.0;
    for (std::size_t b = 0; b < written.size(); ++b) {
        const DataBlock& block = layout.blocks[b];
        for (int v = 0; v < layout.variableCount; ++v) {
            int& decimals = table.columns[firstScore + static_cast<std::size_t>(v)].decimals;
            decimals = std::max(decimals, DecimalsOf(setup, block, v));
        }
        for (std::size_t row = 0; row < static_cast<std::size_t>(block.rowCount); ++row) {
            table.cells.push_back(++id);
            for (int level = 0; level < levels; ++level) {
                table.cells.push_back(block.cell.levels[static_cast<std::size_t>(level)]);
            }
            items.clear();
            for (const std::vector<double>& column : written[b]) items.push_back(column[row]);
            table.cells.insert(table.cells.end(), items.begin(), items.end());
            if (scaleScore) {
                // As the data file writes it, rounded to its decimals.
                const double score = scaleScore->ScoreOf(items);
                table.cells.push_back(std::isnan(score)
                                          ? score
                                          : ScoreAsWritten(setup, score, scaleScore->decimals()));
            }
            ++table.rowCount;
        }
    }
    return table;
}

void Check(readstat_error_t error) {
    if (error != READSTAT_OK) throw StreamError(ReadStat().readstat_error_message(error));
}

ssize_t WriteBytes(const void* data, size_t length, void* context) {
    auto& out = *static_cast<std::ostream*>(context);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(length));
    return out ? static_cast<ssize_t>(length) : -1;
}

std::string FormatOf(DataFormat format, const PackageColumn& column) {
    const std::string decimals = std::to_string(column.decimals);
    if (format == DataFormat::Spss)
        return "F" + std::to_string(9 + column.decimals) + "." + decimals;
    return "%" + std::to_string(9 + column.decimals) + "." + decimals + "f";
}

void WriteReadStatFile(DataFormat format, std::ostream& out, const PackageTable& table) {
    const ReadStatFunctions& readStat = ReadStat();
    struct WriterDeleter {
        void operator()(readstat_writer_t* writer) const {
            ReadStat().readstat_writer_free(writer);
        }
    };
    const std::unique_ptr<readstat_writer_t, WriterDeleter> writer(readStat.readstat_writer_init());
    if (!writer) throw StreamError("ReadStat could not start a file");
    Check(readStat.readstat_set_data_writer(writer.get(), WriteBytes));
    Check(readStat.readstat_writer_set_file_timestamp(writer.get(), kFileTimestamp));
    std::vector<readstat_variable_t*> variables;
    for (const PackageColumn& column : table.columns) {
        readstat_variable_t* variable = readStat.readstat_add_variable(
            writer.get(), column.name.c_str(), READSTAT_TYPE_DOUBLE, 0);
        readStat.readstat_variable_set_format(variable, FormatOf(format, column).c_str());
        readStat.readstat_variable_set_measure(variable, column.measure);
        if (!column.label.empty())
            readStat.readstat_variable_set_label(variable, column.label.c_str());
        if (!column.levelLabels.empty()) {
            // Named by the column's place: a set's name has the 32 characters of a name at most.
            const std::string setName = "levels" + std::to_string(variables.size() + 1);
            readstat_label_set_t* levels = readStat.readstat_add_label_set(
                writer.get(), READSTAT_TYPE_DOUBLE, setName.c_str());
            for (const auto& [level, label] : column.levelLabels) {
                readStat.readstat_label_double_value(levels, level, label.c_str());
            }
            readStat.readstat_variable_set_label_set(variable, levels);
        }
        variables.push_back(variable);
    }
    const auto rows = static_cast<long>(table.rowCount);
    Check(format == DataFormat::Spss
              ? readStat.readstat_begin_writing_sav(writer.get(), &out, rows)
              : readStat.readstat_begin_writing_dta(writer.get(), &out, rows));
    for (std::size_t row = 0; row < table.rowCount; ++row) {
        Check(readStat.readstat_begin_row(writer.get()));
        for (std::size_t c = 0; c < variables.size(); ++c) {
            const double value = table.At(row, c);
            Check(std::isnan(value)
                      ? readStat.readstat_insert_missing_value(writer.get(), variables[c])
                      : readStat.readstat_insert_double_value(writer.get(), variables[c], value));
        }
        Check(readStat.readstat_end_row(writer.get()));
    }
    Check(readStat.readstat_end_writing(writer.get()));
    // ReadStat does not pass on every failed write of the stream.
    if (!out) throw StreamError("the data could not be written");
}

// libxlsxwriter writes only to a named file: the workbook is made in a private temporary
// file and copied into `out`, so that it is saved like every other file. Where the system
// has files without a name, the temporary file is one, reached through the name of its
// descriptor, so that a killed program leaves nothing behind in the temporary folder.
class TemporaryFile {
  public:
    TemporaryFile() {
        const platform::FileSystem& files = platform::SystemFiles();
        const std::string folder = platform::TemporaryFolder();
        if (folder.empty()) throw StreamError("no temporary folder for the workbook");
        descriptor_ = files.CreateUnnamedFile(folder).descriptor;
        if (descriptor_ >= 0) path_ = files.NameOfOpenFile(descriptor_);
        if (!path_.empty()) return;
        if (descriptor_ >= 0) files.CloseFile(std::exchange(descriptor_, -1));
        std::optional<std::string> path = CreateOwnFileIn(folder, ".xlsx");
        if (!path) throw StreamError("no temporary file for the workbook");
        path_ = std::move(*path);
        named_ = true;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (descriptor_ >= 0) platform::SystemFiles().CloseFile(descriptor_);
        if (!named_) return;
        platform::SystemFiles().RemoveFile(path_);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    int descriptor_ = -1;
    bool named_ = false;
};

void CheckWorkbook(lxw_error error) {
    if (error != LXW_NO_ERROR) throw StreamError(XlsxWriter().lxw_strerror(error));
}

void WriteWorkbookSheets(lxw_workbook* workbook, const PackageTable& table,
                         const std::vector<std::string>& informationLines) {
    const XlsxWriterFunctions& xlsx = XlsxWriter();
    lxw_doc_properties properties{};
    properties.created = kFileTimestamp;
    CheckWorkbook(xlsx.workbook_set_properties(workbook, &properties));
    lxw_worksheet* data = xlsx.workbook_add_worksheet(workbook, "data");
    lxw_worksheet* information = xlsx.workbook_add_worksheet(workbook, "information");
    if (data == nullptr || information == nullptr) throw StreamError("no sheet in the workbook");
    std::vector<lxw_format*> formats;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const PackageColumn& column = table.columns[c];
        lxw_format* format = xlsx.workbook_add_format(workbook);
        const std::string pattern =
            column.decimals == 0
                ? "0"
                : "0." + std::string(static_cast<std::size_t>(column.decimals), '0');
        xlsx.format_set_num_format(format, pattern.c_str());
        formats.push_back(format);
        CheckWorkbook(xlsx.worksheet_write_string(data, 0, static_cast<lxw_col_t>(c),
                                                  column.name.c_str(), nullptr));
    }
    for (std::size_t row = 0; row < table.rowCount; ++row) {
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const double value = table.At(row, c);
            if (std::isnan(value)) continue;  // a missing score is an empty cell
            CheckWorkbook(xlsx.worksheet_write_number(data, static_cast<lxw_row_t>(row + 1),
                                                      static_cast<lxw_col_t>(c), value,
                                                      formats[c]));
        }
    }
    for (std::size_t line = 0; line < informationLines.size(); ++line) {
        if (informationLines[line].empty()) continue;
        CheckWorkbook(xlsx.worksheet_write_string(information, static_cast<lxw_row_t>(line), 0,
                                                  informationLines[line].c_str(), nullptr));
    }
}

void WriteWorkbook(std::ostream& out, const PackageTable& table,
                   const std::vector<std::string>& informationLines) {
    const XlsxWriterFunctions& xlsx = XlsxWriter();
    const TemporaryFile file;
    lxw_workbook_options options{};
    // Each row goes to the sheet's file as it is written, rather than into a table of every
    // cell, so that the largest run's workbook needs no more memory than its data file. The
    // rows are written in order, as this mode asks.
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = xlsx.workbook_new_opt(file.path().c_str(), &options);
    if (workbook == nullptr) throw StreamError("libxlsxwriter could not start a workbook");
    try {
        WriteWorkbookSheets(workbook, table, informationLines);
    } catch (...) {
        xlsx.workbook_close(workbook);
        throw;
    }
    CheckWorkbook(xlsx.workbook_close(workbook));
    try {
        ReadTextFile(file.path(), [&out](std::istream& in) { out << in.rdbuf(); });
    } catch (const FileError& error) {
        throw StreamError(std::string("the workbook could not be read back: ") + error.what());
    }
    if (!out) throw StreamError("the workbook could not be copied");
}

}  // namespace
#endif

DataFormat DataFormatOf(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return DataFormat::Text;
    }
    std::string extension(path.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "sav") return DataFormat::Spss;
    if (extension == "dta") return DataFormat::Stata;
    if (extension == "xlsx") return DataFormat::Excel;
    return DataFormat::Text;
}

void WritePackageDataFile(DataFormat format, std::ostream& out, const GenerationSetup& setup,
                          const ScoreTable& generated,
                          const std::vector<std::string>& informationLines) {
#if ZEK_PACKAGE_FORMATS
    const PackageTable table = TableOf(setup, generated);
    if (format == DataFormat::Excel) {
        WriteWorkbook(out, table, informationLines);
    } else {
        WriteReadStatFile(format, out, table);
    }
#else
    static_cast<void>(format), static_cast<void>(out), static_cast<void>(setup);
    static_cast<void>(generated), static_cast<void>(informationLines);
    throw StreamError(
        "this build writes comma-delimited text files only; name the file .csv or .TXT");
#endif
}

}  // namespace zek
