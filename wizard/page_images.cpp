// Page "Bilder" (the image column under the links) and page "HTML Code"
// (the code view, the button that shows the page in the browser and the
// line naming the files the page misses).

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/elided_label.h"
#include "ui/list_box.h"
#include "ui/spin_edit.h"
#include "wizard/code_view_model.h"
#include "wizard/help_texts.h"
#include "wizard/page_controls.h"
#include "wizard/wizard_window.h"

using namespace pagecontrols;

namespace {
constexpr int kMissingFilesLeft = 300;
}  // namespace

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

void TForm3::CreatePage7() {
    TabSheet7 = AddPage(PageControl1, QStringLiteral("TabSheet7"), QStringLiteral("HTML Code"));
    // The code view fills the page and follows its size, but for the strip
    // of the button below it.
    ListBox4 = AddListView(TabSheet7, QStringLiteral("ListBox4"), TabSheet7->rect(), new TCodeViewModel);
    SpeedButton10 = AddFlatButton(TabSheet7, QStringLiteral("SpeedButton10"), QStringLiteral("Im Browser ansehen"),
                                  {0, 340, 145, 25});
    SpeedButton10->setFixedSize(SpeedButton10->size());
    // Nothing to look at before a finish has written the page.
    SpeedButton10->setEnabled(false);
    Label21 = new ui::TElidedLabel(TabSheet7);
    Label21->setObjectName(QStringLiteral("Label21"));
    Label21->setFixedHeight(SpeedButton10->height());
    auto* fill = new QVBoxLayout(TabSheet7);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->setSpacing(0);
    fill->addWidget(ListBox4);
    // The strip below the view: buttons from the left, the line of missing
    // files from x = 300 to the page's right edge.
    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(0, 0, 0, 0);
    strip->setSpacing(0);
    strip->addWidget(SpeedButton10);
    strip->addSpacing(kMissingFilesLeft - SpeedButton10->width());
    strip->addWidget(Label21, 1);
    fill->addLayout(strip);
}
