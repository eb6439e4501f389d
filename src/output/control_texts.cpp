#include "output/control_texts.h"

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

}  // namespace zek
