#pragma once

// Keeping the navigation the same on every page of a folder: when one page's
// link list changes, the other pages this program wrote with the same list
// get the new one. Pages whose list differed were made so on purpose and
// stay as they are; a page edited by hand or written by someone else is
// never rewritten, only named.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/line_list.h"
#include "core/page_description.h"
#include "core/page_file.h"

namespace core {

bool SameLinks(const std::vector<TLinkEntry>& a, const std::vector<TLinkEntry>& b);

// A page beside this one that is to get the new list: its file name in the
// folder (as the file system spells it), its new lines, and the file as it
// was read, so that a page changed since is left alone.
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

// Looks at every *.html and *.htm file directly in the folder, except the
// page `pageName` itself, hidden names and anything that is not a regular
// file there (a link is never followed out of the folder).
TSiteNavigation FindSiteNavigation(const std::filesystem::path& folder, const std::string& pageName,
                                   const std::vector<TLinkEntry>& before, const std::vector<TLinkEntry>& after);

// How many pages of this program the folder holds, up to `enough`: the
// counting stops there.
std::size_t CountSitePages(const std::filesystem::path& folder, std::size_t enough);

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
TSiteRewrite RewriteSiteNavigation(const std::filesystem::path& folder, const std::vector<TSitePage>& pages);

}  // namespace core
