#include "ui/plot_page.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "ui/window_style.h"

namespace zek {

namespace {

constexpr int kHistogramHeight = 150;
constexpr int kPerRow = 4;
constexpr int kLargestScatterSize = 120;
constexpr int kMargin = 10;
constexpr int kOccasionHeight = 220;
constexpr int kOccasionsPerRow = 2;

// One scale for every occasion panel, so that groups compare at a glance.
std::pair<double, double> OccasionRange(const std::vector<OccasionPanel>& panels) {
    double low = 1e300;
    double high = -1e300;
    auto take = [&](double value) {
        if (std::isnan(value)) return;
        low = std::min(low, value);
        high = std::max(high, value);
    };
    for (const OccasionPanel& panel : panels) {
        for (const auto& path : panel.paths) std::ranges::for_each(path, take);
        std::ranges::for_each(panel.lower, take);
        std::ranges::for_each(panel.upper, take);
    }
    if (!(high > low)) return {low > high ? 0.0 : low, (low > high ? 0.0 : low) + 1.0};
    return {low, high};
}

const QColor kMaroon(128, 0, 0);

const QColor kGroupColours[] = {QColor(31, 119, 180),  QColor(214, 39, 40),  QColor(44, 160, 44),
                                QColor(148, 103, 189), QColor(255, 127, 14), QColor(140, 86, 75),
                                QColor(227, 119, 194), QColor(127, 127, 127)};

QString Number(double value) {
    const int decimals = std::fabs(value) >= 100 ? 1 : 2;
    QString text = QString::number(value, 'f', decimals);
    // A small negative value rounds to "-0.00", which reads as a sign where there is none.
    if (text.startsWith(QLatin1Char('-')) && text.count(QLatin1Char('0')) == text.size() - 2) {
        text.remove(0, 1);
    }
    return text;
}

}  // namespace

PlotPage::PlotPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PlotPage"));
    style::SetBackground(this, Qt::white);
}

void PlotPage::SetPlots(ScorePlots plots, std::vector<QString> captions, int width,
                        std::vector<QString> variables) {
    variables_ = std::move(variables);
    plots_ = std::move(plots);
    captions_ = std::move(captions);
    // Four histograms and the widest row of scatterplots fit the width given, so that the page
    // scrolls only downwards.
    histogramWidth_ = std::max(60, (width - kMargin * (kPerRow + 1)) / kPerRow);
    const int n = plots_.variableCount;
    scatterSize_ = n >= 2 ? std::clamp((width - kMargin * n) / (n - 1), 40, kLargestScatterSize)
                          : kLargestScatterSize;
    occasionWidth_ = (kPerRow * (histogramWidth_ + kMargin) - kMargin) / kOccasionsPerRow -
                     kMargin / kOccasionsPerRow;
    // Bar panels, for a categorical design, take the occasion panels' places.
    const auto panels = static_cast<int>(plots_.occasions.size() + plots_.bars.size());
    const int height = static_cast<int>(OccasionsTop()) + (panels + kOccasionsPerRow - 1) /
                                                              kOccasionsPerRow *
                                                              (kOccasionHeight + kMargin);
    setFixedSize(kMargin + kPerRow * (histogramWidth_ + kMargin),
                 std::max(height, kHistogramHeight));
    update();
}

void PlotPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Draw(painter);
}

void PlotPage::Draw(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(style::SansSerif(10));
    for (std::size_t k = 0; k < plots_.histograms.size(); ++k) {
        const int row = static_cast<int>(k) / kPerRow;
        const int column = static_cast<int>(k) % kPerRow;
        DrawHistogram(painter, plots_.histograms[k],
                      QRectF(kMargin + column * (histogramWidth_ + kMargin),
                             kMargin + row * (kHistogramHeight + kMargin), histogramWidth_,
                             kHistogramHeight));
    }
    const double top = HistogramsBottom() + kMargin;
    // The scatterplot matrix: variable x across, variable y down, below the diagonal.
    for (const ScatterPanel& panel : plots_.scatter) {
        DrawScatter(
            painter, panel,
            QRectF(kMargin + panel.x * (scatterSize_ + kMargin),
                   top + (panel.y - 1) * (scatterSize_ + kMargin), scatterSize_, scatterSize_));
    }
    // One scale for every bar panel, so that the columns compare at a glance.
    double barsTop = 1.0;
    for (const BarPanel& panel : plots_.bars) {
        for (std::size_t k = 0; k < panel.asked.size(); ++k) {
            barsTop = std::max(barsTop, panel.asked[k]);
            if (!std::isnan(panel.actual[k])) barsTop = std::max(barsTop, panel.actual[k]);
        }
    }
    barsTop = std::min(100.0, barsTop * 1.1);
    for (std::size_t k = 0; k < plots_.bars.size(); ++k) {
        DrawBars(painter, plots_.bars[k], WidePanelArea(k), barsTop);
    }
    const std::pair<double, double> range = OccasionRange(plots_.occasions);
    for (std::size_t k = 0; k < plots_.occasions.size(); ++k) {
        DrawOccasions(painter, plots_.occasions[k], WidePanelArea(k), range);
    }
}

QRectF PlotPage::WidePanelArea(std::size_t k) const {
    const int row = static_cast<int>(k) / kOccasionsPerRow;
    const int column = static_cast<int>(k) % kOccasionsPerRow;
    return QRectF(kMargin + column * (occasionWidth_ + kMargin),
                  OccasionsTop() + row * (kOccasionHeight + kMargin), occasionWidth_,
                  kOccasionHeight);
}

double PlotPage::HistogramsBottom() const {
    const int histogramRows = (static_cast<int>(plots_.histograms.size()) + kPerRow - 1) / kPerRow;
    return kMargin + histogramRows * (kHistogramHeight + kMargin);
}

double PlotPage::OccasionsTop() const {
    double top = HistogramsBottom();
    const int n = plots_.variableCount;
    if (n >= 2) top += (n - 1) * (scatterSize_ + kMargin) + kMargin;
    return top;
}

void PlotPage::DrawOccasions(QPainter& painter, const OccasionPanel& panel, QRectF area,
                             std::pair<double, double> range) const {
    painter.setPen(QPen(Qt::gray));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    painter.setPen(Qt::black);
    const QString whose = panel.label.empty()
                              ? QString()
                              : QString::fromStdString(panel.label) + QStringLiteral(": ");
    painter.drawText(area.adjusted(4, 2, -4, 0), Qt::AlignTop | Qt::AlignLeft,
                     whose + QStringLiteral("occasion means, 95% CI, %1 cases")
                                 .arg(static_cast<int>(panel.paths.size())));
    const QRectF plot = area.adjusted(40, 22, -14, -22);
    const auto occasions = static_cast<int>(panel.means.size());
    auto toX = [&](int occasion) {
        return occasions < 2 ? plot.center().x()
                             : plot.left() + plot.width() * occasion / (occasions - 1);
    };
    auto toY = [&](double score) {
        return plot.bottom() - (score - range.first) / (range.second - range.first) * plot.height();
    };
    auto drawPolyline = [&](const std::vector<double>& scores) {
        for (int v = 1; v < static_cast<int>(scores.size()); ++v) {
            const double a = scores[static_cast<std::size_t>(v - 1)];
            const double b = scores[static_cast<std::size_t>(v)];
            if (std::isnan(a) || std::isnan(b)) continue;
            painter.drawLine(QPointF(toX(v - 1), toY(a)), QPointF(toX(v), toY(b)));
        }
    };
    painter.setPen(QPen(QColor(170, 170, 170), 0.8));
    for (const std::vector<double>& path : panel.paths) drawPolyline(path);
    const QColor colour = kGroupColours[(panel.group - 1) % 8];
    painter.setPen(QPen(colour, 2.0));
    drawPolyline(panel.means);
    painter.setBrush(colour);
    for (int v = 0; v < occasions; ++v) {
        const auto index = static_cast<std::size_t>(v);
        if (std::isnan(panel.means[index])) continue;
        if (!std::isnan(panel.lower[index])) {
            painter.drawLine(QPointF(toX(v), toY(panel.lower[index])),
                             QPointF(toX(v), toY(panel.upper[index])));
            for (const double end : {panel.lower[index], panel.upper[index]}) {
                painter.drawLine(QPointF(toX(v) - 4, toY(end)), QPointF(toX(v) + 4, toY(end)));
            }
        }
        painter.drawEllipse(QPointF(toX(v), toY(panel.means[index])), 3.0, 3.0);
    }
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left() + 2, plot.top() - 7, 36, 14), Qt::AlignRight,
                     Number(range.second));
    painter.drawText(QRectF(area.left() + 2, plot.bottom() - 7, 36, 14), Qt::AlignRight,
                     Number(range.first));
    for (int v = 0; v < occasions; ++v) {
        painter.drawText(QRectF(toX(v) - 30, plot.bottom() + 4, 60, 14), Qt::AlignHCenter,
                         VariableName(v));
    }
}

void PlotPage::DrawBars(QPainter& painter, const BarPanel& panel, QRectF area, double top) const {
    painter.setPen(QPen(Qt::gray));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    painter.setPen(Qt::black);
    const QString whose = panel.label.empty()
                              ? QString()
                              : QString::fromStdString(panel.label) + QStringLiteral(": ");
    painter.drawText(area.adjusted(4, 2, -4, 0), Qt::AlignTop | Qt::AlignLeft,
                     whose + QStringLiteral("% got (bars, with counts), % asked (lines)"));
    const QRectF plot = area.adjusted(40, 36, -10, -22);
    const auto bars = static_cast<int>(panel.asked.size());
    const double slot = plot.width() / std::max(1, bars);
    auto toY = [&](double percent) { return plot.bottom() - percent / top * plot.height(); };
    const QColor colour = kGroupColours[0];
    const QFontMetrics metrics(painter.font());
    for (int k = 0; k < bars; ++k) {
        const auto index = static_cast<std::size_t>(k);
        const double left = plot.left() + slot * k + slot * 0.15;
        const double width = slot * 0.7;
        if (!std::isnan(panel.actual[index])) {
            const QRectF bar(QPointF(left, toY(panel.actual[index])),
                             QPointF(left + width, plot.bottom()));
            painter.fillRect(bar, colour.lighter(150));
            painter.setPen(colour);
            painter.drawRect(bar);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(left, bar.top() - 14, width, 14), Qt::AlignHCenter,
                             QString::number(panel.counts[index]));
        }
        painter.setPen(QPen(kMaroon, 2.0));
        painter.drawLine(QPointF(left - 3, toY(panel.asked[index])),
                         QPointF(left + width + 3, toY(panel.asked[index])));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(plot.left() + slot * k, plot.bottom() + 4, slot, 14),
                         Qt::AlignHCenter,
                         metrics.elidedText(QString::fromStdString(panel.categories[index]),
                                            Qt::ElideRight, static_cast<int>(slot) - 2));
    }
    painter.setPen(Qt::black);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawText(QRectF(area.left() + 2, plot.top() - 7, 36, 14), Qt::AlignRight,
                     QString::number(top, 'f', 0) + QStringLiteral("%"));
    painter.drawText(QRectF(area.left() + 2, plot.bottom() - 7, 36, 14), Qt::AlignRight,
                     QStringLiteral("0%"));
}

void PlotPage::DrawHistogram(QPainter& painter, const Histogram& histogram, QRectF area) const {
    painter.setPen(QPen(Qt::gray));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    const QString caption =
        (histogram.box >= 1 && histogram.box <= static_cast<int>(captions_.size())
             ? captions_[static_cast<std::size_t>(histogram.box - 1)]
             : QStringLiteral("Box %1").arg(histogram.box)) +
        (histogram.missing > 0 ? QStringLiteral("  (%1 missing)").arg(histogram.missing)
                               : QString());
    painter.setPen(Qt::black);
    painter.drawText(area.adjusted(4, 2, -4, 0), Qt::AlignTop | Qt::AlignLeft, caption);
    const QRectF plot = area.adjusted(6, 18, -6, -30);
    const double high =
        histogram.low + histogram.binWidth * static_cast<double>(histogram.counts.size());
    double tallest = 1.0;
    for (int count : histogram.counts) tallest = std::max(tallest, static_cast<double>(count));
    for (const CurvePoint& point : histogram.curve) tallest = std::max(tallest, point.count);
    auto toX = [&](double score) {
        return plot.left() + (score - histogram.low) / (high - histogram.low) * plot.width();
    };
    auto toY = [&](double count) { return plot.bottom() - count / tallest * plot.height(); };

    painter.setPen(QPen(QColor(43, 74, 111), 0.5));
    painter.setBrush(style::kSkyBlue);
    for (std::size_t bin = 0; bin < histogram.counts.size(); ++bin) {
        const double left = histogram.low + histogram.binWidth * static_cast<double>(bin);
        painter.drawRect(QRectF(QPointF(toX(left), toY(histogram.counts[bin])),
                                QPointF(toX(left + histogram.binWidth), plot.bottom())));
    }
    QPainterPath curve;
    for (std::size_t k = 0; k < histogram.curve.size(); ++k) {
        const QPointF point(toX(histogram.curve[k].score), toY(histogram.curve[k].count));
        if (k == 0) {
            curve.moveTo(point);
        } else {
            curve.lineTo(point);
        }
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(style::kMaroon, 1.5));
    painter.drawPath(curve);
    // Requested mean solid, actual mean dashed; the limits in green.
    painter.setPen(QPen(Qt::black, 1.2));
    painter.drawLine(QPointF(toX(histogram.requestedMean), plot.top()),
                     QPointF(toX(histogram.requestedMean), plot.bottom()));
    painter.setPen(QPen(QColor(214, 39, 40), 1.2, Qt::DashLine));
    if (histogram.present > 0) {
        painter.drawLine(QPointF(toX(histogram.actualMean), plot.top()),
                         QPointF(toX(histogram.actualMean), plot.bottom()));
    }
    painter.setPen(QPen(style::kGreen, 1.2, Qt::DotLine));
    for (double limit : {histogram.minScore, histogram.maxScore}) {
        if (limit != NoLimit)
            painter.drawLine(QPointF(toX(limit), plot.top()), QPointF(toX(limit), plot.bottom()));
    }
    DrawScale(painter, histogram, area, plot.bottom(), high);
}

void PlotPage::DrawScale(QPainter& painter, const Histogram& histogram, QRectF area, double bottom,
                         double high) const {
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left() + 4, bottom + 2, area.width() - 8, 14), Qt::AlignLeft,
                     Number(histogram.low));
    painter.drawText(QRectF(area.left() + 4, bottom + 2, area.width() - 8, 14), Qt::AlignRight,
                     Number(high));
    painter.drawText(QRectF(area.left() + 4, bottom + 14, area.width() - 8, 14), Qt::AlignHCenter,
                     QStringLiteral("mean %1 asked, %2 got")
                         .arg(Number(histogram.requestedMean),
                              histogram.present > 0 ? Number(histogram.actualMean) : "-"));
}

QString PlotPage::VariableName(int variable) const {
    const auto index = static_cast<std::size_t>(variable);
    return index < variables_.size() ? variables_[index] : QStringLiteral("V%1").arg(variable + 1);
}

void PlotPage::DrawScatter(QPainter& painter, const ScatterPanel& panel, QRectF area) const {
    painter.setPen(QPen(Qt::gray));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    painter.setPen(Qt::black);
    // The asked and the actual r always show; where the panel is too narrow for the names
    // beside them (from five variables on), the names take a line of their own.
    const QString names =
        QStringLiteral("%1 x %2").arg(VariableName(panel.x), VariableName(panel.y));
    const QString r =
        QStringLiteral("r %1 / %2").arg(Number(panel.requestedR), Number(panel.actualR));
    const QRectF title = area.adjusted(3, 1, -3, 0);
    double titleHeight = 16;
    if (painter.fontMetrics().horizontalAdvance(names + "  " + r) <= title.width()) {
        painter.drawText(title, Qt::AlignTop | Qt::AlignLeft, names + "  " + r);
    } else {
        const QFontMetrics metrics = painter.fontMetrics();
        painter.drawText(
            title, Qt::AlignTop | Qt::AlignLeft,
            metrics.elidedText(names, Qt::ElideRight, static_cast<int>(title.width())));
        painter.drawText(title.adjusted(0, metrics.height(), 0, 0), Qt::AlignTop | Qt::AlignLeft,
                         r);
        titleHeight += metrics.height();
    }
    if (panel.points.empty()) return;
    double minX = panel.points.front().first, maxX = minX;
    double minY = panel.points.front().second, maxY = minY;
    for (const auto& [x, y] : panel.points) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    if (!(maxX > minX)) maxX = minX + 1.0;
    if (!(maxY > minY)) maxY = minY + 1.0;
    const QRectF plot = area.adjusted(4, titleHeight, -4, -4);
    painter.setPen(Qt::NoPen);
    for (std::size_t k = 0; k < panel.points.size(); ++k) {
        const auto [x, y] = panel.points[k];
        const int group = panel.groups[k];
        painter.setBrush(kGroupColours[(group - 1) % 8]);
        painter.drawEllipse(QPointF(plot.left() + (x - minX) / (maxX - minX) * plot.width(),
                                    plot.bottom() - (y - minY) / (maxY - minY) * plot.height()),
                            1.2, 1.2);
    }
}

}  // namespace zek
