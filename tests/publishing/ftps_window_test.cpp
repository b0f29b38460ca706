// "Veröffentlichen" over FTPS, driven as a user drives it: the choice of
// the way and its port, the certificate question, the check online against
// a web server serving the FTPS server's folder, and the entries the
// window remembers for the page.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

#include "gui_test_support.h"
#include "publishing/publish_driver.h"
#include "support/files.h"
#include "support/ftps_server.h"
#include "support/http_server.h"
#include "wizard/wizard_window.h"

namespace {

using publishtest::TPublishDriver;
using testsupport::Find;

QComboBox* Choice(TPublishDriver& p) {
    return Find<QComboBox>(p.window, QStringLiteral("ComboBox1"));
}

QString Text(TPublishDriver& p, const char* name) {
    return Find<QLineEdit>(p.window, QString::fromLatin1(name))->text();
}

// A certificate's fingerprint as the window shows it: four bytes a group,
// held on one line by no-break spaces and word joiners.
std::string Shown(const std::string& fingerprint) {
    std::string shown;
    for (std::size_t i = 0; i < fingerprint.size(); ++i)
        shown += fingerprint[i] != ':' ? std::string(1, fingerprint[i]) : i % 12 == 11 ? "\u00A0" : ":\u2060";
    return shown;
}

// Whether one line of the area's layout holds all of the text.
bool OnOneLine(QPlainTextEdit* area, const QString& text) {
    for (QTextBlock block = area->document()->begin(); block.isValid(); block = block.next())
        for (int i = 0; i < block.layout()->lineCount(); ++i) {
            const QTextLine line = block.layout()->lineAt(i);
            if (block.text().mid(line.textStart(), line.textLength()).contains(text)) return true;
        }
    return false;
}

// As a user picks it: the field focused, then the arrow keys.
void Choose(TPublishDriver& p, int index) {
    QComboBox* choice = Choice(p);
    choice->setFocus();
    while (choice->currentIndex() < index) QTest::keyClick(choice, Qt::Key_Down);
    while (choice->currentIndex() > index) QTest::keyClick(choice, Qt::Key_Up);
}

TEST(FtpsWindow, PortFollowsTheWayUnlessTyped) {
    testsupport::TWorkDir dir;
    TPublishDriver p;
    p.Open();
    EXPECT_EQ(Choice(p)->currentText(), QStringLiteral("SFTP"));
    const struct {
        const char* name;
        int choice;
        const char* typedPort;  // nullptr: left as it is
        const char* port;       // afterwards
        bool keyFile;           // the key file may be given
    } kSteps[] = {
        {"FTPS: 21", 1, nullptr, "21", false},
        {"back to SFTP: 22", 0, nullptr, "22", true},
        {"a port of one's own stays", 0, "2222", "2222", true},
        {"also with FTPS", 1, nullptr, "2222", false},
    };
    for (const auto& step : kSteps) {
        SCOPED_TRACE(step.name);
        if (step.typedPort != nullptr) p.Type("Edit2", QString::fromLatin1(step.typedPort));
        Choose(p, step.choice);
        EXPECT_EQ(Text(p, "Edit2"), QString::fromLatin1(step.port));
        EXPECT_EQ(Find(p.window, QStringLiteral("Edit5"))->isEnabled(), step.keyFile);
    }
}

TEST(FtpsWindow, PublishesTrustsTheCertificateChecksOnlineAndRemembers) {
    testsupport::TWorkDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes("hintergrund.jpg", "jpg"));
    ASSERT_TRUE(testsupport::WriteFileBytes("bild.jpg", "jpg"));
    ASSERT_TRUE(testsupport::MakeDirectories("server"));
    testsupport::TFtpsServer ftps(dir.path() + "/server", "tavi", "geheim 123");
    // The web host sends the page as UTF-8: the check warns.
    testsupport::THttpServer http(dir.path() + "/server", "UTF-8");
    const QString port = QString::number(ftps.port());
    const QString address = QString::fromStdString(http.Url(""));
    {
        TPublishDriver p;
        testsupport::Click(p.wizard->SpeedButton9);
        p.Open();
        Choose(p, 1);
        p.Type("Edit1", QStringLiteral("127.0.0.1"));
        p.Type("Edit2", port);
        p.Type("Edit3", QStringLiteral("tavi"));
        p.Type("Edit4", QStringLiteral("geheim 123"));
        p.Type("Edit7", address);

        const publishtest::TBoxes boxes = p.Publish({QStringLiteral("&Ja")});

        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_EQ(boxes.texts.front().toStdString(),
                  "Das Zertifikat des Servers 127.0.0.1:" + port.toStdString() +
                      " lässt sich nicht bestätigen (TLS-Zertifikat, selbst signiert). Sein "
                      "SHA-256-Fingerabdruck:\n\n" +
                      Shown(ftps.Fingerprint()) +
                      "\n\nIst das Ihr Server? Mit „Ja“ wird dieses Zertifikat für ihn gemerkt und die Seite "
                      "übertragen.");
        EXPECT_EQ(p.ResultLine().toStdString(), "3 Dateien übertragen, 0 unverändert");
        EXPECT_TRUE(testsupport::ReadFileBytes("server/index.html") == testsupport::ReadFileBytes("index.html"));
        EXPECT_EQ(Find<QPlainTextEdit>(p.window, QStringLiteral("Label11"))->toPlainText().toStdString(),
                  "Online – stimmt mit der Seite überein\nDer Server gibt die Seite als „UTF-8“ aus; Umlaute werden "
                  "dort falsch angezeigt (richtig wäre windows-1252).");
    }
    // The page's window again: the same way, port and address; the
    // certificate is trusted now, so nothing is asked.
    TPublishDriver again;
    again.Open();
    EXPECT_EQ(Choice(again)->currentText(), QStringLiteral("FTPS (FTP mit TLS)"));
    EXPECT_EQ(Text(again, "Edit2"), port);
    EXPECT_EQ(Text(again, "Edit7"), address);
    again.Type("Edit4", QStringLiteral("geheim 123"));
    const publishtest::TBoxes boxes = again.Publish();
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(again.ResultLine().toStdString(), "0 Dateien übertragen, 3 unverändert");

    // A changed certificate: its long message shown whole, to its end, the
    // fingerprint on one line.
    ftps.ChangeCertificate();
    again.Publish();
    auto* area = Find<QPlainTextEdit>(again.window, QStringLiteral("Label8"));
    const QString shown = QString::fromStdString(Shown(ftps.Fingerprint()));
    EXPECT_TRUE(area->toPlainText().startsWith(QStringLiteral("Das Zertifikat des Servers 127.0.0.1:") + port +
                                               QStringLiteral(" ist nicht mehr das, dem Sie vertraut haben (jetzt "
                                                              "SHA-256 ") +
                                               // As a copy gives it: plain spaces.
                                               QString(shown).replace(QChar::Nbsp, u' ') +
                                               QStringLiteral("). Das kann ein Angriff sein;")))
        << area->toPlainText().toStdString();
    EXPECT_TRUE(area->toPlainText().endsWith(QStringLiteral(
        "trusted_certificates“. 0 Dateien übertragen, 0 unverändert; nicht übertragen: index.html, hintergrund.jpg, "
        "bild.jpg")))
        << area->toPlainText().toStdString();
    area->moveCursor(QTextCursor::End);
    area->ensureCursorVisible();
    EXPECT_TRUE(area->viewport()->rect().contains(area->cursorRect()));
    EXPECT_TRUE(OnOneLine(area, shown));
}

}  // namespace
