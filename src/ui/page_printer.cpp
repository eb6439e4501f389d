#include "ui/page_printer.h"

#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include "ui/user_prompts.h"
#include "ui/window_style.h"

namespace zek {

namespace {

void PrintOn(QPrinter& printer, const QString& text, const QString& jobName) {
    printer.setDocName(jobName);
    QTextDocument document;
    document.setDefaultFont(style::FixedPitch());
    document.setPlainText(text);
    document.print(&printer);
}

}  // namespace

bool WritePdf(const QString& text, const QString& jobName, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    PrintOn(printer, text, jobName);
    const QFileInfo written(path);
    return written.exists() && written.size() > 0;
}

QString PrintPages(const QString& text, const QString& jobName, QWidget* parent,
                   UserPrompts& prompts) {
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (!defaultPrinter.isNull()) {
        QPrinter printer(defaultPrinter, QPrinter::HighResolution);
        PrintOn(printer, text, jobName);
        return {};
    }
    const std::optional<QString> path = prompts.PdfFileName(
        parent, QStringLiteral("No printer is installed on this computer. Save the pages as a "
                               "PDF file instead?"));
    if (!path) return {};
    if (!WritePdf(text, jobName, *path)) {
        prompts.Message(parent, QStringLiteral("Cannot write file \"%1\"").arg(*path));
        return {};
    }
    return *path;
}

}  // namespace zek
