#include "commands/parameters_replay.h"

#include <initializer_list>

#include "commands/uniform_box.h"
#include "setup/number_parsing.h"

namespace zek {

NCopyTargets NChangeCopyTargets(DesignFamily family, int variableCount, int boxNumber) {
    const bool twoDV2x2 = family == DesignFamily::Factorial && variableCount == 2;
    auto targets = [](std::initializer_list<int> boxes) {
        NCopyTargets result;
        for (int box : boxes) result.boxes[result.count++] = box;
        return result;
    };
    switch (boxNumber) {
        case 1:
            if (family == DesignFamily::Regression || family == DesignFamily::Correlated) {
                return targets({2, 3, 4, 5, 6, 7, 8});
            }
            if (family == DesignFamily::TwoGroupsMultiVariable) return targets({2, 3, 4});
            if (family == DesignFamily::TwoVariablesInGroups) return targets({5});
            if (twoDV2x2) return targets({3});
            break;
        case 2:
            if (family == DesignFamily::TwoVariablesInGroups) return targets({6});
            if (twoDV2x2) return targets({4});
            break;
        case 3:
            if (family == DesignFamily::TwoVariablesInGroups) return targets({7});
            break;
        case 4:
            if (family == DesignFamily::TwoVariablesInGroups) return targets({8});
            break;
        case 5:
            if (family == DesignFamily::TwoGroupsMultiVariable) return targets({6, 7, 8});
            if (twoDV2x2) return targets({7});
            break;
        case 6:
            if (twoDV2x2) return targets({8});
            break;
        default:
            break;
    }
    return {};
}

namespace {

// The controls of a fresh window and the reactions that assigning their texts and states
// runs there. A reaction runs only when a text or state really changes.
class StartupWindow {
  public:
    StartupWindow(ControlTexts& controls, char decimalSeparator,
                  const std::function<void(std::string_view)>& showMessage)
        : controls_(controls), separator_(decimalSeparator), showMessage_(showMessage) {}

    void SelectDesign(DesignKind kind) {
        if (kind == controls_.design) return;
        const DesignInfo& design = Design(kind);
        // N copies react under the design that was stored before this one.
        for (int c = 0; c < design.nCopyCount; ++c) {
            const NCopy& copy = design.nCopies[c];
            SetNText(copy.targetBox, controls_.Box(copy.sourceBox).n);
        }
        controls_.design = kind;
    }

    // A file saved under a locale with the other decimal separator opens all the same.
    void ApplyBoxSection(int boxNumber, const BoxSection& section) {
        BoxTexts& box = controls_.Box(boxNumber);
        box.mean = WithDecimalSeparator(section.mean, separator_);
        box.sd = WithDecimalSeparator(section.sd, separator_);
        SetNText(boxNumber, section.n);
        box.decimals = section.decimals;
        SetChecked(boxNumber, Side::Min, section.minChecked);
        SetLimitText(boxNumber, Side::Min, WithDecimalSeparator(section.minText, separator_));
        SetChecked(boxNumber, Side::Max, section.maxChecked);
        SetLimitText(boxNumber, Side::Max, WithDecimalSeparator(section.maxText, separator_));
        if (section.shape) SelectShape(boxNumber, *section.shape);
    }

  private:
    enum class Side { Min, Max };
    struct Validity {
        bool minTextValid = false;
        bool maxTextValid = false;
    };

    bool& Checked(int boxNumber, Side side) {
        BoxTexts& box = controls_.Box(boxNumber);
        return side == Side::Min ? box.minChecked : box.maxChecked;
    }
    std::string& LimitText(int boxNumber, Side side) {
        BoxTexts& box = controls_.Box(boxNumber);
        return side == Side::Min ? box.minText : box.maxText;
    }
    bool& TextValid(int boxNumber, Side side) {
        Validity& flags = validity_[boxNumber - 1];
        return side == Side::Min ? flags.minTextValid : flags.maxTextValid;
    }

    void SetNText(int boxNumber, const std::string& text) {
        std::string& n = controls_.Box(boxNumber).n;
        if (n == text) return;
        n = text;
        const DesignInfo& stored = Design(controls_.design);
        const NCopyTargets targets =
            NChangeCopyTargets(stored.family, stored.variableCount, boxNumber);
        if (targets.count == 0) return;
        if (!ParseInteger(text)) {
            showMessage_("N must be an INTEGER");
            return;
        }
        for (int t = 0; t < targets.count; ++t) {
            controls_.Box(targets.boxes[t]).n = text;
        }
    }

    void SetChecked(int boxNumber, Side side, bool checked) {
        if (Checked(boxNumber, side) == checked) return;
        Checked(boxNumber, side) = checked;
        TextValid(boxNumber, side) = false;
        if (!checked) SetLimitText(boxNumber, side, "");
    }

    void SetLimitText(int boxNumber, Side side, const std::string& text) {
        if (LimitText(boxNumber, side) == text) return;
        LimitText(boxNumber, side) = text;
        LimitTextChanged(boxNumber, side);
    }

    void LimitTextChanged(int boxNumber, Side side) {
        const std::string& text = LimitText(boxNumber, side);
        const bool parsed = !text.empty() && ParseReal(text, separator_).has_value();
        TextValid(boxNumber, side) = parsed;
        const Side other = side == Side::Min ? Side::Max : Side::Min;
        BoxTexts& box = controls_.Box(boxNumber);
        if (box.shape == DistributionKind::Uniform && TextValid(boxNumber, other) && parsed) {
            if (auto moments = DeriveUniformMoments(box.minText, box.maxText, separator_)) {
                box.mean = moments->meanText;
                box.sd = moments->sdText;
            }
        }
    }

    void SelectShape(int boxNumber, DistributionKind shape) {
        BoxTexts& box = controls_.Box(boxNumber);
        if (box.shape == shape) return;
        box.shape = shape;
        if (shape != DistributionKind::Uniform) return;
        if (TextValid(boxNumber, Side::Min)) LimitTextChanged(boxNumber, Side::Min);
        if (TextValid(boxNumber, Side::Max)) LimitTextChanged(boxNumber, Side::Max);
        if (!box.minChecked && !box.maxChecked) {
            SetChecked(boxNumber, Side::Min, true);
            SetLimitText(boxNumber, Side::Min, "0");
            SetChecked(boxNumber, Side::Max, true);
            SetLimitText(boxNumber, Side::Max, "1");
        }
        // Neither side can be unticked while Uniform is selected.
        SetChecked(boxNumber, Side::Min, true);
        SetChecked(boxNumber, Side::Max, true);
    }

    ControlTexts& controls_;
    char separator_;
    const std::function<void(std::string_view)>& showMessage_;
    std::array<Validity, kBoxCount> validity_{};
};

}  // namespace

void ReplayOnStartupControls(const ParametersFileReading& reading, ControlTexts& controls,
                             char decimalSeparator,
                             const std::function<void(std::string_view)>& showMessage) {
    controls.title = reading.title;
    controls.seed = reading.seed;
    controls.missing = reading.missing;
    controls.extreme = reading.extreme;
    if (reading.outcome != ParametersFileReading::Outcome::Complete) return;

    StartupWindow window(controls, decimalSeparator, showMessage);
    if (const std::optional<DesignKind> design = DesignFromFileCode(reading.designCode)) {
        window.SelectDesign(*design);
    }
    for (int box = 1; box <= kBoxCount; ++box) {
        if (reading.boxPresent[box - 1]) {
            window.ApplyBoxSection(box, reading.boxes[box - 1]);
        }
    }
    for (int cell = 0; cell < kCorrelationCellCount; ++cell) {
        controls.correlations[cell] = WithDecimalSeparator(reading.correlations[cell], decimalSeparator);
    }
}

}  // namespace zek
