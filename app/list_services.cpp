#include <QAbstractListModel>
#include <QItemSelectionModel>

#include "app/ui_services.h"

namespace ui {
namespace {

// The rows of a TListBox: plain text, selectable, never edited in place.
class TListBoxModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    const QStringList& Texts() const { return texts_; }

    void Append(const QString& entry) {
        const int row = static_cast<int>(texts_.size());
        beginInsertRows(QModelIndex(), row, row);
        texts_.append(entry);
        endInsertRows();
    }
    void RemoveAt(int row) {
        beginRemoveRows(QModelIndex(), row, row);
        texts_.removeAt(row);
        endRemoveRows();
    }
    void Clear() {
        beginResetModel();
        texts_.clear();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(texts_.size());
    }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
        if (!index.isValid() || index.row() >= texts_.size()) return {};
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        return texts_.at(index.row());
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }

private:
    QStringList texts_;
};

TListBoxModel& RowsOf(const TListBox* list) {
    return *static_cast<TListBoxModel*>(list->model());
}

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

TListBox::TListBox(QWidget* parent) : QListView(parent) {
    setModel(new TListBoxModel(this));
    setEditTriggers(NoEditTriggers);
}

const QStringList& TListBox::texts() const {
    return RowsOf(this).Texts();
}

void TListBox::clear() {
    RowsOf(this).Clear();
}

int ListSelectedIndex(const TListBox* list) {
    const QModelIndex current = list->selectionModel()->currentIndex();
    if (current.isValid() && list->selectionModel()->isSelected(current)) return current.row();
    return -1;
}

void ListAppend(TListBox* list, const QString& entry) {
    RowsOf(list).Append(entry);
}

void ListDeleteAt(TListBox* list, int index) {
    if (!IsRow(list, index)) return;
    RowsOf(list).RemoveAt(index);
    SelectNone(list);
}

void ListSelect(TListBox* list, int index) {
    if (!IsRow(list, index)) {
        SelectNone(list);
        return;
    }
    list->selectionModel()->setCurrentIndex(list->model()->index(index, 0), QItemSelectionModel::ClearAndSelect);
}

// The texts lie in one array, but each text's characters elsewhere: asking
// for the next ones early lets their loads overlap.
std::vector<std::string> ListAnsiTexts(const TListBox* list) {
    constexpr qsizetype kAhead = 8;
    const QStringList& texts = list->texts();
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i + kAhead < texts.size()) __builtin_prefetch(texts[i + kAhead].constData());
        result.push_back(ToAnsi(texts[i]));
    }
    return result;
}

}  // namespace ui
