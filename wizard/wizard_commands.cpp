// The commands that build up the wizard's three lists and keep the heading
// size choice. They only change the wizard's state; the finish command reads it.

#include <QLineEdit>
#include <QString>
#include <QToolButton>

#include "ui/list_box.h"
#include "wizard/wizard_window.h"

namespace {

// The inline image line for the alignment toggle that is down, if any.
QString InlineImageLine(const QString& file, const QAbstractButton* l, const QAbstractButton* m,
                        const QAbstractButton* r) {
    if (l->isChecked()) return QStringLiteral("<img src=\"") + file + QStringLiteral("\" align=\"left\">");
    if (m->isChecked()) return QStringLiteral("<center><img src=\"") + file + QStringLiteral("\"></center>");
    if (r->isChecked()) return QStringLiteral("<img src=\"") + file + QStringLiteral("\" align=\"right\">");
    return QStringLiteral("<img src=\"") + file + QStringLiteral("\">");
}

QString InlineLinkLine(const QString& target, const QString& text) {
    return QStringLiteral("<a href=\"") + target + QStringLiteral("\">") + text + QStringLiteral("</a>");
}

}  // namespace

void TForm3::FormCreate() {
    HeadingSizeChoice = 3;
}

void TForm3::SpeedButton2Click() {  // "Neuer Link"
    links_->Add(Edit3->text(), Edit4->text());
    unsaved_.Used({Edit3, Edit4});
}

void TForm3::SpeedButton5Click() {  // "Link löschen"
    links_->Remove(ui::ListSelectedIndex(ListBox2));
}

void TForm3::Button1Click() {  // "Hinzufügen"
    ui::ListAppend(ListBox1, Edit12->text());
    Edit12->clear();
    unsaved_.Used({Edit12});
}

void TForm3::SpeedButton6Click() {  // "Zeilenumbruch"
    ui::ListAppend(ListBox1, QStringLiteral("<br>"));
}

void TForm3::BitBtn8Click() {  // "Einfügen" an inline image
    ui::ListAppend(ListBox1, InlineImageLine(Edit13->text(), l, m, r));
    unsaved_.Used({Edit13});
}

void TForm3::BitBtn1Click() {  // "Einfügen" an inline link
    ui::ListAppend(ListBox1, InlineLinkLine(Edit23->text(), Edit22->text()));
    unsaved_.Used({Edit22, Edit23});
}

void TForm3::SpeedButton7Click() {  // "Zeile löschen"
    ui::ListDeleteAt(ListBox1, ui::ListSelectedIndex(ListBox1));
}

void TForm3::SpeedButton8Click() {  // "Alles löschen"
    // Emptying an empty list changes nothing, so it marks nothing unsaved.
    if (ListBox1->count() > 0) ListBox1->clear();
}

void TForm3::SpeedButton3Click() {  // "Neues Bild"
    images_->Add(Edit10->text(), Edit11->text());
    unsaved_.Used({Edit10, Edit11});
}

void TForm3::SpeedButton4Click() {  // "Bild löschen"
    images_->Remove(ui::ListSelectedIndex(ListBox3));
}

void TForm3::RadioButton1Click() {
    HeadingSizeChoice = 1;
}
void TForm3::RadioButton2Click() {
    HeadingSizeChoice = 2;
}
void TForm3::RadioButton3Click() {
    HeadingSizeChoice = 3;
}
void TForm3::RadioButton4Click() {
    HeadingSizeChoice = 4;
}
void TForm3::RadioButton5Click() {
    HeadingSizeChoice = 5;
}
void TForm3::RadioButton6Click() {
    HeadingSizeChoice = 6;
}
