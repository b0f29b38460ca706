#pragma once

#include <QObject>
#include <vector>

class QAbstractButton;

namespace ui {

// Toggle buttons of which at most one is down; all up is allowed.
class TToggleGroup : public QObject {
    Q_OBJECT
public:
    explicit TToggleGroup(QObject* parent = nullptr);
    void addButton(QAbstractButton* button);  // makes it checkable
    QAbstractButton* downButton() const;      // nullptr when all are up

private:
    void pressed(QAbstractButton* button);
    std::vector<QAbstractButton*> buttons_;
};

}  // namespace ui
