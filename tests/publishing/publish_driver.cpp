#include "publishing/publish_driver.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include "gui_test_support.h"
#include "wizard/wizard_window.h"

namespace publishtest {

TBoxes Answering(const std::function<void()>& action, const QStringList& answers) {
    TBoxes seen;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        const QString answer = seen.texts.size() < answers.size() ? answers.at(seen.texts.size()) : QString();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.texts.append(box->text());
            for (QAbstractButton* button : box->buttons())
                if (button->text() == answer) {
                    QTest::mouseClick(button, Qt::LeftButton);
                    return;
                }
        } else if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            seen.texts.append(input->labelText());
            if (!answer.isEmpty() && answer != QStringLiteral("Escape")) {
                input->setTextValue(answer);
                input->accept();
                return;
            }
        } else {
            seen.texts.append(modal->windowTitle());
        }
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    poll.start();
    action();
    return seen;
}

TPublishDriver::TPublishDriver() {
    start.show();
    testsupport::Click(start.SpeedButton2);
    wizard = start.Wizard();
}

QWidget* TPublishDriver::Open() {
    testsupport::ShowPage(wizard, QStringLiteral("TabSheet7"));
    testsupport::Click(wizard->SpeedButton19);
    window = start.Publishing().Window();
    if (window == nullptr) throw std::runtime_error("no window \"Veröffentlichen\"");
    return window;
}

void TPublishDriver::Type(const char* field, const QString& text) {
    testsupport::Retype(testsupport::Find(window, QString::fromLatin1(field)), text);
}

TBoxes TPublishDriver::Publish(const QStringList& answers) {
    auto* label = testsupport::Find<QPlainTextEdit>(window, QStringLiteral("Label8"));
    auto* cancel = testsupport::Find<QPushButton>(window, QStringLiteral("BitBtn3"));
    return Answering(
        [&] {
            testsupport::Click(testsupport::Find(window, QStringLiteral("BitBtn1")));
            // Started, it runs until the result line shows.
            const QDeadlineTimer deadline(60000);
            while (cancel->isVisible() && label->toPlainText().isEmpty() && !deadline.hasExpired()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                QThread::msleep(5);
            }
        },
        answers);
}

QString TPublishDriver::ResultLine() {
    return testsupport::Find<QPlainTextEdit>(window, QStringLiteral("Label8"))->toPlainText();
}

}  // namespace publishtest
