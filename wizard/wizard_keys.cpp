// The finish button below the pages, the keys that reach the wizard's
// commands from anywhere in the window, and the tooltips that name them. The keys bound to a list (F2, Delete,
// Alt+Up/Down) work only while the list has the focus; see ui::TListBox.

#include <QKeySequence>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>

#include "ui/elided_label.h"
#include "ui/window_look.h"
#include "wizard/page_controls.h"
#include "wizard/wizard_window.h"

void TForm3::CreateKeys() {
    SpeedButton9 = pagecontrols::AddFlatButton(this, QStringLiteral("SpeedButton9"),
                                               QStringLiteral("F     E     R     T     I     G"), {0, 400, 761, 30});
    SpeedButton9->setFont(ui::PixelFont(QStringLiteral("MS Sans Serif"), 19, ui::Bold | ui::Italic));
    ui::SetTextColor(SpeedButton9, ui::TitleGreen());
    // Right of the caption, inside the strip, where the user looks before
    // finishing; a click there still finishes.
    Label22 = new ui::TElidedLabel(this);
    Label22->setObjectName(QStringLiteral("Label22"));
    Label22->setGeometry(520, 400, 233, 30);
    Label22->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label22->setAttribute(Qt::WA_TransparentForMouseEvents);
    SaveKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    NewEntryKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_N), this);
    LineBreakKey = new QShortcut(this);
    // Return on the main block, Enter on the keypad.
    LineBreakKey->setKeys({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    EditPageKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this);

    SpeedButton2->setToolTip(QStringLiteral("Neuer Link (Alt+N)"));
    SpeedButton5->setToolTip(QStringLiteral("Link löschen (Entf in der Liste)"));
    SpeedButton21->setToolTip(QStringLiteral("Die Seite des gewählten Links bearbeiten (Strg+E)"));
    SpeedButton6->setToolTip(QStringLiteral("Zeilenumbruch (Strg+Eingabe)"));
    SpeedButton7->setToolTip(QStringLiteral("Zeile löschen (Entf in der Liste)"));
    SpeedButton3->setToolTip(QStringLiteral("Neues Bild (Alt+N)"));
    SpeedButton4->setToolTip(QStringLiteral("Bild löschen (Entf in der Liste)"));
    SpeedButton9->setToolTip(QStringLiteral("Seite erzeugen und speichern (Strg+S)"));
}

void TForm3::NewEntryKeyPress() {  // Alt+N
    QWidget* page = PageControl1->currentWidget();
    if (page == TabSheet3) SpeedButton2Click();
    if (page == TabSheet5) SpeedButton3Click();
}

void TForm3::LineBreakKeyPress() {  // Ctrl+Return
    if (PageControl1->currentWidget() == TabSheet4) SpeedButton6Click();
}
