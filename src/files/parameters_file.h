// The generation parameters file: the texts of the main window's parameter controls, one
// item a line, so that a setup can be restored next term. The format knows texts and tokens
// only; which control each text fills is the window's business.
#pragma once

#include <array>
#include <cstddef>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setup/design_catalogue.h"
#include "setup/generation_setup.h"
#include "setup/refusal.h"

namespace zek {

inline constexpr const char* kNotSavedByZekMessage =
    "The file you tried to open was apparently not saved by ZEK";

/// A parameters file is a few kilobytes; a larger file is refused before it can take memory.
inline constexpr std::size_t kMaxParametersFileBytes = 1024 * 1024;

/// The longest text a control of the window takes, and so the longest line of a parameters
/// file: every file ZEK writes stays far below `kMaxParametersFileBytes` and reopens.
inline constexpr std::size_t kMaxTextLength = 200;

/// One box section; a shape line that names no shape gives no shape (and is written as
/// Normal).
struct BoxSection {
    std::string mean, sd, n, decimals;
    bool minChecked = false;
    std::string minText;
    bool maxChecked = false;
    std::string maxText;
    std::optional<DistributionKind> shape;
};

/// Everything a parameters file holds.
struct ParametersFileContents {
    std::string title, seed, missing, extreme;
    int designCode = 0;  ///< a code outside 1..43 selects no design
    /// Which boxes have a section ("box3.active").
    std::array<bool, kBoxCount> boxPresent{};
    std::array<BoxSection, kBoxCount> boxes{};
    /// By `CorrelationCellIndex`.
    std::array<std::string, kCorrelationCellCount> correlations{};
    /// The optional section after the correlations; only the design's columns are written.
    ColumnNames columnNames;
    /// "Exact Sample Statistics", in an optional section before the names that is written
    /// only when it is on, so that a file without it reads, and is written, as ever.
    bool exactStatistics = false;
    /// "Repeated Measures" and "Long Layout", in the same section.
    bool repeatedMeasures = false;
    bool longLayout = false;
    /// "Scale (Items of One Construct)", in the same section.
    bool scaleItems = false;
    /// The scale's score column, in the same section ("scale sum", "scale mean").
    ScaleScore scaleScore = ScaleScore::None;
    /// A categorical design's percentages and N, in a section of their own after the options;
    /// nothing for the other designs, whose files have none.
    std::optional<CategoryTableTexts> categories;
};

/// Writes the file; one box section for each box present. Throws `StreamError` when a write
/// fails.
void WriteParametersFile(std::ostream& out, const ParametersFileContents& contents);

/// What a parameters file said, in file order, so that the window can replay it.
struct ParametersFileReading : ParametersFileContents {
    enum class Outcome {
        NotSavedByZek,     ///< the first line does not begin with "ZEK Gen"; nothing applies
        TooLarge,          ///< over `kMaxParametersFileBytes`; nothing applies
        LineTooLong,       ///< a line beyond `kMaxTextLength`; nothing applies
        DesignNotInteger,  ///< title, seed and the percentages apply; nothing after them
        NamesRefused,      ///< a line of the names section is refused; nothing applies
        Complete,
    };
    Outcome outcome = Outcome::Complete;
    int longLine = 0;          ///< for `LineTooLong`, from 1
    std::string namesRefusal;  ///< for `NamesRefused`: "line 72: ..."

    std::string designLine;
    /// The line of each entry of the categories section by its key ("pct3", "n2").
    std::map<std::string, int> categoryLines;

    /// The message for an outcome other than Complete.
    std::string ErrorMessage() const;
};

/// Reads a parameters file. Section lines are skipped unread; reading past the end gives
/// empty lines, and reading stops after the last line the format has. A byte-order mark in
/// front of the first line (Windows editors add one) is skipped. Throws `StreamError` when
/// reading fails.
ParametersFileReading ReadParametersFile(std::istream& in);

/// Line number (from 1) of the design code in every parameters file.
inline constexpr int kDesignLineNumber = 11;

/// Where the text of a control stands in the file that `reading` read, as a user finds it:
/// "line 22, box 1 Mean"; nothing for a control the file has no line for.
std::optional<std::string> PlaceInParametersFile(const ParametersFileReading& reading,
                                                 std::string_view controlName);

/// Why a complete reading cannot stand for a whole setup on its own, naming the line: a design
/// code outside 1..43, active-box lines that do not match the design's boxes, or a categorical
/// design without its categories section or with a table of another size. The window
/// keeps its current design and boxes in such a case; a program without a window has none.
Verdict CheckDesignOf(const ParametersFileReading& reading);

}  // namespace zek
