#pragma once

// A single-selection list of text entries; -1 means no selection.
//
// Besides selecting, the list offers what a desktop list does: F2 and a
// double-click ask for the selected entry to be edited, the Delete key asks
// for it to be deleted (both only while the list has the focus, and what
// happens is up to the window), Alt+Up and Alt+Down move it one place, and
// dragging moves it within the list (above the entry it is dropped on, or
// below it on that entry's lower half). Every move goes through the model's
// rowsMoved, so whoever keeps entries beside the list follows from there.

#include <QListView>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QStringListModel;

namespace ui {

class TListBox : public QListView {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent = nullptr);

    int count() const;
    QStringList texts() const;  // every entry, in order
    void clear();

    // Whether an entry is being edited in place.
    bool IsEditing() const;
    // Ends editing in place and keeps what was typed.
    void EndEditing();
    // The tooltip of the entry in a row, as plain text; none without this.
    void SetToolTips(std::function<QString(int row)> toolTip);

signals:
    void EditRequested();
    void DeleteRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool viewportEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool IsOwnEntry(const QDropEvent* event) const;
    // The row of this list's entry a drag carries, or -1.
    int DraggedRow(const QMimeData* data) const;
    friend void ListAppend(TListBox* list, const QString& entry);
    friend void ListDeleteAt(TListBox* list, int index);
    friend void ListSetEntry(TListBox* list, int index, const QString& entry);
    friend void ListMove(TListBox* list, int from, int to);
    QStringListModel* rows_;
    std::function<QString(int row)> toolTip_;
};

int ListSelectedIndex(const TListBox* list);
// Appending keeps the selection.
void ListAppend(TListBox* list, const QString& entry);
// Deleting at -1 does nothing; afterwards no entry is selected.
void ListDeleteAt(TListBox* list, int index);
// Replaces an entry's text; its place and the selection stay.
void ListSetEntry(TListBox* list, int index, const QString& entry);
// Moves the entry at from to the place to; it is selected afterwards. A
// place outside the list moves nothing.
void ListMove(TListBox* list, int from, int to);
// Opens the in-place editor on the entry, its text selected.
void ListEditInPlace(TListBox* list, int index);
// Selects the entry (or none for -1 / out of range).
void ListSelect(TListBox* list, int index);
// Every entry as Windows-1252 bytes.
std::vector<std::string> ListAnsiTexts(const TListBox* list);

}  // namespace ui
