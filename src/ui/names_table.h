// The table of the Names and Labels dialog, whose Tab goes from one cell the user may type in
// to the next and, after the last, on to the dialog's buttons: the column captions and the
// name cells of levels only show.
#pragma once

#include <QTableWidget>

namespace zek {

class NamesTable final : public QTableWidget {
    Q_OBJECT

  public:
    NamesTable(int rows, int columns, QWidget* parent);

  protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

}  // namespace zek
