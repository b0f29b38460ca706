// Which files a publish sends: the page, the pages of its folder its links
// reach, and what they name beside them or below.

#include <deque>
#include <unordered_set>

#include "core/page_file.h"
#include "core/page_references.h"
#include "transfer/file_digest.h"
#include "transfer/publish.h"

namespace transfer {
namespace {

// A name a page in a subfolder gives, as a path from the site's folder: the
// server resolves "../bild.jpg" on "seiten/fotos.html" as a browser does,
// by its spelling.
std::string FromSiteFolder(const std::string& pageName, const std::string& name) {
    const std::filesystem::path pageFolder = std::filesystem::path(pageName).parent_path();
    if (pageFolder.empty()) return name;
    return (pageFolder / name).lexically_normal().generic_string();
}

// Read no further than any page can be: a larger file goes up as a file,
// the names in it not followed.
std::optional<std::string> ReadPageBytes(int file) {
    std::optional<std::string> bytes = ReadOpenFile(file, static_cast<std::size_t>(core::kMostPageBytes) + 1);
    if (bytes && bytes->size() > static_cast<std::size_t>(core::kMostPageBytes)) return std::nullopt;
    return bytes;
}

}  // namespace

TPublishPlan PlanPublish(const std::filesystem::path& pageFile) {
    TPublishPlan plan;
    const std::filesystem::path page = std::filesystem::absolute(pageFile).lexically_normal();
    plan.folder = page.parent_path();
    const std::string pageName = page.filename().string();
    const core::TPageFolder folder(plan.folder);
    const core::TOpenedName opened = folder.Open(pageName, true);
    const std::string shown = "Die Seite „" + core::PrintableName(page.string()) + "“ ";
    if (!opened.file)
        throw TTransferError(shown + "lässt sich nicht lesen" +
                             (opened.fault && *opened.fault != core::TNameFault::Missing
                                  ? " " + std::string(core::FaultWords(*opened.fault))
                                  : std::string()) +
                             ".");
    const std::optional<std::string> bytes = ReadPageBytes(opened.file.Get());
    if (!bytes) throw TTransferError(shown + "lässt sich nicht ganz lesen.");
    plan.files.push_back(pageName);
    std::vector<std::string> others;
    std::unordered_set<std::string> seen{pageName};
    // Every linked page is followed, also one this program did not write or
    // that was edited by hand: it is on the site as it is, and a visitor
    // follows its links and loads its pictures all the same. Its names are
    // judged like the page's own, so no page can send more than its folder.
    std::deque<std::pair<std::string, std::string>> toRead{{pageName, *bytes}};
    while (!toRead.empty()) {
        const auto [reading, pageBytes] = std::move(toRead.front());
        toRead.pop_front();
        for (const std::string& named : core::LocalReferences(pageBytes)) {
            const std::string name = FromSiteFolder(reading, named);
            if (!seen.insert(name).second) continue;
            // Opened here only to judge it, or to read the links of a page;
            // the publish opens it again.
            const core::TOpenedName file = folder.Open(name);
            if (!file.file) {
                if (file.fault) plan.leftOut.push_back({name, *file.fault});
                continue;
            }
            if (!core::IsPageName(name)) {
                others.push_back(name);
                continue;
            }
            plan.files.push_back(name);
            // One that cannot be read goes as it is; sending it tells why.
            if (std::optional<std::string> linked = ReadPageBytes(file.file.Get()))
                toRead.emplace_back(name, std::move(*linked));
        }
    }
    plan.pages = plan.files.size();
    plan.files.insert(plan.files.end(), others.begin(), others.end());
    return plan;
}

}  // namespace transfer
