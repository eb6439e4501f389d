// One Group/Level box (`box_group1` .. `box_group8`): mean, SD, N, decimals, the Min and Max
// restrictions and the five shapes. One class serves all eight boxes; it draws the model's
// state of its box and hands every edit, tick and click to the model.
#pragma once

#include <QGroupBox>
#include <array>
#include <functional>

#include "commands/main_window_model.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace zek {

class ParameterBoxWidget final : public QGroupBox {
    Q_OBJECT

  public:
    /// Box `box` (1..8) of `model`, to which it forwards the user's actions.
    ParameterBoxWidget(int box, MainWindowModel& model, QWidget* parent);

    void Render(const ParameterBox& state);

  private:
    void AddShapeButtons();
    QLineEdit* AddEdit(QWidget* parent, BoxEdit edit, const char* stem, QRect place);
    QCheckBox* AddLimitCheck(QWidget* parent, LimitSide side, QRect place);

    int box_;
    MainWindowModel& model_;
    std::array<QLineEdit*, 6> edits_{};  ///< by `BoxEdit`
    QLabel* meanHeading_ = nullptr;
    QCheckBox* minCheck_ = nullptr;
    QCheckBox* maxCheck_ = nullptr;
    std::array<QRadioButton*, 6> shapes_{};  ///< by `DistributionKind`
};

}  // namespace zek
