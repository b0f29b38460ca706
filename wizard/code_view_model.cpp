#include "wizard/code_view_model.h"

#include <string_view>
#include <utility>

#include "ui/text_boundary.h"

void TCodeViewModel::ShowLines(core::TLineList lines) {
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}

int TCodeViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant TCodeViewModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    if (!index.isValid() || index.row() >= rowCount()) return {};
    return ui::FromAnsi(std::string_view(lines_[static_cast<std::size_t>(index.row())]));
}
