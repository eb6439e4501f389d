// Printing as one job, on the default printer and without a print dialog. Where no printer is
// installed (as on most student laptops) the user may save the same pages as a PDF file.
#pragma once

#include <QSize>
#include <QString>
#include <functional>

class QPainter;
class QWidget;

namespace zek {

class UserPrompts;

/// What is printed: the print job's name, and the PDF file offered where there is no printer.
struct PrintJobNames {
    QString job;
    QString pdfFile;
};

/// Prints `text` in the viewer's fixed-pitch font; tells the user when there is no printer and
/// writes a PDF where they choose one. Returns the PDF written, or an empty string.
QString PrintPages(const QString& text, const PrintJobNames& names, QWidget* parent,
                   UserPrompts& prompts);

/// A drawing of `size` pixels, scaled to fit the page, printed or saved as PDF as above.
QString PrintDrawing(const std::function<void(QPainter&)>& draw, QSize size,
                     const PrintJobNames& names, QWidget* parent, UserPrompts& prompts);

}  // namespace zek
