#include "ui/entry_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace ui {
namespace {

constexpr int kFieldWidth = 260;

QLineEdit* AddField(QGridLayout* fields, int row, const QString& caption, const QString& name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    // Qt would cut the text at 32767 characters without a word.
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setMinimumWidth(kFieldWidth);
    auto* label = new QLabel(caption);
    label->setBuddy(edit);
    QString accessibleName = caption;
    if (accessibleName.endsWith(QLatin1Char(':'))) accessibleName.chop(1);
    edit->setAccessibleName(accessibleName);
    fields->addWidget(label, row, 0);
    fields->addWidget(edit, row, 1);
    return edit;
}

}  // namespace

TEntryDialog::TEntryDialog(QWidget* parent, const QString& caption, const QString& firstCaption,
                           const QString& secondCaption)
    : QDialog(parent) {
    setWindowTitle(caption);
    Fields = new QGridLayout;
    First = AddField(Fields, 0, firstCaption, QStringLiteral("FirstEdit"));
    Second = AddField(Fields, 1, secondCaption, QStringLiteral("SecondEdit"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    // Enter in either field means OK.
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* frame = new QVBoxLayout(this);
    frame->addLayout(Fields);
    frame->addWidget(buttons);
    frame->setSizeConstraint(QLayout::SetFixedSize);
}

bool TEntryDialog::Ask(QString& first, QString& second) {
    First->setText(first);
    Second->setText(second);
    First->selectAll();
    First->setFocus();
    if (exec() != Accepted) return false;
    first = First->text();
    second = Second->text();
    return true;
}

}  // namespace ui
