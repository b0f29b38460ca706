// The box "Links auf allen Seiten gleich" on page "Links": shown as it
// holds for the page's folder, remembered when the user sets it.

#include <QCheckBox>
#include <QTabWidget>
#include <algorithm>

#include "core/folder_names.h"
#include "ui/text_boundary.h"
#include "wizard/site_links_command.h"
#include "wizard/wizard_window.h"

void TForm3::SiteLinksClick() {
    siteLinks_.Set(PageFolder(), SiteLinks->isChecked());
}

// The folder may have changed on another page, or gained pages since.
void TForm3::PageControl1Change() {
    if (PageControl1->currentWidget() != TabSheet3) return;
    SiteLinks->setChecked(siteLinks_.For(
        PageFolder(), [this] { return core::CountSitePages(core::TPageFolder(ui::ToPath(PageFolder())), 2); }));
}

void TForm3::ShowSiteLinksChoice(const std::vector<core::TSiteFile>& site, bool pageIsOne) {
    SiteLinks->setChecked(siteLinks_.For(PageFolder(), [&site, pageIsOne] {
        return static_cast<std::size_t>(std::count_if(
                   site.begin(), site.end(), [](const core::TSiteFile& file) { return file.Page.has_value(); })) +
               (pageIsOne ? 1 : 0);
    }));
}
