// The wizard window as a whole: its frame, the tab control with its pages,
// the finish button, the wiring of the commands and the Enter key.

#include "wizard/wizard_window.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <utility>

#include "ui/error_display.h"
#include "ui/list_box.h"
#include "ui/tab_control.h"
#include "ui/window_look.h"
#include "wizard/accessible_names.h"
#include "wizard/page_controls.h"

TForm3::TForm3(QWidget* parent) : QWidget(parent) {
    ui::SetUpFixedWindow(this, QStringLiteral("Assistent"), 191, 126, 763, 433);

    PageControl1 = ui::CreateTabControl(this, {0, 0, 763, 393}, {755, 365});
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    CreatePage1();
    CreatePage2();
    CreatePage3();
    CreatePage4();
    CreatePage5();
    CreatePage7();
    CreateImagePickers();
    PageControl1->setCurrentWidget(TabSheet1);
    NameWizardControls(*this);

    SpeedButton9 = pagecontrols::AddFlatButton(this, QStringLiteral("SpeedButton9"),
                                               QStringLiteral("F     E     R     T     I     G"), {0, 400, 761, 30});
    SpeedButton9->setFont(ui::PixelFont(QStringLiteral("MS Sans Serif"), 19, ui::Bold | ui::Italic));
    ui::SetTextColor(SpeedButton9, ui::TitleGreen());
    CreateKeys();

    ConnectHandlers();
    WatchChanges();
    ui::RunGuarded(this, [this] { FormCreate(); });
    MarkSaved();
}

void TForm3::ConnectHandlers() {
    ui::ConnectGuarded(SpeedButton2, &QToolButton::clicked, this, &TForm3::SpeedButton2Click);
    ui::ConnectGuarded(SpeedButton5, &QToolButton::clicked, this, &TForm3::SpeedButton5Click);
    ui::ConnectGuarded(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    ui::ConnectGuarded(SpeedButton6, &QToolButton::clicked, this, &TForm3::SpeedButton6Click);
    ui::ConnectGuarded(BitBtn8, &QPushButton::clicked, this, &TForm3::BitBtn8Click);
    ui::ConnectGuarded(BitBtn1, &QPushButton::clicked, this, &TForm3::BitBtn1Click);
    ui::ConnectGuarded(SpeedButton7, &QToolButton::clicked, this, &TForm3::SpeedButton7Click);
    ui::ConnectGuarded(SpeedButton8, &QToolButton::clicked, this, &TForm3::SpeedButton8Click);
    ui::ConnectGuarded(SpeedButton3, &QToolButton::clicked, this, &TForm3::SpeedButton3Click);
    ui::ConnectGuarded(SpeedButton4, &QToolButton::clicked, this, &TForm3::SpeedButton4Click);
    ui::ConnectGuarded(SpeedButton9, &QToolButton::clicked, this, &TForm3::SpeedButton9Click);
    ui::ConnectGuarded(SpeedButton10, &QToolButton::clicked, this, &TForm3::SpeedButton10Click);
    ui::ConnectGuarded(SpeedButton11, &QToolButton::clicked, this, &TForm3::SpeedButton11Click);
    ui::ConnectGuarded(SpeedButton19, &QToolButton::clicked, this, &TForm3::SpeedButton19Click);
    ui::ConnectGuarded(SaveKey, &QShortcut::activated, this, &TForm3::SpeedButton9Click);
    ui::ConnectGuarded(NewEntryKey, &QShortcut::activated, this, &TForm3::NewEntryKeyPress);
    ui::ConnectGuarded(LineBreakKey, &QShortcut::activated, this, &TForm3::LineBreakKeyPress);
    ConnectLists();
    ui::ConnectGuarded(SpeedButton12, &QToolButton::clicked, this, &TForm3::SpeedButton12Click);
    ui::ConnectGuarded(SpeedButton13, &QToolButton::clicked, this, &TForm3::SpeedButton13Click);
    ui::ConnectGuarded(SpeedButton14, &QToolButton::clicked, this, &TForm3::SpeedButton14Click);
    ui::ConnectGuarded(SpeedButton15, &QToolButton::clicked, this, &TForm3::SpeedButton15Click);
    ui::ConnectGuarded(SpeedButton16, &QToolButton::clicked, this, &TForm3::SpeedButton16Click);
    ui::ConnectGuarded(SpeedButton17, &QToolButton::clicked, this, &TForm3::SpeedButton17Click);
    ui::ConnectGuarded(SpeedButton18, &QToolButton::clicked, this, &TForm3::SpeedButton18Click);

    // A heading size button's command runs when it becomes checked, by
    // mouse or by arrow key, never when it is unchecked.
    const std::pair<QRadioButton*, void (TForm3::*)()> sizeButtons[] = {
        {RadioButton1, &TForm3::RadioButton1Click}, {RadioButton2, &TForm3::RadioButton2Click},
        {RadioButton3, &TForm3::RadioButton3Click}, {RadioButton4, &TForm3::RadioButton4Click},
        {RadioButton5, &TForm3::RadioButton5Click}, {RadioButton6, &TForm3::RadioButton6Click},
    };
    for (const auto& [button, handler] : sizeButtons) {
        connect(button, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked) ui::RunGuarded(this, [this, handler] { (this->*handler)(); });
        });
    }
}

void TForm3::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Enter reaches the window only when the focused control passed it on
    // (edits, spin fields, lists, check boxes); a focused push button has
    // already pressed itself. The help panels keep Enter to themselves.
    event->accept();
    if (PageControl1->currentWidget() != TabSheet4) return;
    // The Enter that ends editing a line in place ends nothing else; Qt's
    // list keeps it today, and this holds should it ever pass it on.
    if (ListBox1->IsEditing()) return;
    QWidget* focus = focusWidget();
    if (qobject_cast<QPlainTextEdit*>(focus) != nullptr || qobject_cast<QPushButton*>(focus) != nullptr) return;
    Button1->click();
}
