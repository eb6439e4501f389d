// The small fixed-text windows of the Help menu: the about window (`TAboutBox`), the user
// agreement (`TUserForm`) and the acknowledgements (`TAckForm`). Each closes with its button.
#pragma once

#include <QDialog>

namespace zek {

class InformationWindow final : public QDialog {
    Q_OBJECT

  public:
    /// The about window: " ZEK", the program line, the line on earlier versions, the two
    /// identification lines every report ends with, and the web address line.
    static InformationWindow* About(QWidget* parent);
    /// The user agreement, 481 x 310.
    static InformationWindow* UserAgreement(QWidget* parent);
    /// The acknowledgements, 465 x 419 on sky blue.
    static InformationWindow* Acknowledgements(QWidget* parent);

  private:
    InformationWindow(const char* className, const QString& caption, QWidget* parent);
};

}  // namespace zek
