#include "ui/window_host.h"

#include <QWidget>
#include <utility>

#include "ui/option_dialog.h"
#include "ui/user_prompts.h"
#include "ui/window_style.h"

namespace zek {

WindowHost::WindowHost(QWidget& window, UserPrompts& prompts, OptionDialog& missingDialog,
                       OptionDialog& extremeDialog)
    : window_(window),
      prompts_(prompts),
      missingDialog_(missingDialog),
      extremeDialog_(extremeDialog) {}

void WindowHost::ShowMessage(std::string_view text) {
    prompts_.Message(&window_, style::ToQString(text));
}

void WindowHost::ShowMessageWithDetails(std::string_view text, std::string_view details) {
    prompts_.Message(&window_, style::ToQString(text), style::ToQString(details).trimmed());
}

void WindowHost::Focus(std::string_view controlName) {
    pendingFocus_ = style::ToQString(controlName);
}

QString WindowHost::TakePendingFocus() {
    return std::exchange(pendingFocus_, QString());
}

std::int32_t WindowHost::ClockRandomBelow(std::int32_t bound) {
    return static_cast<std::int32_t>(clock_.bounded(bound));
}

std::optional<std::string> WindowHost::AskPercentage(PercentageKind kind, std::string_view text) {
    OptionDialog& dialog = kind == PercentageKind::Missing ? missingDialog_ : extremeDialog_;
    dialog.setText(style::ToQString(text));
    return dialog.AskOnce().toStdString();
}

std::optional<std::string> WindowHost::ChooseSaveFile(std::string_view initialName, SaveKind kind) {
    const std::optional<QString> chosen =
        prompts_.SaveFileName(&window_, style::ToQString(initialName), kind);
    if (!chosen) return std::nullopt;
    return chosen->toStdString();
}

}  // namespace zek
