// "Vom Server holen…" as a user takes it on a second computer, against
// OpenSSH's sshd on 127.0.0.1: from the start window, with nothing but the
// login, a site comes into a new folder, its start page opens in the
// wizard, and "Veröffentlichen" right after sends nothing.

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "core/page_generator.h"
#include "gui_test_support.h"
#include "publishing/publish_driver.h"
#include "support/files.h"
#include "support/server_folder.h"
#include "support/sftp_servers.h"
#include "wizard/wizard_window.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

std::string Page(const std::string& title, const std::string& link) {
    core::TPageDescription page;
    page.Title = page.HeadingText = title;
    page.Links = {{"weiter", link}};
    page.Images = {{"bilder/" + title + ".jpg", title}};
    return std::string(core::GeneratePage(page).FileBytes());
}

TEST(FetchRoad, FetchFromTheStartWindowOpensTheStartPageAndPublishingSendsNothing) {
    const testsupport::TSshServer server;
    const testsupport::TWorkDir dir;
    const std::string web = dir.path() + "/web";
    const std::map<std::string, std::string> site = {{"index.html", Page("Start", "zwei.html")},
                                                     {"zwei.html", Page("Zwei", "drei.html")},
                                                     {"drei.html", Page("Drei", "index.html")},
                                                     {"bilder/Start.jpg", std::string(90000, 's')},
                                                     {"bilder/Zwei.jpg", std::string(5000, 'z')},
                                                     {"bilder/Drei.jpg", std::string(7000, 'd')},
                                                     {"hintergrund.jpg", "h"},
                                                     {"bild.jpg", "b"}};
    ASSERT_TRUE(testsupport::MakeDirectories(web + "/bilder"));
    for (const auto& [name, bytes] : site) WriteFileBytes(web + "/" + name, bytes);

    publishtest::TPublishDriver p;
    testsupport::Click(p.start.SpeedButton4);
    p.window = p.start.Publishing().Window();
    ASSERT_NE(p.window, nullptr);
    EXPECT_EQ(p.window->windowTitle(), QStringLiteral("Vom Server holen"));
    EXPECT_EQ(testsupport::Find<QLineEdit>(p.window, QStringLiteral("Edit11"))->text(), QStringLiteral("index.html"));
    p.Type("Edit1", QStringLiteral("127.0.0.1"));
    p.Type("Edit2", QString::number(server.port()));
    p.Type("Edit3", QString::fromLocal8Bit(getpwuid(getuid())->pw_name));
    p.Type("Edit5", QString::fromStdString(server.keyFolder() + "/id_ed25519"));
    p.Type("Edit6", QString::fromStdString(web));
    p.Type("Edit12", QString::fromStdString(dir.path() + "/hier"));
    // The server's key is asked for first, as when publishing.
    const publishtest::TBoxes boxes = p.Publish({QStringLiteral("&Ja")});
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts.front().contains(QStringLiteral("SHA256:")));
    EXPECT_EQ(p.ResultLine(), QStringLiteral("3 Seiten, 5 Dateien geholt"));
    for (const auto& [name, bytes] : site) EXPECT_TRUE(ReadFileBytes(dir.path() + "/hier/" + name) == bytes) << name;

    // The start page in the wizard, its folder the working one.
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.start.Wizard()->Edit2->text() == QStringLiteral("Start"); }, 10000));
    p.wizard = p.start.Wizard();
    EXPECT_TRUE(p.wizard->isVisible());
    EXPECT_EQ(p.wizard->CurrentPageFile(), QString::fromStdString(dir.path() + "/hier/index.html"));

    // "Veröffentlichen" in the wizard: the login is there, nothing goes up.
    const std::map<std::string, std::string> stamps = testsupport::Stamps(web);
    p.Open();
    EXPECT_EQ(p.window->windowTitle(), QStringLiteral("Veröffentlichen"));
    p.Publish();
    EXPECT_EQ(p.ResultLine(), QStringLiteral("3 Seiten, 0 Dateien übertragen, 8 unverändert"));
    EXPECT_EQ(testsupport::Stamps(web), stamps);
}

}  // namespace
