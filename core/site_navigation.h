#pragma once

// Keeping the navigation the same on every page of a folder: when one page's
// link list changes, the other pages this program wrote with the same list
// get the new one. Pages whose list differed were made so on purpose and
// stay as they are; a page edited by hand or written by someone else is
// never rewritten, only named.

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/line_list.h"
#include "core/page_description.h"
#include "core/page_file.h"

namespace core {

class TPageFolder;

bool SameLinks(const std::vector<TLinkEntry>& a, const std::vector<TLinkEntry>& b);

// One page file of the folder as it was read, once.
struct TSiteFile {
    std::string Name;  // as the file system spells it
    // None: edited by hand, written by someone else, or larger than any page.
    std::optional<TPageDescription> Page;
    TFileStamp Stamp;
};

// Reading a folder stops adding up what it reads here: a folder of many
// large files that start like pages costs no more, and the rest count as
// not this program's.
inline constexpr std::int64_t kMostSiteBytes = 4 * kMostPageBytes;

// Every *.html and *.htm file directly in the folder, except the page
// `pageName` itself, hidden names, links and anything that is not a regular
// file there, in name order; each read once, no further than a page can
// be. Stops once `enough` of them are pages of this program.
std::vector<TSiteFile> ReadSiteFiles(const TPageFolder& folder, const std::string& pageName,
                                     std::size_t enough = std::numeric_limits<std::size_t>::max());

// How many pages of this program the folder holds, up to `enough`.
std::size_t CountSitePages(const TPageFolder& folder, std::size_t enough);

// A page beside this one that is to get the new list: its file name in the
// folder, its new lines, and the file as it was read, so that a page changed
// since is left alone.
struct TSitePage {
    std::string Name;
    TLineList Lines;
    TFileStamp Stamp;
};

// The other pages of the folder, each file name in order.
struct TSiteNavigation {
    std::vector<TSitePage> Pages;  // they had the old list
    // Pages edited by hand and files this program did not write.
    std::vector<std::string> Unreadable;
};

TSiteNavigation FindSiteNavigation(const std::vector<TSiteFile>& site, const std::vector<TLinkEntry>& before,
                                   const std::vector<TLinkEntry>& after);

struct TNotChanged {
    std::string Name;
    std::string Reason;  // the save's message, UTF-8
};

struct TSiteRewrite {
    std::vector<std::string> Changed;
    std::vector<TNotChanged> NotChanged;
};

// Saves each page the safe way, one after the other: each is either its old
// self or whole with the new list. A page that fails is named and the rest
// still get the list: every page is saved on its own, so one that refuses
// (made read-only, changed since it was read) says nothing of the others,
// and each page that gets the list is one the user need not fix by hand.
// On a full disk the rest fail quickly, and are named as well.
TSiteRewrite RewriteSiteNavigation(const TPageFolder& folder, const std::vector<TSitePage>& pages);

}  // namespace core
