#include "ui/data_viewer.h"

#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QTextDocument>
#include <filesystem>

#include "commands/design_presentation.h"
#include "commands/names_form.h"
#include "ui/page_printer.h"
#include "ui/plot_page.h"
#include "ui/user_prompts.h"
#include "ui/window_style.h"

namespace zek {

namespace {

// The captions of the run's boxes from the catalogue, for a window that shows another design.
std::vector<QString> CatalogueCaptionsOf(const GenerationSetup& run) {
    std::vector<QString> captions;
    for (const std::string_view name : CaptionsOf(DesignKindOf(run), run.repeatedMeasures)) {
        captions.push_back(style::ToQString(name));
    }
    return captions;
}

// A single "&" on a button marks its access key; the captions mean the character.
QString ButtonText(const char* caption) {
    return QString::fromLatin1(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The PDF offered for what the viewer prints, named after the data file: "scores plots.pdf".
QString PdfFileNameFor(const std::string& dataFileName, DataViewMode mode, bool plots) {
    const QString stem = QFileInfo(QString::fromStdString(dataFileName)).completeBaseName();
    if (plots) return stem + QStringLiteral(" plots.pdf");
    switch (mode) {
        case DataViewMode::InformationOnly:
            return stem + QStringLiteral(" information.pdf");
        case DataViewMode::DataOnly:
            return stem + QStringLiteral(" data.pdf");
        case DataViewMode::Both:
            break;
    }
    return stem + QStringLiteral(" information and data.pdf");
}

std::string Joined(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 1;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    if (!text.empty()) text.pop_back();
    return text;
}

std::size_t IndexOf(DataViewMode mode) {
    return static_cast<std::size_t>(mode);
}

}  // namespace

DataViewer::DataViewer(const ProgramState& state, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      state_(state),
      prompts_(prompts) {
    setObjectName(QStringLiteral("TDataForm"));
    setWindowTitle(QStringLiteral("Generation Information"));
    setFixedSize(762, 516);
    setModal(false);
    setFont(style::SansSerif(11));

    pages_ = new QStackedWidget(this);
    pages_->setGeometry(8, 8, 746, 440);
    box_ = new QPlainTextEdit(pages_);
    box_->setObjectName(QStringLiteral("Memo1"));
    pages_->addWidget(box_);
    auto* scroll = new QScrollArea(pages_);
    plots_ = new PlotPage(scroll);
    scroll->setWidget(plots_);
    pages_->addWidget(scroll);
    box_->setFont(style::FixedPitch());
    box_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* hint = new QLabel(QStringLiteral("(Click anywhere in the box above to be able to "
                                           "naviagate the box using the keyboard)"),
                            this);
    hint->setObjectName(QStringLiteral("Label1"));
    hint->setGeometry(8, 452, 590, 16);
    pngButton_ = new QPushButton(QStringLiteral("Save Plots as PNG..."), this);
    pngButton_->setObjectName(QStringLiteral("btn_plotpng"));
    pngButton_->setGeometry(604, 449, 150, 22);
    pngButton_->hide();
    connect(pngButton_, &QPushButton::clicked, this, &DataViewer::SavePlotsAsPng);

    informationButton_ = new QPushButton(QStringLiteral("View Information Only"), this);
    informationButton_->setObjectName(QStringLiteral("Button1"));
    informationButton_->setGeometry(8, 476, 180, 30);
    connect(informationButton_, &QPushButton::clicked, this, &DataViewer::Button1Click);
    dataButton_ = new QPushButton(QStringLiteral("View Data Only"), this);
    dataButton_->setObjectName(QStringLiteral("Button2"));
    dataButton_->setGeometry(196, 476, 180, 30);
    connect(dataButton_, &QPushButton::clicked, this, &DataViewer::Button2Click);
    plotsButton_ = new QPushButton(QStringLiteral("View Plots"), this);
    plotsButton_->setObjectName(QStringLiteral("btn_plots"));
    plotsButton_->setGeometry(384, 476, 128, 30);
    connect(plotsButton_, &QPushButton::clicked, this, &DataViewer::TogglePlots);
    auto* print = new QPushButton(QStringLiteral("Print"), this);
    print->setObjectName(QStringLiteral("BitBtn2"));
    print->setGeometry(520, 476, 110, 30);
    connect(print, &QPushButton::clicked, this, &DataViewer::BitBtn2Click);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("BitBtn1"));
    close->setGeometry(644, 476, 110, 30);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void DataViewer::LoadViewer(DesignKind windowDesign, bool windowRepeatedMeasures,
                            std::vector<QString> windowCaptions) {
    windowDesign_ = windowDesign;
    windowRepeatedMeasures_ = windowRepeatedMeasures;
    windowCaptions_ = std::move(windowCaptions);
    LoadViewer();
}

void DataViewer::LoadViewer() {
    ForgetLoadedText();
    if (!ShowMode()) return;
    if (showingPlots()) ShowPlots();  // the plots of the files just read
    if (!isVisible() && !placed_) {
        style::CentreOn(this, parentWidget());
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

void DataViewer::ForgetLoadedText() {
    box_->setDocument(NewDocument(QString()));
    for (QTextDocument*& document : documents_) {
        delete document;
        document = nullptr;
    }
    informationText_.reset();
    dataText_.reset();
}

QTextDocument* DataViewer::NewDocument(const QString& text) {
    auto* document = new QTextDocument(this);
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setDefaultFont(box_->font());
    document->setPlainText(text);
    return document;
}

bool DataViewer::ReadPartsOfMode() {
    std::vector<std::string> lines;
    try {
        if (mode_ != DataViewMode::DataOnly && !informationText_) {
            AppendInformationPart(state_, lines);
            informationText_ = Joined(lines);
            lines.clear();
        }
        if (mode_ != DataViewMode::InformationOnly && !dataText_) {
            AppendDataPart(state_, lines);
            dataText_ = Joined(lines);
        }
    } catch (const FileError& error) {
        // What was read stands in the box, in the order of the mode.
        std::vector<std::string> shown;
        if (mode_ != DataViewMode::DataOnly && informationText_) shown.push_back(*informationText_);
        if (mode_ == DataViewMode::Both && informationText_) {
            shown.push_back(PartSeparatorLine());
            shown.push_back(PartSeparatorLine());
        }
        shown.insert(shown.end(), lines.begin(), lines.end());
        box_->setDocument(NewDocument(QString::fromStdString(Joined(shown))));
        prompts_.Message(parentWidget(), QString::fromStdString(error.what()));
        return false;
    }
    return true;
}

bool DataViewer::ShowMode() {
    QTextDocument*& document = documents_[IndexOf(mode_)];
    if (document == nullptr) {
        if (!ReadPartsOfMode()) return false;
        std::string text;
        switch (mode_) {
            case DataViewMode::InformationOnly:
                text = *informationText_;
                break;
            case DataViewMode::DataOnly:
                text = *dataText_;
                break;
            case DataViewMode::Both:
                text = Joined(
                    {*informationText_, PartSeparatorLine(), PartSeparatorLine(), *dataText_});
                break;
        }
        document = NewDocument(QString::fromStdString(text));
    }
    box_->setDocument(document);
    return true;
}

void DataViewer::ApplyCaptions() {
    const DataViewCaptions captions = CaptionsOf(mode_);
    informationButton_->setText(ButtonText(captions.informationButton));
    dataButton_->setText(ButtonText(captions.dataButton));
    setWindowTitle(QString::fromLatin1(captions.window));
}

void DataViewer::Button1Click() {
    mode_ = AfterInformationButton(mode_);
    ApplyCaptions();
    ShowMode();
}

void DataViewer::Button2Click() {
    mode_ = AfterDataButton(mode_);
    ApplyCaptions();
    ShowMode();
}

bool DataViewer::showingPlots() const {
    return pages_->currentIndex() == 1;
}

void DataViewer::TogglePlots() {
    if (showingPlots()) {
        pages_->setCurrentIndex(0);
        plotsButton_->setText(QStringLiteral("View Plots"));
        pngButton_->hide();
        return;
    }
    ShowPlots();
}

void DataViewer::ShowPlots() {
    const GenerationSetup& run = state_.generated.setup;
    // Panels take the captions the window shows while it shows the run's design.
    const bool windowShowsRun =
        windowDesign_ == DesignKindOf(run) && windowRepeatedMeasures_ == run.repeatedMeasures;
    std::vector<QString> captions = windowShowsRun ? windowCaptions_ : CatalogueCaptionsOf(run);
    // Named columns and levels name the panels instead.
    if (!run.columnNames.empty()) {
        std::vector<std::string> named;
        for (const QString& caption : captions) named.push_back(caption.toStdString());
        captions.clear();
        for (const std::string& caption : NamedBoxCaptions(run, std::move(named))) {
            captions.push_back(style::ToQString(caption));
        }
    }
    std::vector<QString> variables;
    for (const std::string& name : NamedVariables(run)) variables.push_back(style::ToQString(name));
    const auto* scroll = static_cast<const QScrollArea*>(pages_->widget(1));
    const int width = pages_->width() - 2 * scroll->frameWidth() -
                      scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    try {
        plots_->SetPlots(PlotsOfSavedData(state_), std::move(captions), width,
                         std::move(variables));
    } catch (const FileError& error) {
        prompts_.Message(this, QString::fromStdString(error.what()));
        return;
    }
    pages_->setCurrentIndex(1);
    plotsButton_->setText(QStringLiteral("View Text"));
    pngButton_->show();
}

void DataViewer::SavePlotsAsPng() {
    // Beside the data file, named after it, once one is saved.
    const std::string& dataFile = state_.setup.dataFileName;
    const QString offered =
        dataFile.empty()
            ? QStringLiteral("ZEK_plots.png")
            : style::ToQString(std::filesystem::path(dataFile).replace_extension().string() +
                               "_plots.png");
    const std::optional<QString> path = prompts_.SaveFileName(this, offered, SaveKind::Picture);
    if (!path) return;
    if (!plots_->grab().save(*path, "PNG")) {
        prompts_.Message(this, QStringLiteral("Cannot write file \"%1\"").arg(*path));
    }
}

void DataViewer::BitBtn2Click() {
    const PrintJobNames names{QStringLiteral("ZEK Information"),
                              PdfFileNameFor(state_.setup.dataFileName, mode_, showingPlots())};
    if (showingPlots()) {
        PrintDrawing([this](QPainter& painter) { plots_->Draw(painter); }, plots_->size(), names,
                     this, prompts_);
        return;
    }
    PrintPages(box_->toPlainText(), names, this, prompts_);
}

}  // namespace zek
