// The viewer's page of plots: a histogram of every group, cell or variable under its requested
// population curve, and, for two or more variables, the scatterplots of every pair; under
// repeated measures, each group's occasion means with their confidence intervals over the
// paths of some of its cases. The plots are binned once when the page is filled and drawn
// from the bins.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "commands/data_viewer_text.h"

class QPainter;

namespace zek {

class PlotPage final : public QWidget {
    Q_OBJECT

  public:
    explicit PlotPage(QWidget* parent);

    /// `captions` names each box (1..8) as the main window does; the page is laid out to be
    /// `width` pixels wide.
    /// `variables` names the scatter panels' axes; empty: "V1", "V2", ...
    void SetPlots(ScorePlots plots, std::vector<QString> captions, int width,
                  std::vector<QString> variables = {});
    const ScorePlots& plots() const { return plots_; }
    const std::vector<QString>& captions() const { return captions_; }

    /// Draws the page onto any device (a printer, a PDF, an image) at its own size.
    void Draw(QPainter& painter) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void DrawHistogram(QPainter& painter, const Histogram& histogram, QRectF area) const;
    /// The range below a histogram and the asked and got means.
    void DrawScale(QPainter& painter, const Histogram& histogram, QRectF area, double bottom,
                   double high) const;
    void DrawScatter(QPainter& painter, const ScatterPanel& panel, QRectF area) const;
    void DrawOccasions(QPainter& painter, const OccasionPanel& panel, QRectF area,
                       std::pair<double, double> range) const;
    /// `top`: the percentage at the top of every bar panel.
    void DrawBars(QPainter& painter, const BarPanel& panel, QRectF area, double top) const;
    /// Where the rows of histograms end (below their last margin), and where the scatterplots
    /// end and the occasion panels begin.
    double HistogramsBottom() const;
    double OccasionsTop() const;
    /// The place of the `k`th occasion or bar panel, two to a row below the scatterplots.
    QRectF WidePanelArea(std::size_t k) const;

    ScorePlots plots_;
    std::vector<QString> captions_;
    std::vector<QString> variables_;
    QString VariableName(int variable) const;
    int histogramWidth_ = 0;
    int scatterSize_ = 0;
    int occasionWidth_ = 0;
};

}  // namespace zek
