// Correcting the three lists after the fact (editing and moving entries) and
// the keys that reach the wizard's commands. Every case ends with the page
// file, compared byte for byte with the page of a wizard that was given the
// corrected lists from the start.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <functional>
#include <utility>
#include <vector>

#include "gui_test_support.h"
#include "ui/list_box.h"
#include "wizard/wizard_driver.h"

namespace wizardtest {
namespace {

using testsupport::Find;
using testsupport::TWorkDir;
using TPairs = std::vector<std::pair<QString, QString>>;

struct TLists {
    TPairs links;
    std::vector<QString> lines;
    TPairs images;
};

const TLists kStart = {
    {{"Eins", "eins.html"}, {"Zwei", "zwei.html"}, {"Drei", "drei.html"}},
    {"eins", "zwei", "drei"},
    {{"a.jpg", "A"}, {"b.jpg", "B"}, {"c.jpg", "C"}},
};

void Fill(TWizardDriver& wizard, const TLists& lists) {
    for (const auto& [text, target] : lists.links) wizard.AddLink(text, target);
    for (const QString& line : lists.lines) {
        wizard.Type("Edit12", line);
        wizard.Click("Button1");
    }
    for (const auto& [file, caption] : lists.images) wizard.AddImage(file, caption);
}

// The page file a wizard writes that was given these lists by hand.
std::string PageOf(const TLists& lists) {
    TWizardDriver wizard;
    Fill(wizard, lists);
    wizard.Finish();
    return testsupport::ReadFileBytes("index.html");
}

const char* PageOfList(const char* list) {
    if (QByteArray(list) == "ListBox2") return "TabSheet3";
    if (QByteArray(list) == "ListBox1") return "TabSheet4";
    return "TabSheet5";
}

// A fresh folder and wizard holding kStart, on the page of the list with
// this entry selected.
struct TStartedList {
    TStartedList(const char* list, int selected) {
        Fill(wizard, kStart);
        wizard.Page(PageOfList(list));
        wizard.SelectEntry(list, selected);
    }
    TWorkDir dir;
    TWizardDriver wizard;
};

struct TDialogSeen {
    QString caption;
    QString first;
    QString second;
    bool firstSelected = false;
};

// Runs the action; the dialog it opens is handed to `handle` once it is the
// active window, where keys reach it.
void WithDialog(const std::function<void()>& action, const std::function<void(QDialog*)>& handle) {
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isActiveWindow()) return;
        poll.stop();
        handle(dialog);
    });
    poll.start();
    action();
}

// Runs the action; the entry dialog it opens is read, its two fields retyped
// (the second reached by Tab) and the dialog ended with this key.
TDialogSeen WithEntryDialog(const std::function<void()>& action, const QString& first, const QString& second,
                            Qt::Key end) {
    TDialogSeen seen;
    WithDialog(action, [&](QDialog* dialog) {
        auto* firstEdit = Find<QLineEdit>(dialog, "FirstEdit");
        seen.caption = dialog->windowTitle();
        seen.first = firstEdit->text();
        seen.second = Find<QLineEdit>(dialog, "SecondEdit")->text();
        seen.firstSelected = firstEdit->hasFocus() && firstEdit->selectedText() == seen.first;
        testsupport::Type(firstEdit, first);
        testsupport::Key(firstEdit, Qt::Key_Tab);
        testsupport::Type(QApplication::focusWidget(), second);
        testsupport::Key(QApplication::focusWidget(), end);
    });
    return seen;
}

// Opens the selected entry's editor as a user does.
void OpenEntry(TWizardDriver& wizard, const char* list, bool byDoubleClick) {
    auto* box = Find<QListView>(&wizard.window, list);
    box->setFocus();
    if (!byDoubleClick) {
        testsupport::Key(box, Qt::Key_F2);
        return;
    }
    const QPoint entry = box->visualRect(box->currentIndex()).center();
    QTest::mouseDClick(box->viewport(), Qt::LeftButton, Qt::NoModifier, entry);
}

TEST(ListEditing, AnEditedEntryKeepsItsPlaceAndItsPartner) {
    const struct {
        const char* name;
        const char* list;
        bool byDoubleClick;
        QString first;
        QString second;  // unused for a text line
        Qt::Key end;
        TLists expected;
    } rows[] = {
        {"link",
         "ListBox2",
         false,
         "Zwo",
         "zwo.html",
         Qt::Key_Return,
         {{{"Eins", "eins.html"}, {"Zwo", "zwo.html"}, {"Drei", "drei.html"}}, kStart.lines, kStart.images}},
        {"link dropped", "ListBox2", true, "Zwo", "zwo.html", Qt::Key_Escape, kStart},
        {"image",
         "ListBox3",
         true,
         "bb.jpg",
         "Bee",
         Qt::Key_Return,
         {kStart.links, kStart.lines, {{"a.jpg", "A"}, {"bb.jpg", "Bee"}, {"c.jpg", "C"}}}},
        {"image dropped", "ListBox3", false, "bb.jpg", "Bee", Qt::Key_Escape, kStart},
        {"line, Enter",
         "ListBox1",
         false,
         "zwo",
         {},
         Qt::Key_Return,
         {kStart.links, {"eins", "zwo", "drei"}, kStart.images}},
        {"line, Tab", "ListBox1", true, "zwo", {}, Qt::Key_Tab, {kStart.links, {"eins", "zwo", "drei"}, kStart.images}},
        {"line dropped", "ListBox1", false, "zwo", {}, Qt::Key_Escape, kStart},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TStartedList started(row.list, 1);
        TWizardDriver& wizard = started.wizard;
        const QStringList fields = {wizard.Text("Edit3"), wizard.Text("Edit4"), wizard.Text("Edit10"),
                                    wizard.Text("Edit11")};
        if (QByteArray(row.list) == "ListBox1") {
            OpenEntry(wizard, row.list, row.byDoubleClick);
            auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            ASSERT_NE(editor, nullptr);
            EXPECT_EQ(editor->selectedText(), "zwei");
            testsupport::Type(editor, row.first);
            testsupport::Key(editor, row.end);
            QApplication::processEvents();
            EXPECT_FALSE(wizard.window.ListBox1->IsEditing());
        } else {
            const TDialogSeen seen = WithEntryDialog([&] { OpenEntry(wizard, row.list, row.byDoubleClick); }, row.first,
                                                     row.second, row.end);
            const bool link = QByteArray(row.list) == "ListBox2";
            EXPECT_EQ(seen.caption, link ? "Link bearbeiten" : "Bild bearbeiten");
            EXPECT_EQ(seen.first, link ? "Zwei" : "b.jpg");
            EXPECT_EQ(seen.second, link ? "zwei.html" : "B");
            EXPECT_TRUE(seen.firstSelected);
        }
        EXPECT_EQ(wizard.Selected(row.list), 1);
        EXPECT_EQ(
            QStringList({wizard.Text("Edit3"), wizard.Text("Edit4"), wizard.Text("Edit10"), wizard.Text("Edit11")}),
            fields);
        wizard.Finish();
        const std::string written = testsupport::ReadFileBytes("index.html");
        EXPECT_EQ(written, PageOf(row.expected));
    }
}

template <typename T>
std::vector<T> Reordered(const std::vector<T>& entries, const std::vector<int>& order) {
    std::vector<T> result;
    for (const int i : order) result.push_back(entries[static_cast<std::size_t>(i)]);
    return result;
}

TEST(ListEditing, AnImagesPictureIsPickedInItsDialog) {
    TWorkDir dir;
    ASSERT_TRUE(testsupport::WriteFileBytes("neu.jpg", "GIF89a"));
    TWizardDriver wizard;
    Fill(wizard, {{}, {}, {{"a.jpg", "A"}}});
    wizard.SelectEntry("ListBox3", 0);
    WithDialog(
        [&] { OpenEntry(wizard, "ListBox3", false); },
        [](QDialog* dialog) {
            auto* picker = dialog->findChild<QToolButton*>();
            ASSERT_NE(picker, nullptr);
            EXPECT_EQ(picker->accessibleName(), QStringLiteral("Bild auswählen"));
            EXPECT_TRUE(testsupport::WithFileDialog([&] { testsupport::Click(picker); }, QStringLiteral("neu.jpg")));
            dialog->accept();
        });
    EXPECT_EQ(wizard.Entries("ListBox3"), TLines{"neu.jpg"});
}

TEST(ListEditing, AltUpAndDownMoveTheEntryWithItsPartner) {
    const struct {
        const char* name;
        const char* list;
        int selected;
        std::vector<Qt::Key> keys;
        std::vector<int> order;
        int selectedAfter;
    } rows[] = {
        {"link up", "ListBox2", 1, {Qt::Key_Up}, {1, 0, 2}, 0},
        {"link down", "ListBox2", 1, {Qt::Key_Down}, {0, 2, 1}, 2},
        {"link past the top", "ListBox2", 0, {Qt::Key_Up}, {0, 1, 2}, 0},
        {"image past the end", "ListBox3", 2, {Qt::Key_Down}, {0, 1, 2}, 2},
        {"image up twice", "ListBox3", 2, {Qt::Key_Up, Qt::Key_Up}, {2, 0, 1}, 0},
        {"line down", "ListBox1", 0, {Qt::Key_Down}, {1, 0, 2}, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TStartedList started(row.list, row.selected);
        TWizardDriver& wizard = started.wizard;
        for (const Qt::Key key : row.keys) testsupport::Key(Find(&wizard.window, row.list), key, Qt::AltModifier);
        EXPECT_EQ(wizard.Selected(row.list), row.selectedAfter);
        TLists expected = kStart;
        const QByteArray list(row.list);
        if (list == "ListBox2") expected.links = Reordered(kStart.links, row.order);
        if (list == "ListBox1") expected.lines = Reordered(kStart.lines, row.order);
        if (list == "ListBox3") expected.images = Reordered(kStart.images, row.order);
        wizard.Finish();
        const std::string written = testsupport::ReadFileBytes("index.html");
        EXPECT_EQ(written, PageOf(expected));
    }
}

// What a user sees when the pointer rests on an entry.
QString ToolTipOf(TWizardDriver& wizard, const char* list, int row) {
    auto* box = Find<QListView>(&wizard.window, list);
    const QPoint entry = box->visualRect(box->model()->index(row, 0)).center();
    QHelpEvent hover(QEvent::ToolTip, entry, box->viewport()->mapToGlobal(entry));
    QApplication::sendEvent(box->viewport(), &hover);
    return QToolTip::text();
}

TEST(ListEditing, TooltipsShowWhatTheListHides) {
    const struct {
        const char* list;
        int row;
        const char* shown;  // as rich text: the entry's own markup escaped
    } rows[] = {
        {"ListBox2", 0, "&lt;b&gt;Eins&lt;/b&gt; → eins.html"},
        {"ListBox2", 1, "Drei → drei.html"},
        {"ListBox3", 2, "Bild: c.jpg\nBildtext: C"},
    };
    TWizardDriver wizard;
    Fill(wizard, {{{"<b>Eins</b>", "eins.html"}, {"Zwei", "zwei.html"}, {"Drei", "drei.html"}}, {}, kStart.images});
    // A moved entry shows its own partner.
    wizard.Page("TabSheet3");
    wizard.SelectEntry("ListBox2", 2);
    testsupport::Key(Find(&wizard.window, "ListBox2"), Qt::Key_Up, Qt::AltModifier);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shown);
        wizard.Page(PageOfList(row.list));
        EXPECT_TRUE(ToolTipOf(wizard, row.list, row.row).contains(QString::fromUtf8(row.shown)));
        QToolTip::hideText();
    }
}

TEST(WizardKeys, KeysRunTheCommandsAndTypeNothing) {
    const TLists withoutSecond = {
        {kStart.links[0], kStart.links[2]}, {"eins", "drei"}, {kStart.images[0], kStart.images[2]}};
    const TLists withBreak = {kStart.links, {"eins", "zwei", "drei", "<br>"}, kStart.images};
    const struct {
        const char* name;
        const char* page;
        const char* focus;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        TLists expected;
        bool saves;  // the key itself writes the page
    } rows[] = {
        {"Delete in the link list",
         "TabSheet3",
         "ListBox2",
         Qt::Key_Delete,
         {},
         {withoutSecond.links, kStart.lines, kStart.images},
         false},
        {"Delete in the text list",
         "TabSheet4",
         "ListBox1",
         Qt::Key_Delete,
         {},
         {kStart.links, withoutSecond.lines, kStart.images},
         false},
        {"Delete in the image list",
         "TabSheet5",
         "ListBox3",
         Qt::Key_Delete,
         {},
         {kStart.links, kStart.lines, withoutSecond.images},
         false},
        {"Delete on a check box", "TabSheet3", "Dots", Qt::Key_Delete, {}, kStart, false},
        {"Alt+N for a link",
         "TabSheet3",
         "Edit3",
         Qt::Key_N,
         Qt::AltModifier,
         {{kStart.links[0], kStart.links[1], kStart.links[2], kStart.links[2]}, kStart.lines, kStart.images},
         false},
        {"Alt+N for an image",
         "TabSheet5",
         "Edit11",
         Qt::Key_N,
         Qt::AltModifier,
         {kStart.links, kStart.lines, {kStart.images[0], kStart.images[1], kStart.images[2], kStart.images[2]}},
         false},
        {"Ctrl+Return on a push button", "TabSheet4", "Button1", Qt::Key_Return, Qt::ControlModifier, withBreak, false},
        {"keypad Ctrl+Enter", "TabSheet4", "Edit12", Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, withBreak,
         false},
        {"Ctrl+S", "TabSheet2", "Edit5", Qt::Key_S, Qt::ControlModifier, kStart, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TWorkDir dir;
        TWizardDriver wizard;
        Fill(wizard, kStart);
        wizard.Type("Edit12", "halb getippt");
        wizard.Page(row.page);
        for (const char* list : {"ListBox1", "ListBox2", "ListBox3"}) wizard.SelectEntry(list, 1);
        QWidget* focus = Find(&wizard.window, row.focus);
        focus->setFocus();
        auto* edit = qobject_cast<QLineEdit*>(focus);
        const QString before = edit != nullptr ? edit->text() : QString();
        testsupport::Key(focus, row.key, row.modifiers);
        if (edit != nullptr) {
            EXPECT_EQ(edit->text(), before);
        }
        EXPECT_EQ(wizard.Text("Edit12"), "halb getippt");
        const std::string written = testsupport::ReadFileBytes("index.html");
        if (!row.saves) {
            EXPECT_EQ(written.rfind("<missing", 0), 0u);
            wizard.Finish();
        }
        EXPECT_EQ(testsupport::ReadFileBytes("index.html"), PageOf(row.expected));
    }
}

TEST(WizardKeys, CtrlSKeepsTheLineBeingEdited) {
    TStartedList started("ListBox1", 1);
    TWizardDriver& wizard = started.wizard;
    OpenEntry(wizard, "ListBox1", false);
    testsupport::Type(QApplication::focusWidget(), "zwo");
    testsupport::Key(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    const std::string written = testsupport::ReadFileBytes("index.html");
    EXPECT_EQ(written, PageOf({kStart.links, {"eins", "zwo", "drei"}, kStart.images}));
    EXPECT_FALSE(wizard.window.HasUnsavedEntries());
}

}  // namespace
}  // namespace wizardtest
