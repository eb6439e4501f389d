#include "ui/information_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "commands/help_texts.h"
#include "ui/window_style.h"

namespace zek {

namespace {

QPushButton* AddCloseButton(QDialog* window, QVBoxLayout* layout, const char* name,
                            const QString& caption) {
    auto* close = new QPushButton(caption, window);
    close->setObjectName(QString::fromLatin1(name));
    close->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, window, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignHCenter);
    return close;
}

QPlainTextEdit* AddText(QWidget* window, QVBoxLayout* layout, const std::string& text) {
    auto* box = new QPlainTextEdit(
        QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), window);
    box->setReadOnly(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(box);
    return box;
}

}  // namespace

InformationWindow::InformationWindow(const char* className, const QString& caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QString::fromLatin1(className));
    setWindowTitle(caption);
    setModal(true);
    setFont(style::SansSerif(12));
}

InformationWindow* InformationWindow::About(QWidget* parent) {
    auto* window = new InformationWindow("TAboutBox", QStringLiteral("About ZEK"), parent);
    style::SetBackground(window, style::kSkyBlue);
    auto* outer = new QVBoxLayout(window);
    auto* panel = new QWidget(window);
    style::SetBackground(panel, Qt::white);
    outer->addWidget(panel);
    auto* layout = new QVBoxLayout(panel);
    auto* title = new QLabel(QStringLiteral(" ZEK"), panel);
    QFont titleFont = style::SansSerif(40, true);
    titleFont.setUnderline(true);
    title->setFont(titleFont);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    const ReportFooterLines& lines = AboutIdentificationLines();
    struct Line {
        const char* name;
        QString text;
    };
    for (const Line& line :
         {Line{"Panel1", QString::fromStdString(lines[0])},
          Line{"Panel4", style::ToQString(EarlierVersionLine())},
          Line{"Panel2", QString::fromStdString(lines[1])},
          Line{"Panel3", QString::fromStdString(lines[2])}, Line{"Panel5", QString()}}) {
        auto* label = new QLabel(line.text, panel);
        label->setObjectName(QString::fromLatin1(line.name));
        label->setAlignment(Qt::AlignHCenter);
        layout->addWidget(label);
    }
    AddCloseButton(window, outer, "BitBtn1", QStringLiteral("Close"));
    window->adjustSize();
    return window;
}

InformationWindow* InformationWindow::UserAgreement(QWidget* parent) {
    auto* window = new InformationWindow("TUserForm", QStringLiteral("User Agreement"), parent);
    window->setFixedSize(481, 310);
    auto* layout = new QVBoxLayout(window);
    AddText(window, layout, zek::UserAgreement());
    QPushButton* close = AddCloseButton(window, layout, "btnClose", QStringLiteral("&Close"));
    close->setAutoDefault(true);
    return window;
}

InformationWindow* InformationWindow::Acknowledgements(QWidget* parent) {
    auto* window = new InformationWindow("TAckForm", QStringLiteral("Acknowledgments"), parent);
    window->setFixedSize(465, 419);
    style::SetBackground(window, style::kSkyBlue);
    auto* layout = new QVBoxLayout(window);
    auto* introduction = new QLabel(QString::fromStdString(AcknowledgementsIntroduction()), window);
    introduction->setWordWrap(true);
    layout->addWidget(introduction);
    AddText(window, layout, zek::Acknowledgements());
    AddCloseButton(window, layout, "BitBtn1", QStringLiteral("Close"));
    return window;
}

}  // namespace zek
