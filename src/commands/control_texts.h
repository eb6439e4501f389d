// The texts and states of the main window's parameter controls, as the user left them.
//
// This is what a parameters file stores and restores, and what the Run command validates:
// the window fills it from its controls, `zek-generate` from a parameters file.
#pragma once

#include <array>
#include <string>

#include "files/parameters_file.h"
#include "setup/design_catalogue.h"
#include "setup/generation_setup.h"

namespace zek {

/// The controls of one parameter box (`txt_mean1`, `txt_sd1`, `txt_n1`, `txt_dec1`,
/// `chk_min1` with `txt_min1`, `chk_max1` with `txt_max1`, and the checked shape).
struct BoxTexts {
    std::string mean = "0.0";
    std::string sd = "1.0";
    std::string n = "25";
    std::string decimals = "2";
    bool minChecked = false;
    std::string minText;
    bool maxChecked = false;
    std::string maxText;
    DistributionKind shape = DistributionKind::Normal;
};

/// A table of `rows` x `columns` categories with even percentages of all cases (the last
/// cell taking what two decimals leave) and N 100, written with `decimalSeparator`: where a
/// categorical design starts.
CategoryTableTexts EvenCategoryTexts(int rows, int columns, char decimalSeparator = '.');

/// Default values are the window's start-up texts.
struct ControlTexts {
    std::string title;
    std::string seed = "1804";
    std::string missing = "0";
    std::string extreme = "0";
    DesignKind design = DesignKind::Groups2;
    std::array<BoxTexts, kBoxCount> boxes{};
    /// `txt_r12` .. `txt_r78` by `CorrelationCellIndex`.
    std::array<std::string, kCorrelationCellCount> correlations = StartupCorrelations();
    /// Names and labels of the data file's columns, by default column name; a design keeps
    /// those of the columns it shares with the last.
    ColumnNames columnNames;
    /// Options > Exact Sample Statistics.
    bool exactStatistics = false;
    /// Options > Repeated Measures, and Long Layout.
    bool repeatedMeasures = false;
    bool scaleItems = false;
    ScaleScore scaleScore = ScaleScore::None;
    bool longLayout = false;
    /// A categorical design's percentages and N.
    CategoryTableTexts categories = EvenCategoryTexts(2, 1);

    BoxTexts& Box(int boxNumber) { return boxes[boxNumber - 1]; }
    const BoxTexts& Box(int boxNumber) const { return boxes[boxNumber - 1]; }

    static std::array<std::string, kCorrelationCellCount> StartupCorrelations() {
        std::array<std::string, kCorrelationCellCount> texts;
        texts.fill("0.0");
        return texts;
    }
};

/// What the parameters file of these controls holds: a section for each box active in the
/// design, the checked shape of each.
ParametersFileContents ParametersFileContentsOf(const ControlTexts& texts);

/// Which correlation cells the window lets the user type; a design enables r_ij for
/// i < j <= its number of variables.
using EnabledCorrelationCells = std::array<bool, kCorrelationCellCount>;
EnabledCorrelationCells EnabledCellsOf(const DesignInfo& design);

}  // namespace zek
