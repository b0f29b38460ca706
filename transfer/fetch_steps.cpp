#include "transfer/fetch_steps.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <map>
#include <set>

#include "core/arriving_file.h"
#include "core/page_reader.h"
#include "core/page_references.h"
#include "core/system_calls.h"
#include "pictures/picture_process.h"
#include "transfer/file_digest.h"
#include "transfer/publish_steps.h"
#include "transfer/result_line.h"
#include "transfer/web_copies.h"

namespace transfer {
namespace {

// Hidden, so that no publish sends it; it names the server folder the
// fetch into this folder is from.
const std::string kMark = ".tavirel-holen";

const std::filesystem::path& MadeFolder(const std::filesystem::path& folder) {
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
        throw TTransferError(TFault::FolderHereNotMade, folder.string());
    return folder;
}

using Clock = std::chrono::steady_clock;
using TListing = std::map<std::string, TRemoteEntry>;
using TWhy = TNotFetched::TWhy;

bool IsRefusal(TCause cause) {
    return cause == TCause::NotThere || cause == TCause::NoPermission || cause == TCause::NotThereOrNoPermission;
}

// What the record says of a file as it came, for a picture what a publish
// would have built of it: the web copy it already is, built for no scaling
// at its longer side, which a publish at that side or larger keeps as it
// is. No picture: 0; one the picture process cannot read: unknown (-1), and
// a publish then says that it cannot go.
std::pair<int, int> AsWebCopy(int file) {
    if (!IsPicture(file)) return {0, 0};
    const std::optional<pictures::TWebPicture> web = pictures::RebuildApart(file, pictures::kNoScaling);
    if (!web) return {-1, 0};
    return {std::max(web->originalWidth, web->originalHeight), pictures::kNoScaling};
}

// A proved page's bytes, read from the open file.
std::optional<std::string> ProvedPage(int file) {
    std::optional<std::string> bytes = ReadOpenFile(file, static_cast<std::size_t>(kMostFetchedPageBytes) + 1);
    if (!bytes || bytes->size() > kMostFetchedPageBytes || !core::ReadPage(*bytes)) return std::nullopt;
    return bytes;
}

class TFetchSteps {
public:
    TFetchSteps(const TFetchOrder& order, TFetchFolder& here, IRemoteServer& server, const std::string& base,
                TSentRecord& record, IPublishProgress& progress, const std::atomic<bool>& cancel, TFetchResult& result)
        : order_(order),
          here_(here),
          server_(server),
          base_(base),
          record_(record),
          progress_(progress),
          cancel_(cancel),
          result_(result) {}

    void Run() {
        try {
            if (Listing("") == nullptr)
                throw TTransferError(TFault::ServerFolderMissing, base_.empty() ? std::string(".") : base_);
            FetchSite();
            if (order_.wholeFolder && !result_.cancelled) FetchTheRest();
        } catch (const TTransferError&) {
            // What came is kept in the record for the fetch that goes on;
            // the error that stopped this one is the one to tell.
            try {
                Save();
            } catch (const TTransferError&) {
            }
            throw;
        }
        Save();
        if (!result_.cancelled) here_.Finish();
    }

private:
    // Page: proved, or it stays. PageOrFile: proved, or it comes as a file.
    enum class TKind { Page, PageOrFile, File };
    // A proved page's bytes, or why the file stays; neither for a file that
    // came, or a name that is a folder there.
    struct TCame {
        std::optional<std::string> page;
        std::optional<TNotFetched> stays;
    };

    // The start page and the pages its links reach, in the order found;
    // then every other file they name, in the order first named: what a
    // publish of the start page would send.
    void FetchSite() {
        const std::string& start = order_.startPage;
        if (core::SpellingFault(start) || !core::IsPageName(start))
            throw TTransferError(TFault::StartPageInvalid, start);
        seen_.insert(start);
        TCame came = FetchOne(start, TKind::Page);
        if (result_.cancelled) return;
        if (!came.page) {
            const TNotFetched stays = came.stays.value_or(TNotFetched{start});
            throw TTransferError(TFault::StartPageNotFetched, {start, NotFetchedWords(stays)});
        }
        std::vector<std::string> others;
        std::deque<std::pair<std::string, std::string>> toRead{{start, std::move(*came.page)}};
        while (!toRead.empty()) {
            const auto [reading, pageBytes] = std::move(toRead.front());
            toRead.pop_front();
            for (const std::string& named : core::LocalReferences(pageBytes)) {
                const std::string name = SiteName(reading, named);
                if (!seen_.insert(name).second) continue;
                if (!core::IsPageName(name)) {
                    others.push_back(name);
                    continue;
                }
                TCame linked = FetchOne(name, order_.wholeFolder ? TKind::PageOrFile : TKind::Page);
                if (result_.cancelled) return;
                if (linked.page) toRead.emplace_back(name, std::move(*linked.page));
            }
        }
        for (const std::string& name : others) {
            FetchOne(name, TKind::File);
            if (result_.cancelled) return;
        }
    }

    // Every other file of the server folder and below, folder by folder.
    void FetchTheRest() {
        std::deque<std::string> folders{""};
        while (!folders.empty()) {
            const std::string folder = std::move(folders.front());
            folders.pop_front();
            const TListing* listing = Listing(folder);
            if (listing == nullptr) continue;
            for (const auto& [entryName, entry] : *listing) {
                const std::string name = JoinName(folder, entryName);
                if (IsLeftOfAPublish(entryName) || !seen_.insert(name).second) continue;
                if (entry.folder && !entry.link && !core::SpellingFault(name)) {
                    folders.push_back(name);
                    continue;
                }
                FetchOne(name, core::IsPageName(name) ? TKind::PageOrFile : TKind::File);
                if (result_.cancelled) return;
            }
        }
    }

    TCame FetchOne(const std::string& name, TKind kind) {
        if (cancel_) {
            result_.cancelled = true;
            return {};
        }
        std::optional<TRemoteEntry> entry;
        if (std::optional<TNotFetched> stays = Find(name, entry)) return Stays(std::move(*stays));
        if (!entry) return {};
        const std::uint64_t most = kind == TKind::Page ? kMostFetchedPageBytes : kMostFetchedFileBytes;
        if (entry->size > most) return Stays({name, TWhy::TooLarge});
        core::TArrivingFile file(here_.folder(), name);
        if (file.state() == core::TArrivingFile::TState::Taken) {
            const TBefore before = Before(name, *entry);
            if (before == TBefore::Same) return CameBefore(name, kind);
            if (before == TBefore::Other || !RemoveOutdated(name)) return Stays({name, TWhy::AlreadyHere});
            file = core::TArrivingFile(here_.folder(), name);
        }
        if (file.state() != core::TArrivingFile::TState::Open) throw TTransferError(TFault::FileHereNotKept, name);
        const std::string remote = ServerPath(base_, name);
        progress_.Sending(name, 0, entry->size);
        TDownloaded end = TDownloaded::Stopped;
        try {
            end = server_.Download(remote, file.Descriptor(), most, [&](std::uint64_t got) {
                progress_.Sending(name, got, entry->size);
                return !cancel_;
            });
        } catch (const TTransferError& error) {
            // The server will not give this one file, and the line holds.
            if (!IsRefusal(error.cause())) throw;
            return Stays({name, TWhy::Refused});
        }
        if (end == TDownloaded::Stopped) {
            result_.cancelled = true;
            return {};
        }
        if (end == TDownloaded::TooLarge) return Stays({name, TWhy::TooLarge});
        const TFileDigest digest = DigestFile(file.Descriptor(), name);
        const TRemoteEntry there = AsFetched(name, remote, *entry, digest.size);
        TCame came;
        if (kind != TKind::File) {
            came.page = ProvedPage(file.Descriptor());
            if (!came.page && kind == TKind::Page) return Stays({name, TWhy::NotOurPage});
        }
        const auto [pictureSide, builtFor] = came.page ? std::pair(0, 0) : AsWebCopy(file.Descriptor());
        const TFileStamp stamp = StampFile(file.Descriptor(), name);
        switch (file.Keep(core::TArrivingFile::TFlush::Later)) {
            case core::TArrivingFile::TKept::Kept:
                break;
            case core::TArrivingFile::TKept::Taken:
                return Stays({name, TWhy::AlreadyHere});
            case core::TArrivingFile::TKept::Refused:
                throw TTransferError(TFault::FileHereNotKept, name);
        }
        // As a publish would note it, had it sent these bytes.
        record_.NoteLater(name, TSentFile{digest.size, digest.sha256, digest.sha256, there.size, there.modified,
                                          stamp.modified, pictureSide, builtFor});
        if (Clock::now() - saved_ >= std::chrono::seconds(1)) Save();
        (came.page ? result_.pages : result_.files).push_back(name);
        return came;
    }

    // A fetch that goes on finds here what it fetched before (Same), as the
    // record says it came; Outdated where the server has changed it since,
    // Other for anything else.
    enum class TBefore { Same, Outdated, Other };
    TBefore Before(const std::string& name, const TRemoteEntry& entry) const {
        const TSentFile* sent = record_.Find(name);
        const core::TOpenedName opened = here_.folder().Open(name);
        if (sent == nullptr || !opened.file || sent->sha256.empty() ||
            DigestFile(opened.file.Get(), name).sha256 != sent->sha256)
            return TBefore::Other;
        const bool same = sent->serverSize == entry.size && sent->serverModified == entry.modified;
        return same ? TBefore::Same : TBefore::Outdated;
    }

    // What this fetch brought before, unchanged here: it goes, for the
    // server's new bytes to take its place.
    bool RemoveOutdated(const std::string& name) const {
        const std::optional<core::TPagePlace> place = here_.folder().NewPlace(name);
        return place && unlinkat(place->folder.Get(), place->name.c_str(), 0) == 0;
    }

    TCame CameBefore(const std::string& name, TKind kind) {
        TCame came;
        if (kind != TKind::File) {
            const core::TOpenedName opened = here_.folder().Open(name);
            if (opened.file) came.page = ProvedPage(opened.file.Get());
            if (!came.page && kind == TKind::Page) return Stays({name, TWhy::AlreadyHere});
        }
        (came.page ? result_.pages : result_.files).push_back(name);
        return came;
    }

    // The files that came, on the disk, then the record that names them:
    // each at once would cost the fetch twice its time (./scripts/bench),
    // and what the record names is always whole here, also after a power
    // cut. A file that came after is not named there, and stays as it is.
    void Save() {
        if (!here_.folder().Sync()) throw TTransferError(TFault::FileHereNotKept, ".");
        record_.Flush();
        saved_ = Clock::now();
    }

    TCame Stays(TNotFetched stays) {
        result_.notFetched.push_back(stays);
        return TCame{std::nullopt, std::move(stays)};
    }

    // What the server has under the name: judged by its spelling first,
    // then walked folder by folder through the listings, no link followed.
    // Sets `file` unless the name is a folder there.
    std::optional<TNotFetched> Find(const std::string& name, std::optional<TRemoteEntry>& file) {
        if (const std::optional<core::TNameFault> fault = core::SpellingFault(name))
            return TNotFetched{name, TWhy::Name, *fault};
        std::string folder;
        for (std::size_t from = 0;;) {
            const std::size_t slash = name.find('/', from);
            const TListing* listing = Listing(folder);
            const auto entry =
                listing != nullptr ? listing->find(name.substr(from, slash - from)) : TListing::const_iterator();
            if (listing == nullptr || entry == listing->end()) return TNotFetched{name};
            if (entry->second.link) return TNotFetched{name, TWhy::LinkOnServer};
            if (slash == std::string::npos) {
                if (!entry->second.folder) file = entry->second;
                return std::nullopt;
            }
            if (!entry->second.folder) return TNotFetched{name};
            folder = name.substr(0, slash);
            from = slash + 1;
        }
    }

    // The folder's entries, listed once; nullptr where there is no such
    // folder.
    const TListing* Listing(const std::string& folder) {
        auto found = listings_.find(folder);
        if (found == listings_.end()) {
            std::optional<TListing> listing;
            if (const auto entries = server_.List(ServerPath(base_, folder))) {
                listing.emplace();
                for (const TRemoteEntry& entry : *entries) (*listing)[entry.name] = entry;
            }
            found = listings_.emplace(folder, std::move(listing)).first;
        }
        return found->second ? &*found->second : nullptr;
    }

    // What the server reports for the file as it came. Not what the listing
    // said when the file changed since, and then asked again: the record
    // must hold what a later listing shows.
    TRemoteEntry AsFetched(const std::string& name, const std::string& remote, const TRemoteEntry& listed,
                           std::uint64_t size) {
        if (size == listed.size) return listed;
        const TRemoteEntry now = server_.Stat(remote);
        if (now.size != size)
            throw TTransferError(TFault::FetchedShort, {name, std::to_string(size), std::to_string(now.size)});
        return now;
    }

    const TFetchOrder& order_;
    TFetchFolder& here_;
    IRemoteServer& server_;
    const std::string& base_;
    TSentRecord& record_;
    IPublishProgress& progress_;
    const std::atomic<bool>& cancel_;
    TFetchResult& result_;
    std::set<std::string> seen_;
    std::map<std::string, std::optional<TListing>> listings_;
    Clock::time_point saved_ = Clock::now();
};

}  // namespace

TFetchFolder::TFetchFolder(const std::filesystem::path& folder, const std::string& key)
    : path_(folder), folder_(MadeFolder(folder)) {
    if (!folder_.IsOpen()) throw TTransferError(TFault::FolderHereNotMade, path_.string());
    const std::string mark = key + "\n";
    if (!folder_.IsEmpty()) {
        // One a fetch from elsewhere left, or the user's, is never merged.
        const core::TOpenedName left = folder_.Open(kMark, true);
        if (!left.file || ReadOpenFile(left.file.Get(), mark.size() + 1) != mark)
            throw TTransferError(TFault::FolderHereNotEmpty, path_.string());
        return;
    }
    core::TArrivingFile marked(folder_, kMark, true);
    if (marked.state() != core::TArrivingFile::TState::Open || !core::WriteAll(marked.Descriptor(), mark) ||
        marked.Keep() != core::TArrivingFile::TKept::Kept)
        throw TTransferError(TFault::FileHereNotKept, (path_ / kMark).string());
}

void TFetchFolder::Finish() {
    if (const std::optional<core::TPagePlace> place = folder_.NewPlace(kMark, true))
        unlinkat(place->folder.Get(), place->name.c_str(), 0);
}

void RunFetchSteps(const TFetchOrder& order, TFetchFolder& here, IRemoteServer& server, const std::string& base,
                   TSentRecord& record, IPublishProgress& progress, const std::atomic<bool>& cancel,
                   TFetchResult& result) {
    TFetchSteps(order, here, server, base, record, progress, cancel, result).Run();
}

}  // namespace transfer
