// The units the wizard window hands its work to, where a refactoring could
// quietly break them: the mapping of the controls to a page description in
// both directions, the hidden partner lists, the unsaved mark with text
// waiting for the next entry, and "Ordner…".

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QSemaphore>
#include <QStringList>
#include <QThreadPool>
#include <QToolButton>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "gui_test_support.h"
#include "support/description.h"
#include "support/rows.h"
#include "ui/elided_label.h"
#include "ui/list_box.h"
#include "wizard/paired_list.h"
#include "wizard/wizard_driver.h"

namespace wizardtest {
namespace {

using testsupport::Find;
using testsupport::TWorkDir;

// A value other than the default in every field, so that a field the
// mapping forgets in either direction comes back as its default.
core::TPageDescription EveryFieldChanged() {
    core::TPageDescription page;
    int number = 0;
    testsupport::ForEachField(page, [&number](std::string_view name, auto& field) {
        using TField = std::decay_t<decltype(field)>;
        const std::string text = std::string(name) + " " + std::to_string(++number);
        if constexpr (std::is_same_v<TField, std::string>)
            field = text;
        else if constexpr (std::is_same_v<TField, bool>)
            field = !field;
        else if constexpr (std::is_integral_v<TField>)
            field = field == 5 ? 2 : 5;  // 5 and 2 are heading sizes too
        else if constexpr (std::is_same_v<TField, std::vector<core::TLinkEntry>>)
            field = {{text, "a.html"}, {"Zwei", "b.html"}};
        else if constexpr (std::is_same_v<TField, std::vector<core::TImageEntry>>)
            field = {{"a.jpg", text}, {"b.jpg", "Zwei"}};
        else
            field = {text, "Zwei"};
    });
    return page;
}

TEST(WizardUnits, EveryFieldGoesIntoTheControlsAndBack) {
    const core::TPageDescription page = EveryFieldChanged();
    ASSERT_NE(testsupport::FieldLines(page), testsupport::FieldLines(core::TPageDescription()));
    TForm3 wizard;
    wizard.LoadPageDescription(page);
    EXPECT_EQ(testsupport::FieldLines(wizard.DescribePage()), testsupport::FieldLines(page));
}

using TPairs = std::vector<std::pair<QString, QString>>;

TPairs Pairs(const wizard::TPairedList& list) {
    TPairs pairs;
    for (int row = 0; row < list.Count(); ++row) pairs.emplace_back(list.Text(row), list.Partner(row));
    // A partner more than entries is out of step too.
    if (list.Partners().size() != list.Count()) pairs.emplace_back(QStringLiteral("?"), QStringLiteral("?"));
    return pairs;
}

TEST(WizardUnits, APartnerGoesWhereverItsEntryGoes) {
    using TSteps = std::function<void(wizard::TPairedList&, ui::TListBox&)>;
    const struct {
        const char* name;
        TSteps steps;
        TPairs after;
    } rows[] = {
        {"moved down by the list's key",
         [](wizard::TPairedList&, ui::TListBox& list) {
             ui::ListSelect(&list, 0);
             list.setFocus();
             testsupport::Key(&list, Qt::Key_Down, Qt::AltModifier);
         },
         {{"b", "B"}, {"a", "A"}, {"c", "C"}, {"d", "D"}}},
        {"move, delete, edit",
         [](wizard::TPairedList& links, ui::TListBox&) {
             links.Move(0, 3);
             links.Remove(1);
             EXPECT_TRUE(links.Edit(1, QStringLiteral("d2"), QStringLiteral("D2")));
             EXPECT_FALSE(links.Edit(0, QStringLiteral("b2"), QStringLiteral("B")));
         },
         {{"b2", "B"}, {"d2", "D2"}, {"a", "A"}}},
        {"nothing selected deletes nothing",
         [](wizard::TPairedList& links, ui::TListBox&) { links.Remove(-1); },
         {{"a", "A"}, {"b", "B"}, {"c", "C"}, {"d", "D"}}},
        {"cleared, filled again",
         [](wizard::TPairedList& links, ui::TListBox&) {
             links.Clear();
             links.Add(QStringLiteral("x"), QStringLiteral("X"));
         },
         {{"x", "X"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ui::TListBox list;
        QStringList partner;
        wizard::TPairedList links(&list, partner);
        for (const char* text : {"a", "b", "c", "d"})
            links.Add(QString::fromLatin1(text), QString::fromLatin1(text).toUpper());
        list.show();
        row.steps(links, list);
        EXPECT_EQ(Pairs(links), row.after);
    }
}

// Text typed for the next entry is on no page: a finish leaves the wizard
// unsaved while such text waits, and "Ende" then asks.
TEST(WizardUnits, TextWaitingForTheNextEntryStaysUnsavedAfterAFinish) {
    const testsupport::TStepsRow<TWizardDriver, bool> rows[] = {
        {"nothing typed", [](TWizardDriver&) {}, false},
        {"text line typed, not added", [](TWizardDriver& w) { w.Type("Edit12", "halb"); }, true},
        {"text line added",
         [](TWizardDriver& w) {
             w.Page("TabSheet4");
             w.AddLine("ganz");
         },
         false},
        {"image typed, not added", [](TWizardDriver& w) { w.Type("Edit11", "Bildtext"); }, true},
        {"image added, its text left in place", [](TWizardDriver& w) { w.AddImage("a.jpg", "A"); }, false},
        {"inline link typed", [](TWizardDriver& w) { w.Type("Edit22", "dort"); }, true},
        {"inline link inserted",
         [](TWizardDriver& w) {
             w.Type("Edit22", "dort");
             w.Click("BitBtn1");
         },
         false},
        {"inline image typed", [](TWizardDriver& w) { w.Type("Edit13", "x.png"); }, true},
        {"link typed, no links", [](TWizardDriver& w) { w.Type("Edit3", "Start"); }, true},
        // With links, the finish puts the last link into the link fields.
        {"link typed, links there",
         [](TWizardDriver& w) {
             w.AddLink("Eins", "eins.html");
             w.Type("Edit3", "Start");
         },
         false},
        {"typed again after adding",
         [](TWizardDriver& w) {
             w.AddImage("a.jpg", "A");
             w.Type("Edit10", "b.jpg");
         },
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TWorkDir dir;
        TWizardDriver wizard;
        row.steps(wizard);
        wizard.Finish();
        EXPECT_EQ(wizard.window.HasUnsavedEntries(), row.expected);
    }
}

// Keeps the missing-files check's thread busy until released, so that a
// check started meanwhile is still running.
class TBusyWorker {
public:
    explicit TBusyWorker(TForm3& wizard) : worker_(wizard.findChild<QThreadPool*>()) {
        worker_->start([this] { gate_.acquire(); });
    }
    ~TBusyWorker() { Release(); }
    void Release() {
        if (released_) return;
        released_ = true;
        gate_.release();
        worker_->waitForDone();
    }

private:
    QThreadPool* worker_;
    QSemaphore gate_;
    bool released_ = false;
};

TEST(WizardUnits, OrdnerMakesTheChosenFolderThePagesFolder) {
    TWorkDir dir;
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("Website")));
    const QString folder = QDir::current().absoluteFilePath(QStringLiteral("Website"));
    TWizardDriver wizard;
    auto* button = Find<QToolButton>(&wizard.window, QStringLiteral("SpeedButton20"));
    EXPECT_EQ(button->text(), QStringLiteral("Ordner…"));
    EXPECT_EQ(button->geometry(), QRect(8, 64, 81, 21));
    EXPECT_EQ(button->parentWidget(), static_cast<QWidget*>(wizard.window.GroupBox1));
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    wizard.Type("Edit19", "seite");
    wizard.Finish();
    ASSERT_FALSE(wizard.window.WrittenPage.isEmpty());
    int changes = 0;
    QObject::connect(&wizard.window, &TForm3::PageChanged, [&changes] { ++changes; });
    EXPECT_TRUE(testsupport::WithFileDialog([&] { wizard.Click("SpeedButton20"); }, folder));

    EXPECT_EQ(QDir::currentPath(), folder);
    EXPECT_EQ(wizard.Text("Edit19"), QStringLiteral("seite"));
    EXPECT_EQ(wizard.window.PageFolder(), folder);
    EXPECT_EQ(button->toolTip(), folder);
    EXPECT_GE(changes, 1);
    EXPECT_TRUE(wizard.window.HasUnsavedEntries());
    EXPECT_TRUE(wizard.window.WrittenPage.isEmpty());
    EXPECT_FALSE(wizard.window.SpeedButton10->isEnabled());
    EXPECT_EQ(wizard.window.Label21->Line(), QString());

    wizard.Finish();
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral("seite.html")));
    EXPECT_EQ(wizard.window.WrittenPage, QDir(folder).filePath(QStringLiteral("seite.html")));
}

// A finish that writes nothing while the check of the one before is still
// running: the old check's result must not come back.
TEST(WizardUnits, ANewFinishDropsTheRunningCheck) {
    TWorkDir dir;
    TWizardDriver wizard;
    TBusyWorker busy(wizard.window);
    wizard.Click("SpeedButton9");
    wizard.Type("Edit19", "fehlt/index");
    EXPECT_TRUE(testsupport::WithMessageBox([&] { wizard.Click("SpeedButton9"); }).errorIcon);
    busy.Release();
    WaitForMissingFilesCheck(wizard.window);
    QCoreApplication::processEvents();
    EXPECT_EQ(wizard.window.Label21->Line(), QString());
}

}  // namespace
}  // namespace wizardtest
