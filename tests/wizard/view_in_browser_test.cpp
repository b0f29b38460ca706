// "Im Browser ansehen": which page it opens, when it can be pressed, and what
// the user sees when no browser starts.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QToolButton>
#include <QUrl>

#include "gui_test_support.h"
#include "wizard/wizard_driver.h"
#include "xdg_tree.h"

namespace wizardtest {
namespace {

using testsupport::TWorkDir;

bool CanView(TWizardDriver& wizard) {
    return testsupport::Find<QToolButton>(&wizard.window, QStringLiteral("SpeedButton10"))->isEnabled();
}

TEST(ViewInBrowser, OpensThePageTheLastFinishWrote) {
    const struct {
        const char* name;
        const char* baseName;
        bool shortExtension;
        const char* fileName;
    } cases[] = {
        {"defaults", "index", false, "index.html"},
        {"short extension", "index", true, "index.htm"},
        {"umlaut in the name", "Über uns", false, "Über uns.html"},
        {"in a folder", "seiten/start", false, "seiten/start.html"},
    };
    for (const auto& c : cases) {
        TWorkDir dir;
        ASSERT_TRUE(QDir().mkdir(QStringLiteral("seiten")));
        TWizardDriver wizard;
        wizard.Type("Edit19", QString::fromUtf8(c.baseName));
        if (c.shortExtension) wizard.Click("htm");
        wizard.Finish();
        const QString written = QDir(QString::fromStdString(dir.path())).filePath(QString::fromUtf8(c.fileName));
        ASSERT_TRUE(QFileInfo::exists(written)) << c.name;

        // The page is found even after the working directory has moved on.
        ASSERT_TRUE(QDir::setCurrent(QDir::rootPath()));
        wizard.Page("TabSheet7");
        EXPECT_EQ(wizard.ViewInBrowser(), QList<QUrl>{QUrl::fromLocalFile(written)}) << c.name;
    }
}

TEST(ViewInBrowser, CanBePressedOnlyWhileTheLastFinishWroteThePage) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Page("TabSheet7");
    EXPECT_FALSE(CanView(wizard));
    EXPECT_TRUE(wizard.ViewInBrowser().isEmpty());

    wizard.Finish();
    EXPECT_TRUE(CanView(wizard));

    wizard.Page("TabSheet1");
    wizard.Type("Edit19", "nichtda/index");
    EXPECT_TRUE(testsupport::WithMessageBox([&] { wizard.Finish(); }).shown);
    wizard.Page("TabSheet7");
    EXPECT_FALSE(CanView(wizard));
    EXPECT_TRUE(wizard.ViewInBrowser().isEmpty());

    wizard.Page("TabSheet1");
    wizard.Type("Edit19", "index");
    wizard.Finish();
    wizard.Page("TabSheet7");
    EXPECT_TRUE(CanView(wizard));
    EXPECT_EQ(wizard.ViewInBrowser(),
              QList<QUrl>{QUrl::fromLocalFile(QDir(QString::fromStdString(dir.path())).filePath("index.html"))});
}

TEST(ViewInBrowser, WithoutABrowserTheErrorDisplaySaysSo) {
    // The offscreen platform has no way to open a document, just like a
    // desktop without any browser: with no web browser known either, the
    // desktop's open call fails. On a real display this would start
    // xdg-open, so the case runs offscreen only.
    if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
        GTEST_SKIP() << "needs the offscreen platform, which cannot open documents";
    TWorkDir dir;
    const testsupport::TXdgTree noBrowser;
    TWizardDriver wizard;
    wizard.Finish();
    wizard.Page("TabSheet7");
    const testsupport::TMessageBoxSeen seen = testsupport::WithMessageBox([&] { wizard.Click("SpeedButton10"); });
    EXPECT_TRUE(seen.shown);
    EXPECT_TRUE(seen.errorIcon);
    EXPECT_EQ(seen.caption, testsupport::ExpectedApplicationTitle());
    EXPECT_EQ(seen.text, "Kein Webbrowser gefunden.");
    // The wizard goes on: the page can be finished and viewed again.
    EXPECT_TRUE(CanView(wizard));
}

}  // namespace
}  // namespace wizardtest
