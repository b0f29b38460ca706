#pragma once

#include <QAbstractListModel>

#include "core/line_list.h"

// The lines behind the code view. A page of many entries has tens of
// thousands of lines, yet only a screenful is ever seen: a line becomes a
// QString only when the view draws it or a screen reader asks for it.
class TCodeViewModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every line at once; no lines empties the view.
    void ShowLines(core::TLineList lines);
    const core::TLineList& Lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    core::TLineList lines_;
};
