#include "gui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace testsupport {

void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void Type(QWidget* widget, const QString& text) {
    for (QChar ch : text) {
        // QTest::keyClicks cannot send characters outside Latin-1 letters.
        if (ch.unicode() < 0x80 && ch.isPrint())
            QTest::keyClick(widget, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void Retype(QWidget* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    Type(edit, text);
}

void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(widget, static_cast<Qt::Key>(key), modifiers);
}

void ShowPage(QWidget* window, const QString& pageName) {
    auto* tabs = window->findChild<QTabWidget*>();
    if (tabs == nullptr) throw std::runtime_error("no tab control");
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->widget(i)->objectName() == pageName) {
            QTabBar* bar = tabs->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(i).center());
            if (tabs->currentIndex() != i) throw std::runtime_error("tab click did not show page");
            return;
        }
    }
    throw std::runtime_error("no page named " + pageName.toStdString());
}

void ShowPageHolding(QWidget* control) {
    auto* tabs = control->window()->findChild<QTabWidget*>();
    if (tabs == nullptr) throw std::runtime_error("no tab control");
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i)->isAncestorOf(control)) return ShowPage(control->window(), tabs->widget(i)->objectName());
    throw std::runtime_error("no page holds " + control->objectName().toStdString());
}

TUrlCatcher::TUrlCatcher() {
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open");
}

TUrlCatcher::~TUrlCatcher() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

TMessageBoxSeen WithMessageBox(const std::function<void()>& action, const QString& answer) {
    TMessageBoxSeen seen;
    auto* poll = new QTimer;
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [&seen, &answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        if (++seen.shown > 1) {
            box->accept();
            return;
        }
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.errorIcon = box->icon() == QMessageBox::Critical;
        seen.questionIcon = box->icon() == QMessageBox::Question;
        for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
        if (box->defaultButton() != nullptr) seen.defaultButton = box->defaultButton()->text();
        if (box->escapeButton() != nullptr) seen.escapeButton = box->escapeButton()->text();
        seen.plainText = box->textFormat() == Qt::PlainText;
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons())
            if (button->text() == answer) chosen = button;
        if (chosen != nullptr)
            QTest::mouseClick(chosen, Qt::LeftButton);
        else
            box->accept();
    });
    poll->start();
    action();
    poll->stop();
    delete poll;
    return seen;
}

bool WithFileDialog(const std::function<void()>& action, const QString& fileName, QStringList* buttons) {
    bool seen = false;
    auto* poll = new QTimer;
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [&seen, &fileName, buttons, poll] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        seen = true;
        poll->stop();
        if (buttons != nullptr)
            for (const QPushButton* button : dialog->findChildren<QPushButton*>())
                *buttons << button->text().remove(QLatin1Char('&'));
        if (fileName.isEmpty()) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        // Should the dialog not take the name, it is closed so the test fails
        // instead of waiting for ever.
        QTimer::singleShot(5000, dialog, &QDialog::reject);
        auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        if (nameEdit == nullptr || buttons == nullptr) {
            dialog->reject();
            return;
        }
        nameEdit->setFocus();
        nameEdit->setText(fileName);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
    });
    poll->start();
    action();
    poll->stop();
    delete poll;
    return seen;
}

}  // namespace testsupport
