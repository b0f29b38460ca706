#include "ui/toggle_group.h"

#include <QAbstractButton>
#include <algorithm>

namespace ui {

TToggleGroup::TToggleGroup(QObject* parent) : QObject(parent) {}

void TToggleGroup::addButton(QAbstractButton* button) {
    button->setCheckable(true);
    // Exclusivity is ours: Qt's own would forbid putting the down button up.
    button->setAutoExclusive(false);
    buttons_.push_back(button);
    // Qt toggles the pressed button itself; the group only puts the others
    // up. Listening to toggled also covers a button set down in code.
    connect(button, &QAbstractButton::toggled, this, [this, button](bool down) {
        if (down) pressed(button);
    });
    connect(button, &QObject::destroyed, this, [this](QObject* gone) {
        std::erase_if(buttons_, [gone](QAbstractButton* b) { return static_cast<QObject*>(b) == gone; });
    });
}

QAbstractButton* TToggleGroup::downButton() const {
    const auto down = std::find_if(buttons_.begin(), buttons_.end(), [](QAbstractButton* b) { return b->isChecked(); });
    return down == buttons_.end() ? nullptr : *down;
}

void TToggleGroup::pressed(QAbstractButton* button) {
    for (QAbstractButton* other : buttons_)
        if (other != button) other->setChecked(false);
}

}  // namespace ui
