#include "engine/data_layout.h"

namespace zek {

DataLayout LayoutOf(const GenerationSetup& setup) {
    DataLayout layout;
    if (setup.family == DesignFamily::Categorical) {
        // One block of every case, a column per categorical variable.
        layout.variableCount = setup.variableCount;
        layout.blockCount = 1;
        DataBlock& block = layout.blocks[0];
        for (int v = 0; v < setup.variableCount; ++v) block.cell.boxOfVariable[v] = v + 1;
        block.rowCount = setup.categories.TotalN();
        layout.totalRows = block.rowCount;
        return layout;
    }
    const DesignCells cells = CellsOfDesign(ShapeOf(setup));
    layout.variableCount = cells.variableCount;
    layout.blockCount = cells.cellCount;
    int row = 0;
    for (int c = 0; c < cells.cellCount; ++c) {
        DataBlock& block = layout.blocks[c];
        block.cell = cells.cells[c];
        block.firstRow = row;
        block.rowCount = setup.Box(block.BoxOfColumn(0)).n;
        row += block.rowCount;
    }
    layout.totalRows = row;
    return layout;
}

int DecimalsOf(const GenerationSetup& setup, const DataBlock& block, int column) {
    if (setup.family == DesignFamily::Categorical) return 0;
    if (setup.binaryOutcome && block.BoxOfColumn(column) == 1) return 0;
    return setup.Box(block.BoxOfColumn(column)).decimals;
}

}  // namespace zek
