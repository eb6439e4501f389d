#include "ui/user_prompts.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "commands/save_command.h"

namespace zek {

namespace {

constexpr auto kTextFilter = "Text files (*.txt *.csv *.dat *.out)";

// A chosen file's folder becomes the current folder, where the next dialog starts.
std::optional<QString> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    QDir::setCurrent(QFileInfo(path).absolutePath());
    return QFileInfo(path).absoluteFilePath();
}

// The formats of a data file in the order of `DataFormat`, each filter with the extension it
// adds to a name without one.
void OfferDataFormats(QFileDialog& dialog, const QString& initialName) {
    struct Offer {
        const char* filter;
        const char* suffix;
    };
    static constexpr Offer kOffers[] = {{kTextFilter, "TXT"},
                                        {"SPSS data files (*.sav)", "sav"},
                                        {"Stata data files (*.dta)", "dta"},
                                        {"Excel workbooks (*.xlsx)", "xlsx"}};
    QStringList filters;
    for (const Offer& offer : kOffers) filters << QString::fromLatin1(offer.filter);
    dialog.setNameFilters(filters);
    const auto chosen = static_cast<std::size_t>(DataFormatOf(initialName.toStdString()));
    const std::size_t offered = chosen < std::size(kOffers) ? chosen : 0;
    dialog.selectNameFilter(filters[static_cast<qsizetype>(offered)]);
    dialog.setDefaultSuffix(QString::fromLatin1(kOffers[offered].suffix));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& filter) {
            const qsizetype index = filters.indexOf(filter);
            if (index >= 0) {
                dialog.setDefaultSuffix(
                    QString::fromLatin1(kOffers[static_cast<std::size_t>(index)].suffix));
            }
        });
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

std::optional<QString> DialogPrompts::SaveFileName(QWidget* parent, const QString& initialName,
                                                   SaveKind kind) {
    QFileDialog dialog(parent, QString(), QDir::currentPath(), QString::fromLatin1(kTextFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("TXT"));
    if (kind == SaveKind::DataFiles) OfferDataFormats(dialog, initialName);
    if (kind == SaveKind::Picture) {
        dialog.setNameFilter(QStringLiteral("PNG pictures (*.png)"));
        dialog.setDefaultSuffix(QStringLiteral("png"));
    }
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

std::optional<QString> DialogPrompts::AskText(QWidget* parent, const QString& label,
                                              const QString& initial) {
    bool accepted = false;
    const QString text = QInputDialog::getText(parent, QStringLiteral("ZEK"), label,
                                               QLineEdit::Normal, initial, &accepted);
    if (!accepted) return std::nullopt;
    return text;
}

}  // namespace zek
