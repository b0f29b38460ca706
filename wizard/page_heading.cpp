// Page "Überschrift": document title, the heading with its size, colour,
// font and image, and the corner image.

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>

#include "ui/spin_edit.h"
#include "wizard/help_texts.h"
#include "wizard/page_controls.h"
#include "wizard/wizard_window.h"

using namespace pagecontrols;

void TForm3::CreatePage2() {
    TabSheet2 = AddPage(PageControl1, QStringLiteral("TabSheet2"), QStringLiteral("Überschrift"));
    QWidget* page = TabSheet2;
    Label11 = AddTitle(page, QStringLiteral("Label11"), QStringLiteral("Überschrift"), 221, 55);

    Edit2 = AddEdit(page, QStringLiteral("Edit2"), QStringLiteral("Neue Seite"), {16, 96, 233, 21});
    AddCaption(page, QStringLiteral("Überschrift1:"), Edit2);
    Edit5 = AddEdit(page, QStringLiteral("Edit5"), QStringLiteral("Neue Seite"), {16, 144, 233, 21});
    AddCaption(page, QStringLiteral("Überschrift2:"), Edit5);

    AddLabel(page, QStringLiteral("Größe (Überschrift 2):"), 16, 184);
    QButtonGroup* size = AddRadioGroup(page);
    RadioButton1 = AddRadio(page, size, QStringLiteral("RadioButton1"), QStringLiteral("1"), false, {16, 208, 41, 17});
    RadioButton2 = AddRadio(page, size, QStringLiteral("RadioButton2"), QStringLiteral("2"), false, {56, 208, 41, 17});
    RadioButton3 = AddRadio(page, size, QStringLiteral("RadioButton3"), QStringLiteral("3"), true, {96, 208, 41, 17});
    RadioButton4 = AddRadio(page, size, QStringLiteral("RadioButton4"), QStringLiteral("4"), false, {136, 208, 41, 17});
    RadioButton5 = AddRadio(page, size, QStringLiteral("RadioButton5"), QStringLiteral("5"), false, {176, 208, 41, 17});
    RadioButton6 = AddRadio(page, size, QStringLiteral("RadioButton6"), QStringLiteral("6"), false, {216, 208, 41, 17});

    Edit20 = AddEdit(page, QStringLiteral("Edit20"), QStringLiteral("#000000"), {16, 248, 121, 21});
    AddCaption(page, QStringLiteral("Schriftfarbe (RRGGBB):"), Edit20);
    Edit21 = AddEdit(page, QStringLiteral("Edit21"), QStringLiteral("Arial"), {16, 296, 121, 21});
    AddCaption(page, QStringLiteral("Schriftart:"), Edit21);

    Edit8 = AddEdit(page, QStringLiteral("Edit8"), QStringLiteral("bild.jpg"), {280, 96, 169, 21});
    AddCaption(page, QStringLiteral("Bild:"), Edit8);
    eck = AddCheck(page, QStringLiteral("eck"), QStringLiteral("Eckbild"), false, {280, 128, 169, 17});
    Edit9 = AddEdit(page, QStringLiteral("Edit9"), QStringLiteral("eckbild.jpg"), {280, 168, 169, 21});
    AddCaption(page, QStringLiteral("Bild:"), Edit9);
    SpinEdit1 = AddSpin(page, QStringLiteral("SpinEdit1"), QStringLiteral("0"), {280, 216, 169, 22});
    AddCaption(page, QStringLiteral("Minimale Höhe:"), SpinEdit1);

    AddHint(page, {QStringLiteral("Klicken Sie auf die Registrierlasche"), QStringLiteral("Links, um fortzufahren.")},
            328);
    Memo2 = AddHelpPanel(page, QStringLiteral("Memo2"), help::HeadingHelp());

    ChainTabOrder({Memo2, RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5, RadioButton6, Edit2,
                   Edit5, Edit8, eck, Edit9, SpinEdit1, Edit20, Edit21});
}
