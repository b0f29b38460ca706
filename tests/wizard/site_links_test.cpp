// "Links auf allen Seiten gleich": the box as a folder's pages and the
// user's choice set it, the one question a finish asks, and what each
// answer leaves on the disk.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSettings>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/page_generator.h"
#include "core/page_reader.h"
#include "gui_test_support.h"
#include "wizard/wizard_driver.h"

namespace wizardtest {
namespace {

using testsupport::ReadFileBytes;

const char* const kOthers[] = {"impressum.html", "kontakt.html"};

core::TPageDescription Other(const char* name) {
    core::TPageDescription page;
    page.Title = page.HeadingText = name;
    return page;
}

std::string Bytes(const core::TPageDescription& page) {
    return std::string(core::GeneratePage(page).FileBytes());
}

struct TSiteRow {
    const char* name;
    int others;                        // pages of this program beside index.html
    std::optional<bool> chosenBefore;  // the box as a window before set it
    bool boxOn;                        // as page "Links" shows it
    QString answer;
    QString question;  // empty: none is asked
    bool othersChange;
};

void PrintTo(const TSiteRow& row, std::ostream* out) {
    *out << row.name;
}

const TSiteRow kSiteRows[] = {
    {"OnePageBesideLeavesTheBoxOff", 1, std::nullopt, false, {}, {}, false},
    {"TwoPagesBesideAskFirst", 2, std::nullopt, true, QStringLiteral("&Ja"),
     QStringLiteral("Die Links auch auf 2 weiteren Seiten ändern? impressum.html, kontakt.html"), true},
    {"NeinChangesOnlyThisPage", 2, std::nullopt, true, QStringLiteral("&Nein"),
     QStringLiteral("Die Links auch auf 2 weiteren Seiten ändern? impressum.html, kontakt.html"), false},
    {"TurnedOffStaysOff", 2, false, false, {}, {}, false},
    {"TurnedOnStaysOn", 1, true, true, QStringLiteral("&Ja"),
     QStringLiteral("Die Links auch auf 1 weiteren Seite ändern? impressum.html"), true},
};

class SiteLinks : public ::testing::TestWithParam<TSiteRow> {};

TEST_P(SiteLinks, AskOnceAndChangeWhatTheAnswerSays) {
    const TSiteRow& row = GetParam();
    testsupport::TWorkDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(dir.path()) + "/config");
    for (int i = 0; i < row.others; ++i) ASSERT_TRUE(testsupport::WriteFileBytes(kOthers[i], Bytes(Other(kOthers[i]))));
    if (row.chosenBefore) {
        TWizardDriver before;
        before.Page("TabSheet3");
        if (before.window.SiteLinks->isChecked() != *row.chosenBefore) before.Click("SiteLinks");
    }

    TWizardDriver wizard;
    wizard.Page("TabSheet3");
    EXPECT_EQ(wizard.window.SiteLinks->isChecked(), row.boxOn);
    wizard.AddLink(QStringLiteral("Fotos"), QStringLiteral("fotos.html"));
    const testsupport::TMessageBoxSeen seen = testsupport::WithMessageBox([&] { wizard.Finish(); }, row.answer);

    EXPECT_EQ(seen.text, row.question);
    const std::optional<core::TPageDescription> page = core::ReadPage(ReadFileBytes("index.html"));
    ASSERT_TRUE(page.has_value());
    ASSERT_EQ(page->Links.size(), 1u);
    for (int i = 0; i < row.others; ++i) {
        core::TPageDescription other = Other(kOthers[i]);
        if (row.othersChange) other.Links = page->Links;
        EXPECT_EQ(ReadFileBytes(kOthers[i]), Bytes(other)) << kOthers[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Each, SiteLinks, ::testing::ValuesIn(kSiteRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wizardtest
