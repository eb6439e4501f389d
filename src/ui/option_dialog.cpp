#include "ui/option_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/window_style.h"

namespace zek {

OptionDialog::OptionDialog(const Texts& texts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QString::fromLatin1(texts.className));
    setWindowTitle(QString::fromLatin1(texts.caption));
    setModal(true);
    setFont(style::SansSerif(11));
    auto* layout = new QVBoxLayout(this);
    layout_ = layout;
    auto* prompt = new QLabel(QString::fromLatin1(texts.prompt), this);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    auto* row = new QHBoxLayout;
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QString::fromLatin1(texts.editName));
    row->addWidget(edit_);
    if (texts.unit != nullptr) row->addWidget(new QLabel(QString::fromLatin1(texts.unit), this));
    row->addStretch();
    layout->addLayout(row);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    setMinimumWidth(320);
}

void OptionDialog::AddChoice(const QString& label, const char* buttonName, const QString& caption,
                             const std::function<void()>& pressed) {
    const int beforeOk = layout_->count() - 1;
    layout_->insertWidget(beforeOk, new QLabel(label, this));
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(buttonName));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, pressed);
    layout_->insertWidget(beforeOk + 1, button);
}

QString OptionDialog::text() const {
    return edit_->text();
}

void OptionDialog::setText(const QString& text) {
    edit_->setText(text);
}

QString OptionDialog::AskOnce() {
    edit_->setFocus();
    edit_->selectAll();
    exec();
    return text();
}

BetaDialog::BetaDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TBetaBox"));
    setWindowTitle(QStringLiteral("Beta Paramters"));
    setModal(true);
    setFont(style::SansSerif(11));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Low Beta parameter:"), this), 0, 0);
    low_ = new QLineEdit(QStringLiteral("2"), this);
    low_->setObjectName(QStringLiteral("txtBetaLO"));
    layout->addWidget(low_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("High Beta parameter:"), this), 1, 0);
    high_ = new QLineEdit(QStringLiteral("6"), this);
    high_->setObjectName(QStringLiteral("txtbetaHI"));
    layout->addWidget(high_, 1, 1);
    auto* note = new QLabel(QStringLiteral("Choose the paramters for the Beta Distribution used "
                                           "to generate Skewed data. Both values must be "
                                           "integers and greater than 1."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note, 2, 0, 1, 2);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(ok, 3, 0);
    layout->addWidget(cancel, 3, 1);
    setMinimumWidth(320);
}

}  // namespace zek
