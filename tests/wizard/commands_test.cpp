// The buttons that build up the link, text and image lists.

#include <gtest/gtest.h>

#include <QToolButton>
#include <functional>

#include "gui_test_support.h"
#include "wizard/wizard_driver.h"

namespace wizardtest {
namespace {

using testsupport::TWorkDir;

void AddLink(TWizardDriver& wizard, const QString& text, const QString& target) {
    wizard.Type("Edit3", text);
    wizard.Type("Edit4", target);
    wizard.Click("SpeedButton2");
}

void AddImage(TWizardDriver& wizard, const QString& file, const QString& caption) {
    wizard.Type("Edit10", file);
    wizard.Type("Edit11", caption);
    wizard.Click("SpeedButton3");
}

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

TEST(LinkList, DeletingTheSelectedLinkKeepsTheOthersPaired) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Page("TabSheet3");
    AddLink(wizard, "Eins", "eins.html");
    AddLink(wizard, "Zwei", "zwei.html");
    AddLink(wizard, "Drei", "drei.html");
    wizard.SelectEntry("ListBox2", 1);
    ASSERT_EQ(wizard.Selected("ListBox2"), 1);
    wizard.Click("SpeedButton5");
    EXPECT_EQ(wizard.Entries("ListBox2"), (TLines{"Eins", "Drei"}));
    EXPECT_EQ(wizard.Selected("ListBox2"), -1);
    wizard.Finish();
    EXPECT_EQ(LinkCells(wizard),
              (TLines{"<td><a href=\"eins.html\">Eins</a></td>", "<td><a href=\"drei.html\">Drei</a></td>"}));
}

TEST(ImageList, DeletingTheSelectedImageKeepsTheOthersPaired) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Page("TabSheet5");
    AddImage(wizard, "a.jpg", "A");
    AddImage(wizard, "b.jpg", "B");
    AddImage(wizard, "c.jpg", "");
    wizard.SelectEntry("ListBox3", 0);
    wizard.Click("SpeedButton4");
    EXPECT_EQ(wizard.Entries("ListBox3"), (TLines{"b.jpg", "c.jpg"}));
    EXPECT_EQ(wizard.Selected("ListBox3"), -1);
    wizard.Finish();
    EXPECT_EQ(ImageLines(wizard), (TLines{"<img src=\"b.jpg\">B", "<img src=\"c.jpg\">"}));
}

TEST(LinkAndImageLists, DeletingWithNothingSelectedChangesNothing) {
    TWorkDir dir;
    TWizardDriver wizard;
    wizard.Page("TabSheet3");
    AddLink(wizard, "Eins", "eins.html");
    AddLink(wizard, "Zwei", "zwei.html");
    wizard.Click("SpeedButton5");
    wizard.Page("TabSheet5");
    AddImage(wizard, "a.jpg", "A");
    wizard.Click("SpeedButton4");
    EXPECT_EQ(wizard.Entries("ListBox2"), (TLines{"Eins", "Zwei"}));
    EXPECT_EQ(wizard.Entries("ListBox3"), (TLines{"a.jpg"}));
    wizard.Finish();
    EXPECT_EQ(LinkCells(wizard),
              (TLines{"<td><a href=\"eins.html\">Eins</a></td>", "<td><a href=\"zwei.html\">Zwei</a></td>"}));
    EXPECT_EQ(ImageLines(wizard), (TLines{"<img src=\"a.jpg\">A"}));
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
