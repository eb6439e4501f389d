// Where the scores of each group, cell and variable lie in the generated table.
//
// Rows hold cases and columns variables. Each cell of the design (`CellsOfDesign`) occupies one
// block of consecutive rows, the blocks following one another in cell order; column v of a block
// belongs to the box of variable v of that cell. The engine fills the table in this layout and the
// data file, the statistics and the report read it back by the same layout.
#pragma once

#include <array>

#include "engine/table_memory.h"

#include "setup/design_catalogue.h"
#include "setup/generation_setup.h"

namespace zek {

/// The largest number of rows a run can have: 8 boxes of at most 25000 cases.
inline constexpr int kMaxCasesPerBox = 25000;
inline constexpr int kMaxRows = kBoxCount * kMaxCasesPerBox;

struct DataBlock {
    DesignCell cell;
    int firstRow = 0;  ///< 0-based
    int rowCount = 0;
    int BoxOfColumn(int column) const { return cell.boxOfVariable[column]; }
};

struct DataLayout {
    int variableCount = 0;
    int blockCount = 0;
    int totalRows = 0;
    std::array<DataBlock, kBoxCount> blocks{};

    const DataBlock* begin() const { return blocks.data(); }
    const DataBlock* end() const { return blocks.data() + blockCount; }
};

/// The layout of the run that `setup` describes; a block has as many rows as the `n` of the
/// first variable's box of its cell. A categorical design is one block of all its cases.
DataLayout LayoutOf(const GenerationSetup& setup);

/// The decimals of column `column` of `block`: its box's, or none for the codes of
/// categories.
int DecimalsOf(const GenerationSetup& setup, const DataBlock& block, int column);

/// A table of up to 200000 rows by up to 8 columns of doubles, allocated once. A run lays its
/// rows out with as many columns as it has variables, so that a one-variable run of 200000
/// cases touches an eighth of the memory of eight columns (and an eighth of the page faults).
class ScoreTable {
  public:
    static constexpr int kMaxColumns = kMaxVariables;
    // Not cleared: a run writes every cell it reads, and pages that no run touches cost
    // nothing.
    ScoreTable() : cells_(static_cast<std::size_t>(kMaxRows) * kMaxColumns) {}

    /// From now on the table holds a run of `rows` rows of `columns` (1..8) cells each; what it
    /// held before is meaningless after a change.
    void SetShape(int rows, int columns) {
        columns_ = static_cast<std::size_t>(columns);
        cells_.PrepareFor(static_cast<std::size_t>(rows) * columns_);
    }

    /// `row` and `column` are 0-based.
    double& At(int row, int column) { return cells_[Index(row, column)]; }
    double At(int row, int column) const { return cells_[Index(row, column)]; }
    /// The row's cells, `ColumnCount()` of them side by side.
    double* Row(int row) { return &cells_[Index(row, 0)]; }
    const double* Row(int row) const { return &cells_[Index(row, 0)]; }

  private:
    std::size_t Index(int row, int column) const {
        return static_cast<std::size_t>(row) * columns_ + static_cast<std::size_t>(column);
    }
    TableMemory<double> cells_;
    std::size_t columns_ = kMaxColumns;
};

}  // namespace zek
