// Page "HTML Code": the code view and the buttons that show the page in the
// browser and in the preview.

#include <QHBoxLayout>
#include <QListView>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/elided_label.h"
#include "ui/line_list_model.h"
#include "wizard/missing_files.h"
#include "wizard/page_controls.h"
#include "wizard/wizard_window.h"

using namespace pagecontrols;

namespace {
constexpr int kMissingFilesLeft = 300;
// The line of missing files ends 5 pixels before "Veröffentlichen".
constexpr int kPublishGap = 5;
}  // namespace

void TForm3::CreatePage7() {
    TabSheet7 = AddPage(PageControl1, QStringLiteral("TabSheet7"), QStringLiteral("HTML Code"));
    // The code view fills the page and follows its size, but for the strip
    // of the buttons below it.
    CodeLines = new ui::TLineListModel;
    ListBox4 = AddListView(TabSheet7, QStringLiteral("ListBox4"), TabSheet7->rect(), CodeLines);
    SpeedButton10 = AddFlatButton(TabSheet7, QStringLiteral("SpeedButton10"), QStringLiteral("Im Browser ansehen"),
                                  {0, 340, 145, 25});
    SpeedButton10->setFixedSize(SpeedButton10->size());
    // Nothing to look at before a finish has written the page.
    SpeedButton10->setEnabled(false);
    // The preview needs no finish.
    SpeedButton11 =
        AddFlatButton(TabSheet7, QStringLiteral("SpeedButton11"), QStringLiteral("Vorschau"), {150, 340, 145, 25});
    SpeedButton11->setFixedSize(SpeedButton11->size());
    SpeedButton19 = AddFlatButton(TabSheet7, QStringLiteral("SpeedButton19"), QStringLiteral("Veröffentlichen"),
                                  {610, 340, 145, 25});
    SpeedButton19->setFixedSize(SpeedButton19->size());
    Label21 = new ui::TElidedLabel(TabSheet7);
    Label21->setObjectName(QStringLiteral("Label21"));
    Label21->setFixedHeight(SpeedButton10->height());
    missingFiles_ = new wizard::TMissingFilesCheck(Label21);
    missingFiles_->setObjectName(QStringLiteral("MissingFilesCheck"));
    // The strip below the view: the buttons from the left, the line of
    // missing files from x = 300 to the page's right edge.
    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(0, 0, 0, 0);
    strip->setSpacing(0);
    strip->addWidget(SpeedButton10);
    strip->addSpacing(SpeedButton11->x() - SpeedButton10->width());
    strip->addWidget(SpeedButton11);
    strip->addSpacing(kMissingFilesLeft - SpeedButton11->x() - SpeedButton11->width());
    strip->addWidget(Label21, 1);
    strip->addSpacing(kPublishGap);
    strip->addWidget(SpeedButton19);
    auto* fill = new QVBoxLayout(TabSheet7);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->setSpacing(0);
    fill->addWidget(ListBox4);
    fill->addLayout(strip);
}
