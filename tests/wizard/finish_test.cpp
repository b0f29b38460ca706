// The finish button: what the code view shows, what the file holds, and what
// the user sees when the file cannot be written.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <map>

#include "core/folder_names.h"
#include "core/page_file.h"
#include "core/system_calls.h"
#include "default_page.h"
#include "gui_test_support.h"
#include "support/rows.h"
#include "wizard/wizard_driver.h"
#include "xdg_tree.h"

namespace wizardtest {
namespace {

using testsupport::ReadFileBytes;
using testsupport::TWorkDir;

using testpages::DefaultPageWith;

// How another program changed a page the wizard wrote: in place, to the
// same size, later, or with the modification time put back as a copy that
// keeps times does.
enum class TRewrite { kNone, kLater, kTimePutBack };

// The file keeps its inode: truncated and written.
void WriteInPlace(const std::string& bytes) {
    QFile file(QStringLiteral("index.html"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void RewriteInPlace(const std::string& bytes, TRewrite how) {
    struct stat written {};
    ASSERT_EQ(stat("index.html", &written), 0);
    ASSERT_EQ(static_cast<std::size_t>(written.st_size), bytes.size());
    WriteInPlace(bytes);
    timespec times[2] = {written.st_atim, written.st_mtim};
    if (how == TRewrite::kLater) times[1].tv_sec += 1;
    // The change time is the file system's clock, coarser than a
    // nanosecond: it is set again until it has moved on from the finish's.
    struct stat now {};
    do {
        ASSERT_EQ(utimensat(AT_FDCWD, "index.html", times, 0), 0);
        ASSERT_EQ(stat("index.html", &now), 0);
    } while (now.st_ctim.tv_sec == written.st_ctim.tv_sec && now.st_ctim.tv_nsec == written.st_ctim.tv_nsec);
    ASSERT_EQ(now.st_ino, written.st_ino);
    ASSERT_EQ(now.st_size, written.st_size);
}

std::string HeadingLine(const std::string& size, const std::string& text) {
    return "<font size=\"" + size + "\" color=\"#000000\" face=\"Arial\">" + text + "</font></b>";
}

TEST(Finish, DefaultsWriteTheDefaultPageAndShowIt) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Finish();
    EXPECT_EQ(ReadFileBytes("index.html"), PageFileBytes(DefaultPage()));
    EXPECT_EQ(wizard.CodeView(), DefaultPage());
    EXPECT_EQ(testsupport::DirectoryListing(), "index.html\n");
}

TEST(Finish, FinishingAgainShowsAndWritesOnlyTheNewPage) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Finish();
    wizard.Page("TabSheet2");
    wizard.Type("Edit8", "");
    wizard.Finish();
    const TLines shorter = DefaultPageWith({{11, {}}});
    EXPECT_EQ(wizard.CodeView(), shorter);
    EXPECT_EQ(ReadFileBytes("index.html"), PageFileBytes(shorter));
}

TEST(Finish, HtmWritesIndexHtmAndLeavesTheHtmlFile) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Finish();
    wizard.Click("htm");
    wizard.Finish();
    EXPECT_EQ(ReadFileBytes("index.htm"), PageFileBytes(DefaultPage()));
    EXPECT_EQ(ReadFileBytes("index.html"), PageFileBytes(DefaultPage()));
}

// In a folder others can write, the page swapped for a link the moment it
// is written: the file the link leads to keeps every byte, and the user
// reads why the page was not written.
TEST(Finish, PageSwappedForALinkWhileSavingIsLeftAndNamed) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Finish();
    ASSERT_TRUE(testsupport::WriteFileBytes("schluessel", "geheim\n"));
    core::BetweenJudgingAndWriting = [](std::string_view) {
        symlink("schluessel", ".link");
        rename(".link", "index.html");
    };
    wizard.Type("Edit5", "Neu");
    const testsupport::TMessageBoxSeen seen = testsupport::WithMessageBox([&] { wizard.Finish(); });
    core::BetweenJudgingAndWriting = nullptr;
    EXPECT_EQ(seen.text, "index.html wurde während des Speicherns ersetzt und bleibt unverändert.");
    EXPECT_EQ(ReadFileBytes("schluessel"), "geheim\n");
    EXPECT_EQ(testsupport::DirectoryListing(), "index.html -> schluessel\nschluessel\n");
}

TEST(Finish, AFileThatCannotBeCreatedIsReportedAndTheWizardGoesOn) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Type("Edit19", "nichtda/index");
    const testsupport::TMessageBoxSeen seen = testsupport::WithMessageBox([&] { wizard.Finish(); });
    EXPECT_TRUE(seen.shown);
    EXPECT_TRUE(seen.errorIcon);
    EXPECT_EQ(seen.text, "Cannot create file nichtda/index.html.");
    EXPECT_EQ(wizard.CodeView(), DefaultPage());
    EXPECT_EQ(testsupport::DirectoryListing(), "");

    wizard.Type("Edit19", "index");
    EXPECT_FALSE(testsupport::WithMessageBox([&] { wizard.Finish(); }).shown);
    EXPECT_EQ(ReadFileBytes("index.html"), PageFileBytes(DefaultPage()));
}

// A file the program did not write, or one of its pages changed by hand, is
// replaced only when the user says so; its own pages go without a question.
TEST(Finish, AFileTheProgramDidNotWriteIsReplacedOnlyWhenTheUserSaysSo) {
    const std::string ownPage = PageFileBytes(DefaultPage());
    const std::string editedPage = testpages::EditedByHand(ownPage);
    // The page with heading size 1: another page the program may have written.
    std::string otherOwnPage = ownPage;
    otherOwnPage.replace(otherOwnPage.find("size=\"5\""), 8, "size=\"3\"");
    const struct {
        const char* what;
        std::string oldBytes;
        const char* answer;
        int asked;  // questions
        bool replaced;
        // Left by a save in place that was cut off: offered first.
        std::string copy = "";
        bool restored = false;
        TRewrite rewrite = TRewrite::kNone;
    } cases[] = {
        {"hand-written, Nein", "<p>meine Seite</p>\n", "&Nein", true, false},
        {"hand-written, Ja", "<p>meine Seite</p>\n", "&Ja", true, true},
        {"empty file, Nein", "", "&Nein", true, false},
        {"own page edited by hand, Nein", editedPage, "&Nein", true, false},
        {"another page of the program", otherOwnPage, "", false, true},
        {"cut short, its copy taken back", "<html>\r\n<he", "&Ja", true, false, otherOwnPage, true},
        {"cut short, copy and file kept", "<html>\r\n<he", "&Nein", 2, false, otherOwnPage},
        {"own page rewritten later, same size", editedPage, "&Nein", true, false, "", false, TRewrite::kLater},
        {"own page rewritten, its time put back", editedPage, "&Nein", true, false, "", false, TRewrite::kTimePutBack},
    };
    for (const auto& c : cases) {
        TWorkDir dir;
        const testsupport::TXdgTree tree;
        const QString copy = QString::fromStdString(core::PageCopyPath(core::TPageFolder("."), "index.html").string());
        if (!c.copy.empty()) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(copy).path()));
            QFile file(copy);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.copy.data(), static_cast<qint64>(c.copy.size()));
        }
        TWizardDriver wizard;
        if (c.rewrite == TRewrite::kNone) {
            WriteInPlace(c.oldBytes);
        } else {
            wizard.Finish();
            RewriteInPlace(c.oldBytes, c.rewrite);
        }
        const testsupport::TMessageBoxSeen seen =
            testsupport::WithMessageBox([&] { wizard.Finish(); }, QString::fromUtf8(c.answer));
        EXPECT_EQ(seen.shown, c.asked) << c.what;
        if (c.asked) {
            EXPECT_EQ(seen.caption, testsupport::ExpectedApplicationTitle()) << c.what;
            EXPECT_TRUE(seen.questionIcon) << c.what;
            EXPECT_EQ(seen.text,
                      c.copy.empty()
                          ? QStringLiteral("Die Datei index.html gibt es schon und ist keine Seite von HTML Tavirel "
                                           "(oder wurde danach von Hand geändert). Ersetzen?")
                          : QStringLiteral("Beim letzten Speichern von „index.html“ wurde das Programm unterbrochen. "
                                           "Die vorherige Fassung liegt in „") +
                                copy + QStringLiteral("“. Diese Fassung wiederherstellen?"));
            EXPECT_EQ(seen.buttons, (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein")})) << c.what;
            EXPECT_EQ(seen.defaultButton, QStringLiteral("&Nein")) << c.what;
            EXPECT_EQ(seen.escapeButton, QStringLiteral("&Nein")) << c.what;
        }
        EXPECT_EQ(wizard.CodeView(), DefaultPage()) << c.what;
        EXPECT_EQ(ReadFileBytes("index.html"), c.replaced ? ownPage : c.restored ? c.copy : c.oldBytes) << c.what;
        EXPECT_EQ(QFileInfo::exists(copy), !c.copy.empty() && !c.restored) << c.what;
    }
}

TEST(Finish, AnUmlautInTheBaseNameGivesThatFileName) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Type("Edit19", "Über");
    wizard.Finish();
    EXPECT_EQ(testsupport::DirectoryListing(), "Über.html\n");
    EXPECT_EQ(ReadFileBytes("Über.html"), PageFileBytes(DefaultPage()));
}

TEST(Finish, TheLastLinkStaysInTheLinkFieldsAndTheListsShowTheirLastEntry) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Do({"TabSheet3", "Edit3=Home", "Edit4=home.html", "SpeedButton2", "Edit3=Fotos", "Edit4=fotos.html",
               "SpeedButton2", "Edit3=Getippt", "Edit4=getippt.html"});
    wizard.Do({"TabSheet4", "Edit12=eins", "Button1", "Edit12=zwei", "Button1"});

    wizard.Finish();
    EXPECT_EQ(wizard.Text("Edit3"), "Fotos");
    EXPECT_EQ(wizard.Text("Edit4"), "fotos.html");
    EXPECT_EQ(wizard.Selected("ListBox2"), 1);
    EXPECT_EQ(wizard.Selected("ListBox1"), 1);

    // Without retyping, the next new link repeats the last one.
    wizard.Page("TabSheet3");
    wizard.Click("SpeedButton2");
    wizard.Finish();
    EXPECT_EQ(wizard.Entries("ListBox2"), (TLines{"Home", "Fotos", "Fotos"}));
    const TLines code = wizard.CodeView();
    ASSERT_GE(code.size(), 26u);
    EXPECT_EQ(code[21], "<td><a href=\"fotos.html\">Fotos</a></td>");
    EXPECT_EQ(code[24], "<td><a href=\"fotos.html\">Fotos</a></td>");
}

TEST(Finish, TheChosenHeadingSizeSurvivesFinishing) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Page("TabSheet2");
    wizard.Click("RadioButton5");
    wizard.Finish();
    wizard.Finish();
    EXPECT_EQ(ReadFileBytes("index.html"), PageFileBytes(DefaultPageWith({{10, {HeadingLine("8", "Neue Seite")}}})));
}

// The steps of a setting, and the page lines they give.
using TSettingCase = testsupport::TStepsRow<TWizardDriver, TLines>;

TEST(Finish, EachSettingReachesItsPlaceInThePage) {
    const TSettingCase cases[] = {
        {"heading size 1", Steps({"TabSheet2", "RadioButton1"}),
         DefaultPageWith({{10, {HeadingLine("3", "Neue Seite")}}})},
        {"heading size 2", Steps({"TabSheet2", "RadioButton2"}),
         DefaultPageWith({{10, {HeadingLine("4", "Neue Seite")}}})},
        {"heading size 3 again", Steps({"TabSheet2", "RadioButton6", "RadioButton3"}), DefaultPage()},
        {"heading size 4", Steps({"TabSheet2", "RadioButton4"}),
         DefaultPageWith({{10, {HeadingLine("6", "Neue Seite")}}})},
        {"heading size 6", Steps({"TabSheet2", "RadioButton6"}),
         DefaultPageWith({{10, {HeadingLine("10", "Neue Seite")}}})},
        {"style sheet without bold links", Steps({"CSS", "fett"}),
         DefaultPageWith({{3,
                           {"<style type=\"text/css\"><!--", "a:link { text-decoration:none; color:#000000; }",
                            "a:visited { text-decoration:none; color:#000000; }",
                            "a:hover { text-decoration:none; color:#000000; }",
                            "a:active { text-decoration:none; color:#000000; }", "--!></style>", "</head>"}}})},
        {"bold links without style sheet", Steps({"fett", "fett"}), DefaultPage()},
        {"margins", Steps({"SpinEdit4=4", "SpinEdit5=9"}),
         DefaultPageWith({{4, {"<body background=\"hintergrund.jpg\" topmargin=\"9\" leftmargin=\"4\">"}}})},
        {"letters in the top margin",
         [](TWizardDriver& w) {
             w.Type("SpinEdit4", "7");
             w.Type("SpinEdit5", "3");
             w.Paste("SpinEdit5", "abc");
         },
         DefaultPageWith({{4, {"<body background=\"hintergrund.jpg\" topmargin=\"0\" leftmargin=\"7\">"}}})},
        {"a decimal separator in the top margin",
         [](TWizardDriver& w) {
             w.Type("SpinEdit5", "3");
             w.Paste("SpinEdit5", "1,5");
         },
         DefaultPage()},
        {"minimum link width", Steps({"TabSheet3", "SpinEdit2=55"}), DefaultPage()},
        {"background colour", Steps({"hgf", "Edit14=#102030"}),
         DefaultPageWith({{4, {"<body bgcolor=\"#102030\" topmargin=\"0\" leftmargin=\"0\">"}}})},
        {"corner image", Steps({"TabSheet2", "eck", "Edit9=ecke.gif", "SpinEdit1=40"}),
         DefaultPageWith({{7, {"<th height=\"40\">"}}, {8, {"<img src=\"ecke.gif\"></th>"}}})},
        {"umlaut and a character beyond the code page", Steps({"TabSheet2", "Edit5=Über →"}),
         DefaultPageWith({{10, {HeadingLine("5", "Über &#8594;")}}})},
        {"markup and percent signs stay as typed", Steps({"TabSheet2", "Edit2=<i>100% {Title}</i> & \"mehr\""}),
         DefaultPageWith({{2, {"<head><title><i>100% {Title}</i> & \"mehr\"</title>"}}})},
        {"for phones, with image descriptions", Steps({"handy", "alttext"}),
         DefaultPageWith({{2,
                           {"<head><title>Neue Seite</title>",
                            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">",
                            "<style type=\"text/css\"><!--", "img { max-width: 100%; height: auto; }", "--!></style>"}},
                          {11, {"<img alt=\"\" src=\"bild.jpg\" align=\"middle\">"}}})},
    };
    for (const TSettingCase& c : cases) {
        TWorkDir dir;
        TWizardDriver wizard;
        c.steps(wizard);
        wizard.Finish();
        EXPECT_EQ(ReadFileBytes("index.html"), PageFileBytes(c.expected)) << c.name;
        EXPECT_EQ(wizard.CodeView(), c.expected) << c.name;
    }
}

TEST(Finish, EveryOptionReachesItsPlaceInThePage) {
    TWorkDir dir;
    TWizardDriver wizard;
    EveryOptionRoad(wizard);
    wizard.Finish();

    const TLines page = {
        "<html>",
        "<head><title>Titel</title>",
        "<style type=\"text/css\"><!--",
        "a:link { text-decoration:none; font-weight:bold; color:#111111; }",
        "a:visited { text-decoration:none; font-weight:bold; color:#222222; }",
        "a:hover { text-decoration:none; font-weight:bold; color:#333333; }",
        "a:active { text-decoration:none; font-weight:bold; color:#444444; }",
        "--!></style>",
        "</head>",
        "<body bgcolor=\"#102030\" topmargin=\"9\" leftmargin=\"4\">",
        "<table cellspacing=\"0\" cellpadding=\"0\">",
        "<tr>",
        "<th height=\"40\">",
        "<img src=\"ecke.gif\"></th>",
        "<td><b>",
        "<font size=\"8\" color=\"#AA0000\" face=\"Verdana\">Alle Optionen</font></b>",
        "<img src=\"logo.png\" align=\"middle\">",
        "</td>",
        "</tr>",
        "<tr>",
        "<td background=\"zelle.gif\"><img src=\"punkt.gif\" align=\"middle\"><a href=\"start.html\">Start</a></td>",
        "<td valign=\"top\" rowspan=\"3\">",
        "<font color=\"#00AA00\" face=\"Courier\">",
        "Erste Zeile",
        "Zweite Zeile",
        "</tr>",
        "<tr>",
        "<td background=\"zelle.gif\"><img src=\"punkt.gif\" align=\"middle\"><a "
        "href=\"kontakt.html\">Kontakt</a></td>",
        "</tr>",
        "<tr>",
        "<th>",
        "<br>",
        "<br>",
        "<img src=\"x.jpg\">Erstes Bild",
        "<br>",
        "<br>",
        "<img src=\"y.jpg\">Zweites Bild",
        "</th>",
        "</tr>",
        "</table>",
        "</body>",
        "</html>",
    };
    EXPECT_EQ(ReadFileBytes("index.html"), PageFileBytes(page));
    EXPECT_EQ(wizard.CodeView(), page);
}

TEST(Finish, LongListsReachTheCodeViewAndTheFileWhole) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Page("TabSheet4");
    const int count = 3000;
    for (int i = 0; i < count; ++i) wizard.Click("SpeedButton6");
    wizard.Finish();
    const TLines code = wizard.CodeView();
    ASSERT_EQ(code.size(), static_cast<std::size_t>(16 + 3 + count));
    EXPECT_EQ(code[14 + count], "<br>");
    EXPECT_EQ(code[15 + count], "</tr>");
    EXPECT_EQ(ReadFileBytes("index.html"), PageFileBytes(code));
    EXPECT_EQ(wizard.Selected("ListBox1"), count - 1);
}

}  // namespace
}  // namespace wizardtest
