// Page "Links": the navigation links, their dot images and cell background.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

#include "ui/list_box.h"
#include "ui/spin_edit.h"
#include "wizard/help_texts.h"
#include "wizard/page_controls.h"
#include "wizard/wizard_window.h"

using namespace pagecontrols;

void TForm3::CreatePage3() {
    TabSheet3 = AddPage(PageControl1, QStringLiteral("TabSheet3"), QStringLiteral("Links"));
    QWidget* page = TabSheet3;
    Label9 = AddTitle(page, QStringLiteral("Label9"), QStringLiteral("Links"), 104, 55);

    ListBox2 = AddList(page, QStringLiteral("ListBox2"), {16, 96, 233, 73});
    AddCaption(page, QStringLiteral("Link:"), ListBox2);
    SpeedButton2 = AddFlatButton(page, QStringLiteral("SpeedButton2"), QStringLiteral("Neuer Link"), {152, 72, 97, 25});
    SpeedButton5 =
        AddFlatButton(page, QStringLiteral("SpeedButton5"), QStringLiteral("Link löschen"), {152, 168, 97, 25});
    Edit3 = AddEdit(page, QStringLiteral("Edit3"), QStringLiteral("Link"), {16, 208, 233, 21});
    AddCaption(page, QStringLiteral("Verweistext:"), Edit3);
    Edit4 = AddEdit(page, QStringLiteral("Edit4"), QStringLiteral("verweisziel.html"), {16, 248, 233, 21});
    AddCaption(page, QStringLiteral("Verweisziel:"), Edit4);
    Dots = AddCheck(page, QStringLiteral("Dots"), QStringLiteral("Dots"), false, {16, 272, 97, 17});
    Edit6 = AddEdit(page, QStringLiteral("Edit6"), QStringLiteral("dot.jpg"), {16, 296, 233, 21});

    lh = AddCheck(page, QStringLiteral("lh"), QStringLiteral("Link-Hintergrund"), false, {272, 72, 105, 17});
    Edit7 = AddEdit(page, QStringLiteral("Edit7"), QStringLiteral("lbg.jpg"), {272, 112, 177, 21});
    AddCaption(page, QStringLiteral("Bild:"), Edit7);
    SiteLinks = AddCheck(page, QStringLiteral("SiteLinks"), QStringLiteral("Links auf allen Seiten gleich"), false,
                         {272, 184, 185, 17});
    SiteLinks->setToolTip(
        QStringLiteral("Ändert „Fertig“ die Links, bekommen auch die anderen Seiten dieses "
                       "Ordners, die bis dahin dieselben Links hatten, die neuen (nach einer Frage)."));
    SpeedButton21 =
        AddFlatButton(page, QStringLiteral("SpeedButton21"), QStringLiteral("Seite bearbeiten"), {272, 144, 145, 25});
    // The list's own menu offers it too. The key is shown, not bound here:
    // the window's Ctrl+E holds it.
    auto* editPage = new QAction(QStringLiteral("Seite bearbeiten\tStrg+E"), ListBox2);
    editPage->setObjectName(QStringLiteral("EditPageAction"));
    ListBox2->addAction(editPage);
    ListBox2->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(editPage, &QAction::triggered, SpeedButton21, &QToolButton::click);
    SpinEdit2 = AddSpin(page, QStringLiteral("SpinEdit2"), QStringLiteral("0"), {272, 280, 121, 22});
    AddCaption(page, QStringLiteral("Minimalbreite:"), SpinEdit2);

    AddHint(page, {QStringLiteral("Klicken Sie auf die Registrierlasche"), QStringLiteral("Text, um fortzufahren.")},
            328);
    Memo3 = AddHelpPanel(page, QStringLiteral("Memo3"), help::LinksHelp());

    ChainTabOrder({Memo3, Edit3, Dots, Edit4, ListBox2, Edit6, Edit7, lh, SiteLinks, SpinEdit2});
}
