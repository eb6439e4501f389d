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
    contents.longLayout = texts.longLayout;
    return contents;
}

}  // namespace zek
