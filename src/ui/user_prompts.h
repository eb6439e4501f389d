// The modal questions the window asks: a message with an OK button and the two file choosers.
// The window asks them through this interface, so that tests can answer them.
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "commands/command_host.h"

class QMessageBox;
class QWidget;

namespace zek {

class UserPrompts {
  public:
    virtual ~UserPrompts() = default;

    /// A modal message box with an OK button and exactly this text; `details`, when given,
    /// goes below it.
    virtual void Message(QWidget* parent, const QString& text, const QString& details = {}) = 0;
    /// The save dialog of the data and parameters files ("Text files", default suffix TXT, a
    /// question before overwriting; for data files also SPSS, Stata and Excel files, whose
    /// extension it then adds), offering `initialName`; nothing when cancelled.
    virtual std::optional<QString> SaveFileName(QWidget* parent, const QString& initialName,
                                                SaveKind kind) = 0;
    /// The open dialog of parameters files; nothing when cancelled.
    virtual std::optional<QString> OpenFileName(QWidget* parent, const QString& initialName) = 0;
    /// A folder chosen from `initialFolder`; nothing when cancelled.
    virtual std::optional<QString> FolderName(QWidget* parent, const QString& initialFolder) = 0;
    /// Where to save pages as PDF when no printer is installed, offering `suggestedName` in
    /// the current folder; nothing when declined.
    virtual std::optional<QString> PdfFileName(QWidget* parent, const QString& question,
                                               const QString& suggestedName) = 0;
    /// A question with Yes and No; true for Yes.
    virtual bool Question(QWidget* parent, const QString& text) = 0;
    /// A line of text asked for under `label`, starting as `initial`; nothing when cancelled.
    virtual std::optional<QString> AskText(QWidget* parent, const QString& label,
                                           const QString& initial) = 0;
};

/// The message box that `DialogPrompts::Message` shows, not yet shown.
std::unique_ptr<QMessageBox> MessageBoxFor(QWidget* parent, const QString& text,
                                           const QString& details);

/// The platform's message boxes and file dialogs.
class DialogPrompts final : public UserPrompts {
  public:
    void Message(QWidget* parent, const QString& text, const QString& details = {}) override;
    std::optional<QString> SaveFileName(QWidget* parent, const QString& initialName,
                                        SaveKind kind) override;
    std::optional<QString> OpenFileName(QWidget* parent, const QString& initialName) override;
    std::optional<QString> FolderName(QWidget* parent, const QString& initialFolder) override;
    std::optional<QString> PdfFileName(QWidget* parent, const QString& question,
                                       const QString& suggestedName) override;
    bool Question(QWidget* parent, const QString& text) override;
    std::optional<QString> AskText(QWidget* parent, const QString& label,
                                   const QString& initial) override;
};

}  // namespace zek
