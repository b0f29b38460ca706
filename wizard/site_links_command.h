#pragma once

// "Links auf allen Seiten gleich": a finish that changes the link list
// gives the other pages of the folder that had the same list the new one.

#include <QString>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "core/page_description.h"
#include "core/site_navigation.h"

class QWidget;

namespace core {
class TPageFolder;
}

namespace wizard {

// The box's choice for the page's folder: as the user last set it there,
// otherwise on when the folder holds more than one page of this program.
// What the user set is read once per folder and written when set.
class TSiteLinksChoice {
public:
    // `pages` counts the folder's pages; asked only while the user never
    // set the box for the folder.
    bool For(const QString& folder, const std::function<std::size_t()>& pages);
    void Set(const QString& folder, bool on);

private:
    void Load(const QString& folder);

    QString folder_;
    bool loaded_ = false;
    std::optional<bool> set_;
};

// After the page file was written with the list `after` where it had
// `before`: asks once, naming the other pages of `site` that had `before`,
// then rewrites them and tells what came of it, also which pages were left
// alone and why.
void CarryLinksToSite(QWidget* window, const core::TPageFolder& folder, const std::vector<core::TSiteFile>& site,
                      const std::vector<core::TLinkEntry>& before, const std::vector<core::TLinkEntry>& after);

}  // namespace wizard
