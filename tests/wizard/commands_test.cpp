// The buttons that build up the link, text and image lists.

#include <gtest/gtest.h>

#include <QToolButton>
#include <functional>

#include "gui_test_support.h"
#include "wizard/wizard_driver.h"

namespace wizardtest {
namespace {

using testsupport::TWorkDir;

// The plain link cells of the page shown in the code view, in page order.
TLines LinkCells(TWizardDriver& wizard) {
    TLines cells;
    for (const std::string& line : wizard.CodeView())
        if (line.rfind("<td><a href=", 0) == 0) cells.push_back(line);
    return cells;
}

// The image column's lines (the heading image is the one aligned "middle").
TLines ImageLines(TWizardDriver& wizard) {
    TLines images;
    for (const std::string& line : wizard.CodeView())
        if (line.rfind("<img src=", 0) == 0 && line.find("align=\"middle\"") == std::string::npos)
            images.push_back(line);
    return images;
}

TEST(LinkList, NewLinkWithUnchangedFieldsRepeatsTheLink) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Page("TabSheet3");
    for (int i = 0; i < 3; ++i) wizard.Click("SpeedButton2");
    EXPECT_EQ(wizard.Entries("ListBox2"), (TLines{"Link", "Link", "Link"}));
    EXPECT_EQ(wizard.Text("Edit3"), "Link");
    EXPECT_EQ(wizard.Text("Edit4"), "verweisziel.html");
    wizard.Finish();
    const std::string cell = "<td><a href=\"verweisziel.html\">Link</a></td>";
    EXPECT_EQ(LinkCells(wizard), (TLines{cell, cell, cell}));
}

// "Löschen" takes the selected entry and its partner and nothing else, and
// nothing without a selection.
TEST(LinkAndImageLists, DeletingTakesTheSelectedEntryWithItsPartner) {
    const TLines links = {"<td><a href=\"eins.html\">Eins</a></td>", "<td><a href=\"zwei.html\">Zwei</a></td>",
                          "<td><a href=\"drei.html\">Drei</a></td>"};
    const TLines images = {"<img src=\"a.jpg\">A", "<img src=\"b.jpg\">B", "<img src=\"c.jpg\">"};
    const struct {
        const char* name;
        const char* page;
        const char* list;
        const char* remove;
        int selected;  // -1: none
        TLines entries;
        TLines links;
        TLines images;
    } rows[] = {
        {"the middle link", "TabSheet3", "ListBox2", "SpeedButton5", 1, {"Eins", "Drei"}, {links[0], links[2]}, images},
        {"the first image",
         "TabSheet5",
         "ListBox3",
         "SpeedButton4",
         0,
         {"b.jpg", "c.jpg"},
         links,
         {images[1], images[2]}},
        {"no link selected", "TabSheet3", "ListBox2", "SpeedButton5", -1, {"Eins", "Zwei", "Drei"}, links, images},
        {"no image selected", "TabSheet5", "ListBox3", "SpeedButton4", -1, {"a.jpg", "b.jpg", "c.jpg"}, links, images},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TWorkDir dir;
        TWizardDriver wizard;
        wizard.Page("TabSheet3");
        wizard.AddLink("Eins", "eins.html");
        wizard.AddLink("Zwei", "zwei.html");
        wizard.AddLink("Drei", "drei.html");
        wizard.Page("TabSheet5");
        wizard.AddImage("a.jpg", "A");
        wizard.AddImage("b.jpg", "B");
        wizard.AddImage("c.jpg", "");
        wizard.Page(row.page);
        if (row.selected >= 0) wizard.SelectEntry(row.list, row.selected);
        ASSERT_EQ(wizard.Selected(row.list), row.selected);
        wizard.Click(row.remove);
        EXPECT_EQ(wizard.Entries(row.list), row.entries);
        EXPECT_EQ(wizard.Selected(row.list), -1);
        wizard.Finish();
        EXPECT_EQ(LinkCells(wizard), row.links);
        EXPECT_EQ(ImageLines(wizard), row.images);
    }
}

struct TTextCase {
    const char* name;
    std::function<void(TWizardDriver&)> steps;
    TLines lines;
    int selected;
};

void AddLine(TWizardDriver& wizard, const QString& line) {
    wizard.Type("Edit12", line);
    wizard.Click("Button1");
}

void InsertImage(TWizardDriver& wizard, const QString& file) {
    wizard.Type("Edit13", file);
    wizard.Click("BitBtn8");
}

TEST(TextList, CommandsBuildTheTextLines) {
    const TTextCase cases[] = {
        {"empty line", [](TWizardDriver& w) { AddLine(w, ""); }, {""}, -1},
        {"two lines",
         [](TWizardDriver& w) {
             AddLine(w, "eins");
             AddLine(w, "<b>zwei</b>");
         },
         {"eins", "<b>zwei</b>"},
         -1},
        {"line break",
         [](TWizardDriver& w) {
             AddLine(w, "a");
             w.Click("SpeedButton6");
         },
         {"a", "<br>"},
         -1},
        {"inline image, no alignment",
         [](TWizardDriver& w) { InsertImage(w, "foto.gif"); },
         {"<img src=\"foto.gif\">"},
         -1},
        {"inline image, left",
         [](TWizardDriver& w) {
             w.Click("l");
             InsertImage(w, "foto.gif");
         },
         {"<img src=\"foto.gif\" align=\"left\">"},
         -1},
        {"inline image, centred, then centring taken back",
         [](TWizardDriver& w) {
             w.Click("m");
             InsertImage(w, "foto.gif");
             w.Click("m");
             w.Click("BitBtn8");
         },
         {"<center><img src=\"foto.gif\"></center>", "<img src=\"foto.gif\">"},
         -1},
        {"inline image, right after left",
         [](TWizardDriver& w) {
             w.Click("l");
             w.Click("r");
             InsertImage(w, "foto.gif");
         },
         {"<img src=\"foto.gif\" align=\"right\">"},
         -1},
        {"inline link with the defaults",
         [](TWizardDriver& w) { w.Click("BitBtn1"); },
         {"<a href=\"seite.html\">Link</a>"},
         -1},
        {"inline link text with format characters",
         [](TWizardDriver& w) {
             w.Type("Edit22", "100% {Text} %1");
             w.Type("Edit23", "a.html?x=%20");
             w.Click("BitBtn1");
         },
         {"<a href=\"a.html?x=%20\">100% {Text} %1</a>"},
         -1},
        {"appending keeps the selection",
         [](TWizardDriver& w) {
             AddLine(w, "a");
             AddLine(w, "b");
             w.SelectEntry("ListBox1", 0);
             AddLine(w, "c");
         },
         {"a", "b", "c"},
         0},
        {"delete the selected line",
         [](TWizardDriver& w) {
             AddLine(w, "a");
             AddLine(w, "b");
             AddLine(w, "c");
             w.SelectEntry("ListBox1", 1);
             w.Click("SpeedButton7");
         },
         {"a", "c"},
         -1},
        {"delete with none selected",
         [](TWizardDriver& w) {
             AddLine(w, "a");
             w.Click("SpeedButton7");
         },
         {"a"},
         -1},
        {"delete everything",
         [](TWizardDriver& w) {
             AddLine(w, "a");
             w.Click("SpeedButton6");
             w.SelectEntry("ListBox1", 0);
             w.Click("SpeedButton8");
         },
         {},
         -1},
    };
    for (const TTextCase& c : cases) {
        TWizardDriver wizard;
        wizard.Page("TabSheet4");
        c.steps(wizard);
        EXPECT_EQ(wizard.Entries("ListBox1"), c.lines) << c.name;
        EXPECT_EQ(wizard.Selected("ListBox1"), c.selected) << c.name;
        EXPECT_EQ(wizard.Text("Edit12"), "") << c.name;
    }
}

TEST(TextList, InsertCommandsKeepTheirFields) {
    TWizardDriver wizard;
    wizard.Page("TabSheet4");
    wizard.Click("m");
    InsertImage(wizard, "foto.gif");
    wizard.Click("BitBtn1");
    EXPECT_EQ(wizard.Text("Edit13"), "foto.gif");
    EXPECT_EQ(wizard.Text("Edit22"), "Link");
    EXPECT_EQ(wizard.Text("Edit23"), "seite.html");
    EXPECT_TRUE(wizard.window.m->isChecked());
}

}  // namespace
}  // namespace wizardtest
