// Page "Bilder": the image column under the links.

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

#include "ui/list_box.h"
#include "ui/spin_edit.h"
#include "wizard/help_texts.h"
#include "wizard/page_controls.h"
#include "wizard/wizard_window.h"

using namespace pagecontrols;

void TForm3::CreatePage5() {
    TabSheet5 = AddPage(PageControl1, QStringLiteral("TabSheet5"), QStringLiteral("Bilder"));
    QWidget* page = TabSheet5;
    Label16 = AddTitle(page, QStringLiteral("Label16"), QStringLiteral("Bilder"), 119, 55);

    ListBox3 = AddList(page, QStringLiteral("ListBox3"), {16, 96, 233, 73});
    AddCaption(page, QStringLiteral("Bild:"), ListBox3);
    SpeedButton3 = AddFlatButton(page, QStringLiteral("SpeedButton3"), QStringLiteral("Neues Bild"), {152, 72, 97, 25});
    SpeedButton4 =
        AddFlatButton(page, QStringLiteral("SpeedButton4"), QStringLiteral("Bild löschen"), {152, 168, 97, 25});
    Edit10 = AddEdit(page, QStringLiteral("Edit10"), QString(), {16, 200, 121, 21});
    AddCaption(page, QStringLiteral("Bild:"), Edit10);
    Edit11 = AddEdit(page, QStringLiteral("Edit11"), QString(), {16, 248, 121, 21});
    AddCaption(page, QStringLiteral("Bildtext:"), Edit11);
    SpinEdit3 = AddSpin(page, QStringLiteral("SpinEdit3"), QStringLiteral("1"), {264, 136, 161, 22});
    AddCaption(page, QStringLiteral("Zeilenumbrüche nach jedem Bild:"), SpinEdit3);

    AddHint(page,
            {QStringLiteral("Klicken Sie auf Fertig, um den"), QStringLiteral("Assistenten zu beenden und ihre"),
             QStringLiteral("Website abzuspeichern.")},
            312);
    Memo4 = AddHelpPanel(page, QStringLiteral("Memo4"), help::ImagesHelp());

    ChainTabOrder({Edit10, ListBox3, Edit11, Memo4, SpinEdit3});
}
