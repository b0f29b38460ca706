// "Veröffentlichen" over WebDAV and to object storage, driven as a user
// drives it: each way's fields, the certificate question, and the entries
// the window remembers for the page.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "gui_test_support.h"
#include "publishing/publish_driver.h"
#include "support/files.h"
#include "support/s3_store.h"
#include "support/webdav_servers.h"
#include "wizard/wizard_window.h"

namespace {

using publishtest::TPublishDriver;
using testsupport::Find;

// As a user picks it: the field focused, then the arrow keys.
void Choose(TPublishDriver& p, int index) {
    auto* choice = Find<QComboBox>(p.window, QStringLiteral("ComboBox1"));
    choice->setFocus();
    while (choice->currentIndex() < index) QTest::keyClick(choice, Qt::Key_Down);
    while (choice->currentIndex() > index) QTest::keyClick(choice, Qt::Key_Up);
}

QString Caption(TPublishDriver& p, const char* label) {
    return Find<QLabel>(p.window, QString::fromLatin1(label))->text();
}

bool Shown(TPublishDriver& p, const char* control) {
    return Find(p.window, QString::fromLatin1(control))->isVisible();
}

TEST(HostsWindow, EachWayAsksForWhatItNeeds) {
    testsupport::TWorkDir dir;
    TPublishDriver p;
    p.Open();
    EXPECT_EQ(Find<QComboBox>(p.window, QStringLiteral("ComboBox1"))->count(), 4);
    const struct {
        int choice;
        const char* way;
        const char* server;
        const char* user;
        const char* password;
        bool port, storage;
    } kWays[] = {
        {0, "SFTP", "&Server:", "&Benutzer:", "&Kennwort:", true, false},
        {1, "FTPS (FTP mit TLS)", "&Server:", "&Benutzer:", "&Kennwort:", true, false},
        {2, "WebDAV (HTTPS)", "&Adresse:", "&Benutzer:", "&Kennwort:", false, false},
        {3, "Objektspeicher (S3)", "&Endpunkt:", "&Zugangsschlüssel:", "&Geheimer Schlüssel:", false, true},
    };
    for (const auto& way : kWays) {
        SCOPED_TRACE(way.way);
        Choose(p, way.choice);
        EXPECT_EQ(Find<QComboBox>(p.window, QStringLiteral("ComboBox1"))->currentText(), QString::fromUtf8(way.way));
        EXPECT_EQ(Caption(p, "Label1"), QString::fromUtf8(way.server));
        EXPECT_EQ(Caption(p, "Label3"), QString::fromUtf8(way.user));
        EXPECT_EQ(Caption(p, "Label4"), QString::fromUtf8(way.password));
        EXPECT_EQ(Shown(p, "Edit2"), way.port);
        EXPECT_EQ(Shown(p, "Edit9"), way.storage);
        EXPECT_EQ(Shown(p, "Edit10"), way.storage);
        EXPECT_EQ(Shown(p, "Edit5"), !way.storage);
        EXPECT_EQ(Find(p.window, QStringLiteral("Edit5"))->isEnabled(), way.choice == 0);
    }
    // What is missing is asked for by its name on this way.
    p.Type("Edit1", QStringLiteral("https://127.0.0.1:1"));
    const publishtest::TBoxes boxes = p.Publish();
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts.front(), QStringLiteral("Bitte den Bucket angeben."));
}

TEST(HostsWindow, PublishesOverWebDavAndToAStoreAndRemembers) {
    testsupport::TWorkDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes("hintergrund.jpg", "jpg"));
    ASSERT_TRUE(testsupport::WriteFileBytes("bild.jpg", "jpg"));
    testsupport::TApacheWebDavServer dav("tavi", "geheim 123");
    testsupport::TS3Store store;
    {
        TPublishDriver p;
        testsupport::Click(p.wizard->SpeedButton9);
        p.Open();
        Choose(p, 2);
        p.Type("Edit1", QString::fromStdString(dav.Address()));
        p.Type("Edit3", QStringLiteral("tavi"));
        p.Type("Edit4", QStringLiteral("geheim 123"));
        publishtest::TBoxes boxes = p.Publish({QStringLiteral("&Ja")});
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_TRUE(boxes.texts.front().startsWith(QStringLiteral("Das Zertifikat des Servers 127.0.0.1:")));
        EXPECT_EQ(p.ResultLine().toStdString(), "3 Dateien übertragen, 0 unverändert");
        EXPECT_TRUE(testsupport::ReadFileBytes(dav.Folder() + "/index.html") ==
                    testsupport::ReadFileBytes("index.html"));

        Choose(p, 3);
        p.Type("Edit1", QString::fromStdString(store.Endpoint()));
        p.Type("Edit9", QString::fromLatin1(testsupport::TS3Store::kBucket));
        p.Type("Edit10", QStringLiteral("eu-central-1"));
        p.Type("Edit3", QStringLiteral("S3RVER"));
        p.Type("Edit4", QStringLiteral("geheim 123"));
        p.Type("Edit6", QStringLiteral("www"));
        boxes = p.Publish({QStringLiteral("&Ja")});
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_EQ(p.ResultLine().toStdString(), "3 Dateien übertragen, 0 unverändert");
        EXPECT_TRUE(store.Object("www/index.html") == testsupport::ReadFileBytes("index.html"));
        EXPECT_EQ(store.Headers("www/index.html"), "text/html; charset=windows-1252 | public, max-age=300");
    }
    // The page's window again: the store as it was typed, nothing asked.
    TPublishDriver again;
    again.Open();
    EXPECT_EQ(Find<QComboBox>(again.window, QStringLiteral("ComboBox1"))->currentText(),
              QStringLiteral("Objektspeicher (S3)"));
    EXPECT_EQ(Find<QLineEdit>(again.window, QStringLiteral("Edit9"))->text(),
              QString::fromLatin1(testsupport::TS3Store::kBucket));
    EXPECT_EQ(Find<QLineEdit>(again.window, QStringLiteral("Edit10"))->text(), QStringLiteral("eu-central-1"));
    again.Type("Edit4", QStringLiteral("geheim 123"));
    const publishtest::TBoxes boxes = again.Publish();
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(again.ResultLine().toStdString(), "0 Dateien übertragen, 3 unverändert");
}

}  // namespace
