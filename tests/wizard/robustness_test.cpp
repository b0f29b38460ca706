// Whatever the user types, pastes or piles up, the page reaches the code view
// and the file whole, and the wizard keeps going.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QStringList>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "gui_test_support.h"
#include "ui/error_display.h"
#include "wizard/wizard_driver.h"

namespace wizardtest {
namespace {

using testsupport::Find;
using testsupport::ReadFileBytes;
using testsupport::TWorkDir;

// The page file cut at its CR LF pairs, each line as the code view shows it
// (the tests use Latin-1 characters only).
TLines FileLines(const std::string& bytes) {
    TLines lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(QString::fromLatin1(bytes.substr(start, end - start)).toStdString());
    if (start != bytes.size()) lines.push_back("<bytes after the last CR LF>");
    return lines;
}

std::size_t CountCrLf(const std::string& bytes) {
    std::size_t count = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++count;
    return count;
}

bool SomethingDrawn(const QImage& shot) {
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) != shot.pixel(0, 0)) return true;
    return false;
}

// The user looks at every page, the code view included: each is painted.
void LookAtEveryPage(TWizardDriver& wizard) {
    for (const char* page : {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4", "TabSheet5", "TabSheet7"}) {
        wizard.Page(page);
        EXPECT_TRUE(SomethingDrawn(wizard.window.grab().toImage())) << page;
    }
}

bool HasLine(const TLines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A text of the given length that shows where it was cut: its position
// counts up in every tenth place, and it ends in an umlaut.
QString LongText(char tag, qsizetype length) {
    QString text;
    text.reserve(length);
    text += QLatin1Char(tag);
    while (text.size() < length - 1) text += (text.size() % 10 == 0) ? QString::number(text.size()) : QString(u'.');
    text.truncate(length - 1);
    text += u'ü';
    return text;
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

// What one of the texts turns into in the page, given the texts by name.
using TExpectedLine = std::function<std::string(const std::map<std::string, QString>&)>;

struct TTextTarget {
    const char* page;
    std::vector<const char*> edits;
    const char* command;  // nullptr: the edit alone feeds the page
    TExpectedLine line;
};

// One target per kind of place a typed text reaches.
std::vector<TTextTarget> TextTargets() {
    return {
        {"TabSheet2",
         {"Edit5"},
         nullptr,
         [](const auto& t) {
             return "<font size=\"5\" color=\"#000000\" face=\"Arial\">" + Utf8(t.at("Edit5")) + "</font></b>";
         }},
        {"TabSheet4", {"Edit12"}, "Button1", [](const auto& t) { return Utf8(t.at("Edit12")); }},
        {"TabSheet3",
         {"Edit3", "Edit4"},
         "SpeedButton2",
         [](const auto& t) {
             return "<td><a href=\"" + Utf8(t.at("Edit4")) + "\">" + Utf8(t.at("Edit3")) + "</a></td>";
         }},
        {"TabSheet5",
         {"Edit10", "Edit11"},
         "SpeedButton3",
         [](const auto& t) { return "<img src=\"" + Utf8(t.at("Edit10")) + "\">" + Utf8(t.at("Edit11")); }},
    };
}

// Enters a text per edit of every target, the given way, finishes, and
// checks that each text stands whole in the code view and in the file.
void EnterFinishAndFind(const std::function<void(TWizardDriver&, const char*, const QString&)>& enter,
                        const std::function<QString(char)>& textFor) {
    TWorkDir dir;
    TWizardDriver wizard;
    std::vector<std::string> expected;
    char tag = 'A';
    for (const TTextTarget& target : TextTargets()) {
        wizard.Page(target.page);
        std::map<std::string, QString> texts;
        for (const char* edit : target.edits) {
            texts[edit] = textFor(tag++);
            enter(wizard, edit, texts[edit]);
        }
        if (target.command != nullptr) wizard.Click(target.command);
        expected.push_back(target.line(texts));
    }
    wizard.Finish();
    LookAtEveryPage(wizard);
    const TLines code = wizard.CodeView();
    const std::string bytes = ReadFileBytes("index.html");
    EXPECT_TRUE(FileLines(bytes) == code) << "file and code view differ";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(HasLine(code, expected[i])) << "target " << i;
        const std::string fileLine = QString::fromStdString(expected[i]).toLatin1().toStdString();
        EXPECT_NE(bytes.find("\r\n" + fileLine + "\r\n"), std::string::npos) << "target " << i;
    }
}

TEST(Robustness, AMebibytePastedIntoAnEditReachesThePageWhole) {
    EnterFinishAndFind([](TWizardDriver& w, const char* edit, const QString& text) { w.Paste(edit, text); },
                       [](char tag) { return LongText(tag, qsizetype{1} << 20); });
}

TEST(Robustness, ALongTypedTextReachesThePageWhole) {
    // Typed key by key; a whole mebibyte would take far too long this way,
    // so the typed texts are a few thousand characters and the paste above
    // covers the size.
    EnterFinishAndFind([](TWizardDriver& w, const char* edit, const QString& text) { w.Type(edit, text); },
                       [](char tag) { return LongText(tag, 3000); });
}

TEST(Robustness, EveryEditAndSpinFieldKeepsAPasteBeyondSixteenBits) {
    TWorkDir dir;
    TWizardDriver wizard;
    const QString text = LongText('Z', 70000);
    const QList<QLineEdit*> edits = wizard.window.findChildren<QLineEdit*>();
    ASSERT_GE(edits.size(), 30);
    for (QLineEdit* edit : edits) {
        // A spin field's edit is a part of it; the user pastes into the field.
        QWidget* control = edit;
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(edit->parentWidget())) control = spin;
        const QByteArray name = control->objectName().toLatin1();
        QWidget* page = control;
        while (page != nullptr && !page->objectName().startsWith(QLatin1String("TabSheet")))
            page = page->parentWidget();
        ASSERT_NE(page, nullptr) << name.constData();
        wizard.Page(page->objectName().toLatin1().constData());
        wizard.Paste(name.constData(), text);
        EXPECT_EQ(edit->text().size(), text.size()) << name.constData();
        EXPECT_TRUE(edit->text() == text) << name.constData();
    }
    wizard.Type("Edit19", "index");
    EXPECT_FALSE(testsupport::WithMessageBox([&] { wizard.Finish(); }).shown);
    LookAtEveryPage(wizard);
    EXPECT_TRUE(FileLines(ReadFileBytes("index.html")) == wizard.CodeView());
}

// Presses a button many times. click() instead of a mouse click per entry:
// the same clicked signal and handler, without the mouse's event round trip
// that would make a hundred thousand entries take minutes.
void PressRepeatedly(TWizardDriver& wizard, const char* button, int times) {
    auto* target = Find<QAbstractButton>(&wizard.window, button);
    for (int i = 0; i < times; ++i) target->click();
}

TEST(Robustness, AHundredThousandEntriesPerListAndADeletionInTheMiddle) {
    // Takes seconds, also under AddressSanitizer, so every build runs the
    // full count.
    const int count = 100000;
    const int middle = count / 2;
    TWorkDir dir;
    TWizardDriver wizard;

    // Each list: a first, a middle and a last entry of their own, the rest
    // added again and again by one button.
    const struct {
        const char* page;
        const char* list;
        const char* fields[2];  // what the add button takes; the second may be none
        const char* add;
        const char* own[3][2];  // the first, the middle and the last entry
        const char* repeated[2];
        const char* repeat;
        const char* remove;
    } lists[] = {
        {"TabSheet3",
         "ListBox2",
         {"Edit3", "Edit4"},
         "SpeedButton2",
         {{"Erster", "erster.html"}, {"Mitte", "mitte.html"}, {"Letzter", "letzter.html"}},
         {"Link", "ziel.html"},
         "SpeedButton2",
         "SpeedButton5"},
        {"TabSheet4",
         "ListBox1",
         {"Edit12", nullptr},
         "Button1",
         {{"erste Zeile"}, {"mittlere Zeile"}, {"letzte Zeile"}},
         {},
         "SpeedButton6",
         "SpeedButton7"},
        {"TabSheet5",
         "ListBox3",
         {"Edit10", "Edit11"},
         "SpeedButton3",
         {{"erstes.jpg", "Eins"}, {"mittleres.jpg", "Mitte"}, {"letztes.jpg", "Ende"}},
         {"bild.jpg", ""},
         "SpeedButton3",
         "SpeedButton4"},
    };
    const auto type = [&](const char* const(&fields)[2], const char* const(&texts)[2]) {
        for (int i : {0, 1})
            if (fields[i] != nullptr && texts[i] != nullptr) wizard.Type(fields[i], QString::fromUtf8(texts[i]));
    };
    for (const auto& list : lists) {
        wizard.Page(list.page);
        for (int part = 0; part < 3; ++part) {
            if (part > 0) {
                type(list.fields, list.repeated);
                PressRepeatedly(wizard, list.repeat, part == 1 ? middle - 1 : count - middle - 2);
            }
            type(list.fields, list.own[part]);
            wizard.Click(list.add);
        }
    }

    // Heading row 13 lines, first link row 2, text cell 3 plus its lines,
    // 3 per further link, image row 4 plus a break and an image per image,
    // document end 3.
    const auto pageLength = [](int n) { return static_cast<std::size_t>(22 + 6 * n); };
    const auto checkPage = [&](int n, bool middleThere) {
        const TLines code = wizard.CodeView();
        ASSERT_EQ(code.size(), pageLength(n));
        const std::string bytes = ReadFileBytes("index.html");
        EXPECT_EQ(CountCrLf(bytes), code.size());
        EXPECT_TRUE(FileLines(bytes) == code) << "file and code view differ";
        const auto at = [&](std::size_t i) { return code[i]; };
        EXPECT_EQ(at(14), "<td><a href=\"erster.html\">Erster</a></td>");
        EXPECT_EQ(at(15), "<td valign=\"top\" rowspan=\"" + std::to_string(n + 1) + "\">");
        EXPECT_EQ(at(17), "erste Zeile");
        EXPECT_EQ(at(16 + static_cast<std::size_t>(n)), "letzte Zeile");
        EXPECT_EQ(at(17 + static_cast<std::size_t>(n)), "</tr>");
        EXPECT_EQ(at(13 + 4 * static_cast<std::size_t>(n)), "<td><a href=\"letzter.html\">Letzter</a></td>");
        EXPECT_EQ(at(18 + 4 * static_cast<std::size_t>(n)), "<img src=\"erstes.jpg\">Eins");
        EXPECT_EQ(at(code.size() - 6), "<img src=\"letztes.jpg\">Ende");
        EXPECT_EQ(HasLine(code, "<td><a href=\"mitte.html\">Mitte</a></td>"), middleThere);
        EXPECT_EQ(HasLine(code, "mittlere Zeile"), middleThere);
        EXPECT_EQ(HasLine(code, "<img src=\"mittleres.jpg\">Mitte"), middleThere);
    };

    wizard.Finish();
    LookAtEveryPage(wizard);
    checkPage(count, true);

    for (const auto& list : lists) {
        wizard.Page(list.page);
        wizard.SelectEntry(list.list, middle);
        ASSERT_EQ(wizard.Selected(list.list), middle) << list.list;
        wizard.Click(list.remove);
        EXPECT_EQ(wizard.Selected(list.list), -1) << list.list;
    }
    wizard.Finish();
    LookAtEveryPage(wizard);
    checkPage(count - 1, false);
}

// Control characters of every kind, as they come in by the clipboard, with
// a character beyond 16 bits and half of one.
QString ControlText(const char* tag) {
    return QString::fromLatin1(tag) + QChar(0) + u'\t' + QChar(1) + QChar(0x1b) + QChar(0x7f) + QChar(0x85) +
           QChar(0x2028) + QString::fromUcs4(U"\U0001F600") + QChar(0xD800) + u'|';
}

// The same in the page: the bytes as they are, the characters the code page
// lacks as character references, the half character as the replacement one.
std::string ControlLine(const char* tag) {
    return std::string(tag) + std::string(1, '\0') + "\t\x01\x1b\x7f" + "&#133;&#8232;&#128512;&#65533;|";
}

TEST(Robustness, ControlCharactersAndNulReachThePageAsTheyStand) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Paste("Edit1", ControlText("bg"));
    wizard.Page("TabSheet2");
    wizard.Paste("Edit2", ControlText("titel"));
    wizard.Paste("Edit5", ControlText("kopf"));
    wizard.Page("TabSheet3");
    wizard.Paste("Edit3", ControlText("text"));
    wizard.Paste("Edit4", ControlText("ziel"));
    wizard.Click("SpeedButton2");
    wizard.Page("TabSheet4");
    wizard.Paste("Edit12", ControlText("zeile"));
    wizard.Click("Button1");
    wizard.Paste("Edit13", ControlText("inline"));
    wizard.Click("BitBtn8");
    wizard.Page("TabSheet5");
    wizard.Paste("Edit10", ControlText("bild"));
    wizard.Paste("Edit11", ControlText("unter"));
    wizard.Click("SpeedButton3");
    EXPECT_FALSE(testsupport::WithMessageBox([&] { wizard.Finish(); }).shown);
    LookAtEveryPage(wizard);

    const TLines expectedLines = {
        "<head><title>" + ControlLine("titel") + "</title>",
        "<body background=\"" + ControlLine("bg") + "\" topmargin=\"0\" leftmargin=\"0\">",
        "<font size=\"5\" color=\"#000000\" face=\"Arial\">" + ControlLine("kopf") + "</font></b>",
        "<td><a href=\"" + ControlLine("ziel") + "\">" + ControlLine("text") + "</a></td>",
        ControlLine("zeile"),
        "<img src=\"" + ControlLine("inline") + "\">",
        "<img src=\"" + ControlLine("bild") + "\">" + ControlLine("unter"),
    };
    const TLines code = wizard.CodeView();
    const std::string bytes = ReadFileBytes("index.html");
    EXPECT_EQ(FileLines(bytes), code);
    for (const std::string& line : expectedLines) {
        EXPECT_TRUE(HasLine(code, line)) << line;
        EXPECT_NE(bytes.find("\r\n" + line + "\r\n"), std::string::npos) << line;
    }
}

TEST(Robustness, LineBreaksPastedIntoAnEditBecomeSpaces) {
    TWorkDir dir;
    TWizardDriver wizard;
    const QString pasted = QStringLiteral("eins\r\nzwei\ndrei\rvier\n");
    wizard.Page("TabSheet2");
    wizard.Paste("Edit2", pasted);
    wizard.Page("TabSheet3");
    wizard.Paste("Edit3", pasted);
    wizard.Click("SpeedButton2");
    wizard.Page("TabSheet4");
    wizard.Paste("Edit12", pasted);
    wizard.Enter("Edit12");
    wizard.Finish();

    const TLines code = wizard.CodeView();
    const std::string bytes = ReadFileBytes("index.html");
    EXPECT_EQ(CountCrLf(bytes), code.size());
    EXPECT_EQ(FileLines(bytes), code);
    EXPECT_TRUE(HasLine(code, "<head><title>eins  zwei drei vier </title>"));
    EXPECT_TRUE(HasLine(code, "<td><a href=\"verweisziel.html\">eins  zwei drei vier </a></td>"));
    EXPECT_TRUE(HasLine(code, "eins  zwei drei vier "));
}

TEST(Robustness, FileNamesWithControlCharacters) {
    const struct {
        QString baseName;
        QString fileName;  // empty: the file cannot be created
        QString message;
    } cases[] = {
        {QStringLiteral("seite\t\x01\x1b\x7f"), QStringLiteral("seite\t\x01\x1b\x7f.html"), QString()},
        {QStringLiteral("in") + QChar(0) + QStringLiteral("dex"), QString(), QStringLiteral("Cannot create file in")},
        {LongText('N', 70000), QString(), QStringLiteral("Cannot create file ") + LongText('N', 70000) + ".html."},
    };
    for (const auto& [baseName, fileName, message] : cases) {
        TWorkDir dir;
        TWizardDriver wizard;
        wizard.Paste("Edit19", baseName);
        const testsupport::TMessageBoxSeen seen = testsupport::WithMessageBox([&] { wizard.Finish(); });
        EXPECT_EQ(wizard.CodeView(), DefaultPage());
        if (fileName.isEmpty()) {
            EXPECT_TRUE(seen.shown);
            EXPECT_TRUE(seen.errorIcon);
            EXPECT_EQ(seen.caption, testsupport::ExpectedApplicationTitle());
            // The message names the file (up to a NUL at least) and ends in a full stop.
            EXPECT_TRUE(seen.text.startsWith(message) && seen.text.endsWith(u'.')) << seen.text.toStdString();
            EXPECT_EQ(testsupport::DirectoryListing(), "");
        } else {
            EXPECT_FALSE(seen.shown);
            EXPECT_EQ(testsupport::DirectoryListing(), fileName.toStdString() + "\n");
            EXPECT_EQ(ReadFileBytes(fileName.toStdString()), PageFileBytes(DefaultPage()));
        }
    }
}

// A handler of the test's own beside the wizard's: it fails the way it is told.
class TFailingHandler : public QWidget {
public:
    TFailingHandler(std::function<void()> fail, QWidget* parent) : QWidget(parent), fail_(std::move(fail)) {}
    void Fail() { fail_(); }

private:
    std::function<void()> fail_;
};

TEST(Robustness, AFailingHandlerShowsTheErrorAndTheWizardGoesOn) {
    const struct {
        const char* page;
        const char* button;
        std::function<void()> fail;
        QString text;
    } cases[] = {
        {"TabSheet3", "SpeedButton2", [] { throw std::runtime_error("Kein Platz mehr"); },
         QStringLiteral("Kein Platz mehr.")},
        {"TabSheet4", "Button1", [] { throw std::logic_error("Abgebrochen!"); }, QStringLiteral("Abgebrochen!")},
        {"TabSheet5", "SpeedButton3", [] { throw std::runtime_error("Gr\xFC\xDF"); }, QStringLiteral("Grüß.")},
        {"TabSheet4", "SpeedButton6", [] { throw 42; }, QStringLiteral("Unbekannter Fehler.")},
        {"TabSheet1", "SpeedButton9", [] { throw "kein Fehlerobjekt"; }, QStringLiteral("Unbekannter Fehler.")},
    };
    TWorkDir dir;
    TWizardDriver wizard;
    for (const auto& [page, button, fail, text] : cases) {
        auto* failing = new TFailingHandler(fail, &wizard.window);
        ui::ConnectGuarded(Find<QAbstractButton>(&wizard.window, button), &QAbstractButton::clicked, failing,
                           &TFailingHandler::Fail);
        wizard.Page(page);
        const testsupport::TMessageBoxSeen seen = testsupport::WithMessageBox([&] { wizard.Click(button); });
        EXPECT_TRUE(seen.shown) << button;
        EXPECT_TRUE(seen.errorIcon) << button;
        EXPECT_EQ(seen.caption, testsupport::ExpectedApplicationTitle()) << button;
        EXPECT_EQ(seen.text, text) << button;
        delete failing;
    }
    // The wizard's own handlers ran before each failure; the last click
    // finished the page before its failure.
    EXPECT_EQ(wizard.Entries("ListBox2").size(), 1u);
    EXPECT_EQ(wizard.Entries("ListBox1"), (TLines{"", "<br>"}));
    EXPECT_EQ(wizard.Entries("ListBox3").size(), 1u);
    EXPECT_TRUE(FileLines(ReadFileBytes("index.html")) == wizard.CodeView());

    wizard.Page("TabSheet2");
    wizard.Type("Edit5", "Weiter");
    EXPECT_FALSE(testsupport::WithMessageBox([&] { wizard.Finish(); }).shown);
    const TLines code = wizard.CodeView();
    EXPECT_EQ(FileLines(ReadFileBytes("index.html")), code);
    EXPECT_TRUE(HasLine(code, "<font size=\"5\" color=\"#000000\" face=\"Arial\">Weiter</font></b>"));
    EXPECT_TRUE(HasLine(code, "<td><a href=\"verweisziel.html\">Link</a></td>"));
}

}  // namespace
}  // namespace wizardtest
