#include "ui/page_printer.h"

#include <QFileInfo>
#include <QPainter>
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

namespace {

void DrawOn(QPrinter& printer, const std::function<void(QPainter&)>& draw, QSize size,
            const QString& jobName) {
    printer.setDocName(jobName);
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    const double scale = std::min(static_cast<double>(page.width()) / size.width(),
                                  static_cast<double>(page.height()) / size.height());
    painter.scale(scale, scale);
    draw(painter);
}

}  // namespace

QString PrintDrawing(const std::function<void(QPainter&)>& draw, QSize size, const QString& jobName,
                     QWidget* parent, UserPrompts& prompts) {
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (!defaultPrinter.isNull()) {
        QPrinter printer(defaultPrinter, QPrinter::HighResolution);
        DrawOn(printer, draw, size, jobName);
        return {};
    }
    const std::optional<QString> path = prompts.PdfFileName(
        parent, QStringLiteral("No printer is installed on this computer. Save the plots as a "
                               "PDF file instead?"));
    if (!path) return {};
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*path);
    DrawOn(printer, draw, size, jobName);
    if (!QFileInfo(*path).exists() || QFileInfo(*path).size() == 0) {
        prompts.Message(parent, QStringLiteral("Cannot write file \"%1\"").arg(*path));
        return {};
    }
    return *path;
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
