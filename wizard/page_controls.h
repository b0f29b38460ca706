#pragma once

// Small builders for the wizard's page layout: each places one control with
// its name, caption and geometry, so that a page reads like its table.

#include <QRect>
#include <QString>
#include <QStringList>
#include <initializer_list>

class QAbstractItemModel;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QWidget;

namespace ui {
class TListBox;
class TSpinEdit;
}  // namespace ui

namespace pagecontrols {

// A new page behind its own tab.
QWidget* AddPage(QTabWidget* tabs, const QString& name, const QString& caption);
// The Tab key walks these controls in this order.
void ChainTabOrder(std::initializer_list<QWidget*> controls);

// A plain label sized to its caption.
QLabel* AddLabel(QWidget* parent, const QString& caption, int left, int top);
// The caption right above a control; the control is called by it.
QLabel* AddCaption(QWidget* parent, const QString& caption, QWidget* control);
// The page's big title at the top left.
QLabel* AddTitle(QWidget* page, const QString& name, const QString& caption, int width, int height);
// The lines telling the user where to go next; the first line at firstTop,
// one line every 16 pixels, named Hint<page>_<n>.
void AddHint(QWidget* page, const QStringList& lines, int firstTop);
// The read-only help panel along the page's right edge.
QPlainTextEdit* AddHelpPanel(QWidget* page, const QString& name, const QStringList& lines);

QLineEdit* AddEdit(QWidget* parent, const QString& name, const QString& text, const QRect& geometry);
// The buttons of one group exclude each other. An explicit group, because
// Qt's implicit one spans the parent's nested frames too.
QButtonGroup* AddRadioGroup(QWidget* owner);
QRadioButton* AddRadio(QWidget* parent, QButtonGroup* group, const QString& name, const QString& caption, bool checked,
                       const QRect& geometry);
QCheckBox* AddCheck(QWidget* parent, const QString& name, const QString& caption, bool checked, const QRect& geometry);
ui::TSpinEdit* AddSpin(QWidget* parent, const QString& name, const QString& text, const QRect& geometry);
// Flat buttons never take the keyboard focus.
QToolButton* AddFlatButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);
// A push button drawn as a default button. It takes Enter while it holds the
// focus; where Enter goes otherwise is up to the window.
QPushButton* AddDefaultLookButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);
ui::TListBox* AddList(QWidget* parent, const QString& name, const QRect& geometry);
// A list showing the model's rows, nothing more; the list owns the model.
QListView* AddListView(QWidget* parent, const QString& name, const QRect& geometry, QAbstractItemModel* model);

}  // namespace pagecontrols
