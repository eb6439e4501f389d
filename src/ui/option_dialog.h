// The small modal dialogs that collect one value: Set Seed Value (`TSeedForm`), Change
// Reliability (`TRelForm`), Set Missing Values (`TMVform`) and Set Extreme Values (`TEVform`).
// They can be left only through OK: their title bars have no close button and Escape does
// nothing, so the command that opened one shows it again until OK brings an accepted value.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLineEdit;
class QVBoxLayout;

namespace zek {

class OptionDialog final : public QDialog {
    Q_OBJECT

  public:
    struct Texts {
        const char* className;  ///< "TSeedForm", the dialog's object name
        const char* caption;
        const char* prompt;
        const char* editName;  ///< "txt_seed"
        const char* unit;      ///< "%", or nothing
    };
    OptionDialog(const Texts& texts, QWidget* parent);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* edit() const { return edit_; }
    /// A line of text and a button above OK (the seed dialog's "pick a new seed").
    void AddChoice(const QString& label, const char* buttonName, const QString& caption,
                   const std::function<void()>& pressed);

    /// Shows the dialog until OK is pressed and returns the text then in its edit box.
    QString AskOnce();

  protected:
    void reject() override {}  // Escape and closing from outside do not leave the dialog

  private:
    QLineEdit* edit_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
};

/// The Beta Paramters dialog (`TBetaBox`): two integers, OK or Cancel.
class BetaDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit BetaDialog(QWidget* parent);

    QLineEdit* low() const { return low_; }
    QLineEdit* high() const { return high_; }

  private:
    QLineEdit* low_ = nullptr;
    QLineEdit* high_ = nullptr;
};

}  // namespace zek
