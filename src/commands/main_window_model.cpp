#include "commands/main_window_model.h"

#include <charconv>
#include <initializer_list>
#include <utility>

#include "commands/option_dialogs.h"
#include "commands/uniform_box.h"
#include "engine/cholesky.h"
#include "engine/likert_points.h"
#include "files/number_format.h"
#include "setup/data_columns.h"
#include "setup/decimal_conversion.h"
#include "setup/number_parsing.h"

namespace zek {

namespace {

constexpr BoxEdit kBoxEdits[] = {BoxEdit::Mean,     BoxEdit::Sd,  BoxEdit::N,
                                 BoxEdit::Decimals, BoxEdit::Min, BoxEdit::Max};

std::string BoxControlName(std::string_view stem, int box) {
    std::string name(stem);
    AppendInteger(name, box);
    return name;
}

std::string LimitEditName(int box, LimitSide side) {
    return BoxControlName(side == LimitSide::Min ? "txt_min" : "txt_max", box);
}

BoxEdit LimitEdit(LimitSide side) {
    return side == LimitSide::Min ? BoxEdit::Min : BoxEdit::Max;
}

LimitSide Other(LimitSide side) {
    return side == LimitSide::Min ? LimitSide::Max : LimitSide::Min;
}

// The stem of each box edit's control name, by `BoxEdit`.
constexpr std::string_view kEditStems[] = {"txt_mean", "txt_sd",  "txt_n",
                                           "txt_dec",  "txt_min", "txt_max"};

}  // namespace

const EditControl& ParameterBox::Edit(BoxEdit edit) const {
    switch (edit) {
        case BoxEdit::Mean:
            return mean;
        case BoxEdit::Sd:
            return sd;
        case BoxEdit::N:
            return n;
        case BoxEdit::Decimals:
            return decimals;
        case BoxEdit::Min:
            return min;
        case BoxEdit::Max:
            return max;
    }
    return mean;
}

EditControl& ParameterBox::Edit(BoxEdit edit) {
    return const_cast<EditControl&>(std::as_const(*this).Edit(edit));
}

MainWindowModel::MainWindowModel(ProgramState& state, InteractionHost& host, char decimalSeparator)
    : state_(state), host_(host), separator_(decimalSeparator) {
    categories_ = EvenCategoryTexts(2, 1, decimalSeparator);
    // The design-time state: every box cream and captioned by its number, the first two shown.
    for (int box = 1; box <= kBoxCount; ++box) {
        ParameterBox& b = MutableBox(box);
        b.caption = BoxControlName("Group/Level ", box);
        b.visible = box <= 2;
    }
    for (EditControl& cell : correlations_) cell = EditControl{"0.0", false};
}

bool MainWindowModel::CanTakeFocus(std::string_view controlName) const {
    // Box controls end in their box's digit: "txt_min3".
    for (BoxEdit edit : kBoxEdits) {
        const std::string_view stem = kEditStems[static_cast<int>(edit)];
        if (controlName.size() != stem.size() + 1 || !controlName.starts_with(stem)) continue;
        const int box = controlName.back() - '0';
        if (box < 1 || box > kBoxCount) return false;
        const ParameterBox& b = Box(box);
        const EditControl& control = b.Edit(edit);
        return b.visible && control.visible && control.enabled;
    }
    if (controlName.starts_with("txt_r") && controlName.size() == 7) {
        const int i = controlName[5] - '0';
        const int j = controlName[6] - '0';
        if (1 <= i && i < j && j <= kMaxVariables) return Correlation(i, j).enabled;
        return false;
    }
    return true;  // the title, seed and percentage boxes are always there
}

void MainWindowModel::MoveFocus(const std::string& controlName) {
    // A move to a hidden or disabled control is skipped, so that a command changing hidden
    // boxes (Copy Cell 1) goes on to its end.
    if (!CanTakeFocus(controlName)) return;
    focus_ = controlName;
    host_.Focus(controlName);
}

// ---- Edits, ticks and selections ---------------------------------------------------------

void MainWindowModel::SetTitle(std::string_view text) {
    const ChangeScope scope(*this);
    title_ = text;
}

void MainWindowModel::SetSeedText(std::string_view text) {
    const ChangeScope scope(*this);
    seed_ = text;
}

void MainWindowModel::SetMissingText(std::string_view text) {
    const ChangeScope scope(*this);
    missing_ = text;
}

void MainWindowModel::SetExtremeText(std::string_view text) {
    const ChangeScope scope(*this);
    extreme_ = text;
}

void MainWindowModel::SetBoxText(int box, BoxEdit edit, std::string_view text) {
    const ChangeScope scope(*this);
    EditControl& control = MutableBox(box).Edit(edit);
    if (control.text == text) return;
    control.text = text;
    switch (edit) {
        case BoxEdit::N:
            NChanged(box);
            break;
        case BoxEdit::Min:
            LimitTextChanged(box, LimitSide::Min);
            break;
        case BoxEdit::Max:
            LimitTextChanged(box, LimitSide::Max);
            break;
        case BoxEdit::Mean:
        case BoxEdit::Sd:
        case BoxEdit::Decimals:
            break;
    }
}

void MainWindowModel::SetLimitTicked(int box, LimitSide side, bool ticked) {
    const ChangeScope scope(*this);
    ParameterBox& b = MutableBox(box);
    CheckControl& check = side == LimitSide::Min ? b.minCheck : b.maxCheck;
    if (check.checked == ticked) return;
    check.checked = ticked;
    LimitTicked(box, side);
}

void MainWindowModel::SelectShape(int box, DistributionKind shape) {
    const ChangeScope scope(*this);
    ParameterBox& b = MutableBox(box);
    if (b.shape == shape) return;
    b.shape = shape;
    ShapeSelected(box);
}

void MainWindowModel::SelectDesign(DesignKind kind) {
    const ChangeScope scope(*this);
    if (kind == design_) return;
    design_ = kind;
    DesignSelected(kind);
}

void MainWindowModel::SetCorrelationText(int i, int j, std::string_view text) {
    const ChangeScope scope(*this);
    MutableCorrelation(i, j).text = text;
}

// ---- The reactions -----------------------------------------------------------------------

void MainWindowModel::DesignSelected(DesignKind kind) {
    const DesignInfo& design = Design(kind);
    const BoxColours& colours = ColoursOf(kind);
    GenerationSetup& setup = state_.setup;
    for (int box = 1; box <= kBoxCount; ++box) {
        MutableBox(box).colour = colours[static_cast<std::size_t>(box - 1)];
    }
    const EnabledCorrelationCells enabled = EnabledCellsOf(design);
    for (std::size_t cell = 0; cell < correlations_.size(); ++cell) {
        correlations_[cell].enabled = enabled[cell];
    }
    for (int box = 1; box <= kBoxCount; ++box) {
        ParameterBox& b = MutableBox(box);
        b.n.enabled = design.nEntryBoxes.Contains(box);
        const bool active = design.activeBoxes.Contains(box);
        setup.Box(box).active = active;
        b.visible = active;
    }
    CaptionActiveBoxes();
    const int n = design.variableCount;
    for (int i = 1; i < kMaxVariables; ++i) {
        columnHeaders_[static_cast<std::size_t>(i - 1)] = i < n ? GridVariableName(kind, i) : "";
        rowHeaders_[static_cast<std::size_t>(i - 1)] =
            i + 1 <= n ? GridVariableName(kind, i + 1) : "";
    }
    // A table of another size starts even; one categorical variable keeps its categories.
    if (design.family == DesignFamily::Categorical) {
        const int rows = design.variableCount == 2 ? design.levelsFactor1 : categories_.rows;
        const int columns = design.variableCount == 2 ? design.levelsFactor2 : 1;
        if (categories_.rows != rows || categories_.columns != columns) {
            categories_ = EvenCategoryTexts(rows, columns, separator_);
        }
    }
    // The copies react under the design values still stored from the previous design.
    for (int c = 0; c < design.nCopyCount; ++c) {
        const NCopy& copy = design.nCopies[static_cast<std::size_t>(c)];
        SetBoxText(copy.targetBox, BoxEdit::N, Box(copy.sourceBox).n.text);
    }
    OutcomeBoxFor(design);
    ApplyDesign(design, setup);
    if (design.family == DesignFamily::Categorical) CategoriesChanged();
}

// A binary outcome's box takes its percentage of 1s in the Mean entry, and its N; its other
// entries would be a latent score's, which the data file does not hold.
void MainWindowModel::OutcomeBoxFor(const DesignInfo& design) {
    const bool binary = design.binaryOutcome;
    if (binary && !state_.setup.binaryOutcome) {
        SetLimitTicked(1, LimitSide::Min, false);
        SetLimitTicked(1, LimitSide::Max, false);
        SelectShape(1, DistributionKind::Normal);
        SetBoxText(1, BoxEdit::Mean, "50");
        SetBoxText(1, BoxEdit::Sd, "1");
        SetBoxText(1, BoxEdit::Decimals, "0");
    }
    ParameterBox& b = MutableBox(1);
    b.meanHeading = binary ? " % 1s " : " Mean ";
    b.sd.enabled = !binary;
    b.decimals.enabled = !binary;
    b.minCheck.enabled = !binary;
    b.maxCheck.enabled = !binary;
    b.shapesEnabled = !binary;
}

void MainWindowModel::NChanged(int box) {
    const NChangeTargets targets = NChangeTargetsOf(ShapeOf(state_.setup), box);
    if (targets.count == 0) return;
    const std::string text = Box(box).n.text;
    if (!ParseInteger(text)) {
        host_.ShowMessage("N must be an INTEGER");
        return;
    }
    for (int t = 0; t < targets.count; ++t) {
        SetBoxText(targets.boxes[static_cast<std::size_t>(t)], BoxEdit::N, text);
    }
}

void MainWindowModel::LimitTicked(int box, LimitSide side) {
    ParameterBox& b = MutableBox(box);
    (side == LimitSide::Min ? b.minTextValid : b.maxTextValid) = false;
    const bool ticked = (side == LimitSide::Min ? b.minCheck : b.maxCheck).checked;
    if (ticked) {
        EditControl& edit = b.Edit(LimitEdit(side));
        edit.visible = true;
        edit.enabled = true;
        MoveFocus(LimitEditName(box, side));
    } else {
        SetBoxText(box, LimitEdit(side), "");
        EditControl& edit = b.Edit(LimitEdit(side));
        edit.enabled = false;
        edit.visible = false;
    }
}

void MainWindowModel::LimitTextChanged(int box, LimitSide side) {
    ParameterBox& b = MutableBox(box);
    const std::string& text = b.Edit(LimitEdit(side)).text;
    // A Likert box's points are its column's levels, which Names and Labels offers before any
    // run.
    if (b.shape == DistributionKind::Likert && side == LimitSide::Max) {
        if (const std::optional<std::int32_t> points = ParseInteger(text);
            points && IsPointCount(*points)) {
            state_.setup.Box(box).maxScore = *points;
        }
    }
    const bool parsed = !text.empty() && ParseReal(text, separator_).has_value();
    (side == LimitSide::Min ? b.minTextValid : b.maxTextValid) = parsed;
    const bool otherValid = Other(side) == LimitSide::Min ? b.minTextValid : b.maxTextValid;
    if (b.shape != DistributionKind::Uniform || !otherValid || !parsed) return;
    // With Min >= Max nothing is written; the Run command's checks then apply.
    if (const auto moments = DeriveUniformMoments(b.min.text, b.max.text, separator_)) {
        SetBoxText(box, BoxEdit::Mean, moments->meanText);
        SetBoxText(box, BoxEdit::Sd, moments->sdText);
    }
}

void MainWindowModel::ShapeSelected(int box) {
    ParameterBox& b = MutableBox(box);
    state_.setup.Box(box).distribution = b.shape;
    if (b.shape != DistributionKind::Uniform) {
        b.mean.readOnly = false;
        b.sd.readOnly = false;
        b.min.readOnly = false;
        b.decimals.enabled = true;
        b.minCheck.enabled = true;
        b.maxCheck.enabled = true;
        if (b.shape == DistributionKind::Likert) LikertSelected(box);
        return;
    }
    // The mean and SD of a Uniform box follow from its Min and Max.
    if (b.minTextValid) LimitTextChanged(box, LimitSide::Min);
    if (b.maxTextValid) LimitTextChanged(box, LimitSide::Max);
    if (!b.minCheck.checked && !b.maxCheck.checked) {
        SetLimitTicked(box, LimitSide::Min, true);
        SetBoxText(box, BoxEdit::Min, "0");
        SetLimitTicked(box, LimitSide::Max, true);
        SetBoxText(box, BoxEdit::Max, "1");
    }
    b.mean.readOnly = true;
    b.sd.readOnly = true;
    SetLimitTicked(box, LimitSide::Min, true);
    SetLimitTicked(box, LimitSide::Max, true);
    // Neither side can be unticked while Uniform is selected.
    b.minCheck.enabled = false;
    b.maxCheck.enabled = false;
    MoveFocus(LimitEditName(box, LimitSide::Min));
}

// A Likert box's points run from its Min Score, 1, to its Max Score, the number of points
// the user types (5 unless the box held 3 to 11); its scores are whole points.
void MainWindowModel::LikertSelected(int box) {
    SetLimitTicked(box, LimitSide::Min, true);
    SetBoxText(box, BoxEdit::Min, "1");
    SetLimitTicked(box, LimitSide::Max, true);
    const std::optional<std::int32_t> typed = ParseInteger(Box(box).max.text);
    const bool typedPoints = typed && IsPointCount(*typed);
    if (!typedPoints) SetBoxText(box, BoxEdit::Max, "5");
    const int points = typedPoints ? *typed : 5;
    state_.setup.Box(box).maxScore = points;
    // A mean off the scale starts in its middle.
    const std::optional<double> mean = ParseReal(Box(box).mean.text, separator_);
    if (!mean || !(*mean > 1.0 && *mean < points)) {
        SetBoxText(box, BoxEdit::Mean, std::to_string(points / 2 + 1));
        SetBoxText(box, BoxEdit::Sd, "1");
    }
    SetBoxText(box, BoxEdit::Decimals, "0");
    ParameterBox& b = MutableBox(box);
    b.min.readOnly = true;
    b.decimals.enabled = false;
    b.minCheck.enabled = false;
    b.maxCheck.enabled = false;
    MoveFocus(LimitEditName(box, LimitSide::Max));
}

// ---- Buttons -------------------------------------------------------------------------------

void MainWindowModel::DrawSeedFromClock() {
    const ChangeScope scope(*this);
    state_.setup.seed = host_.ClockRandomBelow(kPickedSeedBound);
    std::string text;
    AppendInteger(text, state_.setup.seed);
    SetSeedText(text);
}

template <typename Visit>
void MainWindowModel::ForEachEnabledGroup(Visit visit) const {
    // Group j holds the cells r_1j .. r_(j-1)j and counts as enabled with its first cell.
    for (int j = 2; j <= kMaxVariables; ++j) {
        if (Correlation(1, j).enabled) visit(j);
    }
}

void MainWindowModel::SetAllCorrelations(std::string_view text) {
    const ChangeScope scope(*this);
    ForEachEnabledGroup([&](int j) {
        for (int i = 1; i < j; ++i) SetCorrelationText(i, j, text);
    });
    warningVisible_ = false;
}

void MainWindowModel::SetRandomCorrelations(double cap, int decimals) {
    const ChangeScope scope(*this);
    bool anyGroup = false;
    ForEachEnabledGroup([&](int) { anyGroup = true; });
    attemptCount_ = 0;
    int n = kMaxVariables;
    while (true) {
        ++attemptCount_;
        // Every attempt restarts the preset's own sequence from the clock.
        presetStreamState_ = -host_.ClockRandomBelow(1000000);
        ForEachEnabledGroup([&](int j) { n = j; });
        ForEachEnabledGroup([&](int j) {
            for (int i = 1; i < j; ++i) {
                candidate_[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)] =
                    state_.streams.ShuffledUniform(presetStreamState_);
            }
        });
        std::array<double, kPackedSize> packed{};
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j) {
                auto& entry =
                    candidate_[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
                if (i < j && entry > cap) entry = cap;
            }
        }
        for (int i = 1; i <= n; ++i) {
            candidate_[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(i - 1)] = 1.0;
            for (int j = 1; j <= i; ++j) {
                // Row i of the lower triangle mirrors column i of the drawn upper one.
                packed[static_cast<std::size_t>(PackedIndex(i, j))] =
                    candidate_[static_cast<std::size_t>(j - 1)][static_cast<std::size_t>(i - 1)];
            }
        }
        if (CholeskyFactor(n, packed) == CholeskyStatus::PositiveDefinite) break;
        // With no group to draw for, another attempt could only repeat this one.
        if (!anyGroup) break;
    }
    if (!anyGroup) return;
    ForEachEnabledGroup([&](int j) {
        for (int i = 1; i < j; ++i) {
            std::string text;
            AppendFixed(
                text, candidate_[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)],
                decimals);
            for (char& c : text) {
                if (c == '.') c = separator_;
            }
            SetCorrelationText(i, j, text);
        }
    });
    warningVisible_ = true;
    attemptsLabel_.clear();
    AppendInteger(attemptsLabel_, attemptCount_);
}

// ---- Menu commands ------------------------------------------------------------------------

void MainWindowModel::ResetToStartup() {
    const ChangeScope scope(*this);
    SetSeedText("1804");
    SetMissingText("0");
    SetExtremeText("0");
    for (EditControl& cell : correlations_) cell.text = "0.0";
    for (int box = 1; box <= kBoxCount; ++box) SelectShape(box, DistributionKind::Normal);
    for (ParameterBox& b : boxes_) {
        b.min.visible = false;
        b.max.visible = false;
    }
    for (int box = 1; box <= kBoxCount; ++box) {
        SetBoxText(box, BoxEdit::Mean, "0.0");
        SetBoxText(box, BoxEdit::Sd, "1.0");
        SetBoxText(box, BoxEdit::N, "25");
        SetBoxText(box, BoxEdit::Decimals, "2");
        SetLimitTicked(box, LimitSide::Min, false);
        SetLimitTicked(box, LimitSide::Max, false);
    }
    SelectDesign(DesignKind::Groups2);
    for (EditControl& cell : correlations_) cell.enabled = false;
    for (int box = 1; box <= kBoxCount; ++box) {
        ParameterBox& b = MutableBox(box);
        b.n.enabled = true;
        b.visible = box <= 2;
    }
    // Not the captions that selecting Groups2 sets.
    MutableBox(1).caption = "Group 1";
    MutableBox(2).caption = "Group 2";
    for (std::string& header : columnHeaders_) header.clear();
    for (std::string& header : rowHeaders_) header.clear();
    // The setup's share: Beta 2 and 6, reliability 1, no data, every box RandomlyChosen, the
    // design values and active boxes of Groups2.
    zek::ResetToStartup(state_.setup, state_.flags);
}

void MainWindowModel::ToggleExactStatistics() {
    const ChangeScope scope(*this);
    state_.setup.exactStatistics = !state_.setup.exactStatistics;
}

void MainWindowModel::ToggleRepeatedMeasures() {
    const ChangeScope scope(*this);
    state_.setup.repeatedMeasures = !state_.setup.repeatedMeasures;
    CaptionActiveBoxes();
}

void MainWindowModel::ToggleScaleItems() {
    const ChangeScope scope(*this);
    state_.setup.scaleItems = !state_.setup.scaleItems;
}

Verdict MainWindowModel::SetCorrelationsFromAlpha(std::string_view alphaText) {
    const ChangeScope scope(*this);
    const std::optional<double> alpha = ParseReal(alphaText, separator_);
    const int items = Design(design_).variableCount;
    if (!alpha || !(*alpha > 0.0 && *alpha < 1.0) || items < 2) {
        return Refusal{"Cronbach's alpha must be a number between 0 and 1", ""};
    }
    const double r = *alpha / (items - (items - 1) * *alpha);
    std::array<char, 32> buffer{};
    const auto end =
        ToChars(buffer.data(), buffer.data() + buffer.size(), r, std::chars_format::fixed, 4).ptr;
    const std::string text = WithDecimalSeparator(std::string(buffer.data(), end), separator_);
    // An item worded against the scale correlates negatively with the others as written.
    for (int i = 1; i <= items; ++i) {
        for (int j = i + 1; j <= items; ++j) {
            EditControl& cell = MutableCorrelation(i, j);
            const bool against = columnNames_.Reversed(CorrelatedVariableName(i)) !=
                                 columnNames_.Reversed(CorrelatedVariableName(j));
            if (cell.enabled) cell.text = against ? "-" + text : text;
        }
    }
    return std::nullopt;
}

void MainWindowModel::SetScaleScore(ScaleScore score) {
    const ChangeScope scope(*this);
    state_.setup.scaleScore = score;
}

void MainWindowModel::ToggleLongLayout() {
    const ChangeScope scope(*this);
    state_.setup.longLayout = !state_.setup.longLayout;
}

void MainWindowModel::CaptionActiveBoxes() {
    const BoxCaptions captions = CaptionsOf(design_, state_.setup.repeatedMeasures);
    for (int box = 1; box <= kBoxCount; ++box) {
        if (state_.setup.Box(box).active) {
            MutableBox(box).caption = captions[static_cast<std::size_t>(box - 1)];
        }
    }
}

void MainWindowModel::CopyCellOneToAllCells() {
    const ChangeScope scope(*this);
    const ParameterBox first = Box(1);
    for (BoxEdit edit : kBoxEdits) {
        for (int box = 2; box <= kBoxCount; ++box) SetBoxText(box, edit, first.Edit(edit).text);
    }
    for (int box = 2; box <= kBoxCount; ++box) {
        SetLimitTicked(box, LimitSide::Min, first.minCheck.checked);
    }
    for (int box = 2; box <= kBoxCount; ++box) {
        SetLimitTicked(box, LimitSide::Max, first.maxCheck.checked);
    }
    // Each kind of radio in turn takes box 1's state; only a box whose selection changes
    // reacts, so this comes to selecting box 1's shape in every box.
    for (int box = 2; box <= kBoxCount; ++box) SelectShape(box, first.shape);
}

void MainWindowModel::ToggleAllDistributions() {
    const ChangeScope scope(*this);
    for (ParameterBox& b : boxes_) b.shapesEnabled = true;
    // A binary outcome has no shape of its own.
    if (state_.setup.binaryOutcome) MutableBox(1).shapesEnabled = false;
}

void MainWindowModel::LoadRegressionExample() {
    const ChangeScope scope(*this);
    SelectDesign(DesignKind::Regression7);
    struct Cells {
        const char* text;
        std::initializer_list<int> cells;  // 10 i + j
    };
    for (const Cells& group :
         {Cells{"0.2", {12, 13, 23}}, Cells{"0.5", {45, 46, 56}},
          Cells{"0.3", {17, 27, 37, 67, 18, 28, 38, 68, 78}},
          Cells{"0.0", {14, 24, 34, 15, 25, 35, 16, 26, 36, 47, 57, 48, 58}}}) {
        for (int cell : group.cells) SetCorrelationText(cell / 10, cell % 10, group.text);
    }
    constexpr int kDecimals[] = {0, 1, 2, 3, 4, 5, 6, 0};
    for (int box = 1; box <= kBoxCount; ++box) {
        std::string mean;
        AppendInteger(mean, std::int64_t{10} * box);
        std::string sd;
        AppendInteger(sd, box);
        std::string decimals;
        AppendInteger(decimals, kDecimals[box - 1]);
        SetBoxText(box, BoxEdit::Mean, mean + ".0");
        SetBoxText(box, BoxEdit::Sd, sd + ".0");
        SetBoxText(box, BoxEdit::N, "1000");
        SetBoxText(box, BoxEdit::Decimals, decimals);
        SetLimitTicked(box, LimitSide::Min, false);
        SetLimitTicked(box, LimitSide::Max, false);
        SelectShape(box, DistributionKind::Normal);
    }
}

void MainWindowModel::ApplyParametersFile(const ParametersFileReading& reading) {
    const ChangeScope scope(*this);
    using Outcome = ParametersFileReading::Outcome;
    if (reading.outcome == Outcome::NotSavedByZek || reading.outcome == Outcome::TooLarge ||
        reading.outcome == Outcome::LineTooLong || reading.outcome == Outcome::NamesRefused) {
        return;
    }
    SetTitle(reading.title);
    SetSeedText(reading.seed);
    SetMissingText(reading.missing);
    SetExtremeText(reading.extreme);
    if (reading.outcome != Outcome::Complete) return;

    // A code outside 1..37 selects nothing; the current design stays.
    if (const std::optional<DesignKind> kind = DesignFromFileCode(reading.designCode)) {
        SelectDesign(*kind);
    }
    auto number = [this](const std::string& text) {
        return WithDecimalSeparator(text, separator_);
    };
    for (int box = 1; box <= kBoxCount; ++box) {
        if (!reading.boxPresent[static_cast<std::size_t>(box - 1)]) continue;
        const BoxSection& section = reading.boxes[static_cast<std::size_t>(box - 1)];
        SetBoxText(box, BoxEdit::Mean, number(section.mean));
        SetBoxText(box, BoxEdit::Sd, number(section.sd));
        SetBoxText(box, BoxEdit::N, section.n);
        SetBoxText(box, BoxEdit::Decimals, section.decimals);
        SetLimitTicked(box, LimitSide::Min, section.minChecked);
        SetBoxText(box, BoxEdit::Min, number(section.minText));
        SetLimitTicked(box, LimitSide::Max, section.maxChecked);
        SetBoxText(box, BoxEdit::Max, number(section.maxText));
        if (section.shape) SelectShape(box, *section.shape);
    }
    for (int cell = 0; cell < kCorrelationCellCount; ++cell) {
        correlations_[static_cast<std::size_t>(cell)].text =
            number(reading.correlations[static_cast<std::size_t>(cell)]);
    }
    if (reading.categories) {
        categories_ = *reading.categories;
        for (std::string& percentage : categories_.percentages) percentage = number(percentage);
        CategoriesChanged();
    }
    // The file's names, or none where it has no names section.
    columnNames_ = reading.columnNames;
    // A file that says nothing of exact statistics leaves the option as it was, as before.
    if (reading.exactStatistics) state_.setup.exactStatistics = true;
    if (reading.longLayout) state_.setup.longLayout = true;
    if (reading.scaleItems) state_.setup.scaleItems = true;
    if (reading.scaleScore != ScaleScore::None) state_.setup.scaleScore = reading.scaleScore;
    if (reading.repeatedMeasures) {
        state_.setup.repeatedMeasures = true;
        CaptionActiveBoxes();
    }
}

void MainWindowModel::SetCategories(CategoryTableTexts texts) {
    const ChangeScope scope(*this);
    categories_ = std::move(texts);
    CategoriesChanged();
}

// The setup's table has the typed one's size, as its design fields follow the selected
// design: the names a column of categories may carry depend on it.
void MainWindowModel::CategoriesChanged() {
    state_.setup.categories.rows = categories_.rows;
    state_.setup.categories.columns = categories_.columns;
}

void MainWindowModel::SetColumnNames(ColumnNames names) {
    const ChangeScope scope(*this);
    columnNames_ = std::move(names);
}

// ---- For the commands ---------------------------------------------------------------------

ControlTexts MainWindowModel::Texts() const {
    ControlTexts texts;
    texts.title = title_;
    texts.columnNames = columnNames_;
    texts.exactStatistics = state_.setup.exactStatistics;
    texts.repeatedMeasures = state_.setup.repeatedMeasures;
    texts.scaleItems = state_.setup.scaleItems;
    texts.scaleScore = state_.setup.scaleScore;
    texts.longLayout = state_.setup.longLayout;
    texts.categories = categories_;
    texts.seed = seed_;
    texts.missing = missing_;
    texts.extreme = extreme_;
    texts.design = design_;
    for (int box = 1; box <= kBoxCount; ++box) {
        const ParameterBox& b = Box(box);
        texts.Box(box) = {b.mean.text,        b.sd.text,          b.n.text,
                          b.decimals.text,    b.minCheck.checked, b.min.text,
                          b.maxCheck.checked, b.max.text,         b.shape};
    }
    for (int cell = 0; cell < kCorrelationCellCount; ++cell) {
        texts.correlations[static_cast<std::size_t>(cell)] =
            correlations_[static_cast<std::size_t>(cell)].text;
    }
    return texts;
}

EnabledCorrelationCells MainWindowModel::EnabledCells() const {
    EnabledCorrelationCells enabled{};
    for (int cell = 0; cell < kCorrelationCellCount; ++cell) {
        enabled[static_cast<std::size_t>(cell)] =
            correlations_[static_cast<std::size_t>(cell)].enabled;
    }
    return enabled;
}

}  // namespace zek
