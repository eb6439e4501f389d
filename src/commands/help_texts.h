// The fixed texts of the Help menu: the hint on means and SDs, what is new, and the six How To
// recipes, each of which also names the design it selects.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/information_file.h"
#include "setup/design_catalogue.h"
#include "setup/version.h"

namespace zek {

/// The How To items, in the order of their submenu; the last eight have no recipe.
enum class HowTo {
    IndependentTTest,
    DependentTTest,
    BivariateRegression,
    OneWayAnova,
    TwoWayAnova,
    ThreeWayAnova,
    OneWayManova,
    OneWayAncova,
    OneWayRepeatedMeasures,
    SplitPlotRepeatedMeasures,
    MultipleRegression,
    MultivariateRegression,
    FactorAnalysis,
    DiscriminantAnalysis,
};

struct HowToItem {
    HowTo topic;
    std::string_view name;  ///< the menu item's name, "IndependenttTest1"
    std::string_view caption;
};
/// The submenu "How To Hints...", in order.
const std::vector<HowToItem>& HowToItems();

struct Recipe {
    DesignKind design;  ///< selected as a click on its button would
    std::vector<std::string> lines;
};
/// The recipe of an item, or nothing for the items without one.
std::optional<Recipe> RecipeOf(HowTo topic);

/// The user agreement: a short licence and disclaimer.
std::string UserAgreement();
/// The acknowledgements window's opening paragraph and its list of published methods.
std::string AcknowledgementsIntroduction();
std::string Acknowledgements();
/// The about window's line on earlier versions.
std::string_view EarlierVersionLine();

/// "Hint for Mean and SD Values..." and "What's New", paragraphs parted by an empty line.
std::string MeanAndSdHint();
std::string WhatsNew();
/// "Hint for Repeated Measures...": what the option makes of the variables, and how to make
/// data that meet sphericity or violate it.
std::string RepeatedMeasuresHint();
/// "Hint for Categorical Data...": the panel of counts, its two kinds of percentages and the
/// key's tests.
std::string CategoricalDataHint();
/// "Hint for Logistic Regression...": the outcome's percentage of 1s, the latent score the
/// grid correlates, and what the key holds.
std::string LogisticRegressionHint();

}  // namespace zek
