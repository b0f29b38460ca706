// The password of a login lives in the desktop's keyring only: remembered
// there, used the next time, in no file of the home; without a keyring the
// window says why it cannot remember it. Run by with_keyring.sh, in a home
// and a session bus of the test's own.

#include <gtest/gtest.h>
#include <pwd.h>
#include <qt6keychain/keychain.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include "gui_test_support.h"
#include "publishing/publish_driver.h"
#include "support/files.h"
#include "support/ftps_server.h"
#include "support/s3_store.h"
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

// The keyring's password under this name; empty when there is none.
QString Remembered(const QString& account) {
    QKeychain::ReadPasswordJob job(QStringLiteral("HTML Tavirel"));
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    job.setKey(account);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    return job.error() == QKeychain::NoError ? job.textData() : QString();
}

// The window fills in the remembered password without waiting for it.
void AwaitPassword(TPublishDriver& p) {
    const QDeadlineTimer deadline(20000);
    while (Field(p, "Edit4")->text().isEmpty() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

// Logs in and publishes to the FTPS server, the password remembered.
void PublishOverFtps(TPublishDriver& p, int port, const QString& password) {
    p.Open();
    auto* choice = testsupport::Find<QComboBox>(p.window, QStringLiteral("ComboBox1"));
    choice->setFocus();
    QTest::keyClick(choice, Qt::Key_Down);
    p.Type("Edit1", QStringLiteral("127.0.0.1"));
    p.Type("Edit2", QString::number(port));
    p.Type("Edit3", QStringLiteral("tavi"));
    p.Type("Edit4", password);
    testsupport::Click(testsupport::Find<QCheckBox>(p.window, QStringLiteral("CheckBox1")));
    p.Publish({QStringLiteral("&Ja")});
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
    AwaitPassword(p);
    EXPECT_EQ(Field(p, "Edit4")->text(), kPassword);
    EXPECT_EQ(Remembered(QStringLiteral("sftp://anna@127.0.0.1:") + QString::number(server.port())), kPassword);
    const publishtest::TBoxes boxes = p.Publish();
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_EQ(p.ResultLine(), QStringLiteral("0 Dateien übertragen, 3 unverändert"));

    EXPECT_EQ(FilesHolding(kPassword.toUtf8()), QStringList());
    EXPECT_EQ(FilesHolding(kPassword.toLatin1()), QStringList());
}

// Logged in by key, the password typed in vain is not worth keeping.
TEST(Keyring, NothingRememberedAfterAKeyLogin) {
    testsupport::TWorkDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes("hintergrund.jpg", "jpg"));
    ASSERT_TRUE(testsupport::WriteFileBytes("bild.jpg", "jpg"));
    testsupport::TSshServer sshd;
    const QString user = QString::fromLocal8Bit(getpwuid(getuid())->pw_name);
    TPublishDriver p;
    testsupport::Click(p.wizard->SpeedButton9);
    p.Open();
    p.Type("Edit1", QStringLiteral("127.0.0.1"));
    p.Type("Edit2", QString::number(sshd.port()));
    p.Type("Edit3", user);
    p.Type("Edit4", kPassword);
    p.Type("Edit5", QString::fromStdString(sshd.keyFolder() + "/id_ed25519"));
    testsupport::Click(testsupport::Find<QCheckBox>(p.window, QStringLiteral("CheckBox1")));
    p.Publish({QStringLiteral("&Ja")});
    EXPECT_EQ(p.ResultLine(), QStringLiteral("3 Dateien übertragen, 0 unverändert"));
    EXPECT_EQ(
        Remembered(QStringLiteral("sftp://") + user + QStringLiteral("@127.0.0.1:") + QString::number(sshd.port())),
        QString());
}

// Object storage's secret key is kept as a password is, under the access
// key and the endpoint, and in no file.
TEST(Keyring, SecretKeyRememberedLikeAPassword) {
    testsupport::TWorkDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes("hintergrund.jpg", "jpg"));
    ASSERT_TRUE(testsupport::WriteFileBytes("bild.jpg", "jpg"));
    testsupport::TS3Store store;
    const QString endpoint = QString::fromStdString(store.Endpoint());
    {
        TPublishDriver p;
        testsupport::Click(p.wizard->SpeedButton9);
        p.Open();
        auto* choice = testsupport::Find<QComboBox>(p.window, QStringLiteral("ComboBox1"));
        choice->setFocus();
        for (int i = 0; i < 3; ++i) QTest::keyClick(choice, Qt::Key_Down);
        p.Type("Edit1", endpoint);
        p.Type("Edit9", QString::fromLatin1(testsupport::TS3Store::kBucket));
        p.Type("Edit10", QStringLiteral("eu-central-1"));
        p.Type("Edit3", QStringLiteral("S3RVER"));
        p.Type("Edit4", kPassword);
        testsupport::Click(testsupport::Find<QCheckBox>(p.window, QStringLiteral("CheckBox1")));
        p.Publish({QStringLiteral("&Ja")});
        EXPECT_EQ(p.ResultLine(), QStringLiteral("3 Dateien übertragen, 0 unverändert"));
    }
    EXPECT_EQ(Remembered(QStringLiteral("s3://S3RVER@") + endpoint), kPassword);
    TPublishDriver p;
    p.Open();
    AwaitPassword(p);
    EXPECT_EQ(Field(p, "Edit4")->text(), kPassword);
    EXPECT_EQ(FilesHolding(kPassword.toUtf8()), QStringList());
}

// The FTPS entry has a name of its own; the password remembered for server
// A leaves the window once the port names server B, which never sees it.
TEST(Keyring, ARememberedPasswordGoesToItsServerOnly) {
    testsupport::TWorkDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes("hintergrund.jpg", "jpg"));
    ASSERT_TRUE(testsupport::WriteFileBytes("bild.jpg", "jpg"));
    ASSERT_TRUE(testsupport::MakeDirectories("a"));
    ASSERT_TRUE(testsupport::MakeDirectories("b"));
    testsupport::TFtpsServer a(dir.path() + "/a", "tavi", kPassword.toStdString());
    testsupport::TFtpsServer b(dir.path() + "/b", "tavi", "B-Kennwort");
    {
        TPublishDriver p;
        testsupport::Click(p.wizard->SpeedButton9);
        PublishOverFtps(p, a.port(), kPassword);
        EXPECT_EQ(p.ResultLine(), QStringLiteral("3 Dateien übertragen, 0 unverändert"));
    }
    EXPECT_EQ(Remembered(QStringLiteral("ftps://tavi@127.0.0.1:") + QString::number(a.port())), kPassword);

    TPublishDriver p;
    p.Open();
    AwaitPassword(p);
    ASSERT_EQ(Field(p, "Edit4")->text(), kPassword);
    p.Type("Edit2", QString::number(b.port()));
    p.Publish({QStringLiteral("&Ja"), QStringLiteral("&Ja")});
    EXPECT_EQ(b.Passwords().find(kPassword.toStdString()), std::string::npos) << b.Passwords();
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
