// The TYPE OF DATA box: the family labels and the design buttons, placed by one rule from
// the catalogue.
#pragma once

#include <QGroupBox>
#include <array>
#include <functional>

#include "commands/design_presentation.h"

class QRadioButton;

namespace zek {

class DesignSelector final : public QGroupBox {
    Q_OBJECT

  public:
    /// `selected` is told of every click on a design button, the selected one included.
    DesignSelector(std::function<void(DesignKind)> selected, QWidget* parent);

    /// The box's height; the rest of the window stands below it.
    static constexpr int kHeight = 143;

    void Render(DesignKind checked);

  private:
    std::array<QRadioButton*, kDesignCount> buttons_{};
};

}  // namespace zek
