#include "preview/view_choice.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QSettings>
#include <QToolButton>

#include "ui/error_display.h"

namespace {

QSettings Settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tavirel"), QStringLiteral("preview"));
}

const QString kViewKey = QStringLiteral("view");
const QString kPhone = QStringLiteral("phone");

QAbstractButton* AddButton(QHBoxLayout* row, QButtonGroup* group, const QString& text, const QString& name,
                           const QString& tip) {
    auto* button = new QToolButton(row->parentWidget());
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(tip);
    button->setCheckable(true);
    group->addButton(button);
    row->addWidget(button);
    return button;
}

}  // namespace

TViewChoice::TViewChoice(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* group = new QButtonGroup(this);
    screen_ = AddButton(row, group, QStringLiteral("Bildschirm"), QStringLiteral("ScreenButton"),
                        QStringLiteral("Die Seite, wie ein Browser am Computer sie zeigt"));
    phone_ = AddButton(row, group, QStringLiteral("Handy"), QStringLiteral("PhoneButton"),
                       QStringLiteral("Die Seite, wie ein Handy mit 360 Pixel Breite sie zeigt"));
    // Reading writes nothing: the settings file appears with the first
    // choice the user makes.
    (Settings().value(kViewKey).toString() == kPhone ? phone_ : screen_)->setChecked(true);
    // Only the user's click: a button set in code is no choice to keep.
    ui::ConnectGuarded(group, &QButtonGroup::buttonClicked, this, &TViewChoice::Choose);
}

bool TViewChoice::Phone() const {
    return phone_->isChecked();
}

void TViewChoice::Choose() {
    Settings().setValue(kViewKey, Phone() ? kPhone : QStringLiteral("screen"));
    emit Chosen();
}
