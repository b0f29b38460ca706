// "Öffnen": a page the program wrote comes back into the wizard and is
// written again where it was found; anything else is refused and changes
// nothing.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <string>

#include "app/start_window.h"
#include "core/page_file.h"
#include "default_page.h"
#include "gui_test_support.h"
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
        const QString copy = QString::fromStdString(core::PageCopyPath(ui::ToPath(path)).string());
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

}  // namespace
