// What the wizard knows of its own state as a whole: where its page goes,
// whether the user has changed anything since it was last saved, and a
// signal for every change.

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringListModel>

#include "ui/list_box.h"
#include "wizard/wizard_window.h"

QString TForm3::PageFilePath() const {
    return Edit19->text() + (html->isChecked() ? QStringLiteral(".html") : QStringLiteral(".htm"));
}

QString TForm3::PageFolder() const {
    return QFileInfo(PageFilePath()).absolutePath();
}

QStringList TForm3::EnteredState() const {
    QStringList state;
    // Spin fields hold line edits too, so their texts are here as well.
    for (const QLineEdit* edit : findChildren<QLineEdit*>()) {
        // An open in-place editor is not an entry of its own; it lingers a
        // moment after it closed, too.
        if (ListBox1->isAncestorOf(edit)) continue;
        state << edit->text();
    }
    for (const QAbstractButton* button : findChildren<QAbstractButton*>())
        if (button->isCheckable()) state << (button->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    // Each list's length first, so that an entry cannot pass for one of the next list.
    for (const QStringList& list : {ListBox1->texts(), ListBox2->texts(), ListBox5, ListBox3->texts(), ListBox6})
        state << QString::number(list.size()) << list;
    return state;
}

bool TForm3::HasUnsavedEntries() const {
    return EnteredState() != savedState_;
}

void TForm3::MarkSaved() {
    savedState_ = EnteredState();
}

void TForm3::WatchChanges() {
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textChanged, this, &TForm3::PageChanged);
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        if (button->isCheckable()) connect(button, &QAbstractButton::toggled, this, &TForm3::PageChanged);
    // The hidden partner lists change together with the visible ones.
    for (ui::TListBox* list : {ListBox1, ListBox2, ListBox3}) {
        QAbstractItemModel* rows = list->model();
        connect(rows, &QAbstractItemModel::rowsInserted, this, &TForm3::PageChanged);
        connect(rows, &QAbstractItemModel::rowsRemoved, this, &TForm3::PageChanged);
        connect(rows, &QAbstractItemModel::rowsMoved, this, &TForm3::PageChanged);
        connect(rows, &QAbstractItemModel::dataChanged, this, &TForm3::PageChanged);
        connect(rows, &QAbstractItemModel::modelReset, this, &TForm3::PageChanged);
    }
}
