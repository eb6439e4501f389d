#include "ui/names_table.h"

namespace zek {

NamesTable::NamesTable(int rows, int columns, QWidget* parent)
    : QTableWidget(rows, columns, parent) {}

// Tab and Shift+Tab step over the cells that take no text; past the last (or before the
// first) there is no next cell, and the focus moves on to the buttons.
QModelIndex NamesTable::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action != MoveNext && action != MovePrevious) {
        return QTableWidget::moveCursor(action, modifiers);
    }
    const int step = action == MoveNext ? 1 : -1;
    const int cells = rowCount() * columnCount();
    const QModelIndex current = currentIndex();
    int at = current.isValid() ? current.row() * columnCount() + current.column()
                               : (step > 0 ? -1 : cells);
    for (at += step; at >= 0 && at < cells; at += step) {
        const QModelIndex candidate = model()->index(at / columnCount(), at % columnCount());
        if (model()->flags(candidate) & Qt::ItemIsEditable) return candidate;
    }
    return {};
}

}  // namespace zek
