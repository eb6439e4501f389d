// The CORRELATIONS box: the lower-triangular grid of 28 cells with its row and column headers,
// the five preset buttons, the note on random matrices and the count of attempts.
#pragma once

#include <QGroupBox>
#include <array>
#include <functional>

#include "commands/main_window_model.h"

class QLabel;
class QLineEdit;

namespace zek {

class CorrelationGridWidget final : public QGroupBox {
    Q_OBJECT

  public:
    CorrelationGridWidget(MainWindowModel& model, QWidget* parent);

    void Render(const MainWindowModel& model);

  private:
    void AddCells();
    void AddPresetButtons();

    MainWindowModel& model_;
    std::array<QLineEdit*, kCorrelationCellCount> cells_{};
    std::array<QLabel*, kMaxVariables - 1> columnHeaders_{};  ///< `lbl_v1a` .. `lbl_v7a`
    std::array<QLabel*, kMaxVariables - 1> rowHeaders_{};     ///< `lbl_v2` .. `lbl_v8`
    QLabel* warning_ = nullptr;
    QLabel* attempts_ = nullptr;
};

}  // namespace zek
