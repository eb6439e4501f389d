// The look of ZEK's windows: its colours and the fonts that stand in for MS Sans Serif and
// Courier New on Linux, in one place.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string_view>

#include "commands/design_presentation.h"

class QWidget;

namespace zek::style {

inline const QColor kSilver{192, 192, 192};
inline const QColor kMoneyGreen{192, 220, 192};
inline const QColor kSkyBlue{166, 202, 240};
inline const QColor kMaroon{128, 0, 0};
inline const QColor kGreen{0, 128, 0};

inline QColor ToQColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// MS Sans Serif at `pixels`: a condensed sans-serif keeps every caption inside its control.
QFont SansSerif(int pixels, bool bold = false);
/// The viewer's fixed-pitch font at 10 points.
QFont FixedPitch();

/// Moves the top-level `window` so that it stands centred on `over`, whether or not a window
/// manager places windows.
void CentreOn(QWidget* window, const QWidget* over);

/// Paints the widget's background, as group boxes and panels are coloured.
void SetBackground(QWidget* widget, const QColor& colour);

}  // namespace zek::style
