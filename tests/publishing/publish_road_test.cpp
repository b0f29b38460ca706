// One road through "Veröffentlichen" as a user takes it, against OpenSSH's
// sshd on 127.0.0.1: the page and its pictures go up, the host key is asked
// for once, a changed page is finished first and only it goes up again, and
// the window remembers where it sent the page.

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QToolButton>
#include <filesystem>
#include <functional>

#include "gui_test_support.h"
#include "publishing/publish_driver.h"
#include "support/files.h"
#include "support/server_folder.h"
#include "support/server_process.h"
#include "support/sftp_servers.h"
#include "support/web_pictures.h"
#include "wizard/wizard_window.h"

namespace {

using publishtest::TPublishDriver;
using testsupport::ReadFileBytes;
using testsupport::Tree;
using testsupport::WriteFileBytes;

QString UserName() {
    return QString::fromLocal8Bit(getpwuid(getuid())->pw_name);
}

// sshd, and a working folder with the pictures the default page names in
// seite/ and the server's folder web/: it is there, as on a host; the
// program makes only the folders below it.
class PublishRoad : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::MakeDirectories(web));
        ASSERT_TRUE(testsupport::MakeDirectories("seite/bilder"));
        ASSERT_TRUE(WriteFileBytes("seite/hintergrund.jpg", "hintergrund"));
        ASSERT_TRUE(WriteFileBytes("seite/bild.jpg", "bild"));
    }

    testsupport::TSshServer server;
    testsupport::TWorkDir dir;
    const std::string web = dir.path() + "/web";
};

TEST_F(PublishRoad, PageAndPicturesGoUpThenOnlyWhatChanged) {
    ASSERT_TRUE(testsupport::MakeDirectories(web + "/homepage"));
    ASSERT_TRUE(WriteFileBytes("seite/bilder/urlaub.jpg", std::string(300000, 'u')));
    const QString folder = QString::fromStdString(web + "/homepage");

    {
        TPublishDriver p;
        testsupport::Retype(p.wizard->Edit19, QStringLiteral("seite/index"));
        testsupport::ShowPage(p.wizard, QStringLiteral("TabSheet2"));
        testsupport::Retype(p.wizard->Edit2, QStringLiteral("Urlaub"));
        testsupport::ShowPage(p.wizard, QStringLiteral("TabSheet5"));
        testsupport::Retype(p.wizard->Edit10, QStringLiteral("bilder/urlaub.jpg"));
        testsupport::Click(p.wizard->SpeedButton3);
        testsupport::Click(p.wizard->SpeedButton9);
        p.Open();
        EXPECT_EQ(p.window->windowTitle(), QStringLiteral("Veröffentlichen"));
        EXPECT_EQ(testsupport::Find<QLineEdit>(p.window, QStringLiteral("Edit2"))->text(), QStringLiteral("22"));
        p.Type("Edit1", QStringLiteral("127.0.0.1"));
        p.Type("Edit2", QString::number(server.port()));
        p.Type("Edit3", UserName());
        p.Type("Edit5", QString::fromStdString(server.keyFolder() + "/id_ed25519"));
        p.Type("Edit6", folder);

        // The first time the server's key is new: asked for, with the
        // fingerprint `ssh` shows, and recorded.
        publishtest::TBoxes boxes = p.Publish({QStringLiteral("&Ja")});
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_TRUE(boxes.texts.front().contains(QStringLiteral("SHA256:"))) << boxes.texts.front().toStdString();
        EXPECT_TRUE(boxes.texts.front().contains(QStringLiteral("ED25519"), Qt::CaseInsensitive))
            << boxes.texts.front().toStdString();
        EXPECT_EQ(p.ResultLine(), QStringLiteral("4 Dateien übertragen, 0 unverändert"));
        EXPECT_EQ(Tree(web),
                  "homepage/\nhomepage/bild.jpg\nhomepage/bilder/\nhomepage/bilder/urlaub.jpg\n"
                  "homepage/hintergrund.jpg\nhomepage/index.html\n");
        for (const char* file : {"index.html", "bilder/urlaub.jpg"})
            EXPECT_EQ(ReadFileBytes(web + "/homepage/" + file), ReadFileBytes(std::string("seite/") + file)) << file;
        EXPECT_NE(ReadFileBytes(QDir::homePath().toStdString() + "/.ssh/known_hosts")
                      .find("[127.0.0.1]:" + std::to_string(server.port()) + " ssh-ed25519 "),
                  std::string::npos);

        // A new title: the page is finished first, and only it goes up.
        testsupport::ShowPage(p.wizard, QStringLiteral("TabSheet2"));
        testsupport::Retype(p.wizard->Edit2, QStringLiteral("Sommer"));
        boxes = p.Publish({QStringLiteral("&Ja")});
        EXPECT_EQ(boxes.texts.size(), 1);
        EXPECT_EQ(p.ResultLine(), QStringLiteral("1 Datei übertragen, 3 unverändert"));
        EXPECT_NE(ReadFileBytes(web + "/homepage/index.html").find("<title>Sommer</title>"), std::string::npos);
        EXPECT_EQ(ReadFileBytes(web + "/homepage/index.html"), ReadFileBytes("seite/index.html"));
    }

    // Next time, for the same page, the window has what was typed.
    TPublishDriver p;
    testsupport::Retype(p.wizard->Edit19, QStringLiteral("seite/index"));
    p.Open();
    const auto text = [&](const char* field) {
        return testsupport::Find<QLineEdit>(p.window, QString::fromLatin1(field))->text();
    };
    EXPECT_EQ(text("Edit1"), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(text("Edit2"), QString::number(server.port()));
    EXPECT_EQ(text("Edit3"), UserName());
    EXPECT_EQ(text("Edit6"), folder);
}

// The pictures the default page names, and one picture more, finished as
// seite/index.html.
void FinishPageWithPicture(TPublishDriver& p, const QString& picture) {
    testsupport::Retype(p.wizard->Edit19, QStringLiteral("seite/index"));
    testsupport::ShowPage(p.wizard, QStringLiteral("TabSheet5"));
    testsupport::Retype(p.wizard->Edit10, picture);
    testsupport::Click(p.wizard->SpeedButton3);
    testsupport::Click(p.wizard->SpeedButton9);
}

void TypeLogin(TPublishDriver& p, const testsupport::TSshServer& server, const std::string& keyFile,
               const QString& folder) {
    p.Type("Edit1", QStringLiteral("127.0.0.1"));
    p.Type("Edit2", QString::number(server.port()));
    p.Type("Edit3", UserName());
    p.Type("Edit5", QString::fromStdString(keyFile));
    p.Type("Edit6", folder);
}

void WaitUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(60000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
}

// Photos go up scaled to the side "Fotos verkleinern auf" says, which the
// window keeps for the page; turned off, at their own size.
TEST_F(PublishRoad, PhotosGoUpScaledToTheSideTheWindowKeeps) {
    testsupport::LocatedPicture(dir.path() + "/seite/bilder/foto.jpg", 400, 300);
    const std::string sent = web + "/bilder/foto.jpg";
    {
        TPublishDriver p;
        FinishPageWithPicture(p, QStringLiteral("bilder/foto.jpg"));
        p.Open();
        TypeLogin(p, server, server.keyFolder() + "/id_ed25519", QString::fromStdString(web));
        EXPECT_TRUE(testsupport::Find<QCheckBox>(p.window, QStringLiteral("CheckBox2"))->isChecked());
        EXPECT_EQ(testsupport::Find<QLineEdit>(p.window, QStringLiteral("Edit8"))->text(), QStringLiteral("1600"));
        p.Type("Edit8", QStringLiteral("200"));
        const publishtest::TBoxes boxes = p.Publish({QStringLiteral("&Ja"), QStringLiteral("&Ja")});
        ASSERT_EQ(boxes.texts.size(), 2);
        EXPECT_TRUE(boxes.texts.front().startsWith(QStringLiteral("1 Foto verkleinert (")))
            << boxes.texts.front().toStdString();
        EXPECT_TRUE(
            p.ResultLine().startsWith(QStringLiteral("4 Dateien übertragen, 0 unverändert; 1 Foto verkleinert (")))
            << p.ResultLine().toStdString();
        EXPECT_EQ(testsupport::ShownSize(ReadFileBytes(sent)), QSize(200, 150));
    }
    TPublishDriver p;
    FinishPageWithPicture(p, QStringLiteral("bilder/foto.jpg"));
    p.Open();
    EXPECT_EQ(testsupport::Find<QLineEdit>(p.window, QStringLiteral("Edit8"))->text(), QStringLiteral("200"));
    auto* scale = testsupport::Find<QCheckBox>(p.window, QStringLiteral("CheckBox2"));
    ASSERT_TRUE(scale->isChecked());
    testsupport::Click(scale);
    EXPECT_FALSE(testsupport::Find<QLineEdit>(p.window, QStringLiteral("Edit8"))->isEnabled());
    p.Publish({QStringLiteral("&Ja")});
    EXPECT_EQ(p.ResultLine().toStdString(), "1 Datei übertragen, 3 unverändert; Ortsangaben aus 1 entfernt");
    EXPECT_EQ(testsupport::ShownSize(ReadFileBytes(sent)), QSize(400, 300));
}

TEST_F(PublishRoad, AbbrechenWhileABigPictureGoesUpThenTheRest) {
    std::string big(64 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 + i / 4093);
    ASSERT_TRUE(WriteFileBytes("seite/bilder/gross.jpg", big));
    TPublishDriver p;
    FinishPageWithPicture(p, QStringLiteral("bilder/gross.jpg"));
    p.Open();
    TypeLogin(p, server, server.keyFolder() + "/id_ed25519", QString::fromStdString(web));
    auto* progress = testsupport::Find<QLabel>(p.window, QStringLiteral("Label7"));
    auto* bar = testsupport::Find<QProgressBar>(p.window, QStringLiteral("ProgressBar1"));
    auto* cancel = testsupport::Find<QPushButton>(p.window, QStringLiteral("BitBtn3"));

    // The window follows the picture going up and takes the click meanwhile.
    QString seen;
    publishtest::Answering(
        [&] {
            testsupport::Click(testsupport::Find(p.window, QStringLiteral("BitBtn1")));
            WaitUntil(
                [&] { return progress->text().startsWith(QStringLiteral("bilder/gross.jpg: ")) && bar->value() > 0; });
            seen = progress->text();
            testsupport::Click(cancel);
            WaitUntil([&] { return !p.ResultLine().isEmpty(); });
        },
        {QStringLiteral("&Ja")});
    EXPECT_TRUE(seen.endsWith(QStringLiteral(" von 67.108.864 Bytes"))) << seen.toStdString();
    EXPECT_EQ(
        p.ResultLine(),
        QStringLiteral(
            "Veröffentlichen abgebrochen. 3 Dateien übertragen, 0 unverändert; nicht übertragen: bilder/gross.jpg"));
    EXPECT_EQ(Tree(web), "bild.jpg\nbilder/\nhintergrund.jpg\nindex.html\n");

    p.Publish();
    EXPECT_EQ(p.ResultLine(), QStringLiteral("1 Datei übertragen, 3 unverändert"));
    EXPECT_EQ(Tree(web), "bild.jpg\nbilder/\nbilder/gross.jpg\nhintergrund.jpg\nindex.html\n");
    EXPECT_TRUE(ReadFileBytes(web + "/bilder/gross.jpg") == big);
}

TEST_F(PublishRoad, EndingTheProgramWhileItRunsStopsThePublishFirst) {
    ASSERT_TRUE(WriteFileBytes("seite/gross.jpg", std::string(64 << 20, 'g')));
    {
        TPublishDriver p;
        FinishPageWithPicture(p, QStringLiteral("gross.jpg"));
        p.Open();
        TypeLogin(p, server, server.keyFolder() + "/id_ed25519", QString::fromStdString(web));
        auto* progress = testsupport::Find<QLabel>(p.window, QStringLiteral("Label7"));
        publishtest::Answering(
            [&] {
                testsupport::Click(testsupport::Find(p.window, QStringLiteral("BitBtn1")));
                WaitUntil([&] { return progress->text().startsWith(QStringLiteral("gross.jpg: ")); });
                // "Ende": the start window and the wizard go; the window
                // "Veröffentlichen" stays until its transfer has stopped.
                testsupport::Click(p.start.SpeedButton3);
                EXPECT_TRUE(p.window->isVisible());
                WaitUntil([&] { return !p.window->isVisible(); });
            },
            {QStringLiteral("&Ja")});
        EXPECT_FALSE(p.window->isVisible());
        EXPECT_TRUE(p.ResultLine().contains(QStringLiteral("nicht übertragen: gross.jpg")))
            << p.ResultLine().toStdString();
    }
    // Nothing half sent is left in the server's folder.
    EXPECT_EQ(Tree(web), "bild.jpg\nhintergrund.jpg\nindex.html\n");
}

TEST_F(PublishRoad, AnEncryptedKeyAsksForItsPassphrase) {
    // The server's key, locked with a passphrase.
    const std::string key = dir.path() + "/schluessel";
    ASSERT_TRUE(WriteFileBytes(key, ReadFileBytes(server.keyFolder() + "/id_ed25519")));
    ASSERT_EQ(testsupport::RunCommand({"chmod", "600", key}), 0);
    ASSERT_EQ(testsupport::RunCommand({"ssh-keygen", "-q", "-p", "-P", "", "-N", "Sesam öffne dich", "-f", key}), 0);
    TPublishDriver p;
    FinishPageWithPicture(p, QStringLiteral("bild.jpg"));
    p.Open();
    TypeLogin(p, server, key, QString::fromStdString(web));

    const publishtest::TBoxes boxes = p.Publish({QStringLiteral("&Ja"), QStringLiteral("Sesam öffne dich")});

    ASSERT_EQ(boxes.texts.size(), 2);
    EXPECT_EQ(boxes.texts.at(1),
              QStringLiteral("Kennwort für den Schlüssel ") + QString::fromStdString(key) + QStringLiteral(":"));
    EXPECT_EQ(p.ResultLine(), QStringLiteral("3 Dateien übertragen, 0 unverändert"));
    EXPECT_EQ(Tree(web), "bild.jpg\nhintergrund.jpg\nindex.html\n");
}

}  // namespace
