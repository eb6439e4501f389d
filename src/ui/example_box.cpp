#include "ui/example_box.h"

#include <QAction>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "ui/page_printer.h"
#include "ui/window_style.h"

namespace zek {

ExampleBox::ExampleBox(UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      prompts_(prompts) {
    setObjectName(QStringLiteral("TExampleBox"));
    setWindowTitle(QStringLiteral("Some How To... Examples"));
    resize(780, 500);
    box_ = new QPlainTextEdit(this);
    box_->setObjectName(QStringLiteral("RichEdit1"));
    box_->setReadOnly(true);
    QFont font = style::SansSerif(11);
    font.setPointSize(8);
    box_->setFont(font);
    box_->setLineWrapMode(QPlainTextEdit::NoWrap);
    box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setCentralWidget(box_);

    auto addItem = [this](const char* name, const QString& caption) {
        QAction* action = menuBar()->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    connect(addItem("Close1", QStringLiteral("&Close")), &QAction::triggered, this,
            &QWidget::close);
    // Every recipe prints under one job name, which print queues and handouts refer to.
    connect(addItem("Print1", QStringLiteral("&Print")), &QAction::triggered, this, [this] {
        PrintPages(box_->toPlainText(),
                   {QStringLiteral("How To...Independent t-Test"), pdfFileName_}, this, prompts_);
    });
    connect(addItem("Wordwrap1", QStringLiteral("&Wordwrap")), &QAction::triggered, this,
            [this] { box_->setLineWrapMode(QPlainTextEdit::WidgetWidth); });
}

void ExampleBox::ShowRecipe(const std::string& pdfFileName, const std::vector<std::string>& lines) {
    QString text;
    for (const std::string& line : lines) text += QString::fromStdString(line) + QLatin1Char('\n');
    text.chop(1);
    box_->setPlainText(text);
    pdfFileName_ = QString::fromStdString(pdfFileName);
    if (!isVisible() && !placed_) {
        style::CentreOn(this, parentWidget());
        placed_ = true;
    }
    show();
    raise();
}

}  // namespace zek
