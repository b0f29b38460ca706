#include "ui/line_list_model.h"

#include <utility>

#include "ui/text_boundary.h"

namespace ui {

void TLineListModel::Show(std::shared_ptr<const core::TLineList> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}

int TLineListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !lines_ ? 0 : static_cast<int>(lines_->size());
}

QVariant TLineListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    if (!index.isValid() || index.row() >= rowCount()) return {};
    return FromAnsi((*lines_)[static_cast<std::size_t>(index.row())]);
}

}  // namespace ui
