#include "ui/user_prompts.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace zek {

namespace {

constexpr auto kTextFilter = "Text files (*.txt *.csv *.dat *.out)";

// A chosen file's folder becomes the current folder, where the next dialog starts.
std::optional<QString> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    QDir::setCurrent(QFileInfo(path).absolutePath());
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

std::unique_ptr<QMessageBox> MessageBoxFor(QWidget* parent, const QString& text,
                                           const QString& details) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, QStringLiteral("ZEK"), text,
                                             QMessageBox::Ok, parent);
    if (!details.isEmpty()) box->setInformativeText(details);
    return box;
}

void DialogPrompts::Message(QWidget* parent, const QString& text, const QString& details) {
    MessageBoxFor(parent, text, details)->exec();
}

std::optional<QString> DialogPrompts::SaveFileName(QWidget* parent, const QString& initialName) {
    QFileDialog dialog(parent, QString(), QDir::currentPath(), QString::fromLatin1(kTextFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("TXT"));
    dialog.selectFile(initialName);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return Chosen(dialog.selectedFiles().constFirst());
}

std::optional<QString> DialogPrompts::OpenFileName(QWidget* parent, const QString& initialName) {
    QFileDialog dialog(parent, QString(), QDir::currentPath(), QString::fromLatin1(kTextFilter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("TXT"));
    dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return Chosen(dialog.selectedFiles().constFirst());
}

std::optional<QString> DialogPrompts::FolderName(QWidget* parent, const QString& initialFolder) {
    const QString folder = QFileDialog::getExistingDirectory(parent, QString(), initialFolder);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

std::optional<QString> DialogPrompts::PdfFileName(QWidget* parent, const QString& question,
                                                  const QString& suggestedName) {
    if (!Question(parent, question)) return std::nullopt;
    const QString path =
        QFileDialog::getSaveFileName(parent, QString(), QDir::current().filePath(suggestedName),
                                     QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

bool DialogPrompts::Question(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, QStringLiteral("ZEK"), text) == QMessageBox::Yes;
}

}  // namespace zek
