#pragma once

// The lines of a page (Windows-1252 bytes) as the rows of a list view. A
// page of many entries has tens of thousands of lines, yet only a screenful
// is ever seen: a line becomes a QString only when it is asked for, to be
// drawn, copied or read out; the lines themselves are shared, not copied.
// In a finish of 10,000 links, lines and images a QStringList of the lines
// took about 45 M of 128 M instructions; this takes none.

#include <QAbstractListModel>
#include <memory>

#include "core/line_list.h"

namespace ui {

class TLineListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every line at once; none empties the view.
    void Show(std::shared_ptr<const core::TLineList> lines);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const core::TLineList> lines_;
};

}  // namespace ui
