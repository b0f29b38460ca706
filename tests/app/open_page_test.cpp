// "Öffnen": a page the program wrote comes back into the wizard and is
// written again where it was found; anything else is refused and changes
// nothing.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <string>

#include "app/start_window.h"
#include "core/folder_names.h"
#include "core/page_file.h"
#include "core/page_generator.h"
#include "default_page.h"
#include "gui_test_support.h"
#include "ui/elided_label.h"
#include "ui/list_box.h"
#include "ui/text_boundary.h"
#include "wizard/wizard_driver.h"
#include "wizard/wizard_window.h"
#include "xdg_tree.h"

namespace {

using testsupport::Click;
using testsupport::ReadFileBytes;
using testsupport::WithFileDialog;
using testsupport::WithMessageBox;

void WriteFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A page with something on every page of the wizard, written into "alt/".
std::string WriteExamplePage() {
    wizardtest::TWizardDriver wizard;
    wizard.Click("hgf");
    wizard.Type("Edit14", "#FFEEDD");
    wizard.Click("CSS");
    wizard.Type("Edit19", "alt/seite");
    wizard.Click("htm");
    wizardtest::UmlautRoad(wizard);
    wizard.Page("TabSheet2");
    wizard.Click("RadioButton5");
    wizard.Finish();
    return ReadFileBytes("alt/seite.htm");
}

class OpenPage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkdir(QStringLiteral("alt")));
        start_.show();
    }

    bool Open(const QString& fileName) {
        return WithFileDialog([this] { Click(start_.SpeedButton1); }, fileName);
    }

    testsupport::TWorkDir dir_;
    TForm1 start_;
};

// "Seite bearbeiten" on page "Links": the page of the selected link comes
// into the wizard as through "Öffnen", or starts new beside this one.
class LinkedPage : public OpenPage {
protected:
    enum class THow { Button, Key, Menu };

    // A written page in "alt" with settings of its own, a text line, an
    // image and a link to each target.
    void SetUp() override {
        OpenPage::SetUp();
        ASSERT_TRUE(QDir::setCurrent(QStringLiteral("alt")));
        TForm3* w = start_.Wizard();
        Click(start_.SpeedButton2);
        const auto press = [](QWidget* control) {
            testsupport::ShowPageHolding(control);
            Click(control);
        };
        const auto type = [](QLineEdit* edit, const QString& text) {
            testsupport::ShowPageHolding(edit);
            testsupport::Retype(edit, text);
        };
        press(w->hgf);
        type(w->Edit14, QStringLiteral("#FFEEDD"));
        press(w->CSS);
        type(w->Edit20, QStringLiteral("#123456"));
        type(w->Edit12, QStringLiteral("Hallo"));
        press(w->Button1);
        type(w->Edit10, QStringLiteral("foto.jpg"));
        press(w->SpeedButton3);
        for (const char* target : {"impressum.html", "kontakt.htm", "fremd.html", "../aussen.html", "weg.html",
                                   "seiten/neu.html", "bild.jpg"}) {
            type(w->Edit3, QStringLiteral("Über ") + QString::fromUtf8(target).section('.', 0, 0));
            type(w->Edit4, QString::fromUtf8(target));
            press(w->SpeedButton2);
        }
        Click(w->SpeedButton9);
        core::TPageDescription impressum;
        impressum.HeadingText = "Impressum";
        core::SavePageLines("impressum.html", core::GeneratePage(impressum));
        WriteFile(QStringLiteral("fremd.html"), "<html><body>Hallo</body></html>\r\n");
        core::SavePageLines("../aussen.html", core::GeneratePage(impressum));
        std::filesystem::create_symlink("../aussen.html", "weg.html");
    }

    // Selects the link to the target (none for an empty one) and gives the
    // command; the switch it asks for is done before this returns.
    testsupport::TMessageBoxSeen Edit(const QString& target, THow how, const QString& answer = QString()) {
        TForm3* w = start_.Wizard();
        testsupport::ShowPage(w, QStringLiteral("TabSheet3"));
        ui::ListSelect(w->ListBox2, static_cast<int>(w->ListBox5.indexOf(target)));
        return WithMessageBox(
            [&] {
                if (how == THow::Button) Click(w->SpeedButton21);
                if (how == THow::Key) {
                    // A window's keys reach it only while it is the active one.
                    QApplication::setActiveWindow(w);
                    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
                    testsupport::Key(w->ListBox2, Qt::Key_E, Qt::ControlModifier);
                }
                if (how == THow::Menu) w->ListBox2->findChild<QAction*>(QStringLiteral("EditPageAction"))->trigger();
                QCoreApplication::sendPostedEvents(&start_, QEvent::MetaCall);
            },
            answer);
    }
};

TEST_F(OpenPage, APageOfTheProgramComesBackAndIsWrittenAgainWhereItWas) {
    const std::string bytes = WriteExamplePage();
    ASSERT_NE(bytes.find("</html>"), std::string::npos);

    ASSERT_TRUE(Open(QString::fromStdString(dir_.path()) + QStringLiteral("/alt/seite.htm")));
    TForm3* wizard = start_.Wizard();
    ASSERT_TRUE(wizard->isVisible());
    EXPECT_EQ(wizard->PageControl1->currentIndex(), 0);
    EXPECT_EQ(QDir::currentPath(), QDir(QString::fromStdString(dir_.path()) + QStringLiteral("/alt")).canonicalPath());
    // The arrow beyond Windows-1252 comes back as the reference the page holds.
    EXPECT_EQ(wizard->Edit5->text(), QStringLiteral("Über uns € &#8594;"));
    EXPECT_EQ(wizard->Edit19->text(), QStringLiteral("seite"));
    EXPECT_TRUE(wizard->htm->isChecked());
    EXPECT_TRUE(wizard->RadioButton5->isChecked());
    EXPECT_EQ(wizard->ListBox2->texts(), QStringList{QStringLiteral("Über uns &#8594;")});
    EXPECT_EQ(wizard->ListBox1->texts(),
              (QStringList{QStringLiteral("Preise in € &#8594; <b>fett</b>"), QStringLiteral("Über uns")}));

    ASSERT_TRUE(QFile::remove(QStringLiteral("seite.htm")));
    Click(wizard->SpeedButton9);
    EXPECT_EQ(ReadFileBytes("seite.htm"), bytes);
}

TEST_F(OpenPage, AnythingElseIsRefusedAndChangesNothing) {
    const std::string page = WriteExamplePage();
    const std::string edited = testpages::EditedByHand(page);
    const struct {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"hand.html", "<html><body>Hallo</body></html>\r\n",
         "hand.html ist keine Seite von HTML Tavirel oder wurde danach von Hand geändert."},
        {"edited.htm", edited, "edited.htm ist keine Seite von HTML Tavirel oder wurde danach von Hand geändert."},
        // The dialog's filter lets it through; the finish could not write it again.
        {"SEITE.HTML", page, "SEITE.HTML ist keine Seite von HTML Tavirel oder wurde danach von Hand geändert."},
    };
    TForm3* wizard = start_.Wizard();
    wizard->Edit5->setText(QStringLiteral("unverändert"));
    // As if that had been written: no question before the file dialog.
    wizard->MarkSaved();
    const QString here = QDir::currentPath();
    for (const auto& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        WriteFile(name, c.bytes);
        const testsupport::TMessageBoxSeen seen = WithMessageBox(
            [&] { EXPECT_TRUE(Open(QString::fromStdString(dir_.path()) + QLatin1Char('/') + name)) << c.name; });
        EXPECT_TRUE(seen.errorIcon) << c.name;
        EXPECT_EQ(seen.text, QString::fromUtf8(c.message));
        EXPECT_EQ(start_.Wizard(), wizard) << c.name;
        EXPECT_EQ(wizard->Edit5->text(), QStringLiteral("unverändert")) << c.name;
        EXPECT_FALSE(wizard->isVisible()) << c.name;
        EXPECT_EQ(QDir::currentPath(), here) << c.name;
    }
}

// A save in place that was killed left the page short and its copy whole.
TEST_F(OpenPage, ThePreviousPageLeftByACutOffSaveIsOfferedBack) {
    const std::string page = WriteExamplePage();
    const QString path = QString::fromStdString(dir_.path()) + QStringLiteral("/alt/seite.htm");
    const struct {
        const char* answer;
        bool restored;
    } cases[] = {{"&Nein", false}, {"&Ja", true}};
    for (const auto& c : cases) {
        const testsupport::TXdgTree tree;
        const QString copy = QString::fromStdString(
            core::PageCopyPath(core::TPageFolder(ui::ToPath(path).parent_path()), "seite.htm").string());
        ASSERT_TRUE(QDir().mkpath(QFileInfo(copy).path()));
        WriteFile(copy, page);
        WriteFile(path, page.substr(0, 100));
        const testsupport::TMessageBoxSeen seen =
            WithMessageBox([&] { EXPECT_TRUE(Open(path)); }, QString::fromUtf8(c.answer));
        EXPECT_EQ(seen.text, QStringLiteral("Beim letzten Speichern von „seite.htm“ wurde das Programm unterbrochen. "
                                            "Die vorherige Fassung liegt in „") +
                                 copy + QStringLiteral("“. Diese Fassung wiederherstellen?"));
        EXPECT_TRUE(seen.questionIcon) << c.answer;
        // Kept, the page cut short is no page to open.
        EXPECT_EQ(seen.shown, c.restored ? 1 : 2) << c.answer;
        EXPECT_EQ(start_.Wizard()->isVisible(), c.restored) << c.answer;
        EXPECT_EQ(ReadFileBytes(ui::ToPath(path).string()), c.restored ? page : page.substr(0, 100)) << c.answer;
        EXPECT_EQ(QFileInfo::exists(copy), !c.restored) << c.answer;
    }
}

TEST_F(OpenPage, CancelChangesNothing) {
    TForm3* wizard = start_.Wizard();
    const QString here = QDir::currentPath();
    EXPECT_TRUE(Open(QString()));
    EXPECT_EQ(start_.Wizard(), wizard);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(QDir::currentPath(), here);
}

TEST_F(LinkedPage, APageOfTheProgramOpensAsThroughOeffnen) {
    const testsupport::TMessageBoxSeen seen = Edit(QStringLiteral("impressum.html"), THow::Button);
    EXPECT_EQ(seen.shown, 0);
    TForm3* wizard = start_.Wizard();
    EXPECT_EQ(wizard->Edit5->text(), QStringLiteral("Impressum"));
    EXPECT_EQ(wizard->Edit19->text(), QStringLiteral("impressum"));
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_FALSE(wizard->HasUnsavedEntries());
    EXPECT_EQ(wizard->Label22->Line(), QStringLiteral("Seite: impressum.html"));
}

TEST_F(LinkedPage, AMissingPageStartsWithTheSettingsAndLinksAndIsWrittenByTheFinish) {
    core::TPageDescription expected = start_.Wizard()->DescribePage();
    const testsupport::TMessageBoxSeen seen = Edit(QStringLiteral("kontakt.htm"), THow::Key);
    EXPECT_EQ(seen.shown, 0);
    TForm3* wizard = start_.Wizard();
    EXPECT_EQ(wizard->Edit19->text(), QStringLiteral("kontakt"));
    EXPECT_EQ(wizard->Label22->Line(), QStringLiteral("Seite: kontakt.htm"));
    EXPECT_TRUE(wizard->HasUnsavedEntries());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("kontakt.htm")));
    expected.Title = expected.HeadingText =
        "\xDC"
        "ber kontakt";
    expected.HeadingImage.clear();
    expected.TextLines.clear();
    expected.Images.clear();
    expected.FileBaseName = "kontakt";
    expected.LongExtension = false;
    Click(wizard->SpeedButton9);
    EXPECT_EQ(ReadFileBytes("kontakt.htm"), std::string(core::GeneratePage(expected).FileBytes()));
    // The name follows the typing.
    testsupport::Retype(wizard->Edit19, QStringLiteral("kontakt2"));
    EXPECT_EQ(wizard->Label22->Line(), QStringLiteral("Seite: kontakt2.htm"));
    Click(wizard->html);
    EXPECT_EQ(wizard->Label22->Line(), QStringLiteral("Seite: kontakt2.html"));
}

TEST_F(LinkedPage, ALinkToNoPageOfThisFolderIsRefusedAndChangesNothing) {
    const struct {
        const char* target;
        THow how;
        const char* message;
    } cases[] = {
        {"fremd.html", THow::Button,
         "fremd.html ist keine Seite von HTML Tavirel oder wurde danach von Hand geändert."},
        {"../aussen.html", THow::Key, "Das Verweisziel „../aussen.html“ ist keine Seite in diesem Ordner."},
        {"weg.html", THow::Menu, "Das Verweisziel „weg.html“ führt aus dem Ordner dieser Seite hinaus."},
        {"seiten/neu.html", THow::Button,
         "Die Seite „seiten/neu.html“ gibt es noch nicht. Neue Seiten entstehen nur im Ordner dieser Seite, nicht "
         "in einem Unterordner."},
        {"", THow::Button, "Bitte wählen Sie zuerst den Link, dessen Seite Sie bearbeiten möchten."},
    };
    TForm3* wizard = start_.Wizard();
    // Refused before the question about them.
    testsupport::Retype(wizard->Edit5, QStringLiteral("ungespeichert"));
    const QString here = QDir::currentPath();
    const QStringList files = QDir().entryList(QDir::AllEntries | QDir::System);
    for (const auto& c : cases) {
        const testsupport::TMessageBoxSeen seen = Edit(QString::fromUtf8(c.target), c.how);
        EXPECT_EQ(seen.shown, 1) << c.target;
        EXPECT_TRUE(seen.errorIcon) << c.target;
        EXPECT_EQ(seen.text, QString::fromUtf8(c.message)) << c.target;
        EXPECT_EQ(start_.Wizard(), wizard) << c.target;
        EXPECT_EQ(wizard->Edit5->text(), QStringLiteral("ungespeichert")) << c.target;
        EXPECT_EQ(QDir::currentPath(), here) << c.target;
        EXPECT_EQ(QDir().entryList(QDir::AllEntries | QDir::System), files) << c.target;
    }
}

TEST_F(LinkedPage, UnsavedEntriesAreAskedAboutFirst) {
    TForm3* wizard = start_.Wizard();
    testsupport::Retype(wizard->Edit5, QStringLiteral("ungespeichert"));
    for (const char* target : {"impressum.html", "kontakt.htm"}) {
        const testsupport::TMessageBoxSeen seen =
            Edit(QString::fromUtf8(target), THow::Button, QStringLiteral("&Nein"));
        EXPECT_TRUE(seen.questionIcon) << target;
        EXPECT_EQ(seen.text, QStringLiteral("Die Eingaben im Assistenten sind noch nicht gespeichert. Trotzdem eine "
                                            "andere Seite öffnen?"));
        EXPECT_EQ(start_.Wizard(), wizard) << target;
        EXPECT_EQ(wizard->Edit5->text(), QStringLiteral("ungespeichert")) << target;
        EXPECT_TRUE(wizard->HasUnsavedEntries()) << target;
    }
    Edit(QStringLiteral("kontakt.htm"), THow::Button, QStringLiteral("&Ja"));
    EXPECT_EQ(start_.Wizard()->Edit5->text(), QStringLiteral("Über kontakt"));
}

}  // namespace
