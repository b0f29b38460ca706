#include "ui/spin_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/page_description.h"
#include "ui/text_boundary.h"

namespace ui {
namespace {

// A held arrow repeats after 400 ms, then every 100 ms.
class TSpinRepeatStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_SpinBox_ClickAutoRepeatThreshold) return 400;
        if (hint == SH_SpinBox_ClickAutoRepeatRate) return 100;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// One style for all spin fields; the application owns it.
QStyle* SpinRepeatStyle() {
    static QPointer<QStyle> shared;
    if (shared.isNull()) {
        shared = new TSpinRepeatStyle(QStyleFactory::create(QApplication::style()->name()));
        shared->setParent(QCoreApplication::instance());
    }
    return shared;
}

// The decimal separator is the locale's, and only that one.
bool IsNumberCharacter(QChar ch, const QString& decimalPoint) {
    return (ch >= u'0' && ch <= u'9') || ch == u'+' || ch == u'-' || decimalPoint == QString(ch);
}

bool IsEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

bool IsPageKey(const QKeyEvent& event) {
    return event.key() == Qt::Key_PageUp || event.key() == Qt::Key_PageDown;
}

// A key that would insert text, as opposed to a control key or a shortcut.
bool TypesCharacters(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty() || text.front().category() == QChar::Other_Control) return false;
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    return modifiers != Qt::ControlModifier && modifiers != (Qt::ControlModifier | Qt::ShiftModifier);
}

bool TypesOnlyNumberCharacters(const QString& text) {
    const QString decimalPoint = QLocale().decimalPoint();
    return std::all_of(text.begin(), text.end(), [&](QChar ch) { return IsNumberCharacter(ch, decimalPoint); });
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setStyle(SpinRepeatStyle());
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Paste is unfiltered, and Qt's edit would cut it at 32767 characters.
    lineEdit()->setMaxLength(std::numeric_limits<int>::max());
}

QString TSpinEdit::text() const {
    return lineEdit()->text();
}

void TSpinEdit::setText(const QString& text) {
    lineEdit()->setText(text);
}

std::int32_t TSpinEdit::value() const {
    return core::ReadSpinValue(ToAnsi(text()));
}

void TSpinEdit::stepBy(int steps) {
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    const std::int64_t next = std::clamp(std::int64_t{value()} + steps, lowest, highest);
    setText(QString::number(next));
    if (style()->styleHint(QStyle::SH_SpinBox_SelectOnStep, nullptr, this)) selectAll();
}

// Whatever the text holds is kept; it is read only when needed.
QValidator::State TSpinEdit::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

void TSpinEdit::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(*event)) {
        // The field itself refuses Enter, but the window still routes it to
        // its default button.
        Beep();
        event->ignore();
        return;
    }
    if (IsPageKey(*event)) {
        // Only the arrows and the Up and Down keys step, and always by one;
        // the page keys do here what they do in a plain edit: nothing.
        event->ignore();
        return;
    }
    if (TypesCharacters(*event) && !TypesOnlyNumberCharacters(event->text())) {
        event->accept();
        Beep();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void TSpinEdit::Beep() {
    QApplication::beep();
    emit beeped();
}

void TSpinEdit::mousePressEvent(QMouseEvent* event) {
    QAbstractSpinBox::mousePressEvent(event);
    // The base class accepts a press only when it hits an arrow.
    if (event->button() == Qt::LeftButton && event->isAccepted()) setFocus(Qt::MouseFocusReason);
}

}  // namespace ui
