#include "ui/data_viewer.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "files/text_file.h"
#include "ui/page_printer.h"
#include "ui/user_prompts.h"
#include "ui/window_style.h"

namespace zek {

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

    box_ = new QPlainTextEdit(this);
    box_->setObjectName(QStringLiteral("Memo1"));
    box_->setGeometry(8, 8, 746, 440);
    box_->setFont(style::FixedPitch());
    box_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* hint = new QLabel(QStringLiteral("(Click anywhere in the box above to be able to "
                                           "naviagate the box using the keyboard)"),
                            this);
    hint->setObjectName(QStringLiteral("Label1"));
    hint->setGeometry(8, 452, 746, 16);

    informationButton_ = new QPushButton(QStringLiteral("View Information Only"), this);
    informationButton_->setObjectName(QStringLiteral("Button1"));
    informationButton_->setGeometry(8, 476, 180, 30);
    connect(informationButton_, &QPushButton::clicked, this, &DataViewer::Button1Click);
    dataButton_ = new QPushButton(QStringLiteral("View Data Only"), this);
    dataButton_->setObjectName(QStringLiteral("Button2"));
    dataButton_->setGeometry(196, 476, 180, 30);
    connect(dataButton_, &QPushButton::clicked, this, &DataViewer::Button2Click);
    auto* print = new QPushButton(QStringLiteral("Print"), this);
    print->setObjectName(QStringLiteral("BitBtn2"));
    print->setGeometry(520, 476, 110, 30);
    connect(print, &QPushButton::clicked, this, &DataViewer::BitBtn2Click);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("BitBtn1"));
    close->setGeometry(644, 476, 110, 30);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void DataViewer::LoadViewer() {
    box_->clear();
    std::vector<std::string> lines;
    const GenerationSetup& setup = state_.setup;
    try {
        AppendViewerLines(mode_, setup.dataFileName, setup.infoFileName, lines);
    } catch (const FileError& error) {
        for (const std::string& line : lines) box_->appendPlainText(QString::fromStdString(line));
        prompts_.Message(parentWidget(), QString::fromStdString(error.what()));
        return;
    }
    QString text;
    for (const std::string& line : lines) {
        text += QString::fromStdString(line);
        text += QLatin1Char('\n');
    }
    text.chop(1);
    box_->setPlainText(text);
    show();
    raise();
    activateWindow();
}

void DataViewer::ApplyCaptions() {
    const DataViewCaptions captions = CaptionsOf(mode_);
    informationButton_->setText(QString::fromLatin1(captions.informationButton));
    dataButton_->setText(QString::fromLatin1(captions.dataButton));
    setWindowTitle(QString::fromLatin1(captions.window));
}

void DataViewer::Button1Click() {
    mode_ = AfterInformationButton(mode_);
    ApplyCaptions();
    LoadViewer();
}

void DataViewer::Button2Click() {
    mode_ = AfterDataButton(mode_);
    ApplyCaptions();
    LoadViewer();
}

void DataViewer::BitBtn2Click() {
    PrintPages(box_->toPlainText(), QStringLiteral("ZEK Information"), this, prompts_);
}

}  // namespace zek
