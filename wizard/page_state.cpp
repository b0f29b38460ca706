// What the wizard knows of its page as a whole: where it goes, whether the
// user has changed anything since it was last saved, and a signal for
// every change.

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

#include "ui/elided_label.h"
#include "ui/list_box.h"
#include "wizard/wizard_window.h"

namespace {

void WatchRows(QAbstractItemModel* rows, TForm3* window) {
    QObject::connect(rows, &QAbstractItemModel::rowsInserted, window, &TForm3::PageChanged);
    QObject::connect(rows, &QAbstractItemModel::rowsRemoved, window, &TForm3::PageChanged);
    QObject::connect(rows, &QAbstractItemModel::rowsMoved, window, &TForm3::PageChanged);
    QObject::connect(rows, &QAbstractItemModel::dataChanged, window, &TForm3::PageChanged);
    QObject::connect(rows, &QAbstractItemModel::modelReset, window, &TForm3::PageChanged);
}

}  // namespace

QString TForm3::PageFilePath() const {
    return Edit19->text() + (html->isChecked() ? QStringLiteral(".html") : QStringLiteral(".htm"));
}

QString TForm3::PageFolder() const {
    return QFileInfo(PageFilePath()).absolutePath();
}

bool TForm3::HasUnsavedEntries() const {
    // An entry being edited in place may hold typed text not yet in its list.
    return unsaved_.IsSet() || ListBox1->IsEditing();
}

void TForm3::MarkSaved() {
    unsaved_.Clear();
}

void TForm3::MarkUnsaved() {
    unsaved_.Set();
}

void TForm3::ShowPageFile() {
    Label22->SetLine(QStringLiteral("Seite: ") + PageFilePath(),
                     QStringLiteral("Seite: ") + QDir::toNativeSeparators(CurrentPageFile()));
}

void TForm3::WatchChanges() {
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textChanged, this, &TForm3::PageChanged);
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        // The box beside the links is no part of the page.
        if (button->isCheckable() && button != SiteLinks)
            connect(button, &QAbstractButton::toggled, this, &TForm3::PageChanged);
    // The hidden partner lists change together with the visible ones.
    for (ui::TListBox* list : {ListBox1, ListBox2, ListBox3}) WatchRows(list->model(), this);
    // Any change counts until the page is written or opened; the program's
    // own changes (a finish's traces, an opened page) are marked saved
    // right after them.
    connect(this, &TForm3::PageChanged, this, [this] { unsaved_.Set(); });
    // Where a finish writes, as soon as its name changes.
    connect(Edit19, &QLineEdit::textChanged, this, &TForm3::ShowPageFile);
    connect(html, &QAbstractButton::toggled, this, &TForm3::ShowPageFile);
    ShowPageFile();
    // The fields for the next entry, whose text is on no page until a
    // command takes it.
    unsaved_.WatchPending({Edit3, Edit4, Edit12, Edit13, Edit22, Edit23, Edit10, Edit11});
}
