// The panel of counts that stands in the boxes' place for a categorical design: the number of
// categories of one variable, whether a table's percentages are of all cases or of each
// column's, a grid of percentages under the categories' names, N, and their sums as typed.
#pragma once

#include <QGroupBox>
#include <array>

#include "commands/main_window_model.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace zek {

class CategoryPanel final : public QGroupBox {
    Q_OBJECT

  public:
    CategoryPanel(MainWindowModel& model, QWidget* parent);

    void Render(const MainWindowModel& model);

  private:
    void AddChoices();
    void AddGrid();
    void Edit(const std::function<void(CategoryTableTexts&)>& change);

    MainWindowModel& model_;
    QLabel* categoriesLabel_ = nullptr;
    QSpinBox* categories_ = nullptr;
    QLabel* tableLabel_ = nullptr;
    QLabel* percentagesOfLabel_ = nullptr;
    QRadioButton* ofAll_ = nullptr;
    QRadioButton* ofColumns_ = nullptr;
    std::array<QLabel*, kMaxCategories> rowHeaders_{};
    std::array<QLabel*, kMaxTableColumns> columnHeaders_{};
    std::array<QLineEdit*, kMaxTableCells> cells_{};  ///< `txt_pct1` ..
    QLabel* nLabel_ = nullptr;
    QLineEdit* n_ = nullptr;                              ///< `txt_catn`
    std::array<QLineEdit*, kMaxTableColumns> columnN_{};  ///< `txt_catn1` ..
    QLabel* sums_ = nullptr;
};

}  // namespace zek
