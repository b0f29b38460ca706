// "Seite bearbeiten" on page "Links": from the link to its page. The wizard
// only finds the page; the window above it asks about unsaved entries and
// switches, as it does for "Öffnen".

#include <QTabWidget>

#include "core/page_file.h"
#include "ui/list_box.h"
#include "wizard/linked_page.h"
#include "wizard/wizard_window.h"

void TForm3::SpeedButton21Click() {  // "Seite bearbeiten"
    const int selected = ui::ListSelectedIndex(ListBox2);
    if (selected < 0)
        throw core::TPathFileError("Bitte wählen Sie zuerst den Link, dessen Seite Sie bearbeiten möchten");
    const core::TPageDescription page = DescribePage();
    const wizard::TLinkedPage linked =
        wizard::FindLinkedPage(PageFolder(), CurrentPageFile(), page, page.Links.at(static_cast<size_t>(selected)));
    if (linked.newPage)
        emit NewPageRequested(linked.file, *linked.newPage);
    else
        emit PageRequested(linked.file);
}

void TForm3::EditPageKeyPress() {  // Ctrl+E
    if (PageControl1->currentWidget() == TabSheet3) SpeedButton21Click();
}
