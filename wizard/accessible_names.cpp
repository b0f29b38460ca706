#include "wizard/accessible_names.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "ui/list_box.h"
#include "wizard/wizard_window.h"

// Captioned controls are named where their caption is created; these are
// the ones without a caption above them.
void NameWizardControls(TForm3& wizard) {
    QTabWidget* tabs = wizard.PageControl1;
    const auto tabText = [tabs](QWidget* page) { return tabs->tabText(tabs->indexOf(page)); };

    // A help panel speaks for its whole page.
    for (QPlainTextEdit* panel : {wizard.Memo1, wizard.Memo2, wizard.Memo3, wizard.Memo5, wizard.Memo4})
        panel->setAccessibleName(tabText(panel->parentWidget()));

    wizard.Edit6->setAccessibleName(wizard.Dots->text());
    wizard.Edit12->setAccessibleName(QStringLiteral("Textzeile"));
    wizard.ListBox1->setAccessibleName(tabText(wizard.TabSheet4));
    wizard.ListBox4->setAccessibleName(tabText(wizard.TabSheet7));
}
