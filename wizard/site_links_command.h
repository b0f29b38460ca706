#pragma once

// "Links auf allen Seiten gleich": a finish that changes the link list
// gives the other pages of the folder that had the same list the new one.

#include <QString>
#include <vector>

#include "core/page_description.h"

class QWidget;

namespace wizard {

// As the user last set the box for this folder; otherwise on when the
// folder holds more than one page of this program.
bool SiteLinksChoice(const QString& folder);
void RememberSiteLinksChoice(const QString& folder, bool on);

// After the page file was written with the list `after` where it had
// `before`: asks once, naming the pages, then rewrites them and tells what
// came of it, also which pages were left alone and why.
void CarryLinksToSite(QWidget* window, const QString& pageFile, const std::vector<core::TLinkEntry>& before,
                      const std::vector<core::TLinkEntry>& after);

}  // namespace wizard
