#pragma once

// A single-selection list of text entries; -1 means no selection.

#include <QListView>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QStringListModel;

namespace ui {

class TListBox : public QListView {
public:
    explicit TListBox(QWidget* parent = nullptr);

    int count() const;
    QStringList texts() const;  // every entry, in order
    void clear();

private:
    friend void ListAppend(TListBox* list, const QString& entry);
    friend void ListDeleteAt(TListBox* list, int index);
    friend void ListSetTexts(TListBox* list, const QStringList& entries);
    QStringListModel* rows_;
};

int ListSelectedIndex(const TListBox* list);
// Appending keeps the selection.
void ListAppend(TListBox* list, const QString& entry);
// Deleting at -1 does nothing; afterwards no entry is selected.
void ListDeleteAt(TListBox* list, int index);
// Replaces every entry at once.
void ListSetTexts(TListBox* list, const QStringList& entries);
// Selects the entry (or none for -1 / out of range).
void ListSelect(TListBox* list, int index);
// Every entry as Windows-1252 bytes.
std::vector<std::string> ListAnsiTexts(const TListBox* list);

}  // namespace ui
