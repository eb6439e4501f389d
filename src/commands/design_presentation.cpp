#include "commands/design_presentation.h"

#include "files/data_file.h"

namespace zek {

namespace {

using CaptionsByBox = std::array<std::string_view, kBoxCount>;

constexpr CaptionsByBox kGroupLevelCaptions{"Group/Level 1", "Group/Level 2", "Group/Level 3",
                                            "Group/Level 4", "Group/Level 5", "Group/Level 6",
                                            "Group/Level 7", "Group/Level 8"};
constexpr CaptionsByBox kTwoGroupsCaptions{"Group 1, Var 1", "Group 1, Var 2", "Group 1, Var 3",
                                           "Group 1, Var 4", "GROUP 2, VAR 1", "GROUP 2, VAR 2",
                                           "GROUP 2, VAR 3", "GROUP 2, VAR 4"};
constexpr CaptionsByBox kTwoVariablesCaptions{
    "Group 1, Variable 1", "GROUP 2, Var 1", "Group 3, VAR 1", "GROUP 4, VAR 1",
    "Group 1, Variable 2", "GROUP 2, Var 2", "Group 3, VAR 2", "GROUP 4, VAR 2"};
constexpr CaptionsByBox kTwoDV2x2Captions{
    "cell (1,1) var 1", "cell (1,2) var 1", "CELL (1,1) VAR 2", "CELL (1,2) VAR 2",
    "cell (2,1) var 1", "cell (2,2) var 1", "CELL (2,1) VAR 2", "CELL (2,2) VAR 2"};
constexpr CaptionsByBox kTwoFactorCaptions{"Cell (1,1)", "Cell (1,2)", "Cell (1,3)", "Cell (1,4)",
                                           "CELL (2,1)", "CELL (2,2)", "CELL (2,3)", "CELL (2,4)"};
constexpr CaptionsByBox kThreeFactorCaptions{"Cell (1,1,1)", "Cell (1,1,2)", "Cell (2,1,1)",
                                             "Cell (2,1,2)", "CELL (1,2,1)", "CELL (1,2,2)",
                                             "CELL (2,2,1)", "CELL (2,2,2)"};
constexpr CaptionsByBox kRegressionCaptions{"Outcome (DV)", "Predictor X1", "Predictor X2",
                                            "Predictor X3", "Predictor X4", "Predictor X5",
                                            "Predictor X6", "Predictor X7"};
constexpr CaptionsByBox kCorrelatedCaptions{"Variable 1", "Variable 2", "Variable 3", "Variable 4",
                                            "Variable 5", "Variable 6", "Variable 7", "Variable 8"};

// With repeated measures the variables of these designs are occasions.
constexpr CaptionsByBox kTwoOccasionsCaptions{
    "Group 1, Occasion 1", "GROUP 2, Occ 1", "Group 3, OCC 1", "GROUP 4, OCC 1",
    "Group 1, Occasion 2", "GROUP 2, Occ 2", "Group 3, OCC 2", "GROUP 4, OCC 2"};
constexpr CaptionsByBox kTwoOccasions2x2Captions{
    "cell (1,1) occ 1", "cell (1,2) occ 1", "CELL (1,1) OCC 2", "CELL (1,2) OCC 2",
    "cell (2,1) occ 1", "cell (2,2) occ 1", "CELL (2,1) OCC 2", "CELL (2,2) OCC 2"};
constexpr CaptionsByBox kGroupsOccasionsCaptions{
    "Group 1, Occ 1", "Group 1, Occ 2", "Group 1, Occ 3", "Group 1, Occ 4",
    "GROUP 2, OCC 1", "GROUP 2, OCC 2", "GROUP 2, OCC 3", "GROUP 2, OCC 4"};
constexpr CaptionsByBox kOccasionCaptions{"Occasion 1", "Occasion 2", "Occasion 3", "Occasion 4",
                                          "Occasion 5", "Occasion 6", "Occasion 7", "Occasion 8"};

constexpr const CaptionsByBox& OccasionCaptionsFor(const DesignInfo& design) {
    if (design.family == DesignFamily::Correlated) return kOccasionCaptions;
    if (design.family == DesignFamily::Factorial) return kTwoOccasions2x2Captions;
    if (design.family == DesignFamily::TwoGroupsMultiVariable) return kGroupsOccasionsCaptions;
    return kTwoOccasionsCaptions;
}

constexpr const CaptionsByBox& CaptionsFor(const DesignInfo& design) {
    switch (design.family) {
        case DesignFamily::OneWay:
            return kGroupLevelCaptions;
        case DesignFamily::TwoGroupsMultiVariable:
            return kTwoGroupsCaptions;
        case DesignFamily::TwoVariablesInGroups:
            return kTwoVariablesCaptions;
        case DesignFamily::Factorial:
            if (design.Shape().TwoVariablesInCells()) return kTwoDV2x2Captions;
            return design.factorCount == 3 ? kThreeFactorCaptions : kTwoFactorCaptions;
        case DesignFamily::Regression:
            return kRegressionCaptions;
        case DesignFamily::Correlated:
            return kCorrelatedCaptions;
        case DesignFamily::Categorical:
            break;  // no box is in use
    }
    return kGroupLevelCaptions;
}

using ColourPattern = BoxColours;
constexpr ColourPattern kCheckerboard{kCream, kWhite, kCream, kWhite,
                                      kWhite, kCream, kWhite, kCream};
constexpr ColourPattern kOutcomeMarked{kSkyBlue, kWhite, kCream, kWhite,
                                       kWhite,   kCream, kWhite, kCream};
constexpr ColourPattern kColumns{kCream, kSkyBlue, kWhite, kAqua, kCream, kSkyBlue, kWhite, kAqua};
constexpr ColourPattern kColumnPairs{kCream, kCream, kSkyBlue, kSkyBlue,
                                     kCream, kCream, kSkyBlue, kSkyBlue};
constexpr ColourPattern kTopAndBottomRows{kCream,   kCream,   kCream,   kCream,
                                          kSkyBlue, kSkyBlue, kSkyBlue, kSkyBlue};

constexpr const BoxColours& ColoursFor(const DesignInfo& design) {
    switch (design.family) {
        case DesignFamily::OneWay:
        case DesignFamily::Correlated:
        case DesignFamily::Categorical:
            return kCheckerboard;
        case DesignFamily::Regression:
            return kOutcomeMarked;
        case DesignFamily::TwoVariablesInGroups:
            return kColumns;
        case DesignFamily::Factorial:
            return (design.factorCount == 3 || design.Shape().TwoVariablesInCells()) ? kColumnPairs
                                                                                     : kColumns;
        case DesignFamily::TwoGroupsMultiVariable:
            return kTopAndBottomRows;
    }
    return kCheckerboard;
}

}  // namespace

BoxCaptions CaptionsOf(DesignKind kind, bool repeatedMeasures) {
    const DesignInfo& design = Design(kind);
    const CaptionsByBox& captions =
        (repeatedMeasures || design.occasionsAlways) && HasOccasions(design.Shape())
            ? OccasionCaptionsFor(design)
            : CaptionsFor(design);
    BoxCaptions result{};
    for (int box = 1; box <= kBoxCount; ++box) {
        if (design.activeBoxes.Contains(box)) result[box - 1] = captions[box - 1];
    }
    if (design.binaryOutcome) result[0] = "Outcome (0/1)";
    if (kind == DesignKind::Groups1) result[0] = "Single Group";
    if (kind == DesignKind::TwoGroupsDV1) {
        result[0] = "Group 1";
        result[4] = "GROUP 2";
    }
    return result;
}

const BoxColours& ColoursOf(DesignKind kind) {
    return ColoursFor(Design(kind));
}

std::string_view RowLabelOf(const DesignInfo& design) {
    if (design.occasionsAlways) return "Mixed Design: 2 Groups measured on this many Occasions:";
    if (design.binaryOutcome)
        return "Logistic Regression (Outcome 0 or 1) with this many Predictors:";
    switch (design.family) {
        case DesignFamily::OneWay:
            return "1 Variable in this many Groups/Levels:";
        case DesignFamily::TwoGroupsMultiVariable:
            return "2 Groups with this many Variables: ";
        case DesignFamily::TwoVariablesInGroups:
            return "2 Variables in this many Groups:";
        case DesignFamily::Factorial:
            return "Factorial Design with 1 Variable";
        case DesignFamily::Regression:
            return "Regression with this many Predictors:";
        case DesignFamily::Correlated:
            return "Correlated Data with this many Variables:";
        case DesignFamily::Categorical:
            return "Categorical Data:";
    }
    return "";
}

std::string_view GridVariableName(DesignKind kind, int variable) {
    static constexpr std::array<std::string_view, kMaxVariables> kVNames{"V1", "V2", "V3", "V4",
                                                                         "V5", "V6", "V7", "V8"};
    static constexpr std::array<std::string_view, kMaxVariables> kRegressionNames{
        "DV", "X1", "X2", "X3", "X4", "X5", "X6", "X7"};
    const auto& names =
        Design(kind).family == DesignFamily::Regression ? kRegressionNames : kVNames;
    return names[variable - 1];
}

std::string DesignListText() {
    std::string text =
        "code  design                                          boxes            data file header\n";
    for (const DesignInfo& design : DesignCatalogue()) {
        GenerationSetup setup;
        ApplyDesign(design, setup);
        std::string name(RowLabelOf(design));
        while (!name.empty() && (name.back() == ' ' || name.back() == ':')) name.pop_back();
        if (design.Shape().TwoVariablesInCells()) name = "2 Variables in a 2x2 Design";
        if (design.occasionsAlways) name = "Mixed Design, 2 Groups on";
        name += " " + std::string(design.buttonCaption);
        if (design.occasionsAlways) name += " Occasions";
        if (design.binaryOutcome) {
            name = "Logistic Regression, " + std::string(design.buttonCaption) + " Predictor" +
                   (design.variableCount > 2 ? "s" : "");
        }
        if (design.family == DesignFamily::Categorical) {
            name = design.variableCount == 1
                       ? "1 Categorical Variable (2 to 8 categories)"
                       : "2 Categorical Variables, " + std::string(design.buttonCaption) + " Table";
        }
        std::string boxes;
        for (int box = 1; box <= kBoxCount; ++box) {
            if (design.activeBoxes.Contains(box)) boxes += std::to_string(box) + " ";
        }
        text += (design.fileCode < 10 ? "   " : "  ") + std::to_string(design.fileCode) + "  " +
                name + std::string(name.size() < 48 ? 48 - name.size() : 1, ' ') + boxes +
                std::string(boxes.size() < 17 ? 17 - boxes.size() : 1, ' ') +
                DataFileHeader(setup) + '\n';
    }
    return text;
}

}  // namespace zek
