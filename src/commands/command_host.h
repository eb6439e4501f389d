// What the window model and the commands need from the program around them: the window shows
// message boxes, moves the focus, shows dialogs and file choosers; `zek-generate` answers on
// the command line; tests answer as they like and keep what was asked, in order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zek {

/// What the main window's own reactions need.
class InteractionHost {
  public:
    virtual ~InteractionHost() = default;

    /// A modal message box with an OK button and this exact text.
    virtual void ShowMessage(std::string_view text) = 0;
    /// Moves the keyboard focus to the named control ("txt_mean3"). Callers ask only for a
    /// control that can take the focus.
    virtual void Focus(std::string_view controlName) = 0;
    /// The platform's clock-seeded random function: an integer in 0 .. bound - 1.
    virtual std::int32_t ClockRandomBelow(std::int32_t bound) = 0;

    /// The same message box with lines of help below its fixed text.
    virtual void ShowMessageWithDetails(std::string_view text, std::string_view details) {
        (void)details;
        ShowMessage(text);
    }
    /// A refused entry: its fixed message, the control it concerns (`place`, which a host
    /// without a window names) and the control to focus, if any.
    virtual void Refuse(std::string_view message, std::string_view place, std::string_view focus) {
        (void)place;
        ShowMessage(message);
        if (!focus.empty()) Focus(focus);
    }
};

enum class PercentageKind { Missing, Extreme };

/// What a save-file dialog is asked for: the data files, which may be comma-delimited text,
/// SPSS, Stata or Excel; a parameters file, which is text; or a PNG picture of the plots.
enum class SaveKind { DataFiles, ParametersFile, Picture };

/// What the Run and Save commands need besides.
class CommandHost : public InteractionHost {
  public:
    /// Shows the Set Missing Values or Set Extreme Values dialog with `text` in its edit box
    /// and returns the text when OK is pressed; nothing where no dialog can be shown.
    virtual std::optional<std::string> AskPercentage(PercentageKind kind,
                                                     std::string_view text) = 0;
    /// The save-file dialog, offering `initialName`; the chosen full path, or nothing when
    /// the user cancels. The default extension is the chooser's to add: ".TXT", or that of
    /// the data format chosen.
    virtual std::optional<std::string> ChooseSaveFile(std::string_view initialName,
                                                      SaveKind kind) = 0;
};

}  // namespace zek
