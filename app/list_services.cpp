#include "app/ui_services.h"

#include <QItemSelectionModel>
#include <QListWidget>

namespace ui {
namespace {

// Qt keeps a current row apart from the selection and moves it to a
// neighbour after a removal; "none" must clear both.
void SelectNone(QListWidget* list) {
    list->selectionModel()->clearSelection();
    list->selectionModel()->clearCurrentIndex();
}

bool IsRow(const QListWidget* list, int index) { return index >= 0 && index < list->count(); }

}  // namespace

int ListSelectedIndex(const QListWidget* list) {
    const int row = list->currentRow();
    if (IsRow(list, row) && list->item(row)->isSelected()) return row;
    return -1;
}

void ListAppend(QListWidget* list, const QString& entry) { list->addItem(entry); }

void ListDeleteAt(QListWidget* list, int index) {
    if (!IsRow(list, index)) return;
    delete list->takeItem(index);
    SelectNone(list);
}

void ListSelect(QListWidget* list, int index) {
    if (!IsRow(list, index)) {
        SelectNone(list);
        return;
    }
    list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

}  // namespace ui
