// The main window's behaviour, without a window.
//
// Every control of the main window that a reaction reads or writes lives here as plain state:
// texts, ticks, selections, enabled, visible and read-only states, box captions and colours,
// the grid headers and the two notes of the correlation box. The Qt window only draws this
// state and forwards what the user does; `zek-generate` and the tests drive it the same way.
//
// One rule runs every reaction, whoever causes the change: assigning a text that differs from
// the current one runs the control's change reaction (an equal text runs nothing), and a tick
// or selection that changes state runs its click reaction. A reaction set off by another runs
// inside it, so Reset to Startup, Copy Cell 1 and an opened parameters file replay every
// reaction in the order the user would have caused them.
//
//   the window      --edits, clicks-->  MainWindowModel  --ShowMessage, Focus-->  InteractionHost
//   RunCommand(...) <--Texts()--------  MainWindowModel  --design, shapes------>  GenerationSetup
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "commands/command_host.h"
#include "commands/control_texts.h"
#include "commands/design_presentation.h"
#include "commands/program_state.h"
#include "files/parameters_file.h"
#include "setup/refusal.h"

namespace zek {

/// The edit boxes of a parameter box.
enum class BoxEdit { Mean, Sd, N, Decimals, Min, Max };
enum class LimitSide { Min, Max };

struct EditControl {
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool readOnly = false;
};

struct CheckControl {
    bool checked = false;
    bool enabled = true;
};

/// One Group/Level box (`box_group1` ..) and its controls.
struct ParameterBox {
    std::string caption;
    Rgb colour = kCream;
    bool visible = false;
    /// The heading above the Mean entry: " Mean ", or " % 1s " for a binary outcome.
    std::string meanHeading = " Mean ";
    EditControl mean{"0.0"};
    EditControl sd{"1.0"};
    EditControl n{"25"};
    EditControl decimals{"2"};
    EditControl min{"", false, false};
    EditControl max{"", false, false};
    CheckControl minCheck;
    CheckControl maxCheck;
    DistributionKind shape = DistributionKind::Normal;  ///< the selected radio button
    bool shapesEnabled = true;                          ///< the five radio buttons
    /// The Min (Max) edit box last held a text that reads as a number.
    bool minTextValid = false;
    bool maxTextValid = false;

    const EditControl& Edit(BoxEdit edit) const;
    EditControl& Edit(BoxEdit edit);
};

class MainWindowModel {
  public:
    /// The window as it starts: `Groups2` selected, boxes 1 and 2 shown, the grid disabled.
    /// `decimalSeparator` is the user's, for the numbers typed into the boxes.
    MainWindowModel(ProgramState& state, InteractionHost& host, char decimalSeparator);

    // ---- What the window shows -----------------------------------------------------------

    DesignKind design() const { return design_; }
    /// Box 1..8.
    const ParameterBox& Box(int box) const { return boxes_[static_cast<std::size_t>(box - 1)]; }
    /// Cell r_ij (`txt_r12` ..), 1 <= i < j <= 8.
    const EditControl& Correlation(int i, int j) const {
        return correlations_[static_cast<std::size_t>(CorrelationCellIndex(i, j))];
    }
    /// `lbl_v1a` .. `lbl_v7a` above the columns (i = 1..7) and `lbl_v2` .. `lbl_v8` before the
    /// rows (j = 2..8) of the grid.
    const std::string& ColumnHeader(int i) const {
        return columnHeaders_[static_cast<std::size_t>(i - 1)];
    }
    const std::string& RowHeader(int j) const {
        return rowHeaders_[static_cast<std::size_t>(j - 2)];
    }
    const std::string& title() const { return title_; }
    const ColumnNames& columnNames() const { return columnNames_; }
    const CategoryTableTexts& categories() const { return categories_; }
    /// A categorical design's percentages and N, as typed.
    void SetCategories(CategoryTableTexts texts);
    const std::string& seed() const { return seed_; }
    const std::string& missing() const { return missing_; }
    const std::string& extreme() const { return extreme_; }
    /// The note "Note that not all random matrices ..." below the grid.
    bool warningVisible() const { return warningVisible_; }
    /// `Label11`: the attempts of the last random preset; three blanks at start-up.
    const std::string& attemptsLabel() const { return attemptsLabel_; }
    /// The candidate matrix of the last random preset, unrounded: `[i - 1][j - 1]` for i < j.
    const SquareMatrix& PresetCandidate() const { return candidate_; }
    /// The control the model last moved the focus to; empty before any move.
    const std::string& focus() const { return focus_; }
    /// The user's decimal separator, in which numbers are typed and derived.
    char decimalSeparator() const { return separator_; }
    /// Whether the named control ("txt_min3") and its box are visible and enabled.
    bool CanTakeFocus(std::string_view controlName) const;

    // ---- Edits, ticks and selections, by the user or by a program step -------------------

    void SetBoxText(int box, BoxEdit edit, std::string_view text);
    void SetLimitTicked(int box, LimitSide side, bool ticked);
    void SelectShape(int box, DistributionKind shape);
    /// One of the design buttons (`rdo_2groupsClick` ..).
    void SelectDesign(DesignKind kind);
    void SetCorrelationText(int i, int j, std::string_view text);
    void SetTitle(std::string_view text);
    /// The names and labels of the data file's columns, checked by the caller.
    void SetColumnNames(ColumnNames names);
    void SetSeedText(std::string_view text);
    void SetMissingText(std::string_view text);
    void SetExtremeText(std::string_view text);

    // ---- Buttons ------------------------------------------------------------------------

    /// "Let ZEK set Random seed": a seed from the clock, 0 .. 9999999.
    void DrawSeedFromClock();
    /// "Set to 0% missing", "Set to 0% extreme".
    void SetNoneMissing() { SetMissingText("0"); }
    void SetNoneExtreme() { SetExtremeText("0"); }
    /// The constant correlation presets: 0, .5 and .25.
    void SetAllCorrelationsToZero() { SetAllCorrelations("0.0"); }
    void SetAllCorrelationsToHalf() { SetAllCorrelations("0.5"); }
    void SetAllCorrelationsToQuarter() { SetAllCorrelations("0.25"); }
    /// The random presets, rounded to .01 (capped at .94) and to .1 (capped at .9).
    void SetRandomCorrelationsInHundredths() { SetRandomCorrelations(0.94, 2); }
    void SetRandomCorrelationsInTenths() { SetRandomCorrelations(0.9, 1); }

    /// Called once after every change of what the window shows, however many controls one
    /// action touched; the window redraws from here and nowhere else.
    void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

    // ---- Menu commands ------------------------------------------------------------------

    void ResetToStartup();
    void CopyCellOneToAllCells();
    void ToggleAllDistributions();
    /// "Exact Sample Statistics" turns the option on or off; Reset to Startup turns it off.
    void ToggleExactStatistics();
    bool exactStatistics() const { return state_.setup.exactStatistics; }
    /// "Repeated Measures" likewise.
    void ToggleRepeatedMeasures();
    bool repeatedMeasures() const { return state_.setup.repeatedMeasures; }
    /// "Scale (Items of One Construct)" likewise.
    void ToggleScaleItems();
    bool scaleItems() const { return state_.setup.scaleItems; }
    /// The scale's score column: none, the items' sum or their mean.
    void SetScaleScore(ScaleScore score);
    ScaleScore scaleScore() const { return state_.setup.scaleScore; }
    /// Every enabled cell of the grid the inter-item correlation that gives `alphaText`'s
    /// standardised alpha, r = alpha / (k - (k - 1) alpha) for k items, to four decimals; a
    /// text that is no alpha between 0 and 1 is refused, and the grid kept.
    Verdict SetCorrelationsFromAlpha(std::string_view alphaText);
    /// "Long Layout" likewise.
    void ToggleLongLayout();
    bool longLayout() const { return state_.setup.longLayout; }
    /// Ctrl+F9: the fixed regression example.
    void LoadRegressionExample();
    /// The replay of an opened parameters file onto the controls, line by line, with every
    /// reaction its lines set off. A reading that stopped at its design line sets only the
    /// title, seed and percentages. Numbers saved with either decimal separator open in every
    /// locale.
    void ApplyParametersFile(const ParametersFileReading& reading);

    // ---- For the commands ---------------------------------------------------------------

    /// The texts and states the Run command validates and the parameters file stores.
    ControlTexts Texts() const;
    /// The correlation cells the user can type into.
    EnabledCorrelationCells EnabledCells() const;

  private:
    // Marks the outermost call of an action; the change is announced when it ends, so that
    // a reaction that sets off others is drawn once, complete.
    class ChangeScope {
      public:
        explicit ChangeScope(MainWindowModel& model) : model_(model) { ++model_.changeDepth_; }
        ~ChangeScope() {
            if (--model_.changeDepth_ == 0 && model_.changed_) model_.changed_();
        }
        ChangeScope(const ChangeScope&) = delete;
        ChangeScope& operator=(const ChangeScope&) = delete;

      private:
        MainWindowModel& model_;
    };

    ParameterBox& MutableBox(int box) { return boxes_[static_cast<std::size_t>(box - 1)]; }
    EditControl& MutableCorrelation(int i, int j) {
        return correlations_[static_cast<std::size_t>(CorrelationCellIndex(i, j))];
    }

    // The reactions.
    void DesignSelected(DesignKind kind);  // rdo_2groupsClick ..
    void OutcomeBoxFor(const DesignInfo& design);
    void LikertSelected(int box);
    void CategoriesChanged();
    /// The captions of the active boxes under the design and the Repeated Measures option.
    void CaptionActiveBoxes();
    void NChanged(int box);                          // txt_n1Change ..    (R5)
    void LimitTicked(int box, LimitSide side);       // chk_min1Click ..   (R1)
    void LimitTextChanged(int box, LimitSide side);  // txt_min1Change ..  (R4)
    void ShapeSelected(int box);                     // rdo_normal1Click .. (R2, R3)

    void MoveFocus(const std::string& controlName);
    void SetAllCorrelations(std::string_view text);
    void SetRandomCorrelations(double cap, int decimals);
    template <typename Visit>
    void ForEachEnabledGroup(Visit visit) const;

    ProgramState& state_;
    InteractionHost& host_;
    char separator_;

    DesignKind design_ = DesignKind::Groups2;
    std::array<ParameterBox, kBoxCount> boxes_{};
    std::array<EditControl, kCorrelationCellCount> correlations_{};
    std::array<std::string, kMaxVariables - 1> columnHeaders_{};
    std::array<std::string, kMaxVariables - 1> rowHeaders_{};
    std::string title_;
    ColumnNames columnNames_;
    CategoryTableTexts categories_;  ///< even, with the window's separator, from the start
    std::string seed_ = "1804";
    std::string missing_ = "0";
    std::string extreme_ = "0";
    bool warningVisible_ = false;
    std::string attemptsLabel_ = "   ";
    std::string focus_;

    // The random presets' own state, kept between clicks.
    SquareMatrix candidate_{};
    std::int32_t attemptCount_ = 0;
    std::int32_t presetStreamState_ = 0;

    std::function<void()> changed_;
    int changeDepth_ = 0;
};

}  // namespace zek
