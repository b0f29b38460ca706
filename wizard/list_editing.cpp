// Correcting the three lists after the fact: editing an entry, moving it,
// deleting it by key, and the tooltips that show what a list hides. The
// hidden partner of a link (its target) or an image (its caption) goes
// wherever its entry goes.

#include <QGridLayout>
#include <QLineEdit>
#include <QToolButton>
#include <functional>

#include "ui/entry_dialog.h"
#include "ui/error_display.h"
#include "ui/list_box.h"
#include "wizard/picture_name.h"
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

}  // namespace

void TForm3::ConnectLists() {
    // Made before WatchChanges, so that a partner has moved when
    // PageChanged goes out.
    links_.emplace(ListBox2, ListBox5);
    images_.emplace(ListBox3, ListBox6);
    ui::ConnectGuarded(ListBox1, &ui::TListBox::EditRequested, this, &TForm3::ListBox1DblClick);
    ui::ConnectGuarded(ListBox2, &ui::TListBox::EditRequested, this, &TForm3::ListBox2DblClick);
    ui::ConnectGuarded(ListBox3, &ui::TListBox::EditRequested, this, &TForm3::ListBox3DblClick);
    ui::ConnectGuarded(ListBox1, &ui::TListBox::DeleteRequested, this, &TForm3::SpeedButton7Click);
    ui::ConnectGuarded(ListBox2, &ui::TListBox::DeleteRequested, this, &TForm3::SpeedButton5Click);
    ui::ConnectGuarded(ListBox3, &ui::TListBox::DeleteRequested, this, &TForm3::SpeedButton4Click);
    ListBox2->SetToolTips([this](int row) { return links_->Text(row) + QStringLiteral(" → ") + links_->Partner(row); });
    ListBox3->SetToolTips([this](int row) {
        return QStringLiteral("Bild: ") + images_->Text(row) + QStringLiteral("\nBildtext: ") + images_->Partner(row);
    });
}

void TForm3::ListBox1DblClick() {  // a text line, in place
    ui::ListEditInPlace(ListBox1, ui::ListSelectedIndex(ListBox1));
}

void TForm3::ListBox2DblClick() {  // a link, in "Link bearbeiten"
    const int row = ui::ListSelectedIndex(ListBox2);
    if (row < 0) return;
    QString text = links_->Text(row);
    QString target = links_->Partner(row);
    if (AskLink(this, text, target) && links_->Edit(row, text, target)) emit PageChanged();
}

void TForm3::ListBox3DblClick() {  // an image, in "Bild bearbeiten"
    const int row = ui::ListSelectedIndex(ListBox3);
    if (row < 0) return;
    QString file = images_->Text(row);
    QString caption = images_->Partner(row);
    const auto pick = [this](QLineEdit* field) { wizard::PickPicture(this, PageFolder(), field); };
    if (AskImage(this, file, caption, pick) && images_->Edit(row, file, caption)) emit PageChanged();
}
