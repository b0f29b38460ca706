// Page "HTML Code": the code view and the button that shows the page in the
// browser.

#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/list_box.h"
#include "wizard/page_controls.h"
#include "wizard/wizard_window.h"

using namespace pagecontrols;

void TForm3::CreatePage7() {
    TabSheet7 = AddPage(PageControl1, QStringLiteral("TabSheet7"), QStringLiteral("HTML Code"));
    // The code view fills the page and follows its size, but for the strip
    // of the button below it.
    ListBox4 = AddList(TabSheet7, QStringLiteral("ListBox4"), TabSheet7->rect());
    SpeedButton10 = AddFlatButton(TabSheet7, QStringLiteral("SpeedButton10"), QStringLiteral("Im Browser ansehen"),
                                  {0, 340, 145, 25});
    SpeedButton10->setFixedSize(SpeedButton10->size());
    // Nothing to look at before a finish has written the page.
    SpeedButton10->setEnabled(false);
    auto* fill = new QVBoxLayout(TabSheet7);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->setSpacing(0);
    fill->addWidget(ListBox4);
    fill->addWidget(SpeedButton10, 0, Qt::AlignLeft);
}
