#include "ui/list_box.h"

#include <QItemSelectionModel>
#include <QStringListModel>

#include "ui/text_boundary.h"

namespace ui {
namespace {

// Qt keeps a current row apart from the selection and moves it to a
// neighbour after a removal; "none" must clear both.
void SelectNone(TListBox* list) {
    list->selectionModel()->clearSelection();
    list->selectionModel()->clearCurrentIndex();
}

bool IsRow(const TListBox* list, int index) {
    return index >= 0 && index < list->count();
}

}  // namespace

TListBox::TListBox(QWidget* parent) : QListView(parent), rows_(new QStringListModel(this)) {
    setModel(rows_);
    setEditTriggers(NoEditTriggers);
}

int TListBox::count() const {
    return rows_->rowCount();
}

QStringList TListBox::texts() const {
    return rows_->stringList();
}

void TListBox::clear() {
    rows_->setStringList({});
}

int ListSelectedIndex(const TListBox* list) {
    const QModelIndex current = list->selectionModel()->currentIndex();
    if (current.isValid() && list->selectionModel()->isSelected(current)) return current.row();
    return -1;
}

void ListAppend(TListBox* list, const QString& entry) {
    const int row = list->count();
    list->rows_->insertRows(row, 1);
    list->rows_->setData(list->rows_->index(row), entry);
}

void ListDeleteAt(TListBox* list, int index) {
    if (!IsRow(list, index)) return;
    list->rows_->removeRows(index, 1);
    SelectNone(list);
}

void ListSetTexts(TListBox* list, const QStringList& entries) {
    list->rows_->setStringList(entries);
}

void ListSelect(TListBox* list, int index) {
    if (!IsRow(list, index)) {
        SelectNone(list);
        return;
    }
    list->selectionModel()->setCurrentIndex(list->model()->index(index, 0), QItemSelectionModel::ClearAndSelect);
}

std::vector<std::string> ListAnsiTexts(const TListBox* list) {
    const QStringList texts = list->texts();
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(texts.size()));
    for (const QString& text : texts) result.push_back(ToAnsi(text));
    return result;
}

}  // namespace ui
