#include "commands/run_command.h"

#include <cmath>
#include <limits>
#include <string>

#include "commands/option_dialogs.h"
#include "engine/cholesky.h"
#include "engine/correlation_repair.h"
#include "engine/generate_data.h"
#include "engine/likert_points.h"
#include "files/data_file.h"
#include "files/number_format.h"
#include "setup/category_table.h"
#include "setup/number_parsing.h"

namespace zek {

namespace {

constexpr std::string_view kNotANumber = "You must enter an appropriate numeric value";

// Beyond this a mean, SD or limit is no score a student can analyse: the report's arithmetic
// would overflow to "inf" and the data file would hold 300-digit fields.
constexpr double kLargestScoreMagnitude = 1e12;

std::string ControlName(std::string_view stem, int index) {
    std::string name(stem);
    AppendInteger(name, index);
    return name;
}

std::string BoxMessage(std::string_view text, int boxNumber) {
    std::string message(text);
    message += " (check box ";
    AppendInteger(message, boxNumber);
    message += ')';
    return message;
}

struct PercentageField {
    std::int32_t& percent;
    double& fraction;
    std::string_view control;            ///< the main window's box
    std::string_view notIntegerMessage;  ///< the main window's and the dialog's message
    std::string_view outOfRangeMessage;  ///< the main window's; the dialog shows the other
};

PercentageField FieldOf(PercentageKind kind, GenerationSetup& setup) {
    if (kind == PercentageKind::Missing) {
        constexpr std::string_view kMessage =
            "Percentage of MISSING VALUES should be an appropriate numeric value between 0 and "
            "100";
        return {setup.missingPercent, setup.missingFraction, "txt_missing_main", kMessage,
                kMessage};
    }
    return {setup.extremePercent, setup.extremeFraction, "txt_extreme_main",
            "Percentage of EXTREME VALUES should be an appropriate numeric value between 0 and "
            "100",
            "Percentage of extreme VALUES should be an appropriate numeric value between 0 and "
            "100"};
}

// Both checks run: a text that is no integer leaves the previous percentage in place, and
// that value is then checked against the range.
bool StorePercentage(std::string_view text, const PercentageField& field,
                     std::string_view outOfRangeMessage, CommandHost& host) {
    bool valid = true;
    if (const std::optional<std::int32_t> percent = ParseInteger(text)) {
        field.percent = *percent;
    } else {
        host.Refuse(field.notIntegerMessage, field.control, "");
        valid = false;
    }
    if (field.percent < 0 || field.percent > 100) {
        host.Refuse(outOfRangeMessage, field.control, "");
        valid = false;
    }
    if (valid) field.fraction = field.percent / 100.0;
    return valid;
}

// Never stops the window's run: the dialog is shown until it accepts a value. Where no
// dialog can be shown the run stops instead.
bool ReadPercentage(PercentageKind kind, std::string& mainText, GenerationSetup& setup,
                    CommandHost& host) {
    const PercentageField field = FieldOf(kind, setup);
    if (StorePercentage(mainText, field, field.outOfRangeMessage, host)) return true;
    const std::optional<std::string> accepted =
        AskPercentageUntilAccepted(kind, mainText, setup, host);
    if (!accepted) return false;
    mainText = *accepted;
    return true;
}

bool ReadSeed(ControlTexts& controls, GenerationSetup& setup, CommandHost& host) {
    if (controls.seed.empty()) {
        setup.seed = host.ClockRandomBelow(kEmptySeedBoxBound);
        controls.seed = std::to_string(setup.seed);
        return true;
    }
    const std::optional<std::int32_t> seed = ParseSeed(controls.seed);
    if (!seed) {
        host.Refuse(kSeedMessage, "txt_seed1", "txt_seed1");
        return false;
    }
    setup.seed = *seed;
    return true;
}

// All checks of a box run even after one has failed, so one box can show several messages.
// A text that does not parse leaves its field as it was, and later checks use that value.
bool ReadBox(int k, const BoxTexts& texts, char separator, BoxParameters& box, CommandHost& host) {
    bool ok = true;
    // `control` is focused; a message without one still names where it comes from.
    auto fail = [&](std::string_view message, std::string_view control,
                    std::string_view place = {}) {
        const std::string focus = control.empty() ? std::string() : ControlName(control, k);
        const std::string where = !place.empty() ? ControlName(place, k) : focus;
        host.Refuse(message, where, focus);
        ok = false;
    };
    auto readReal = [&](const std::string& text, double& field, std::string_view control) {
        const std::optional<double> value = ParseReal(text, separator);
        if (value && std::fabs(*value) <= kLargestScoreMagnitude) {
            field = *value;
        } else {
            fail(kNotANumber, control);
        }
    };

    readReal(texts.mean, box.mean, "txt_mean");
    readReal(texts.sd, box.sd, "txt_sd");
    if (const std::optional<std::int32_t> n = ParseInteger(texts.n)) {
        box.n = *n;
    } else {
        fail(kNotANumber, "txt_n");
    }
    if (box.n > kMaxCasesPerBox) fail("Maximum Data per cell is 25000", "", "txt_n");
    if (box.n < 2) fail("Minimum Data per cell is 2", "", "txt_n");
    if (texts.minChecked) readReal(texts.minText, box.minScore, "txt_min");
    if (texts.maxChecked) readReal(texts.maxText, box.maxScore, "txt_max");

    if (texts.minChecked && texts.maxChecked) {
        if (!(box.maxScore > box.minScore && box.mean > box.minScore && box.maxScore > box.mean)) {
            fail(BoxMessage("MAXIMUM SCORE must be greater than the MEAN, which must be greater "
                            "than the MINIMUM SCORE",
                            k),
                 "", "box_group");
        }
    } else if (texts.minChecked) {
        if (!(box.mean > box.minScore)) {
            fail(BoxMessage("MINIMUM SCORE must be less than MEAN", k), "", "box_group");
        }
    } else if (texts.maxChecked) {
        if (!(box.mean < box.maxScore)) {
            fail(BoxMessage("MAXIMUM SCORE must be greater than MEAN", k), "", "box_group");
        }
    }
    if (!texts.minChecked) box.minScore = NoLimit;
    if (!texts.maxChecked) box.maxScore = NoLimit;

    if (const std::optional<std::int32_t> decimals = ParseInteger(texts.decimals)) {
        box.decimals = *decimals;
    } else {
        fail("You must enter an Integer Value from 0 to 6", "txt_dec");
    }
    return ok;
}

// A binary outcome's box takes its percentage of 1s in the Mean entry and its N; what else
// it shows does not apply (the outcome is 0 or 1), and is read as a latent score's.
BoxTexts OutcomeTexts(BoxTexts texts) {
    texts.sd = "1";
    texts.decimals = "0";
    texts.minChecked = false;
    texts.maxChecked = false;
    return texts;
}

// A Likert box's points run from 1 to its Max Score, in whole points.
BoxTexts LikertTexts(BoxTexts texts) {
    texts.decimals = "0";
    texts.minChecked = true;
    texts.minText = "1";
    texts.maxChecked = true;
    return texts;
}

// Checked before the box's other entries, which a scale of no points would misjudge.
bool PointsAreAScale(int k, const std::string& maxText, char separator, CommandHost& host) {
    const std::optional<double> points = ParseReal(maxText, separator);
    if (points && IsPointCount(*points)) return true;
    host.Refuse(BoxMessage("A Likert scale's MAXIMUM SCORE is its number of points, a whole "
                           "number from 3 to 11",
                           k),
                ControlName("txt_max", k), ControlName("txt_max", k));
    return false;
}

// A mean and SD the box's scale can have; the refusal says which SDs would do.
bool ScaleCanHave(int k, const BoxParameters& box, char separator, CommandHost& host) {
    const int scale = static_cast<int>(box.maxScore);
    if (LatentForPoints(box.mean, box.sd, scale)) return true;
    const std::optional<SdReach> reach = SdReachAt(box.mean, scale);
    if (!reach) return true;  // the limits' check has said that the mean must lie within them
    // The ends rounded inwards to two decimals, so that both work as shown.
    host.Refuse(
        BoxMessage("On a scale of " + std::to_string(scale) + " points a MEAN of " +
                       SumText(box.mean, separator) + " can have an SD from " +
                       SumText(std::ceil(reach->lowest * 100.0) / 100.0, separator) + " to " +
                       SumText(std::floor(reach->highest * 100.0) / 100.0, separator),
                   k),
        ControlName("txt_sd", k), ControlName("txt_sd", k));
    return false;
}

bool ShareOfOnesIsPossible(const BoxParameters& outcome, CommandHost& host) {
    if (outcome.mean > 0.0 && outcome.mean < 100.0) return true;
    host.Refuse("The percentage of 1s must be more than 0 and less than 100", "txt_mean1",
                "txt_mean1");
    return false;
}

bool ReadCorrelations(const ControlTexts& controls, const EnabledCorrelationCells& enabled,
                      char separator, CorrelationMatrix& matrix, CommandHost& host) {
    for (int i = 1; i <= kMaxVariables; ++i) {
        for (int j = i + 1; j <= kMaxVariables; ++j) {
            const auto cell = static_cast<std::size_t>(CorrelationCellIndex(i, j));
            if (!enabled[cell]) continue;
            const std::optional<double> value = ParseReal(controls.correlations[cell], separator);
            if (!value) {
                const std::string cellName = ControlName("txt_r", 10 * i + j);
                host.Refuse(kNotANumber, cellName, cellName);
                return false;
            }
            matrix.entered[cell] = *value;
        }
    }
    // Disabled cells count too; the focus goes to the grid's first cell whichever is wrong.
    for (int i = 1; i <= kMaxVariables; ++i) {
        for (int j = i + 1; j <= kMaxVariables; ++j) {
            if (std::fabs(matrix.Entered(i, j)) <= 1.0) continue;
            host.Refuse("Check your correlation values. CORRELATION must be between -1.0 and 1.0",
                        ControlName("txt_r", 10 * i + j), "txt_r12");
            return false;
        }
    }
    return true;
}

void BuildMatrix(GenerationSetup& setup) {
    CorrelationMatrix& matrix = setup.correlations;
    const int n = setup.variableCount;
    if (n < 2) {
        matrix.full[0][0] = 1.0;
    } else {
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j) {
                matrix.full[i - 1][j - 1] =
                    i == j ? 1.0 : matrix.Entered(std::min(i, j), std::max(i, j));
            }
        }
    }
}

RunOutcome Stop(ProgramState& state) {
    state.flags.dataGenerated = false;
    return RunOutcome::Stopped;
}

}  // namespace

bool AcceptPercentage(PercentageKind kind, std::string_view text, GenerationSetup& setup,
                      CommandHost& host) {
    const PercentageField field = FieldOf(kind, setup);
    return StorePercentage(text, field, field.notIntegerMessage, host);
}

std::optional<std::string> AskPercentageUntilAccepted(PercentageKind kind, std::string text,
                                                      GenerationSetup& setup, CommandHost& host) {
    while (true) {
        const std::optional<std::string> typed = host.AskPercentage(kind, text);
        if (!typed) return std::nullopt;
        text = *typed;
        if (AcceptPercentage(kind, text, setup, host)) return text;
    }
}

namespace {

// Names and labels as the window and a parameters file check them, and no two columns of the
// data file under one name.
bool ReadColumnNames(const ColumnNames& names, GenerationSetup& setup, CommandHost& host) {
    for (const auto& [column, name] : names.names) {
        if (name.empty()) continue;
        if (const Verdict verdict = CheckColumnName(name)) {
            host.Refuse(verdict->message, "", "");
            return false;
        }
    }
    auto checkLabel = [&host](const std::string& label) {
        const Verdict verdict = CheckColumnLabel(label);
        if (verdict) host.Refuse(verdict->message, "", "");
        return !verdict;
    };
    for (const auto& [column, label] : names.labels) {
        if (!checkLabel(label)) return false;
    }
    for (const auto& [column, levels] : names.levelLabels) {
        for (const auto& [level, label] : levels) {
            if (!checkLabel(label)) return false;
        }
        if (const Verdict verdict = CheckLevelLabels(levels)) {
            host.Refuse(verdict->message, "", "");
            return false;
        }
    }
    setup.columnNames = names;
    if (const Verdict verdict = CheckDistinctColumnNames(setup, names)) {
        host.Refuse(verdict->message, "", "");
        return false;
    }
    return true;
}

// Steps 1 to 6: the percentages, shapes, title and seed.
bool ReadRunTexts(ControlTexts& controls, GenerationSetup& setup, CommandHost& host) {
    if (!ReadPercentage(PercentageKind::Missing, controls.missing, setup, host)) return false;
    // Counts have no extreme values: the percentage is neither read nor asked for.
    if (setup.family != DesignFamily::Categorical &&
        !ReadPercentage(PercentageKind::Extreme, controls.extreme, setup, host)) {
        return false;
    }
    for (int box = 1; box <= kBoxCount; ++box) {
        setup.Box(box).distribution = controls.Box(box).shape;
    }
    // The report and the parameters file hold a title of this length at most.
    if (controls.title.size() > kMaxTextLength) {
        host.Refuse("The TITLE FOR OUTPUT may be at most 200 characters long", "txt_title",
                    "txt_title");
        return false;
    }
    setup.title = controls.title;
    if (!ReadColumnNames(controls.columnNames, setup, host)) return false;
    if (!ReadSeed(controls, setup, host)) return false;
    return true;
}

bool ReadDecimals(const GenerationSetup& setup, CommandHost& host) {
    for (int box = 1; box <= kBoxCount; ++box) {
        const int decimals = setup.Box(box).decimals;
        if (decimals < 0 || decimals > 6) {
            host.Refuse("Check your decimal values. # DECIMALS must be between 0 and 6",
                        ControlName("txt_dec", box), "txt_dec1");
            return false;
        }
    }
    return true;
}

// A refusal's message, with its lines of help below it.
void Explain(const GenerationRefusal& refusal, CommandHost& host) {
    std::string help;
    for (const std::string& line : refusal.help) help += line + '\n';
    host.ShowMessageWithDetails(refusal.message, help);
}

// The fixed message, and below it which single change would mend the matrix.
bool FactoriseOrExplain(GenerationSetup& setup, CommandHost& host) {
    BuildMatrix(setup);
    std::array<double, kPackedSize> factor =
        PackedLowerTriangle(setup.correlations.full, setup.variableCount);
    if (CholeskyFactor(setup.variableCount, factor) == CholeskyStatus::PositiveDefinite) {
        return true;
    }
    Explain({"Sorry, your matrix is not a positive definite symmetric matrix and "
             "therefore will not work as a correlation matrix",
             CorrelationRepairHints(setup.correlations.full, setup.variableCount)},
            host);
    return false;
}

}  // namespace

namespace {

// An item worded against its scale is reversed by the sum of its ends, which it must have.
bool ReversedItemsHaveEnds(const GenerationSetup& setup, CommandHost& host) {
    if (!TakesScaleItems(setup)) return true;
    const DataColumns columns = DataColumnsOf(setup);
    for (const DataColumn& column : columns.all()) {
        if (!column.reversed || ReversingSumOf(setup, column.variable)) continue;
        host.Refuse(BoxMessage(column.name + " is reverse-keyed: reversing its scores needs a "
                                             "Likert shape or both a MINIMUM and a MAXIMUM SCORE",
                               column.variable),
                    ControlName("txt_max", column.variable),
                    ControlName("txt_max", column.variable));
        return false;
    }
    return true;
}

}  // namespace

namespace {
// The draws of a checked setup, and the run's record kept where they succeed.
RunOutcome Generate(ProgramState& state, CommandHost& host);
}  // namespace

RunOutcome RunCommand(ControlTexts& controls, const EnabledCorrelationCells& enabledCells,
                      char decimalSeparator, ProgramState& state, CommandHost& host) {
    GenerationSetup& setup = state.setup;
    if (!ReadRunTexts(controls, setup, host)) return Stop(state);
    if (setup.family == DesignFamily::Categorical) {
        // Counts: the table's percentages and N; no box or correlation applies.
        const Checked<CategoryTable> table =
            ReadCategoryTable(controls.categories, decimalSeparator);
        if (!table) {
            host.Refuse(table.refusal().message, table.refusal().focus, table.refusal().focus);
            return Stop(state);
        }
        setup.categories = *table;
        setup.totalCases = setup.categories.TotalN();
        return Generate(state, host);
    }
    for (int box = 1; box <= kBoxCount; ++box) {
        if (!setup.Box(box).active) continue;
        const bool outcome = setup.binaryOutcome && box == 1;
        const bool likert = !outcome && controls.Box(box).shape == DistributionKind::Likert;
        BoxTexts texts = controls.Box(box);
        if (outcome) texts = OutcomeTexts(texts);
        if (likert) texts = LikertTexts(texts);
        if ((likert && !PointsAreAScale(box, texts.maxText, decimalSeparator, host)) ||
            !ReadBox(box, texts, decimalSeparator, setup.Box(box), host) ||
            (outcome && !ShareOfOnesIsPossible(setup.Box(box), host)) ||
            (likert && !ScaleCanHave(box, setup.Box(box), decimalSeparator, host))) {
            return Stop(state);
        }
    }
    if (!ReversedItemsHaveEnds(setup, host)) return Stop(state);
    setup.totalCases = LayoutOf(setup).totalRows;
    if (!ReadCorrelations(controls, enabledCells, decimalSeparator, setup.correlations, host)) {
        return Stop(state);
    }
    if (!ReadDecimals(setup, host) || !FactoriseOrExplain(setup, host)) return Stop(state);
    return Generate(state, host);
}

namespace {

RunOutcome Generate(ProgramState& state, CommandHost& host) {
    const GenerationSetup& setup = state.setup;
    RunRecord record;
    if (const std::optional<GenerationRefusal> refusal =
            GenerateData(setup, state.streams, state.tables, record, state.runThreads)) {
        Explain(*refusal, host);
        return Stop(state);
    }
    state.generated.setup = setup;
    state.generated.record = record;
    state.flags.dataGenerated = true;
    state.flags.filesSaved = false;
    state.flags.savedByClassSet = false;
    return RunOutcome::Generated;
}

}  // namespace

RunOutcome RunCommand(MainWindowModel& window, ProgramState& state, CommandHost& host) {
    ControlTexts texts = window.Texts();
    const RunOutcome outcome =
        RunCommand(texts, window.EnabledCells(), window.decimalSeparator(), state, host);
    window.SetSeedText(texts.seed);
    window.SetMissingText(texts.missing);
    window.SetExtremeText(texts.extreme);
    return outcome;
}

}  // namespace zek
