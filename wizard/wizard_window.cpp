// The wizard window as a whole: its frame, the tab control with its pages,
// the wiring of the commands and the Enter key.

#include "wizard/wizard_window.h"

#include <QAbstractButton>
#include <QCheckBox>
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

namespace {

// Every handler the window has by name, on the event of its control.
void ConnectHandlers(TForm3& w) {
    using TCommand = void (TForm3::*)();
    const std::pair<QAbstractButton*, TCommand> clicks[] = {
        {w.SpeedButton2, &TForm3::SpeedButton2Click},
        {w.SpeedButton5, &TForm3::SpeedButton5Click},
        {w.Button1, &TForm3::Button1Click},
        {w.SpeedButton6, &TForm3::SpeedButton6Click},
        {w.BitBtn8, &TForm3::BitBtn8Click},
        {w.BitBtn1, &TForm3::BitBtn1Click},
        {w.SpeedButton7, &TForm3::SpeedButton7Click},
        {w.SpeedButton8, &TForm3::SpeedButton8Click},
        {w.SpeedButton3, &TForm3::SpeedButton3Click},
        {w.SpeedButton4, &TForm3::SpeedButton4Click},
        {w.SpeedButton9, &TForm3::SpeedButton9Click},
        {w.SpeedButton10, &TForm3::SpeedButton10Click},
        {w.SpeedButton11, &TForm3::SpeedButton11Click},
        {w.SpeedButton19, &TForm3::SpeedButton19Click},
        {w.SpeedButton12, &TForm3::SpeedButton12Click},
        {w.SpeedButton13, &TForm3::SpeedButton13Click},
        {w.SpeedButton14, &TForm3::SpeedButton14Click},
        {w.SpeedButton15, &TForm3::SpeedButton15Click},
        {w.SpeedButton16, &TForm3::SpeedButton16Click},
        {w.SpeedButton17, &TForm3::SpeedButton17Click},
        {w.SpeedButton18, &TForm3::SpeedButton18Click},
        {w.SpeedButton20, &TForm3::SpeedButton20Click},
        {w.SiteLinks, &TForm3::SiteLinksClick},
        {w.SpeedButton21, &TForm3::SpeedButton21Click},
    };
    for (const auto& [button, handler] : clicks) ui::ConnectGuarded(button, &QAbstractButton::clicked, &w, handler);
    const std::pair<QShortcut*, TCommand> keys[] = {
        {w.SaveKey, &TForm3::SpeedButton9Click},
        {w.NewEntryKey, &TForm3::NewEntryKeyPress},
        {w.LineBreakKey, &TForm3::LineBreakKeyPress},
        {w.EditPageKey, &TForm3::EditPageKeyPress},
    };
    ui::ConnectGuarded(w.PageControl1, &QTabWidget::currentChanged, &w, &TForm3::PageControl1Change);
    for (const auto& [key, handler] : keys) ui::ConnectGuarded(key, &QShortcut::activated, &w, handler);

    // A heading size button's command runs when it becomes checked, by
    // mouse or by arrow key, never when it is unchecked.
    const std::pair<QRadioButton*, TCommand> sizeButtons[] = {
        {w.RadioButton1, &TForm3::RadioButton1Click}, {w.RadioButton2, &TForm3::RadioButton2Click},
        {w.RadioButton3, &TForm3::RadioButton3Click}, {w.RadioButton4, &TForm3::RadioButton4Click},
        {w.RadioButton5, &TForm3::RadioButton5Click}, {w.RadioButton6, &TForm3::RadioButton6Click},
    };
    for (const auto& [button, handler] : sizeButtons) {
        QObject::connect(button, &QRadioButton::toggled, &w, [&w, handler](bool checked) {
            if (checked) ui::RunGuarded(&w, [&w, handler] { (w.*handler)(); });
        });
    }
}

}  // namespace

TForm3::TForm3(QWidget* parent) : QWidget(parent) {
    ui::SetUpFixedWindow(this, QStringLiteral("Assistent"), 191, 126, 763, 433);
    PageControl1 = ui::CreateTabControl(this, {0, 0, 763, 393}, {755, 365});
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    for (void (TForm3::*create)() :
         {&TForm3::CreatePage1, &TForm3::CreatePage2, &TForm3::CreatePage3, &TForm3::CreatePage4, &TForm3::CreatePage5,
          &TForm3::CreatePage7, &TForm3::CreateImagePickers, &TForm3::CreateKeys})
        (this->*create)();
    PageControl1->setCurrentWidget(TabSheet1);
    NameWizardControls(*this);
    ConnectHandlers(*this);
    ConnectLists();
    WatchChanges();
    ui::RunGuarded(this, [this] { FormCreate(); });
    MarkSaved();
    linkBaseline_ = DescribePage().Links;
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
