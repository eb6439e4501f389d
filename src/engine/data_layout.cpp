#include "engine/data_layout.h"

namespace zek {

DataLayout LayoutOf(const GenerationSetup& setup) {
    const DesignCells cells = CellsOfDesign(ShapeOf(setup));
    DataLayout layout;
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

}  // namespace zek
