// The password of a login lives in the desktop's keyring only: remembered
// there, used the next time, in no file of the home; without a keyring the
// window says why it cannot remember it. Run by with_keyring.sh, in a home
// and a session bus of the test's own.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QThread>
#include <QToolButton>

#include "gui_test_support.h"
#include "publishing/publish_driver.h"
#include "support/files.h"
#include "support/sftp_servers.h"
#include "wizard/wizard_window.h"

namespace {

using publishtest::TPublishDriver;

const QString kPassword = QStringLiteral("Kennwort-für-Tavirel-4711");

// The files under HOME that hold these bytes.
QStringList FilesHolding(const QByteArray& bytes) {
    QStringList found;
    QDirIterator it(QDir::homePath(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(bytes)) found.append(file.fileName());
    }
    return found;
}

// A page with the default pictures beside it, finished.
void FinishPage(TPublishDriver& p) {
    testsupport::Retype(p.wizard->Edit19, QStringLiteral("seite/index"));
    testsupport::Click(p.wizard->SpeedButton9);
}

QLineEdit* Field(TPublishDriver& p, const char* name) {
    return testsupport::Find<QLineEdit>(p.window, QString::fromLatin1(name));
}

TEST(Keyring, RememberedPasswordIsUsedNextTimeAndIsInNoFile) {
    testsupport::TWorkDir dir;
    ASSERT_TRUE(testsupport::MakeDirectories("web"));
    ASSERT_TRUE(testsupport::MakeDirectories("seite"));
    ASSERT_TRUE(testsupport::WriteFileBytes("seite/hintergrund.jpg", "hintergrund"));
    ASSERT_TRUE(testsupport::WriteFileBytes("seite/bild.jpg", "bild"));
    testsupport::TRcloneSftpServer server(dir.path() + "/web", "anna", kPassword.toStdString());
    {
        TPublishDriver p;
        FinishPage(p);
        p.Open();
        auto* remember = testsupport::Find<QCheckBox>(p.window, QStringLiteral("CheckBox1"));
        ASSERT_TRUE(remember->isEnabled());
        p.Type("Edit1", QStringLiteral("127.0.0.1"));
        p.Type("Edit2", QString::number(server.port()));
        p.Type("Edit3", QStringLiteral("anna"));
        p.Type("Edit4", kPassword);
        testsupport::Click(remember);
        p.Publish({QStringLiteral("&Ja")});
        EXPECT_EQ(p.ResultLine(), QStringLiteral("3 Dateien übertragen, 0 unverändert"));
    }

    TPublishDriver p;
    FinishPage(p);
    p.Open();
    EXPECT_TRUE(testsupport::Find<QCheckBox>(p.window, QStringLiteral("CheckBox1"))->isChecked());
    // The keyring answers without the window waiting for it.
    const QDeadlineTimer deadline(20000);
    while (Field(p, "Edit4")->text().isEmpty() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    EXPECT_EQ(Field(p, "Edit4")->text(), kPassword);
    const publishtest::TBoxes boxes = p.Publish();
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_EQ(p.ResultLine(), QStringLiteral("0 Dateien übertragen, 3 unverändert"));

    EXPECT_EQ(FilesHolding(kPassword.toUtf8()), QStringList());
    EXPECT_EQ(FilesHolding(kPassword.toLatin1()), QStringList());
}

TEST(NoKeyring, TheBoxIsOffAndSaysWhy) {
    testsupport::TWorkDir dir;
    TPublishDriver p;
    p.Open();
    auto* remember = testsupport::Find<QCheckBox>(p.window, QStringLiteral("CheckBox1"));
    EXPECT_FALSE(remember->isEnabled());
    EXPECT_FALSE(remember->isChecked());
    EXPECT_EQ(remember->toolTip(), QStringLiteral("Kein Schlüsselbund gefunden: das Kennwort wird jedes Mal erfragt"));
}

}  // namespace
