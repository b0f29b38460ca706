// One road through "Veröffentlichen" as a user takes it, against OpenSSH's
// sshd on 127.0.0.1: the page and its pictures go up, the host key is asked
// for once, a changed page is finished first and only it goes up again, and
// the window remembers where it sent the page.

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <filesystem>

#include "gui_test_support.h"
#include "publishing/publish_driver.h"
#include "support/files.h"
#include "support/sftp_servers.h"
#include "wizard/wizard_window.h"

namespace {

using publishtest::TPublishDriver;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

// "name" for a file, "name/" for a folder, every level, sorted.
std::string Tree(const std::string& folder) {
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).string();
        entries.push_back(entry.is_directory() ? name + "/" : name);
    }
    std::sort(entries.begin(), entries.end());
    std::string tree;
    for (const std::string& entry : entries) tree += entry + "\n";
    return tree;
}

QString UserName() {
    return QString::fromLocal8Bit(getpwuid(getuid())->pw_name);
}

TEST(PublishRoad, PageAndPicturesGoUpThenOnlyWhatChanged) {
    testsupport::TSshServer server;
    testsupport::TWorkDir dir;
    const std::string web = dir.path() + "/web";
    // The server's folder is there, as on a host; the program makes only
    // the folders below it.
    ASSERT_TRUE(testsupport::MakeDirectories(web + "/homepage"));
    ASSERT_TRUE(testsupport::MakeDirectories("seite/bilder"));
    ASSERT_TRUE(WriteFileBytes("seite/hintergrund.jpg", "hintergrund"));
    ASSERT_TRUE(WriteFileBytes("seite/bild.jpg", "bild"));
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

}  // namespace
