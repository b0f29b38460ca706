#pragma once

// A visible list and the hidden list beside it (a link's target, an image's
// caption), kept in step in one place: whatever happens to an entry happens
// to its partner.

#include <QString>
#include <QStringList>

namespace ui {
class TListBox;
}

namespace wizard {

class TPairedList {
public:
    // From here on every move in the visible list, by key, by dragging or
    // by Move, moves the partner along before anyone else hears of it.
    TPairedList(ui::TListBox* shown, QStringList& partner);

    int Count() const;
    QString Text(int row) const;
    // Empty outside the list.
    QString Partner(int row) const;
    QStringList Texts() const;
    const ui::TListBox* Shown() const { return shown_; }
    const QStringList& Partners() const { return partner_; }

    // Appending keeps the selection.
    void Add(const QString& text, const QString& partnerText);
    // Removing at -1 does nothing; afterwards no entry is selected.
    void Remove(int row);
    // A place outside the list moves nothing.
    void Move(int from, int to);
    // Whether the partner changed; the visible list tells of its own change.
    bool Edit(int row, const QString& text, const QString& partnerText);
    void Clear();

private:
    ui::TListBox* shown_;
    QStringList& partner_;
};

}  // namespace wizard
