// "Veröffentlichen" asks before anything is sent: whether to finish a page
// changed since its last finish (or never finished), and whether to go on
// without the files the page names but cannot send; and, once its
// pictures are rebuilt for the web, what was done to them and which cannot
// go. Port 1 on the loopback
// address refuses every connection, so a publish that starts ends at once
// and its result line names the page it would have sent.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>
#include <string_view>

#include "gui_test_support.h"
#include "publishing/publish_driver.h"
#include "support/files.h"
#include "support/web_pictures.h"
#include "wizard/wizard_window.h"

namespace {

using publishtest::TPublishDriver;
using testsupport::ReadFileBytes;

const QString kChanged = QStringLiteral("Die Seite wurde seit dem letzten Fertigstellen geändert. Erst fertigstellen?");
const QString kNeverFinished = QStringLiteral(
    "Die Seite wurde noch nicht fertiggestellt, es gibt noch keine Datei index.html. Jetzt fertigstellen und dann "
    "veröffentlichen?");

const QString kForeign = QStringLiteral(
    "Die Datei index.html gibt es schon und ist keine Seite von HTML Tavirel (oder wurde danach von Hand geändert). "
    "Ersetzen?");

std::vector<std::string> Texts(const QStringList& texts) {
    std::vector<std::string> plain;
    for (const QString& text : texts) plain.push_back(text.toStdString());
    return plain;
}

// The pictures the default page names, in the folder given.
void WriteDefaultPictures(const std::string& folder) {
    ASSERT_TRUE(testsupport::WriteFileBytes(folder + "hintergrund.jpg", "jpg"));
    ASSERT_TRUE(testsupport::WriteFileBytes(folder + "bild.jpg", "jpg"));
}

void FillRefusingServer(TPublishDriver& p) {
    p.Open();
    p.Type("Edit1", QStringLiteral("127.0.0.1"));
    p.Type("Edit2", QStringLiteral("1"));
    p.Type("Edit3", QStringLiteral("ich"));
}

TEST(PublishQuestions, ChangedOrUnfinishedPageAsksFirstAndSendsTheFileTheAnswerMeans) {
    const struct {
        const char* name;
        bool earlierRun;      // the page written by a wizard before this one
        bool finishFirst;     // "Fertig" before
        const char* change;   // after the finish: "title", "name", "by hand" (the file); "" for none
        QStringList answers;  // to the boxes, in order
        QStringList asked;    // what the boxes said
        const char* sent;     // the page file the publish tries to send; "" for no publish
        const char* title;    // on index.html afterwards; "" for no file
        QString shown = {};   // the result line without a publish
    } kRows[] = {
        {"finished, unchanged: no question", false, true, "", {}, {}, "index.html", "Alt"},
        {"changed, Ja finishes first", false, true, "title", {"&Ja"}, {kChanged}, "index.html", "Neu"},
        {"changed, Nein sends the written page", false, true, "title", {"&Nein"}, {kChanged}, "index.html", "Alt"},
        {"changed, Escape drops it", false, true, "title", {"Escape"}, {kChanged}, "", "Alt"},
        {"renamed, Nein sends the written page", false, true, "name", {"&Nein"}, {kChanged}, "index.html", "Alt"},
        {"renamed, Ja writes and sends the new one", false, true, "name", {"&Ja"}, {kChanged}, "neu.html", "Alt"},
        {"never finished, Ja finishes", false, false, "", {"&Ja"}, {kNeverFinished}, "index.html", "Alt"},
        {"never finished, Nein drops it", false, false, "", {"&Nein"}, {kNeverFinished}, "", ""},
        {"written in an earlier run, unchanged: no question", true, false, "", {}, {}, "index.html", "Alt"},
        {"written in an earlier run, changed: asked", true, false, "title", {"&Nein"}, {kChanged}, "index.html", "Alt"},
        {"finished, then changed by hand: asked", false, true, "by hand", {"&Nein"}, {kChanged}, "index.html", "Hand"},
        {"a foreign file kept: nothing sent, and why",
         false,
         false,
         "by hand",
         {"&Ja", "&Nein"},
         {kChanged, kForeign},
         "",
         "Hand",
         QStringLiteral("Die Seite wurde nicht geschrieben; es wurde nichts veröffentlicht.")},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.name);
        testsupport::TWorkDir dir;
        WriteDefaultPictures("");
        if (row.earlierRun) {
            TPublishDriver earlier;
            testsupport::Retype(earlier.wizard->Edit2, QStringLiteral("Alt"));
            testsupport::Click(earlier.wizard->SpeedButton9);
        }
        TPublishDriver p;
        testsupport::ShowPage(p.wizard, QStringLiteral("TabSheet2"));
        testsupport::Retype(p.wizard->Edit2, QStringLiteral("Alt"));
        if (row.finishFirst) testsupport::Click(p.wizard->SpeedButton9);
        if (std::string_view(row.change) == "title") testsupport::Retype(p.wizard->Edit2, QStringLiteral("Neu"));
        if (std::string_view(row.change) == "name") testsupport::Retype(p.wizard->Edit19, QStringLiteral("neu"));
        if (std::string_view(row.change) == "by hand") {
            ASSERT_TRUE(testsupport::WriteFileBytes("index.html", "<html><title>Hand</title></html>\r\n"));
        }
        FillRefusingServer(p);

        const publishtest::TBoxes boxes = p.Publish(row.answers);

        EXPECT_EQ(Texts(boxes.texts), Texts(row.asked));
        // The refused connection names what stayed behind: the page first.
        if (*row.sent != '\0')
            EXPECT_TRUE(p.ResultLine().contains(QStringLiteral("nicht übertragen: ") + QString::fromLatin1(row.sent)))
                << p.ResultLine().toStdString();
        else
            EXPECT_EQ(p.ResultLine(), row.shown);
        const std::string page = ReadFileBytes("index.html");
        if (*row.title == '\0')
            EXPECT_EQ(page, "<missing>");
        else
            EXPECT_NE(page.find(std::string("<title>") + row.title + "</title>"), std::string::npos) << page;
    }
}

TEST(PublishQuestions, FilesLeftOutAreListedBeforeAnythingIsSent) {
    const QStringList twoLeftOut = {QStringLiteral("../oben.png"), QStringLiteral("foto.jpg")};
    const QString twoLines = QStringLiteral("Nicht übertragen:\n../oben.png (außerhalb des Ordners)\nfoto.jpg (fehlt)");
    // One line each, the names escaped, and no more than 20 lines.
    QStringList many = {QStringLiteral("a%00%1B.jpg"), QStringLiteral(".privat/notiz.jpg")};
    QString manyLines =
        QStringLiteral("Nicht übertragen:\na%00%1B.jpg (ungültiger Dateiname)\n.privat/notiz.jpg (versteckte Datei)");
    for (int i = 1; i <= 20; ++i) {
        many << QStringLiteral("b%1.jpg").arg(i);
        if (i <= 17) manyLines += QStringLiteral("\nb%1.jpg (fehlt)").arg(i);
    }
    manyLines += QStringLiteral("\n… und 3 weitere");
    const QString cannot = QStringLiteral(" (Ortsangaben lassen sich nicht sicher entfernen)");
    const QString publish = QStringLiteral("\n\nVeröffentlichen?");
    const QString anyway = QStringLiteral("\n\nTrotzdem veröffentlichen?");
    const struct {
        const char* name;
        QStringList answers;
        bool started;
        QStringList pictures;
        QStringList asked;
        // Written beside the page with where they were taken, and cut short.
        std::vector<std::string> located = {};
        std::vector<std::string> broken = {};
    } kRows[] = {
        {"Nein sends nothing", {QStringLiteral("&Nein")}, false, twoLeftOut, {twoLines + anyway}},
        {"Ja sends the rest", {QStringLiteral("&Ja")}, true, twoLeftOut, {twoLines + anyway}},
        {"a long list is cut", {QStringLiteral("&Nein")}, false, many, {manyLines + anyway}},
        // Asked once they are rebuilt, before the server is reached: "Nein"
        // ends the publish there.
        {"pictures that go up without their location are counted",
         {QStringLiteral("&Nein")},
         true,
         {QStringLiteral("ort1.jpg"), QStringLiteral("ort2.png"), QStringLiteral("ort3.jpg")},
         {QStringLiteral("Ortsangaben aus 3 entfernt") + publish},
         {"ort1.jpg", "ort2.png", "ort3.jpg"}},
        {"a file left out, a picture that cannot go, and one that goes",
         {QStringLiteral("&Ja"), QStringLiteral("&Ja")},
         true,
         {QStringLiteral("ort.jpg"), QStringLiteral("foto.jpg"), QStringLiteral("kaputt.jpg")},
         {QStringLiteral("Nicht übertragen:\nfoto.jpg (fehlt)") + anyway,
          QStringLiteral("Ortsangaben aus 1 entfernt\n\nNicht übertragen:\nkaputt.jpg") + cannot + anyway},
         {"ort.jpg"},
         {"kaputt.jpg"}},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.name);
        testsupport::TWorkDir dir;
        ASSERT_TRUE(testsupport::MakeDirectories("seite/.privat"));
        ASSERT_TRUE(testsupport::WriteFileBytes("seite/.privat/notiz.jpg", "jpg"));
        ASSERT_TRUE(testsupport::WriteFileBytes("oben.png", "png"));
        WriteDefaultPictures("seite/");
        for (const std::string& name : row.located) testsupport::LocatedPicture(dir.path() + "/seite/" + name);
        for (const std::string& name : row.broken) {
            testsupport::LocatedPicture(dir.path() + "/seite/" + name);
            const std::string whole = ReadFileBytes("seite/" + name);
            ASSERT_TRUE(testsupport::WriteFileBytes("seite/" + name, whole.substr(0, whole.size() / 2)));
        }
        TPublishDriver p;
        testsupport::Retype(p.wizard->Edit19, QStringLiteral("seite/index"));
        testsupport::ShowPage(p.wizard, QStringLiteral("TabSheet5"));
        for (const QString& picture : row.pictures) {
            testsupport::Retype(p.wizard->Edit10, picture);
            testsupport::Click(p.wizard->SpeedButton3);
        }
        testsupport::Click(p.wizard->SpeedButton9);
        FillRefusingServer(p);

        const publishtest::TBoxes boxes = p.Publish(row.answers);

        EXPECT_EQ(Texts(boxes.texts), Texts(row.asked));
        EXPECT_EQ(p.ResultLine().isEmpty(), !row.started) << p.ResultLine().toStdString();
    }
}

TEST(PublishQuestions, WithoutThePluginOneClearMessage) {
    testsupport::TWorkDir dir;
    TPublishDriver p;
    p.start.Publishing().SetPluginFile(QStringLiteral("/nonexistent/tavirel_publish.so"));
    testsupport::ShowPage(p.wizard, QStringLiteral("TabSheet7"));
    const testsupport::TMessageBoxSeen seen =
        testsupport::WithMessageBox([&] { testsupport::Click(p.wizard->SpeedButton19); });
    EXPECT_TRUE(seen.errorIcon);
    EXPECT_TRUE(seen.text.startsWith(QStringLiteral("Veröffentlichen kann nicht geladen werden: ")))
        << seen.text.toStdString();
    EXPECT_EQ(p.start.Publishing().Window(), nullptr);
}

}  // namespace
