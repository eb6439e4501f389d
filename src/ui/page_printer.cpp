#include "ui/page_printer.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>
#include <algorithm>

#include "ui/user_prompts.h"
#include "ui/window_style.h"

namespace zek {

namespace {

using PrintJob = std::function<void(QPrinter&)>;

// The default printer when there is one; else a PDF where the user chooses, checked once
// written.
QString PrintOrSavePdf(const PrintJob& print, const PrintJobNames& names, const QString& what,
                       QWidget* parent, UserPrompts& prompts) {
    const QString& jobName = names.job;
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (!defaultPrinter.isNull()) {
        QPrinter printer(defaultPrinter, QPrinter::HighResolution);
        printer.setDocName(jobName);
        print(printer);
        return {};
    }
    const std::optional<QString> path = prompts.PdfFileName(
        parent,
        QStringLiteral("No printer is installed on this computer. Save the %1 as a PDF "
                       "file instead?")
            .arg(what),
        names.pdfFile);
    if (!path) return {};
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*path);
        printer.setDocName(jobName);
        print(printer);
    }
    const QFileInfo written(*path);
    if (!written.exists() || written.size() == 0) {
        prompts.Message(parent, QStringLiteral("Cannot write file \"%1\"").arg(*path));
        return {};
    }
    return *path;
}

}  // namespace

QString PrintPages(const QString& text, const PrintJobNames& names, QWidget* parent,
                   UserPrompts& prompts) {
    return PrintOrSavePdf(
        [&text](QPrinter& printer) {
            QTextDocument document;
            document.setDefaultFont(style::FixedPitch());
            document.setPlainText(text);
            document.print(&printer);
        },
        names, QStringLiteral("pages"), parent, prompts);
}

QString PrintDrawing(const std::function<void(QPainter&)>& draw, QSize size,
                     const PrintJobNames& names, QWidget* parent, UserPrompts& prompts) {
    return PrintOrSavePdf(
        [&](QPrinter& printer) {
            QPainter painter(&printer);
            const QRect page = painter.viewport();
            const double scale = std::min(static_cast<double>(page.width()) / size.width(),
                                          static_cast<double>(page.height()) / size.height());
            painter.scale(scale, scale);
            draw(painter);
        },
        names, QStringLiteral("plots"), parent, prompts);
}

}  // namespace zek
