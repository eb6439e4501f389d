#include "files/data_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <exception>
#include <functional>
#include <limits>
#include <system_error>
#include <thread>

#include "files/number_format.h"
#include "files/text_file.h"
#include "platform/joining_thread.h"
#include "platform/processors.h"
#include "setup/decimal_conversion.h"
#include "setup/scale_score.h"

namespace zek {

namespace {

// Lines with two or more scores in the group designs use the formatter with at most 15
// significant digits, which the files a seed promises rely on; single scores and the
// one-group designs use plain fixed.
bool UsesSignificantDigitLimit(const GenerationSetup& setup) {
    return setup.variableCount >= 2 && setup.family != DesignFamily::Regression &&
           setup.family != DesignFamily::Correlated;
}

void AppendScore(std::string& line, double score, int decimals, bool limitDigits) {
    if (limitDigits) {
        AppendFixedSignificant15(line, score, decimals);
    } else {
        AppendFixed(line, score, decimals);
    }
}

// One case line put together in place and appended whole, rather than piece by piece: the
// id, up to three codes, every score and a scale's score the quick fixed-point path writes fit. A
// score that needs the general path is appended as text after what the line holds so far.
class CaseLine {
  public:
    /// Starts the line of case `id` in `cell`, to be appended to `line`.
    void Begin(std::string& line, std::int64_t id, const DesignCell& cell) {
        line_ = &line;
        end_ = std::to_chars(text_.data(), text_.data() + kIdRoom, id).ptr;
        for (int level = 0; level < cell.levelCount; ++level) {
            *end_++ = ',';
            end_ = std::to_chars(end_, end_ + kCodeRoom, cell.levels[level]).ptr;
        }
    }

    /// Adds the field of `score` (empty for a missing score) and returns the double a reader
    /// gets back from it (NaN for an empty field).
    double AddScore(double score, int decimals, bool limitDigits) {
        *end_++ = ',';
        if (score == MissingMark) return std::numeric_limits<double>::quiet_NaN();
        // Both formats write the same digits below 1e8.
        if (!limitDigits || std::fabs(score) < 1e8) {
            double asRead = 0.0;
            if (char* put = PutFixedQuickly(end_, score, decimals, asRead)) {
                if (std::isnan(asRead)) asRead = ReadBack(end_, put);
                end_ = put;
                return asRead;
            }
        }
        line_->append(text_.data(), end_);
        end_ = text_.data();
        const std::size_t start = line_->size();
        AppendScore(*line_, score, decimals, limitDigits);
        return ReadBack(line_->data() + start, line_->data() + line_->size());
    }

    /// Appends what the line holds to the file's text.
    void Finish() { line_->append(text_.data(), end_); }

  private:
    static constexpr std::size_t kIdRoom = 20;
    static constexpr std::size_t kCodeRoom = 1 + 11;
    static constexpr std::size_t kRoom =
        kIdRoom + 3 * kCodeRoom + (kMaxVariables + 1) * (1 + kLongestQuickFixed);

    static double ReadBack(const char* first, const char* last) {
        double value = 0.0;
        FromChars(first, last, value);
        return value;
    }

    std::string* line_ = nullptr;
    std::array<char, kRoom> text_{};
    char* end_ = nullptr;
};

// The lines a second thread puts together, kept whole until the first half is written.
struct TextLines {
    std::string text;
    std::string& line() { return text; }
    void EndLine() { text += "\r\n"; }
};

// A guess at the length of a case line, generous for two decimals: an id, up to three codes
// and each score with its comma.
std::size_t LongestLineGuess(const DataLayout& layout) {
    return 8 + 4 * 3 + 10 * static_cast<std::size_t>(layout.variableCount);
}

// The rows of `block` among table rows `first` to `last`, as [from, to); empty when
// from >= to.
struct RowRange {
    int from;
    int to;
};
RowRange RowsOfBlockAmong(const DataBlock& block, int first, int last) {
    return {std::max(first, block.firstRow), std::min(last, block.firstRow + block.rowCount)};
}

// Every block's columns, each with room for the scores of rows `first` to `last` (exclusive)
// and none in it yet: what the formatting puts in touches the memory first.
WrittenScores RoomForScores(const DataLayout& layout, int first, int last) {
    WrittenScores scores;
    for (const DataBlock& block : layout) {
        const RowRange rows = RowsOfBlockAmong(block, first, last);
        auto& columns = scores.emplace_back(static_cast<std::size_t>(layout.variableCount));
        for (auto& column : columns) {
            column.reserve(static_cast<std::size_t>(std::max(0, rows.to - rows.from)));
        }
    }
    return scores;
}

// Appends each block's and column's scores in `later` to those in `scores`.
void AppendScores(WrittenScores& scores, const WrittenScores& later) {
    for (std::size_t block = 0; block < scores.size(); ++block) {
        for (std::size_t v = 0; v < scores[block].size(); ++v) {
            const std::vector<double>& added = later[block][v];
            scores[block][v].insert(scores[block][v].end(), added.begin(), added.end());
        }
    }
}

// The case lines of table rows `first` to `last` (exclusive), each ending with CR LF, through
// `lines` (a `LineWriter` or `TextLines`); each score as a reader gets it back is appended to
// its block's column in `written`, when given. A case's id is its row's number from 1.
template <typename Lines>
void WriteCaseLines(Lines& lines, const GenerationSetup& setup, const DataLayout& layout,
                    const ScoreTable& generated, int first, int last, WrittenScores* written) {
    const bool limitDigits = UsesSignificantDigitLimit(setup);
    const std::optional<ScaleScoreColumn> scaleScore = ScaleScoreColumn::Of(setup);
    std::array<double, kMaxVariables> itemsAsRead{};
    CaseLine line;
    for (int b = 0; b < layout.blockCount; ++b) {
        const DataBlock& block = layout.blocks[static_cast<std::size_t>(b)];
        const RowRange rows = RowsOfBlockAmong(block, first, last);
        if (rows.from >= rows.to) continue;
        std::array<int, kMaxVariables> decimals{};
        for (int v = 0; v < layout.variableCount; ++v) {
            decimals[v] = DecimalsOf(setup, block, v);
        }
        std::vector<std::vector<double>>* columns =
            written != nullptr ? &(*written)[static_cast<std::size_t>(b)] : nullptr;
        for (int r = rows.from; r < rows.to; ++r) {
            line.Begin(lines.line(), r + 1, block.cell);
            const double* scores = generated.Row(r);
            for (int v = 0; v < layout.variableCount; ++v) {
                const double asRead = line.AddScore(scores[v], decimals[v], limitDigits);
                if (columns != nullptr) (*columns)[static_cast<std::size_t>(v)].push_back(asRead);
                itemsAsRead[static_cast<std::size_t>(v)] = asRead;
            }
            if (scaleScore) {
                const double score = scaleScore->ScoreOf(itemsAsRead);
                line.AddScore(std::isnan(score) ? MissingMark : score, scaleScore->decimals(),
                              limitDigits);
            }
            line.Finish();
            lines.EndLine();
        }
    }
}

// The long layout: a line per case and occasion, the occasion after the case's codes.
void WriteLongDataFile(std::ostream& out, const GenerationSetup& setup, const ScoreTable& generated,
                       const ScoresWritten& scoresWritten) {
    const DataLayout layout = LayoutOf(setup);
    const bool limitDigits = UsesSignificantDigitLimit(setup);
    WrittenScores written = RoomForScores(layout, 0, layout.totalRows);
    LineWriter writer(out);
    writer.Line(LongDataColumnsOf(DataColumnsOf(setup)).Header());
    CaseLine line;
    for (int b = 0; b < layout.blockCount; ++b) {
        const DataBlock& block = layout.blocks[static_cast<std::size_t>(b)];
        DesignCell withOccasion = block.cell;
        const auto occasionLevel = static_cast<std::size_t>(withOccasion.levelCount++);
        for (int r = block.firstRow; r < block.firstRow + block.rowCount; ++r) {
            for (int v = 0; v < layout.variableCount; ++v) {
                withOccasion.levels[occasionLevel] = v + 1;
                line.Begin(writer.line(), r + 1, withOccasion);
                const int decimals = DecimalsOf(setup, block, v);
                const double asRead = line.AddScore(generated.At(r, v), decimals, limitDigits);
                written[static_cast<std::size_t>(b)][static_cast<std::size_t>(v)].push_back(asRead);
                line.Finish();
                writer.EndLine();
            }
        }
    }
    if (scoresWritten) scoresWritten(std::move(written));
    writer.Flush();
}

}  // namespace

double ScoreAsWritten(const GenerationSetup& setup, double score, int decimals) {
    if (score == MissingMark) return std::numeric_limits<double>::quiet_NaN();
    // Below 1e8 both formats write the same digits, which can be had without the text.
    if (std::fabs(score) < 1e8) {
        if (const std::optional<double> rounded = RoundedLikeAppendFixed(score, decimals)) {
            return *rounded;
        }
    }
    std::string text;
    AppendScore(text, score, decimals, UsesSignificantDigitLimit(setup));
    double value = 0.0;
    FromChars(text.data(), text.data() + text.size(), value);
    return value;
}

Verdict CheckDistinctColumnNames(const GenerationSetup& setup, const ColumnNames& names) {
    std::vector<std::string> used;
    for (const std::string& column : DataColumnsOf(setup).DefaultNames()) {
        used.push_back(names.NameOf(column));
    }
    return CheckDistinctNames(used);
}

std::string DataFileHeader(const GenerationSetup& setup) {
    return DataColumnsOf(setup).Header();
}

void WriteDataFile(std::ostream& out, const GenerationSetup& setup, const ScoreTable& generated,
                   const ScoresWritten& scoresWritten, RunThreads threads) {
    if (WritesLongLayout(setup)) {
        WriteLongDataFile(out, setup, generated, scoresWritten);
        return;
    }
    const DataLayout layout = LayoutOf(setup);
    const int rows = layout.totalRows;
    WrittenScores written;
    if (scoresWritten) written = RoomForScores(layout, 0, rows);
    LineWriter writer(out);
    writer.Line(DataFileHeader(setup));
    // A large file's second half is put together on a second thread while this one writes
    // the first.
    int split = rows;
    TextLines secondHalf;
    WrittenScores secondHalfScores;
    std::exception_ptr secondHalfFailure;
    platform::JoiningThread helper;
    if (TakesASecondThread(threads, setup) && platform::OtherProcessorsAllowed()) {
        try {
            helper = platform::JoiningThread([&, from = rows / 2] {
                try {
                    secondHalf.text.reserve(static_cast<std::size_t>(rows - from) *
                                            LongestLineGuess(layout));
                    if (scoresWritten) secondHalfScores = RoomForScores(layout, from, rows);
                    WriteCaseLines(secondHalf, setup, layout, generated, from, rows,
                                   scoresWritten ? &secondHalfScores : nullptr);
                } catch (...) {
                    secondHalfFailure = std::current_exception();
                }
            });
            platform::KeepOffCallersProcessor(helper.native_handle());
            split = rows / 2;
        } catch (const std::system_error&) {
            // No thread to be had: this one formats every line.
        }
    }
    WriteCaseLines(writer, setup, layout, generated, 0, split, scoresWritten ? &written : nullptr);
    if (helper.joinable()) {
        helper.join();
        if (secondHalfFailure) std::rethrow_exception(secondHalfFailure);
        if (scoresWritten) AppendScores(written, secondHalfScores);
    }
    // Every score is formatted: what waits for them need not wait for the writing too.
    if (scoresWritten) scoresWritten(std::move(written));
    writer.Flush();
    if (!secondHalf.text.empty()) WriteChecked(out, secondHalf.text);
}

WrittenScores ScoresAsWritten(const GenerationSetup& setup, const ScoreTable& generated) {
    WrittenScores scores;
    const DataLayout layout = LayoutOf(setup);
    for (const DataBlock& block : layout) {
        std::vector<std::vector<double>> columns(static_cast<std::size_t>(layout.variableCount));
        for (int v = 0; v < layout.variableCount; ++v) {
            const int decimals = DecimalsOf(setup, block, v);
            auto& column = columns[static_cast<std::size_t>(v)];
            column.reserve(static_cast<std::size_t>(block.rowCount));
            for (int row = block.firstRow; row < block.firstRow + block.rowCount; ++row) {
                column.push_back(ScoreAsWritten(setup, generated.At(row, v), decimals));
            }
        }
        scores.push_back(std::move(columns));
    }
    return scores;
}

std::vector<std::vector<double>> ReadDataFileScores(const std::string& path, int columns,
                                                    bool longLayout, int columnsAfter) {
    std::vector<std::vector<double>> rows;
    ReadTextFile(path, [&](std::istream& in) {
        const std::vector<std::string> lines = ReadLines(in);
        for (std::size_t k = 1; k < lines.size(); ++k) {
            std::vector<std::string_view> fields;
            std::string_view line = lines[k];
            while (true) {
                const std::size_t comma = line.find(',');
                fields.push_back(line.substr(0, comma));
                if (comma == std::string_view::npos) break;
                line.remove_prefix(comma + 1);
            }
            // A long file's case spans `columns` lines, its score last on each.
            const std::size_t taken = longLayout ? 1 : static_cast<std::size_t>(columns);
            if (!longLayout || (k - 1) % static_cast<std::size_t>(columns) == 0) {
                rows.emplace_back();
            }
            // A line cut short (a file edited by hand) reads as missing scores.
            const auto end = static_cast<std::ptrdiff_t>(fields.size()) - columnsAfter;
            for (std::ptrdiff_t f = end - static_cast<std::ptrdiff_t>(taken); f < end; ++f) {
                double value = std::numeric_limits<double>::quiet_NaN();
                const std::string_view field =
                    f >= 0 ? fields[static_cast<std::size_t>(f)] : std::string_view();
                if (!field.empty()) {
                    FromChars(field.data(), field.data() + field.size(), value);
                }
                rows.back().push_back(value);
            }
        }
    });
    return rows;
}

}  // namespace zek
