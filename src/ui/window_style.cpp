#include "ui/window_style.h"

#include <QPalette>
#include <QRect>
#include <QWidget>

namespace zek::style {

QFont SansSerif(int pixels, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont FixedPitch() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(10);
    return font;
}

void CentreOn(QWidget* window, const QWidget* over) {
    if (over == nullptr) return;
    // The frame is not known before a window manager decorates the window; the client area
    // stands in for it, which is off by a title bar's height at most.
    const QRect area = over->frameGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace zek::style
