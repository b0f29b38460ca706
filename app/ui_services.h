#pragma once

// The small layer over Qt that both windows rely on: the text boundary, the
// error display, the spin field, the toggle group and list semantics.

#include <QAbstractSpinBox>
#include <QListView>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QAbstractButton;

namespace ui {

// ---- Text boundary: the only place where QString meets Windows-1252 bytes.

// Characters Windows-1252 lacks become "&#N;" (N decimal); CR and LF become
// spaces so that one edit always gives one line.
std::string ToAnsi(const QString& text);
QString FromAnsi(std::string_view ansi);

// ---- Error display

// The program file's name without directory and without everything from its
// first "."; every character after the first in lower case.
QString ApplicationTitle();
// The same rule for any program path.
QString ApplicationTitleFromPath(const QString& programPath);

// The message plus a full stop when its last character comes after ".".
QString ErrorDisplayText(const QString& message);

// Modal box: error icon, OK, ApplicationTitle() as caption.
void ShowErrorDisplay(QWidget* parent, const QString& message);

// Runs one handler; whatever it throws ends in the error display.
void RunGuarded(QWidget* parent, const std::function<void()>& handler);

// Connects a signal to a window's handler through RunGuarded, so that no
// exception ever reaches Qt's event loop.
template <typename Sender, typename Signal, typename Window>
void ConnectGuarded(Sender* sender, Signal signal, Window* window, void (Window::*handler)()) {
    QObject::connect(sender, signal, window,
                     [window, handler] { RunGuarded(window, [window, handler] { (window->*handler)(); }); });
}

// ---- Spin field: an edit with arrows whose text may hold anything.

class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // ReadSpinValue of the text.
    std::int32_t value() const;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// ---- Toggle group: at most one button down, all up allowed.

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

// ---- Lists: -1 means no selection.

// A list of text entries, one per row. The entries lie side by side in one
// string list rather than in an item object each, so that lists of many
// thousand entries are filled and read without an allocation per entry.
class TListBox : public QListView {
public:
    explicit TListBox(QWidget* parent = nullptr);

    int count() const { return static_cast<int>(texts().size()); }
    const QStringList& texts() const;  // every entry, in order
    void clear();
};

int ListSelectedIndex(const TListBox* list);
// Appending keeps the selection.
void ListAppend(TListBox* list, const QString& entry);
// Deleting at -1 does nothing; afterwards no entry is selected.
void ListDeleteAt(TListBox* list, int index);
// Selects the entry (or none for -1 / out of range).
void ListSelect(TListBox* list, int index);
// Every entry as Windows-1252 bytes.
std::vector<std::string> ListAnsiTexts(const TListBox* list);

}  // namespace ui
