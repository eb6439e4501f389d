// The information and data viewer (`TDataForm`): the files of the last save, read back from
// the disk, in a fixed-pitch box that prints.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "commands/data_viewer_text.h"
#include "commands/program_state.h"

class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTextDocument;

namespace zek {

class PlotPage;
class UserPrompts;

class DataViewer final : public QDialog {
    Q_OBJECT

  public:
    DataViewer(const ProgramState& state, UserPrompts& prompts, QWidget* parent);

    /// Refills the box from the files in the current mode and shows and raises the window.
    /// A file that cannot be read is reported, naming it; the window is then not shown.
    /// The plots name their panels by `windowCaptions` (box 1..8) while the window shows the
    /// run's design with its Repeated Measures option.
    void LoadViewer(DesignKind windowDesign, bool windowRepeatedMeasures,
                    std::vector<QString> windowCaptions);
    void LoadViewer();

    QPlainTextEdit* box() const { return box_; }
    PlotPage* plots() const { return plots_; }
    DataViewMode mode() const { return mode_; }
    bool showingPlots() const;

    /// Shows the plots of the saved data file instead of the text, or the text again.
    void TogglePlots();
    /// Saves the plot page as a PNG image.
    void SavePlotsAsPng();

  private:
    void Button1Click();
    void Button2Click();
    void ApplyCaptions();
    /// Puts the current mode's text in the box, reading a part that no mode has needed since
    /// the last load; false after a failure is reported.
    bool ShowMode();
    /// Reads the parts the current mode needs; on a failure shows what was read and reports
    /// it, returning false.
    bool ReadPartsOfMode();
    QTextDocument* NewDocument(const QString& text);
    void ForgetLoadedText();
    void BitBtn2Click();
    void ShowPlots();

    const ProgramState& state_;
    UserPrompts& prompts_;
    DataViewMode mode_ = DataViewMode::Both;
    QPlainTextEdit* box_ = nullptr;
    QPushButton* informationButton_ = nullptr;
    QPushButton* dataButton_ = nullptr;
    QPushButton* plotsButton_ = nullptr;
    QPushButton* pngButton_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    PlotPage* plots_ = nullptr;
    bool placed_ = false;
    // The files are read once per load; each mode's document is built when the mode is first
    // shown, so that the buttons switch between them at once.
    std::optional<std::string> informationText_;
    std::optional<std::string> dataText_;
    std::array<QTextDocument*, 3> documents_{};
    DesignKind windowDesign_ = DesignKind::Groups2;
    bool windowRepeatedMeasures_ = false;
    std::vector<QString> windowCaptions_;
};

}  // namespace zek
