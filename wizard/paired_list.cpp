#include "wizard/paired_list.h"

#include <QAbstractItemModel>

#include "ui/list_box.h"

namespace wizard {

TPairedList::TPairedList(ui::TListBox* shown, QStringList& partner) : shown_(shown), partner_(partner) {
    // The list is the context: the partner lives as long as the window that
    // owns both.
    QObject::connect(shown->model(), &QAbstractItemModel::rowsMoved, shown,
                     [this](const QModelIndex&, int from, int, const QModelIndex&, int before) {
                         partner_.move(from, before > from ? before - 1 : before);
                     });
}

int TPairedList::Count() const {
    return shown_->count();
}

QString TPairedList::Text(int row) const {
    return shown_->model()->index(row, 0).data().toString();
}

QString TPairedList::Partner(int row) const {
    return partner_.value(row);
}

QStringList TPairedList::Texts() const {
    return shown_->texts();
}

void TPairedList::Add(const QString& text, const QString& partnerText) {
    // The partner first: whoever hears of the new row finds it complete.
    partner_.append(partnerText);
    ui::ListAppend(shown_, text);
}

void TPairedList::Remove(int row) {
    if (row < 0 || row >= Count()) return;
    partner_.removeAt(row);
    ui::ListDeleteAt(shown_, row);
}

void TPairedList::Move(int from, int to) {
    ui::ListMove(shown_, from, to);
}

bool TPairedList::Edit(int row, const QString& text, const QString& partnerText) {
    ui::ListSetEntry(shown_, row, text);
    if (partnerText == partner_.at(row)) return false;
    partner_[row] = partnerText;
    return true;
}

void TPairedList::Clear() {
    partner_.clear();
    shown_->clear();
}

}  // namespace wizard
