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

/// Prints `text` in the viewer's fixed-pitch font under the job name `jobName`; tells the user
/// when there is no printer and writes a PDF where they choose one. Returns the PDF written,
/// or an empty string.
QString PrintPages(const QString& text, const QString& jobName, QWidget* parent,
                   UserPrompts& prompts);

/// A drawing of `size` pixels, scaled to fit the page, printed or saved as PDF as above.
QString PrintDrawing(const std::function<void(QPainter&)>& draw, QSize size, const QString& jobName,
                     QWidget* parent, UserPrompts& prompts);

}  // namespace zek
