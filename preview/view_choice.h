#pragma once

#include <QWidget>

class QAbstractButton;

// "Bildschirm" / "Handy" above the preview: whether the page is drawn as a
// desktop window or as a phone shows it. The choice the user makes is kept
// for every later preview; until then the screen is the default.
class TViewChoice : public QWidget {
    Q_OBJECT
public:
    explicit TViewChoice(QWidget* parent);
    bool Phone() const;

signals:
    // The user chose the other view; it is remembered already.
    void Chosen();

private:
    void Choose();

    QAbstractButton* screen_ = nullptr;
    QAbstractButton* phone_ = nullptr;
};
