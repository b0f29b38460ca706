// Page "Allgemeine Einstellungen": background, output file name, link
// colours, page margins, and the page made for phones and screen readers.

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QToolButton>

#include "ui/spin_edit.h"
#include "wizard/help_texts.h"
#include "wizard/page_controls.h"
#include "wizard/wizard_window.h"

using namespace pagecontrols;

void TForm3::CreatePage1() {
    TabSheet1 = AddPage(PageControl1, QStringLiteral("TabSheet1"), QStringLiteral("Allgemeine Einstellungen"));
    QWidget* page = TabSheet1;
    Label10 = AddTitle(page, QStringLiteral("Label10"), QStringLiteral("A. Einstellungen"), 315, 55);

    AddLabel(page, QStringLiteral("Hintergrund:"), 16, 80);
    QButtonGroup* background = AddRadioGroup(page);
    hgb = AddRadio(page, background, QStringLiteral("hgb"), QStringLiteral("Hintergrundbild"), true, {16, 96, 113, 17});
    hgf = AddRadio(page, background, QStringLiteral("hgf"), QStringLiteral("Hintergrundfarbe"), false,
                   {16, 112, 113, 17});
    Edit1 = AddEdit(page, QStringLiteral("Edit1"), QStringLiteral("hintergrund.jpg"), {16, 160, 169, 21});
    AddCaption(page, QStringLiteral("Dateiname:"), Edit1);
    Edit14 = AddEdit(page, QStringLiteral("Edit14"), QStringLiteral("#FFFFFF"), {16, 208, 169, 21});
    AddCaption(page, QStringLiteral("Farbe (RRGGBB):"), Edit14);

    GroupBox1 = new QGroupBox(QStringLiteral("Website"), page);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(16, 240, 169, 113);
    // The usual style sets a group's caption above its frame, where the frame
    // runs through the "Dateiname:" label inside; the classic style sets the
    // caption into the frame line. The style does not pass on to the children.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        classic->setParent(GroupBox1);
        GroupBox1->setStyle(classic);
    }
    Edit19 = AddEdit(GroupBox1, QStringLiteral("Edit19"), QStringLiteral("index"), {8, 32, 153, 21});
    AddCaption(GroupBox1, QStringLiteral("Dateiname:"), Edit19);
    QButtonGroup* extension = AddRadioGroup(GroupBox1);
    html = AddRadio(GroupBox1, extension, QStringLiteral("html"), QStringLiteral("Html"), true, {96, 64, 65, 17});
    htm = AddRadio(GroupBox1, extension, QStringLiteral("htm"), QStringLiteral("Htm"), false, {96, 80, 65, 17});
    SpeedButton20 =
        AddFlatButton(GroupBox1, QStringLiteral("SpeedButton20"), QStringLiteral("Ordner…"), {8, 64, 81, 21});
    SpeedButton20->setToolTip(QDir::toNativeSeparators(QDir::currentPath()));

    AddLabel(page, QStringLiteral("CSS Style Sheets:"), 224, 80);
    CSS =
        AddCheck(page, QStringLiteral("CSS"), QStringLiteral("CSS Style sheets verwenden"), false, {224, 96, 177, 17});
    AddLabel(page, QStringLiteral("Farben (RRGGBB):"), 224, 120);
    Edit15 = AddEdit(page, QStringLiteral("Edit15"), QStringLiteral("#000000"), {224, 152, 121, 21});
    AddCaption(page, QStringLiteral("Link:"), Edit15);
    Edit16 = AddEdit(page, QStringLiteral("Edit16"), QStringLiteral("#000000"), {224, 200, 121, 21});
    AddCaption(page, QStringLiteral("Besuchter Link:"), Edit16);
    Edit17 = AddEdit(page, QStringLiteral("Edit17"), QStringLiteral("#000000"), {224, 248, 121, 21});
    AddCaption(page, QStringLiteral("Maus überm Link:"), Edit17);
    Edit18 = AddEdit(page, QStringLiteral("Edit18"), QStringLiteral("#000000"), {224, 296, 121, 21});
    AddCaption(page, QStringLiteral("Aktiver Link:"), Edit18);
    fett = AddCheck(page, QStringLiteral("fett"), QStringLiteral("Fett"), true, {224, 328, 41, 17});

    AddLabel(page, QStringLiteral("Entfernung zum Bildschirmrand:"), 360, 120);
    SpinEdit4 = AddSpin(page, QStringLiteral("SpinEdit4"), QStringLiteral("0"), {360, 152, 121, 22});
    AddCaption(page, QStringLiteral("Horizontal:"), SpinEdit4);
    SpinEdit5 = AddSpin(page, QStringLiteral("SpinEdit5"), QStringLiteral("0"), {360, 200, 121, 22});
    AddCaption(page, QStringLiteral("Vertikal:"), SpinEdit5);

    // Below the margins, the column's free space above the hint.
    handy = AddCheck(page, QStringLiteral("handy"), QStringLiteral("Für Handys"), false, {360, 240, 177, 17});
    handy->setToolTip(
        QStringLiteral("Die Seite wird auf Handys so breit wie der Bildschirm angelegt, statt verkleinert zu werden,\n"
                       "und kein Bild wird breiter als der Bildschirm (eine Regel im Style-Block,\n"
                       "der dafür auch ohne „CSS Style sheets verwenden“ geschrieben wird)."));
    alttext = AddCheck(page, QStringLiteral("alttext"), QStringLiteral("Bildbeschreibungen (alt)"), false,
                       {360, 264, 177, 17});
    alttext->setToolTip(
        QStringLiteral("Jedes Bild bekommt eine Beschreibung (alt), die Screenreader vorlesen:\n"
                       "Bilder der Bildliste ihren Bildtext, alle anderen Bilder eine leere,\n"
                       "die sie als Schmuck überspringen lässt."));

    AddHint(page,
            {QStringLiteral("Klicken Sie auf die Registrierlasche"), QStringLiteral("Überschrift, um fortzufahren.")},
            328);
    Memo1 = AddHelpPanel(page, QStringLiteral("Memo1"), help::GeneralSettingsHelp());

    ChainTabOrder({Edit1, Memo1, hgb, hgf, Edit14, Edit15, Edit16, Edit17, Edit18, fett, CSS, html, htm, Edit19,
                   SpinEdit4, SpinEdit5, handy, alttext});
}
