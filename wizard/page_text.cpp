// Page "Text": the body text, built line by line with inline line breaks,
// images and links.

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPolygonF>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include "ui/list_box.h"
#include "ui/toggle_group.h"
#include "ui/window_look.h"
#include "wizard/help_texts.h"
#include "wizard/page_controls.h"
#include "wizard/wizard_window.h"

using namespace pagecontrols;

namespace {

constexpr int kGlyphSize = 16;

// The green tick on the two "Einfügen" buttons.
QIcon CheckMarkGlyph() {
    QPixmap glyph(kGlyphSize, kGlyphSize);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ui::TitleGreen(), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.0, 12.5), QPointF(13.5, 3.5)}));
    painter.end();
    return QIcon(glyph);
}

QPushButton* AddInsertButton(QWidget* page, const QString& name, const QRect& geometry, const QIcon& glyph) {
    QPushButton* button = AddDefaultLookButton(page, name, QStringLiteral("Einfügen"), geometry);
    button->setIcon(glyph);
    button->setIconSize(QSize(kGlyphSize, kGlyphSize));
    return button;
}

}  // namespace

void TForm3::CreatePage4() {
    TabSheet4 = AddPage(PageControl1, QStringLiteral("TabSheet4"), QStringLiteral("Text"));
    QWidget* page = TabSheet4;
    Label20 = AddTitle(page, QStringLiteral("Label20"), QStringLiteral("Text"), 82, 55);

    // The window's default button: the window itself routes Enter to it
    // (see keyPressEvent).
    Button1 = AddDefaultLookButton(page, QStringLiteral("Button1"), QStringLiteral("Hinzufügen"), {16, 64, 217, 25});
    SpeedButton6 =
        AddFlatButton(page, QStringLiteral("SpeedButton6"), QStringLiteral("Zeilenumbruch"), {16, 88, 217, 25});
    Edit12 = AddEdit(page, QStringLiteral("Edit12"), QString(), {16, 120, 217, 21});
    ListBox1 = AddList(page, QStringLiteral("ListBox1"), {16, 144, 217, 121});
    SpeedButton7 =
        AddFlatButton(page, QStringLiteral("SpeedButton7"), QStringLiteral("Zeile löschen"), {144, 264, 89, 25});
    SpeedButton8 =
        AddFlatButton(page, QStringLiteral("SpeedButton8"), QStringLiteral("Alles löschen"), {144, 288, 89, 25});
    Edit24 = AddEdit(page, QStringLiteral("Edit24"), QStringLiteral("#000000"), {16, 288, 121, 21});
    AddCaption(page, QStringLiteral("Schriftfarbe (RRGGBB):"), Edit24);
    Edit25 = AddEdit(page, QStringLiteral("Edit25"), QStringLiteral("Arial"), {16, 336, 121, 21});
    AddCaption(page, QStringLiteral("Schriftart:"), Edit25);

    const QIcon glyph = CheckMarkGlyph();
    AddLabel(page, QStringLiteral("Bild einfügen:"), 264, 72);
    Edit13 = AddEdit(page, QStringLiteral("Edit13"), QString(), {264, 112, 121, 21});
    AddCaption(page, QStringLiteral("Bild:"), Edit13);
    AddLabel(page, QStringLiteral("Eigenschaften:"), 264, 144);
    l = AddFlatButton(page, QStringLiteral("l"), QStringLiteral("Linksbündig"), {264, 160, 121, 22});
    m = AddFlatButton(page, QStringLiteral("m"), QStringLiteral("Mittig"), {264, 184, 121, 22});
    r = AddFlatButton(page, QStringLiteral("r"), QStringLiteral("Rechtsbündig"), {264, 208, 121, 22});
    AlignmentGroup = new ui::TToggleGroup(this);
    AlignmentGroup->setObjectName(QStringLiteral("AlignmentGroup"));
    AlignmentGroup->addButton(l);
    AlignmentGroup->addButton(m);
    AlignmentGroup->addButton(r);
    BitBtn8 = AddInsertButton(page, QStringLiteral("BitBtn8"), {264, 240, 121, 25}, glyph);

    AddLabel(page, QStringLiteral("Link einfügen:"), 408, 72);
    Edit22 = AddEdit(page, QStringLiteral("Edit22"), QStringLiteral("Link"), {408, 112, 121, 21});
    AddCaption(page, QStringLiteral("Verweistext:"), Edit22);
    Edit23 = AddEdit(page, QStringLiteral("Edit23"), QStringLiteral("seite.html"), {408, 152, 121, 21});
    AddCaption(page, QStringLiteral("Verweisziel:"), Edit23);
    BitBtn1 = AddInsertButton(page, QStringLiteral("BitBtn1"), {408, 192, 121, 25}, glyph);

    AddHint(page, {QStringLiteral("Klicken Sie auf die Registrierlasche"), QStringLiteral("Bilder, um fortzufahren.")},
            328);
    Memo5 = AddHelpPanel(page, QStringLiteral("Memo5"), help::TextHelp());

    ChainTabOrder({Memo5, Edit12, Button1, ListBox1, Edit13, BitBtn8, Edit22, Edit23, BitBtn1, Edit24, Edit25});
}
