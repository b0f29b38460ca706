#include "core/site_navigation.h"

#include <algorithm>

#include "core/folder_names.h"
#include "core/page_generator.h"
#include "core/page_reader.h"

namespace core {
namespace {

bool IsPageFileName(const std::string& name) {
    return !name.starts_with('.') && (name.ends_with(".html") || name.ends_with(".htm"));
}

}  // namespace

bool SameLinks(const std::vector<TLinkEntry>& a, const std::vector<TLinkEntry>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TLinkEntry& x, const TLinkEntry& y) {
        return x.Text == y.Text && x.Target == y.Target;
    });
}

std::vector<TSiteFile> ReadSiteFiles(const TPageFolder& folder, const std::string& pageName, std::size_t enough) {
    std::vector<TSiteFile> site;
    std::size_t pages = 0;
    std::int64_t read = 0;
    for (std::string& name : folder.RegularFiles()) {
        if (pages >= enough) break;
        if (name == pageName || !IsPageFileName(name)) continue;
        TSiteFile file{std::move(name), std::nullopt, {}};
        try {
            // Read through the folder, so that what is judged is what is
            // read; a file swapped for a link since the listing is not read.
            if (read <= kMostSiteBytes) {
                TReadPageFile bytes = ReadPossiblePage(folder, file.Name);
                read += static_cast<std::int64_t>(bytes.bytes.size());
                file.Page = ReadPage(bytes.bytes);
                file.Stamp = bytes.stamp;
            }
        } catch (const TPageFileError&) {
            continue;
        }
        if (file.Page) ++pages;
        site.push_back(std::move(file));
    }
    return site;
}

std::size_t CountSitePages(const TPageFolder& folder, std::size_t enough) {
    const std::vector<TSiteFile> site = ReadSiteFiles(folder, std::string(), enough);
    return static_cast<std::size_t>(
        std::count_if(site.begin(), site.end(), [](const TSiteFile& file) { return file.Page.has_value(); }));
}

TSiteNavigation FindSiteNavigation(const std::vector<TSiteFile>& site, const std::vector<TLinkEntry>& before,
                                   const std::vector<TLinkEntry>& after) {
    TSiteNavigation navigation;
    for (const TSiteFile& file : site) {
        if (!file.Page) {
            navigation.Unreadable.push_back(file.Name);
            continue;
        }
        if (!SameLinks(file.Page->Links, before)) continue;
        TPageDescription page = *file.Page;
        page.Links = after;
        navigation.Pages.push_back({file.Name, GeneratePage(page), file.Stamp});
    }
    return navigation;
}

TSiteRewrite RewriteSiteNavigation(const TPageFolder& folder, const std::vector<TSitePage>& pages) {
    TSiteRewrite result;
    for (const TSitePage& page : pages) {
        // Between reading and now the user answered a question: a page
        // changed meanwhile, or swapped for a link, holds someone's work.
        if (LookAtPage(folder, page.Name) != page.Stamp) {
            result.NotChanged.push_back({page.Name, "inzwischen geändert"});
            continue;
        }
        try {
            SavePage(folder, page.Name, page.Lines, page.Stamp);
            result.Changed.push_back(page.Name);
        } catch (const TPageReplacedError&) {
            result.NotChanged.push_back({page.Name, "während des Speicherns ersetzt"});
        } catch (const TPageFileError& failure) {
            result.NotChanged.push_back({page.Name, failure.what()});
        }
    }
    return result;
}

}  // namespace core
