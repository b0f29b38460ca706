// Correcting the three lists after the fact: editing an entry, moving it,
// deleting it by key, and the tooltips that show what a list hides. The
// hidden partner of a link (its target) or an image (its caption) goes
// wherever its entry goes.

#include <QAbstractItemModel>
#include <QGridLayout>
#include <QLineEdit>
#include <QToolButton>
#include <functional>

#include "ui/entry_dialog.h"
#include "ui/error_display.h"
#include "ui/list_box.h"
#include "wizard/wizard_window.h"

namespace {

// Each dialog is gone once it returns, so that its fields never count as
// the wizard's entries.
bool AskLink(QWidget* parent, QString& text, QString& target) {
    ui::TEntryDialog dialog(parent, QStringLiteral("Link bearbeiten"), QStringLiteral("Verweistext:"),
                            QStringLiteral("Verweisziel:"));
    return dialog.Ask(text, target);
}

// The picture may be picked as beside the image fields, with "…".
bool AskImage(QWidget* parent, QString& file, QString& caption, const std::function<void(QLineEdit*)>& pick) {
    ui::TEntryDialog dialog(parent, QStringLiteral("Bild bearbeiten"), QStringLiteral("Bild:"),
                            QStringLiteral("Bildtext:"));
    auto* picker = new QToolButton(&dialog);
    picker->setText(QStringLiteral("…"));
    picker->setToolTip(QStringLiteral("Bild auswählen"));
    picker->setAccessibleName(QStringLiteral("Bild auswählen"));
    dialog.Fields->addWidget(picker, 0, 2);
    QObject::connect(picker, &QToolButton::clicked, &dialog,
                     [&dialog, &pick] { ui::RunGuarded(&dialog, [&dialog, &pick] { pick(dialog.First); }); });
    return dialog.Ask(file, caption);
}

QString EntryText(const ui::TListBox* list, int row) {
    return list->texts().at(row);
}

}  // namespace

void TForm3::ConnectLists() {
    // Moving an entry moves its partner. Connected before WatchChanges, so
    // that the partner has moved when PageChanged goes out.
    const auto followMoves = [this](ui::TListBox* list, QStringList& partner) {
        connect(list->model(), &QAbstractItemModel::rowsMoved, this,
                [&partner](const QModelIndex&, int from, int, const QModelIndex&, int before) {
                    partner.move(from, before > from ? before - 1 : before);
                });
    };
    followMoves(ListBox2, ListBox5);
    followMoves(ListBox3, ListBox6);

    ui::ConnectGuarded(ListBox1, &ui::TListBox::EditRequested, this, &TForm3::ListBox1DblClick);
    ui::ConnectGuarded(ListBox2, &ui::TListBox::EditRequested, this, &TForm3::ListBox2DblClick);
    ui::ConnectGuarded(ListBox3, &ui::TListBox::EditRequested, this, &TForm3::ListBox3DblClick);
    ui::ConnectGuarded(ListBox1, &ui::TListBox::DeleteRequested, this, &TForm3::SpeedButton7Click);
    ui::ConnectGuarded(ListBox2, &ui::TListBox::DeleteRequested, this, &TForm3::SpeedButton5Click);
    ui::ConnectGuarded(ListBox3, &ui::TListBox::DeleteRequested, this, &TForm3::SpeedButton4Click);

    ListBox2->SetToolTips(
        [this](int row) { return EntryText(ListBox2, row) + QStringLiteral(" → ") + ListBox5.value(row); });
    ListBox3->SetToolTips([this](int row) {
        return QStringLiteral("Bild: ") + EntryText(ListBox3, row) + QStringLiteral("\nBildtext: ") +
               ListBox6.value(row);
    });
}

void TForm3::ListBox1DblClick() {  // a text line, in place
    ui::ListEditInPlace(ListBox1, ui::ListSelectedIndex(ListBox1));
}

void TForm3::ListBox2DblClick() {  // a link, in "Link bearbeiten"
    const int index = ui::ListSelectedIndex(ListBox2);
    if (index < 0) return;
    QString text = EntryText(ListBox2, index);
    QString target = ListBox5.at(index);
    if (!AskLink(this, text, target)) return;
    ui::ListSetEntry(ListBox2, index, text);
    if (target == ListBox5.at(index)) return;
    ListBox5[index] = target;
    emit PageChanged();
}

void TForm3::ListBox3DblClick() {  // an image, in "Bild bearbeiten"
    const int index = ui::ListSelectedIndex(ListBox3);
    if (index < 0) return;
    QString file = EntryText(ListBox3, index);
    QString caption = ListBox6.at(index);
    if (!AskImage(this, file, caption, [this](QLineEdit* field) { PickImage(field); })) return;
    ui::ListSetEntry(ListBox3, index, file);
    if (caption == ListBox6.at(index)) return;
    ListBox6[index] = caption;
    emit PageChanged();
}
