#include "wizard/page_controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <algorithm>
#include <limits>

#include "ui/list_box.h"
#include "ui/spin_edit.h"
#include "ui/window_look.h"

namespace pagecontrols {
namespace {

constexpr int kPageHeight = 365;
constexpr int kHelpPanelLeft = 546;
constexpr int kHelpPanelWidth = 209;
constexpr int kHintLeft = 296;
constexpr int kHintLineStep = 16;
constexpr int kListRowHeight = 13;
// Captions stand this far above their control, flush with its left edge.
constexpr int kCaptionRise = 16;

// List rows keep the design's 13 pixels whatever the substituted font's
// natural height is.
class TFixedRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(kListRowHeight);
        return size;
    }
    // An entry edited in place keeps its whole text: Qt's editor would cut
    // it at 32767 characters.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(editor)) edit->setMaxLength(std::numeric_limits<int>::max());
        return editor;
    }
};

// A click anywhere on a check box or radio button toggles it, not only on
// the box and the caption's text.
class TWholeAreaCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

class TWholeAreaRadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// Outside a dialog the default flag of a push button only sets its look; the
// window routes Enter itself. Qt takes the flag from an auto-default button
// whenever it loses the focus, so it is given back. Auto-default stays on,
// since some styles draw the default frame only around an auto-default
// button.
class TDefaultLookButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void focusOutEvent(QFocusEvent* event) override {
        QPushButton::focusOutEvent(event);
        setDefault(true);
    }
};

// Of a radio group only the checked button is a Tab stop. Qt moves the stop
// to a button when it gains the focus; this keeps it on the checked one also
// when a button is checked without being focused.
void MakeTabStopOfGroup(QAbstractButton* stop) {
    for (QAbstractButton* radio : stop->group()->buttons())
        radio->setFocusPolicy(radio == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

template <typename TControl>
TControl* Place(TControl* control, const QString& name, const QRect& geometry) {
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

// Every list of the wizard looks the same, whatever fills it.
template <typename TList>
TList* LookLikeList(TList* list) {
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFrameShape(QFrame::NoFrame);
    list->setUniformItemSizes(true);
    list->setItemDelegate(new TFixedRowDelegate(list));
    ui::SetBaseToBackground(list);
    return list;
}

}  // namespace

QWidget* AddPage(QTabWidget* tabs, const QString& name, const QString& caption) {
    auto* page = new QWidget;
    page->setObjectName(name);
    tabs->addTab(page, caption);
    return page;
}

void ChainTabOrder(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous != nullptr) QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

QLabel* AddLabel(QWidget* parent, const QString& caption, int left, int top) {
    auto* label = new QLabel(caption, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLabel* AddCaption(QWidget* parent, const QString& caption, QWidget* control) {
    QLabel* label = AddLabel(parent, caption, control->x(), control->y() - kCaptionRise);
    // The buddy and the name are how assistive tools find the caption.
    label->setBuddy(control);
    QString name = caption;
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    control->setAccessibleName(name.trimmed());
    return label;
}

QLabel* AddTitle(QWidget* page, const QString& name, const QString& caption, int width, int height) {
    auto* title = Place(new QLabel(caption, page), name, QRect(16, 8, width, height));
    title->setFont(ui::PixelFont(QStringLiteral("Times New Roman"), 48, ui::Italic | ui::Underline));
    ui::SetTextColor(title, Qt::black);
    return title;
}

void AddHint(QWidget* page, const QStringList& lines, int firstTop) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QLabel* line = AddLabel(page, lines[i], kHintLeft, firstTop + static_cast<int>(i) * kHintLineStep);
        line->setObjectName(QStringLiteral("Hint%1_%2").arg(page->objectName()).arg(i + 1));
    }
}

QPlainTextEdit* AddHelpPanel(QWidget* page, const QString& name, const QStringList& lines) {
    auto* panel = Place(new QPlainTextEdit(page), name, QRect(kHelpPanelLeft, 0, kHelpPanelWidth, kPageHeight));
    panel->setReadOnly(true);
    panel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    panel->setTabChangesFocus(true);
    panel->setFrameShape(QFrame::NoFrame);
    panel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    panel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panel->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The help lines were broken for a narrower font; with the usual 4-pixel
    // margin many of them would wrap once more and leave a word alone.
    panel->document()->setDocumentMargin(1);
    ui::SetBaseToBackground(panel);
    panel->setPlainText(lines.join(QLatin1Char('\n')));
    panel->moveCursor(QTextCursor::Start);
    return panel;
}

QLineEdit* AddEdit(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    auto* edit = Place(new QLineEdit(text, parent), name, geometry);
    // Qt cuts an edit's text at 32767 characters unless told otherwise; a
    // longer paste would lose its end without a word.
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

QButtonGroup* AddRadioGroup(QWidget* owner) {
    return new QButtonGroup(owner);
}

QRadioButton* AddRadio(QWidget* parent, QButtonGroup* group, const QString& name, const QString& caption, bool checked,
                       const QRect& geometry) {
    auto* radio = Place(new TWholeAreaRadioButton(caption, parent), name, geometry);
    group->addButton(radio);
    if (!checked && group->checkedButton() != nullptr) radio->setFocusPolicy(Qt::ClickFocus);
    QObject::connect(radio, &QRadioButton::toggled, radio, [radio](bool nowChecked) {
        if (nowChecked) MakeTabStopOfGroup(radio);
    });
    radio->setChecked(checked);
    return radio;
}

QCheckBox* AddCheck(QWidget* parent, const QString& name, const QString& caption, bool checked, const QRect& geometry) {
    auto* check = Place(new TWholeAreaCheckBox(caption, parent), name, geometry);
    // The layout's widths were made for a narrower font; a caption must not be cut.
    check->resize(std::max(geometry.width(), check->sizeHint().width()), geometry.height());
    check->setChecked(checked);
    return check;
}

ui::TSpinEdit* AddSpin(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    auto* spin = Place(new ui::TSpinEdit(parent), name, geometry);
    spin->setText(text);
    return spin;
}

QToolButton* AddFlatButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry) {
    auto* button = Place(new QToolButton(parent), name, geometry);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QPushButton* AddDefaultLookButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry) {
    auto* button = Place(new TDefaultLookButton(caption, parent), name, geometry);
    button->setAutoDefault(true);
    button->setDefault(true);
    return button;
}

ui::TListBox* AddList(QWidget* parent, const QString& name, const QRect& geometry) {
    return LookLikeList(Place(new ui::TListBox(parent), name, geometry));
}

QListView* AddListView(QWidget* parent, const QString& name, const QRect& geometry, QAbstractItemModel* model) {
    auto* list = LookLikeList(Place(new QListView(parent), name, geometry));
    model->setParent(list);
    list->setModel(model);
    return list;
}

}  // namespace pagecontrols
