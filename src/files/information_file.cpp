#include "files/information_file.h"

#include <array>
#include <cmath>
#include <string_view>
#include <vector>

#include "files/categorical_report.h"
#include "files/data_file.h"
#include "files/number_format.h"
#include "files/text_file.h"
#include "setup/design_catalogue.h"
#include "setup/number_parsing.h"
#include "setup/version.h"

namespace zek {

namespace {

const std::string kAsterisks(63, '*');

struct HeadingLines {
    std::array<std::string_view, 3> parameters;
    std::array<std::string_view, 3> actual;
};

constexpr HeadingLines kTwoFactorHeadings{
    {"            Fac.1 Fac.2         Pop.    Pop.   Dec.    Min.    Max.           ",
     "            Level Level   N     Mean    S.D.   Places  Score   Score    Dist. ",
     "            ----- ----- ------ ------  ------  ------  ------  ------  -------"},
    {"            Fac.1 Fac.2        Actual  Actual",
     "            Level Level   N     Mean    S.D. ",
     "            ----- ----- ------ ------  ------"}};

constexpr HeadingLines kThreeFactorHeadings{
    {"            Fac.1 Fac.2 Fac.3         Pop.    Pop.   Dec.    Min.    Max.           ",
     "            Level Level Level   N     Mean    S.D.   Places  Score   Score    Dist. ",
     "            ----- ----- ----- ------ ------  ------  ------  ------  ------  -------"},
    {"            Fac.1 Fac.2 Fac.3        Actual  Actual",
     "            Level Level Level   N     Mean    S.D. ",
     "            ----- ----- ----- ------ ------  ------"}};

constexpr HeadingLines kGroupHeadings{
    {"                          Pop.    Pop.   Dec.    Min.    Max.           ",
     "            Group   N     Mean    S.D.   Places  Score   Score    Dist. ",
     "            ----- ------ ------  ------  ------  ------  ------  -------"},
    {"                         Actual  Actual  ", "            Group   N     Mean    S.D.   ",
     "            ----- ------ ------  ------  "}};

constexpr HeadingLines kOneGroupHeadings{
    {"                   Pop.    Pop.   Dec.    Min.    Max.           ",
     "             N     Mean    S.D.   Places  Score   Score    Dist. ",
     "           ------ ------  ------  ------  ------  ------  -------"},
    {"                  Actual  Actual  ", "             N     Mean    S.D.   ",
     "           ------ ------  ------  "}};

bool IsOneGroupFamily(DesignFamily family) {
    return family == DesignFamily::Regression || family == DesignFamily::Correlated;
}

const HeadingLines& HeadingsOf(const GenerationSetup& setup) {
    if (setup.family == DesignFamily::Factorial) {
        return setup.factorCount == 3 ? kThreeFactorHeadings : kTwoFactorHeadings;
    }
    return IsOneGroupFamily(setup.family) ? kOneGroupHeadings : kGroupHeadings;
}

std::string_view DistributionLabel(DistributionKind kind) {
    switch (kind) {
        case DistributionKind::Normal:
            return "  Normal ";
        case DistributionKind::Uniform:
            return "  Uniform";
        case DistributionKind::SkewPos:
            return "  SkewPos";
        case DistributionKind::SkewNeg:
            return "  SkewNeg";
        case DistributionKind::Likert:
            return "  Likert ";
        case DistributionKind::RandomlyChosen:
            break;
    }
    return "         ";
}

struct ReportRow {
    std::string label;
    int box;
};

// Variable 1 of every cell, then variable 2 of every cell, and so on.
std::string RowLabel(const GenerationSetup& setup, const DesignCell& cell, int variable) {
    std::string label;
    switch (setup.family) {
        case DesignFamily::Regression:
            if (variable == 1) return setup.binaryOutcome ? "Outcome 0/1" : "Outcome DV ";
            label = "Predictor";
            AppendInteger(label, variable - 1);
            return label + " ";
        case DesignFamily::Correlated:
            label = "Variable";
            AppendInteger(label, variable);
            return label + "  ";
        case DesignFamily::OneWay:
        case DesignFamily::TwoGroupsMultiVariable:
        case DesignFamily::TwoVariablesInGroups:
        case DesignFamily::Factorial:
        case DesignFamily::Categorical:
            break;
    }
    const bool twoVariableCells = ShapeOf(setup).TwoVariablesInCells();
    if (twoVariableCells) {
        label = variable == 1 ? "Variable 1" : "Variable_2";
    } else {
        label = "Variable";
        AppendInteger(label, variable);
    }
    for (int level = 0; level < cell.levelCount; ++level) {
        label.append(twoVariableCells && level == 0 ? 4 : 5, ' ');
        AppendInteger(label, cell.levels[level]);
    }
    return label + "  ";
}

std::vector<ReportRow> ReportRows(const GenerationSetup& setup) {
    const DataLayout layout = LayoutOf(setup);
    std::vector<ReportRow> rows;
    for (int v = 0; v < layout.variableCount; ++v) {
        for (const DataBlock& block : layout) {
            rows.push_back({RowLabel(setup, block.cell, v + 1), block.BoxOfColumn(v)});
        }
    }
    return rows;
}

void AppendLimit(std::string& line, double limit) {
    if (limit == NoLimit) {
        line.append(8, ' ');
    } else {
        AppendFixedWidth(line, limit, 8, 2);
    }
}

void WriteMatrix(LineWriter& writer, const GenerationSetup& setup, auto entry) {
    const int n = setup.variableCount;
    for (int i = 1; i <= n; ++i) {
        std::string& line = writer.line();
        switch (setup.family) {
            case DesignFamily::Correlated:
                line += "Var ";
                AppendInteger(line, i);
                line += ' ';
                break;
            case DesignFamily::Regression:
                if (i == 1) {
                    line += "   DV ";
                } else {
                    line += "   X";
                    AppendInteger(line, i - 1);
                    line += ' ';
                }
                break;
            case DesignFamily::OneWay:
            case DesignFamily::TwoGroupsMultiVariable:
            case DesignFamily::TwoVariablesInGroups:
            case DesignFamily::Factorial:
            case DesignFamily::Categorical:
                line += " Var";
                AppendInteger(line, i);
                line += ' ';
                break;
        }
        for (int j = 1; j <= i; ++j) AppendFixedWidth(line, entry(i - 1, j - 1), 7, 3);
        writer.EndLine();
    }
}

void WriteMatrixHeading(LineWriter& writer, const GenerationSetup& setup) {
    const int n = setup.variableCount;
    std::string& line = writer.line();
    switch (setup.family) {
        case DesignFamily::Correlated:
            line += "        Var 1";
            for (int v = 2; v <= n; ++v) {
                line += "  Var ";
                AppendInteger(line, v);
            }
            break;
        case DesignFamily::Regression:
            line += "          DV ";
            for (int p = 1; p <= n - 1; ++p) {
                line += "    X";
                AppendInteger(line, p);
                line += ' ';
            }
            break;
        case DesignFamily::OneWay:
        case DesignFamily::TwoGroupsMultiVariable:
        case DesignFamily::TwoVariablesInGroups:
        case DesignFamily::Factorial:
        case DesignFamily::Categorical:
            // Every column is named, the fourth variable of two groups with four included.
            line += "         Var1";
            for (int v = 2; v <= n; ++v) {
                line += "   Var";
                AppendInteger(line, v);
            }
            break;
    }
    writer.EndLine();
    std::string& underline = writer.line();
    underline += "       ------";
    for (int v = 2; v <= n; ++v) underline += " ------";
    writer.EndLine();
}

void WriteSectionBreak(LineWriter& writer) {
    writer.Line("");
    writer.Line(kAsterisks);
    writer.Line("");
}

void WriteGeneralInformation(LineWriter& writer, const GenerationSetup& setup) {
    writer.Line("GENERAL INFORMATION: ");
    writer.Line("-------------------- ");
    writer.Line("");
    auto integerLine = [&writer](std::string_view label, std::int64_t value) {
        std::string& line = writer.line();
        line += label;
        AppendInteger(line, value);
        writer.EndLine();
    };
    integerLine("                        Generator Seed: ", setup.seed);
    integerLine("                   Number of Variables: ", setup.variableCount);
    integerLine("                     Number of Factors: ", setup.factorCount);
    integerLine("         Number of Levels for Factor 1: ", setup.levelsFactor1);
    if (setup.factorCount > 1) {
        integerLine("         Number of Levels for Factor 2: ", setup.levelsFactor2);
    }
    if (setup.factorCount > 2) {
        integerLine("         Number of Levels for Factor 3: ", setup.levelsFactor3);
    }
    integerLine("   Total Number of Cells in the Design: ",
                std::int64_t{setup.levelsFactor1} * setup.levelsFactor2 * setup.levelsFactor3);
    std::string& reliability = writer.line();
    reliability += "  Reliability for Continuous Variables: ";
    AppendFixedWidth(reliability, setup.reliability, 5, 3);
    writer.EndLine();
    integerLine("                 Total Number of Cases: ", setup.totalCases);
    writer.Line("");
    std::string& missing = writer.line();
    missing += "               Percentage Missing Data: ";
    AppendInteger(missing, setup.missingPercent);
    missing += '%';
    writer.EndLine();
    std::string& extreme = writer.line();
    extreme += "               Perecetage Extreme Data: ";
    AppendInteger(extreme, setup.extremePercent);
    extreme += '%';
    writer.EndLine();
}

}  // namespace

const ReportFooterLines& AboutIdentificationLines() {
    static const ReportFooterLines kLines{
        "Qarn (Version " + std::string(kVersion) + ")",
        "ZEK: simulated sample data for teaching and practising statistics",
        "Data depend only on the seed and the parameters set by the user"};
    return kLines;
}

namespace {

void WriteParameterTable(LineWriter& writer, const GeneratedRun& run,
                         const std::vector<ReportRow>& rows) {
    const GenerationSetup& setup = run.setup;
    const int nWidth = IsOneGroupFamily(setup.family) ? 5 : 6;
    writer.Line("DATA GENERATION PARAMETERS SET BY USER: ");
    writer.Line("--------------------------------------- ");
    writer.Line("");
    for (std::string_view heading : HeadingsOf(setup).parameters) writer.Line(heading);
    for (const ReportRow& row : rows) {
        const BoxParameters& box = setup.Box(row.box);
        const DrawnBox& drawn = run.record.Box(row.box);
        std::string& line = writer.line();
        line += row.label;
        AppendIntegerWidth(line, box.n, nWidth);
        AppendFixedWidth(line, box.mean, 8, 2);
        if (setup.binaryOutcome && row.box == 1) {
            // The Mean column holds the percentage of 1s; an SD, limits and a shape are the
            // latent score's, which the data file does not hold.
            line.append(8, ' ');
            AppendIntegerWidth(line, 0, 8);
            line.append(16, ' ');
            line += "  0 or 1";
            writer.EndLine();
            continue;
        }
        AppendFixedWidth(line, box.sd, 8, 2);
        AppendIntegerWidth(line, box.decimals, 8);
        AppendLimit(line, drawn.minScore);
        AppendLimit(line, drawn.maxScore);
        line += DistributionLabel(drawn.shape);
        if (drawn.chosenAtRandom) line += '*';
        writer.EndLine();
    }
    bool anyChosenAtRandom = false;
    for (const DrawnBox& drawn : run.record.boxes) anyChosenAtRandom |= drawn.chosenAtRandom;
    if (anyChosenAtRandom) {
        writer.Line("");
        writer.Line(std::string(61, '-'));
        writer.Line("* indicates that a randomly chosen distribution was requested");
    }
}

void WriteActualTable(LineWriter& writer, const GenerationSetup& setup,
                      const std::vector<ReportRow>& rows, const ActualStatistics& statistics) {
    const int nWidth = IsOneGroupFamily(setup.family) ? 5 : 6;
    writer.Line("ACTUAL MEANS AND STANDARD DEVIATIONS FOR GENERATED DATA: ");
    writer.Line("-------------------------------------------------------- ");
    writer.Line("");
    for (std::string_view heading : HeadingsOf(setup).actual) writer.Line(heading);
    for (const ReportRow& row : rows) {
        const auto box = static_cast<std::size_t>(row.box - 1);
        std::string& line = writer.line();
        line += row.label;
        AppendIntegerWidth(line, statistics.actualN[box], nWidth);
        AppendFixedWidth(line, statistics.actualMean[box], 8, 2);
        AppendFixedWidth(line, statistics.actualSd[box], 8, 2);
        writer.EndLine();
    }
}

void WriteCorrelations(LineWriter& writer, const GenerationSetup& setup,
                       const ActualStatistics& statistics) {
    WriteSectionBreak(writer);
    writer.Line("LOWER TRIANGULAR CORRELATION MATRIX SET BY USER: ");
    writer.Line("------------------------------------------------ ");
    writer.Line("");
    WriteMatrixHeading(writer, setup);
    WriteMatrix(writer, setup, [&setup](int i, int j) { return setup.correlations.full[i][j]; });
    WriteSectionBreak(writer);
    writer.Line("ACTUAL LOWER TRIANGULAR CORRELATION MATRIX (pairwise): ");
    writer.Line("------------------------------------------------------ ");
    writer.Line("");
    WriteMatrixHeading(writer, setup);
    if (!IsOneGroupFamily(setup.family)) {
        writer.Line("Correlation in Total Sample");
        writer.Line("");
    }
    WriteMatrix(writer, setup,
                [&statistics](int i, int j) { return statistics.actualCorrelations[i][j]; });
    writer.Line("");
    writer.Line("NOTE: The algorithm used to generate data requires certain assumptions.");
    writer.Line("      Non-normality and certain patterns of correlations may result in");
    writer.Line("      generated data with correlations different than the input values.");
}

}  // namespace

namespace {

// The names and labels the data file's columns and levels carry, where any has one: the
// tables below keep the design's own names, so that their columns stay aligned.
void WriteColumnNames(LineWriter& writer, const GenerationSetup& setup) {
    std::vector<std::string> lines;
    const DataColumns columns = DataColumnsOf(setup);
    for (const DataColumn& column : columns.all()) {
        const std::string& name = column.name;
        const std::string& label = column.label;
        std::vector<std::string> levels;
        for (const auto& [level, levelLabel] : column.levelLabels) {
            if (level >= 1 && level <= column.levels) {
                levels.push_back("      " + std::to_string(level) + " = " + levelLabel);
            }
        }
        const std::string& defaultName = column.defaultName;
        const bool scaleScore = column.role == ColumnRole::ScaleScore;
        if (name == defaultName && label.empty() && levels.empty() && !column.reversed &&
            !scaleScore) {
            continue;
        }
        lines.push_back("  " + defaultName + (name == defaultName ? "" : " -> " + name) +
                        (label.empty() ? "" : ": " + label));
        if (column.reversed) {
            lines.push_back("      reverse-keyed: the scale's figures take " +
                            ShortestText(ReversingSumOf(setup, column.variable).value_or(0.0)) +
                            " - " + name);
        }
        if (scaleScore) {
            lines.push_back(std::string("      each case's ") +
                            (setup.scaleScore == ScaleScore::Sum ? "sum" : "mean") +
                            " of the items, reverse-keyed ones reversed; empty");
            lines.push_back("      where an item is missing");
        }
        lines.insert(lines.end(), levels.begin(), levels.end());
    }
    if (lines.empty()) return;
    writer.Line("COLUMN NAMES AND LABELS IN THE DATA FILE: ");
    writer.Line("----------------------------------------- ");
    writer.Line("");
    for (const std::string& line : lines) writer.Line(line);
    WriteSectionBreak(writer);
}

// The outcome's 0s and 1s against the asked percentage, and how they were made.
void WriteBinaryOutcome(LineWriter& writer, const GenerationSetup& setup,
                        const ActualStatistics& statistics) {
    WriteSectionBreak(writer);
    writer.Line("BINARY OUTCOME (LOGISTIC REGRESSION): ");
    writer.Line("------------------------------------- ");
    writer.Line("");
    const double asked = setup.Box(1).mean;
    std::string line = "  Requested percentage of 1s: ";
    AppendFixedWidth(line, asked, 7, 2);
    writer.Line(line);
    const int present = statistics.actualN[0];
    const auto ones = static_cast<long long>(std::llround(statistics.actualMean[0] * present));
    line = "     Actual percentage of 1s: ";
    if (present > 0) {
        AppendFixedWidth(line, 100.0 * static_cast<double>(ones) / present, 7, 2);
        line += "  (" + std::to_string(ones) + " of " + std::to_string(present) + " cases)";
    } else {
        line += "      -  (no case has an outcome)";
    }
    writer.Line(line);
    writer.Line("");
    std::string share;
    AppendFixed(share, asked, 2);
    if (setup.exactStatistics) {
        writer.Line("  The outcome is 1 for the " + share + "% of cases with the highest latent");
        writer.Line("  scores (as near as the number of cases allows) and 0 for the others; the");
    } else {
        writer.Line("  The outcome is 1 where a normal latent score lies above the cut that");
        writer.Line("  leaves " + share + "% of its population above it, and 0 elsewhere; the");
    }
    writer.Line("  correlations set by user are the latent score's, the actual ones those of");
    writer.Line("  the 0s and 1s (point-biserial), which are smaller.");
}

// The steps after the exact scores that moved the figures again.
std::vector<std::string> StepsThatMovedThem(const GeneratedRun& run) {
    const GenerationSetup& setup = run.setup;
    const ExactRunNotes& notes = run.record.exactNotes;
    std::vector<std::string> moves;
    if (setup.reliability < 1.0) moves.emplace_back("measurement error (reliability below 1)");
    if (setup.missingPercent > 0) moves.emplace_back("missing values");
    if (setup.extremePercent > 0) moves.emplace_back("extreme values");
    if (notes.limitsCut) moves.emplace_back("scores cut by a Min or Max");
    for (int box = 1; box <= kBoxCount; ++box) {
        if (notes.uniformNarrowed[static_cast<std::size_t>(box - 1)]) {
            moves.push_back("box " + std::to_string(box) +
                            ": Uniform scores kept within the limits, SD below the asked one");
        }
    }
    if (notes.correlationsShort) {
        moves.emplace_back("too few cases for exact correlations in a group or cell");
    }
    for (int box = 1; box <= kBoxCount; ++box) {
        if (setup.Box(box).active && setup.Box(box).distribution == DistributionKind::Likert) {
            moves.push_back("box " + std::to_string(box) +
                            ": Likert points, mean and SD as near the asked ones as whole "
                            "points allow");
        }
    }
    return moves;
}

// Never a silent claim: what was asked, and each step that moved the figures again.
void WriteExactnessStatement(LineWriter& writer, const GeneratedRun& run) {
    const GenerationSetup& setup = run.setup;
    const ExactRunNotes& notes = run.record.exactNotes;
    const std::vector<std::string> moves = StepsThatMovedThem(run);
    writer.Line("EXACT SAMPLE STATISTICS were asked for: the scores were drawn and then made");
    writer.Line("to have exactly the requested means, SDs and correlations.");
    std::vector<std::string> misses;
    for (int box = 1; box <= kBoxCount; ++box) {
        const ExactRunNotes::WrittenMiss& miss =
            notes.writtenMisses[static_cast<std::size_t>(box - 1)];
        if (!miss.missed) continue;
        const int decimals = setup.Box(box).decimals;
        const auto shown = [decimals](double value) {
            std::string text;
            AppendFixed(text, value, decimals);
            return text;
        };
        // The asked figures as typed, which the box's decimals may not show.
        misses.push_back("  - box " + std::to_string(box) + ": mean " + shown(miss.mean) +
                         " and SD " + shown(miss.sd) + " written, " +
                         ShortestText(miss.targetMean) + " and " + ShortestText(miss.targetSd) +
                         " asked: no scores at " + std::to_string(decimals) +
                         " decimals have both");
    }
    if (moves.empty() && misses.empty()) {
        writer.Line("The data file's means and SDs are the requested ones at each box's decimals.");
    } else if (moves.empty()) {
        writer.Line("The data file's means and SDs are the requested ones at each box's decimals,");
        writer.Line("except where too few cases on the box's decimals could not reach them:");
        for (const std::string& miss : misses) writer.Line(miss);
    } else {
        writer.Line("These steps moved them again; the actual figures below are what was got:");
        for (const std::string& move : moves) writer.Line("  - " + move);
    }
    if (setup.binaryOutcome) {
        writer.Line("The outcome's 0s and 1s hold the asked percentage of 1s as nearly as its");
        writer.Line("cases allow (see BINARY OUTCOME below).");
    }
    WriteSectionBreak(writer);
}

}  // namespace

void WriteInformationFile(std::ostream& out, const GeneratedRun& run,
                          const ActualStatistics& statistics, const ReportFooterLines& footer) {
    const GenerationSetup& setup = run.setup;
    LineWriter writer(out);
    writer.Line("  (For best viewing, change Font to COURIER NEW 10 point)");
    writer.Line(kAsterisks);
    writer.Line("TITLE:  " + setup.title);
    writer.Line(kAsterisks);
    writer.Line("");
    const bool categorical = setup.family == DesignFamily::Categorical;
    if (setup.exactStatistics) {
        if (categorical) {
            WriteCategoricalExactness(writer, setup);
        } else {
            WriteExactnessStatement(writer, run);
        }
    }
    if (categorical) {
        WriteCategoricalGeneralInformation(writer, setup);
    } else {
        WriteGeneralInformation(writer, setup);
    }
    WriteSectionBreak(writer);
    WriteColumnNames(writer, setup);

    if (categorical) {
        WriteCategoryCounts(writer, setup, statistics);
    } else {
        const std::vector<ReportRow> rows = ReportRows(setup);
        WriteParameterTable(writer, run, rows);
        WriteSectionBreak(writer);
        WriteActualTable(writer, setup, rows, statistics);
        if (setup.binaryOutcome) WriteBinaryOutcome(writer, setup, statistics);
        if (setup.variableCount > 1) WriteCorrelations(writer, setup, statistics);
    }

    WriteSectionBreak(writer);
    writer.Line("GENERATED DATA FILE NAME AND LOCATION: ");
    writer.Line("-------------------------------------- ");
    writer.Line("");
    writer.Line("  " + setup.dataFileName);
    writer.Line("");
    writer.Line(kAsterisks);

    writer.Line(std::string(42, '~'));
    for (const std::string& line : footer) writer.Line(line);
    writer.Flush();
}

}  // namespace zek
