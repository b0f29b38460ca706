// The box "Links auf allen Seiten gleich" on page "Links": shown as it
// holds for the page's folder, remembered when the user sets it.

#include <QCheckBox>
#include <QTabWidget>

#include "wizard/site_links_command.h"
#include "wizard/wizard_window.h"

void TForm3::SiteLinksClick() {
    wizard::RememberSiteLinksChoice(PageFolder(), SiteLinks->isChecked());
}

// The folder may have changed on another page, or gained pages since.
void TForm3::PageControl1Change() {
    if (PageControl1->currentWidget() == TabSheet3) ShowSiteLinksChoice();
}

void TForm3::ShowSiteLinksChoice() {
    SiteLinks->setChecked(wizard::SiteLinksChoice(PageFolder()));
}
