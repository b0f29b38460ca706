#pragma once

// Fetching a published site back from its server folder into an empty
// folder here ("Vom Server holen"), to go on editing it: the pages this
// program wrote, each proved by the page reader, from the start page along
// their links, with every file they name; or the whole folder. Plain C++
// below the windows, like the publish, and run the same way: on a thread of
// its own, asking the same questions. Everything the server sends is
// untrusted: its names are judged as a publish judges a page's, no link on
// the server is followed, and every file is written below the folder here
// under a temporary name first, never replacing anything there.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/folder_names.h"
#include "core/page_file.h"
#include "transfer/publish.h"

namespace transfer {

struct TFetchOrder {
    // Here, absolute: a folder that is not there yet (its parent is), one
    // that is empty, or one an unfinished fetch from the same server folder
    // left, which goes on where it stopped.
    std::filesystem::path folder;
    // Where the site starts, in the server folder.
    std::string startPage = "index.html";
    // Also every other file of the server folder and below, pages the
    // reader does not prove among them, as files.
    bool wholeFolder = false;
};

// Larger files stay on the server: a page is never larger than the page
// reader reads, and no picture or other file of a home page this large.
inline constexpr std::uint64_t kMostFetchedPageBytes = static_cast<std::uint64_t>(core::kMostPageBytes);
inline constexpr std::uint64_t kMostFetchedFileBytes = std::uint64_t{200} << 20;

// A file the site names, or the folder holds, that stays on the server.
struct TNotFetched {
    enum class TWhy {
        Name,          // by its name, or missing there: see `fault`
        LinkOnServer,  // a link on the server, on the way or the file itself
        NotOurPage,    // the page reader does not prove it
        TooLarge,
        Refused,      // the server would not give it
        AlreadyHere,  // something else has the name here (a fetch that goes on)
    };
    std::string name;  // from the server folder, as the page names it
    TWhy why = TWhy::Name;
    core::TNameFault fault = core::TNameFault::Missing;
};

struct TFetchResult {
    // Relative to both folders, in the order fetched: the pages proved,
    // the start page first, then every other file.
    std::vector<std::string> pages;
    std::vector<std::string> files;
    std::vector<TNotFetched> notFetched;
    // What stopped it, its what() the German message; a fetch again goes
    // on from there.
    std::optional<TTransferError> error;
    bool cancelled = false;
    bool byPassword = false;
    // Every file that was to come came, or is named in notFetched: the
    // start page may open.
    bool Whole() const { return !error && !cancelled; }
};

// Connects as a publish does, fetches, and rebuilds the record of what was
// sent to this server folder (in `recordFolder`, as Publish keeps it) from
// what came, so that a publish from the folder here right after sends
// nothing. Never throws: the result says what happened. `cancel` is read
// between and within files.
TFetchResult Fetch(const TFetchOrder& order, const TServerLogin& login, const std::filesystem::path& recordFolder,
                   IPublishQuestions& questions, IPublishProgress& progress, const std::atomic<bool>& cancel);

}  // namespace transfer
