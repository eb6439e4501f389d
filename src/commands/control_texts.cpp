#include "commands/control_texts.h"

namespace zek {

EnabledCorrelationCells EnabledCellsOf(const DesignInfo& design) {
    EnabledCorrelationCells enabled{};
    for (int i = 1; i <= kMaxVariables; ++i) {
        for (int j = i + 1; j <= kMaxVariables; ++j) {
            enabled[CorrelationCellIndex(i, j)] = CorrelationCellEnabled(design, i, j);
        }
    }
    return enabled;
}

CategoryTableTexts EvenCategoryTexts(int rows, int columns, char decimalSeparator) {
    CategoryTableTexts texts;
    texts.rows = rows;
    texts.columns = columns;
    texts.n = "100";
    const int cells = rows * columns;
    // Hundredths of a percent, so that the texts add up to 100 exactly.
    const int each = 10000 / cells;
    auto text = [decimalSeparator](int hundredths) {
        std::string whole = std::to_string(hundredths / 100);
        const int rest = hundredths % 100;
        if (rest == 0) return whole;
        return whole + decimalSeparator + (rest < 10 ? "0" : "") +
               std::to_string(rest % 10 == 0 ? rest / 10 : rest);
    };
    for (int cell = 0; cell < cells; ++cell) {
        texts.percentages.push_back(text(cell + 1 < cells ? each : 10000 - each * (cells - 1)));
    }
    return texts;
}

ParametersFileContents ParametersFileContentsOf(const ControlTexts& texts) {
    const DesignInfo& design = Design(texts.design);
    ParametersFileContents contents;
    contents.title = texts.title;
    contents.seed = texts.seed;
    contents.missing = texts.missing;
    contents.extreme = texts.extreme;
    contents.designCode = design.fileCode;
    for (int box = 1; box <= kBoxCount; ++box) {
        contents.boxPresent[box - 1] = design.activeBoxes.Contains(box);
        const BoxTexts& b = texts.Box(box);
        contents.boxes[box - 1] = {b.mean,    b.sd,         b.n,       b.decimals, b.minChecked,
                                   b.minText, b.maxChecked, b.maxText, b.shape};
    }
    contents.correlations = texts.correlations;
    contents.columnNames = texts.columnNames;
    contents.exactStatistics = texts.exactStatistics;
    contents.repeatedMeasures = texts.repeatedMeasures;
    contents.scaleItems = texts.scaleItems;
    contents.scaleScore = texts.scaleScore;
    contents.longLayout = texts.longLayout;
    if (design.family == DesignFamily::Categorical) contents.categories = texts.categories;
    return contents;
}

}  // namespace zek
