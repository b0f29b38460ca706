// The road of a typical use, from the first page to the written file.

#include <gtest/gtest.h>

#include <QTabWidget>

#include "default_page.h"
#include "gui_test_support.h"
#include "wizard/wizard_driver.h"

namespace wizardtest {
namespace {

TEST(TypicalRoad, HeadingTwoLinksTwoLinesAndAnImageMakeThePage) {
    testsupport::TWorkDir dir;
    TWizardDriver wizard;

    TypicalRoad(wizard);
    wizard.Finish();

    const TLines page = testpages::DefaultPageWith({
        {10, {"<font size=\"5\" color=\"#000000\" face=\"Arial\">Willkommen</font></b>"}},
        {14,
         {"<tr>", "<td><a href=\"home.html\">Home</a></td>", "<td valign=\"top\" rowspan=\"3\">",
          "<font color=\"#000000\" face=\"Arial\">", "Hallo!", "Schön, dass Sie da sind.", "</tr>", "<tr>",
          "<td><a href=\"fotos.html\">Fotos</a></td>", "</tr>", "<tr>", "<th>", "<br>", "<img src=\"foto.jpg\">Urlaub",
          "</th>", "</tr>", "</table>"}},
    });
    EXPECT_EQ(testsupport::ReadFileBytes("index.html"), PageFileBytes(page));
    EXPECT_EQ(wizard.CodeView(), page);
    EXPECT_EQ(wizard.Text("Edit12"), "") << "Enter empties the line field";
    // The result waits on its own tab; finishing does not switch pages.
    EXPECT_EQ(wizard.window.PageControl1->currentWidget()->objectName(), "TabSheet5");
}

}  // namespace
}  // namespace wizardtest
