// The name a picked picture gets on the page, without the dialog: where it
// lies as the user sees the paths, and the characters a page must escape.

#include "wizard/picture_name.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include "gui_test_support.h"
#include "wizard/wizard_driver.h"

namespace wizardtest {
namespace {

using testsupport::TWorkDir;

void MakeFile(const QString& name) {
    QDir().mkpath(QFileInfo(name).path());
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
}

// The page's folder "seite"; beside it "fotos", and "seite/bilder" a link
// to it, as a user links a folder of pictures into the page's folder.
void PageFolderWithLinkedPictures() {
    MakeFile(QStringLiteral("seite/index.html"));
    MakeFile(QStringLiteral("fotos/a.jpg"));
    MakeFile(QStringLiteral("seite/a\"b&c\\d.jpg"));
    ASSERT_TRUE(QFile::link(QDir::current().absoluteFilePath(QStringLiteral("fotos")), QStringLiteral("seite/bilder")));
}

TEST(PictureName, AsThePageNamesIt) {
    const struct {
        const char* name;
        const char* chosen;  // relative to the working directory
        const char* onPage;
    } rows[] = {
        {"in a linked subfolder", "seite/bilder/a.jpg", "bilder/a.jpg"},
        {"\", &, \\ escaped", "seite/a\"b&c\\d.jpg", "a%22b%26c%5Cd.jpg"},
    };
    TWorkDir dir;
    PageFolderWithLinkedPictures();
    QWidget window;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString chosen = QDir::current().absoluteFilePath(QString::fromUtf8(row.chosen));
        const QString folder = QDir::current().absoluteFilePath(QStringLiteral("seite"));
        EXPECT_EQ(wizard::NameOnPage(&window, chosen, folder).toStdString(), row.onPage);
    }
}

// The dialog hands over the path as the user walked it, through the link.
TEST(PictureName, ALinkedSubfolderThroughTheDialog) {
    TWorkDir dir;
    PageFolderWithLinkedPictures();
    TWizardDriver wizard;
    wizard.Type("Edit19", "seite/index");
    testsupport::TMessageBoxSeen question;
    const auto pick = [&] {
        question = testsupport::WithMessageBox([&] { wizard.Click("SpeedButton12"); }, QStringLiteral("&Nein"));
    };
    EXPECT_TRUE(testsupport::WithFileDialog(pick, QStringLiteral("bilder/a.jpg")));
    EXPECT_EQ(question.shown, 0) << question.text.toStdString();
    EXPECT_EQ(wizard.Text("Edit1").toStdString(), "bilder/a.jpg");
}

}  // namespace
}  // namespace wizardtest
