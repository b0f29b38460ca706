#include "core/site_navigation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <system_error>

#include "core/folder_names.h"
#include "core/page_generator.h"
#include "core/page_reader.h"
#include "core/system_calls.h"

namespace core {
namespace {

TFileStamp StampOf(const struct stat& st) {
    constexpr std::int64_t kNano = 1'000'000'000;
    return TFileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                      static_cast<std::int64_t>(st.st_size), st.st_mtim.tv_sec * kNano + st.st_mtim.tv_nsec,
                      st.st_ctim.tv_sec * kNano + st.st_ctim.tv_nsec};
}

// Appends up to `most` bytes; false at the end of the file or on an error.
bool ReadMore(int fd, std::string& bytes, std::size_t most) {
    const std::size_t had = bytes.size();
    bytes.resize(had + most);
    const ssize_t got = RetryInterrupted([&] { return read(fd, bytes.data() + had, most); });
    bytes.resize(had + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    return got > 0;
}

struct TReadPage {
    std::optional<TPageDescription> page;  // none: edited by hand or foreign
    TFileStamp stamp;
};

// Through the descriptor the folder opened, so that what is judged is what
// is read. A foreign file is read no further than the start every page has.
TReadPage ReadSitePage(const TPageFolder& pageFiles, const std::string& name) {
    TReadPage read;
    const TOpenedName opened = pageFiles.Open(name, true);
    struct stat st {};
    if (!opened.file || fstat(opened.file.Get(), &st) != 0) return read;
    read.stamp = StampOf(st);
    std::string bytes;
    while (bytes.size() < kPageStart.size())
        if (!ReadMore(opened.file.Get(), bytes, kPageStart.size() - bytes.size())) return read;
    if (bytes != kPageStart) return read;
    bytes.reserve(static_cast<std::size_t>(st.st_size) + 1);
    while (ReadMore(opened.file.Get(), bytes, 65536)) {
    }
    read.page = ReadPage(bytes);
    return read;
}

// The names of the pages beside `pageName`, in order.
std::vector<std::string> PageNames(const std::filesystem::path& folder, const std::string& pageName) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name == pageName || name.starts_with('.') || !(name.ends_with(".html") || name.ends_with(".htm"))) continue;
        // Not followed: a link may lead out of the folder. The type the
        // listing gives is checked again when the file is opened.
        std::error_code typeError;
        if (!it->is_regular_file(typeError) || it->is_symlink(typeError)) continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

bool SameLinks(const std::vector<TLinkEntry>& a, const std::vector<TLinkEntry>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TLinkEntry& x, const TLinkEntry& y) {
        return x.Text == y.Text && x.Target == y.Target;
    });
}

TSiteNavigation FindSiteNavigation(const std::filesystem::path& folder, const std::string& pageName,
                                   const std::vector<TLinkEntry>& before, const std::vector<TLinkEntry>& after) {
    TSiteNavigation site;
    const TPageFolder pageFiles(folder);
    for (std::string& name : PageNames(folder, pageName)) {
        TReadPage read = ReadSitePage(pageFiles, name);
        if (!read.page) {
            site.Unreadable.push_back(std::move(name));
            continue;
        }
        if (!SameLinks(read.page->Links, before)) continue;
        read.page->Links = after;
        site.Pages.push_back({std::move(name), GeneratePage(*read.page), read.stamp});
    }
    return site;
}

std::size_t CountSitePages(const std::filesystem::path& folder, std::size_t enough) {
    const TPageFolder pageFiles(folder);
    std::size_t count = 0;
    for (const std::string& name : PageNames(folder, std::string())) {
        if (count >= enough) break;
        if (ReadSitePage(pageFiles, name).page) ++count;
    }
    return count;
}

TSiteRewrite RewriteSiteNavigation(const std::filesystem::path& folder, const std::vector<TSitePage>& pages) {
    TSiteRewrite result;
    for (const TSitePage& page : pages) {
        const std::filesystem::path file = folder / page.Name;
        // Between reading and now the user answered a question: a page
        // changed meanwhile, or swapped for a link, holds someone's work.
        std::error_code error;
        if (std::filesystem::is_symlink(file, error) || FileStamp(file) != page.Stamp) {
            result.NotChanged.push_back({page.Name, "inzwischen geändert"});
            continue;
        }
        try {
            SavePageFile(file, page.Lines);
            result.Changed.push_back(page.Name);
        } catch (const TPageFileError& failure) {
            result.NotChanged.push_back({page.Name, failure.what()});
        }
    }
    return result;
}

}  // namespace core
