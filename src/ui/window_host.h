// The main window's answers to the commands: message boxes, focus moves, the percentage
// dialogs the Run command loops on, the clock's random numbers and the save dialog.
#pragma once

#include <QDateTime>
#include <QRandomGenerator>
#include <QString>

#include "commands/command_host.h"

class QWidget;

namespace zek {

class OptionDialog;
class UserPrompts;

class WindowHost final : public CommandHost {
  public:
    WindowHost(QWidget& window, UserPrompts& prompts, OptionDialog& missingDialog,
               OptionDialog& extremeDialog);

    void ShowMessage(std::string_view text) override;
    void ShowMessageWithDetails(std::string_view text, std::string_view details) override;
    /// Keeps the control for the window, which moves the focus once it has drawn the change
    /// that made the control visible.
    void Focus(std::string_view controlName) override;
    /// The control the last command asked to focus, once; empty when none.
    QString TakePendingFocus();
    std::int32_t ClockRandomBelow(std::int32_t bound) override;
    std::optional<std::string> AskPercentage(PercentageKind kind, std::string_view text) override;
    std::optional<std::string> ChooseSaveFile(std::string_view initialName, SaveKind kind) override;

  private:
    QWidget& window_;
    UserPrompts& prompts_;
    OptionDialog& missingDialog_;
    OptionDialog& extremeDialog_;
    QString pendingFocus_;
    QRandomGenerator clock_{static_cast<quint32>(QDateTime::currentMSecsSinceEpoch())};
};

}  // namespace zek
