#include "transfer/publish_steps.h"

#include <map>
#include <set>

#include "transfer/file_digest.h"

namespace transfer {
namespace {

// The program's own names beside a file; nothing else on the server is
// ever removed.
const std::string kTemporarySuffix = ".tavirel-neu";
const std::string kBackupSuffix = ".tavirel-alt";

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string FolderOf(const std::string& relative) {
    const std::size_t slash = relative.rfind('/');
    return slash == std::string::npos ? std::string() : relative.substr(0, slash);
}

std::string NameOf(const std::string& relative) {
    return relative.substr(relative.rfind('/') + 1);
}

using TListing = std::map<std::string, TRemoteEntry>;

class TPublishRun {
public:
    TPublishRun(const TPublishPlan& plan, IRemoteServer& server, const std::string& base, TSentRecord& record,
                IPublishProgress& progress, const std::atomic<bool>& cancel, TPublishResult& result)
        : plan_(plan),
          server_(server),
          base_(base),
          record_(record),
          progress_(progress),
          cancel_(cancel),
          result_(result) {}

    void Run() {
        const core::TPageFolder folder(plan_.folder);
        if (!folder.IsOpen())
            throw TTransferError("Der Ordner der Seite „" + core::PrintableName(plan_.folder.string()) +
                                 "“ lässt sich nicht öffnen.");
        ListFolders();
        for (const std::string& file : plan_.files) {
            if (cancel_) {
                result_.cancelled = true;
                return;
            }
            // Judged again now, and what is sent is read from this very
            // descriptor: a name swapped for a link since the plan was made
            // sends nothing.
            const core::TOpenedName opened = folder.Open(file, &file == &plan_.files.front());
            if (!opened.file) {
                result_.leftOut.push_back({file, opened.fault.value_or(core::TNameFault::Missing)});
                continue;
            }
            const TFileDigest local = DigestFile(opened.file.Get(), file);
            if (IsUnchanged(file, local)) {
                result_.unchanged.push_back(file);
                continue;
            }
            const std::optional<TRemoteEntry> now = Send(file, opened.file.Get(), local);
            if (!now) {
                result_.cancelled = true;
                return;
            }
            result_.sent.push_back(file);
            record_.Note(file, TSentFile{local.size, local.sha256, now->size, now->modified});
        }
    }

private:
    // Each folder the plan needs is listed once; one missing on the server
    // is not listed below it either. The login folder itself must exist.
    void ListFolders() {
        std::set<std::string> needed;
        for (const std::string& file : plan_.files)
            for (std::string folder = FolderOf(file); !folder.empty(); folder = FolderOf(folder)) needed.insert(folder);
        std::optional<std::vector<TRemoteEntry>> top = server_.List(ServerPath(base_, ""));
        if (!top)
            throw TTransferError("Den Ordner „" + (base_.empty() ? std::string(".") : base_) +
                                 "“ gibt es auf dem Server nicht. Bitte den Ordner auf dem Server prüfen.");
        Take("", *top);
        // A set orders every folder after its parent.
        for (const std::string& folder : needed) {
            const auto parent = listings_.find(FolderOf(folder));
            if (parent == listings_.end()) continue;
            const auto entry = parent->second.find(NameOf(folder));
            if (entry == parent->second.end() || !entry->second.folder) continue;
            if (std::optional<std::vector<TRemoteEntry>> entries = server_.List(ServerPath(base_, folder)))
                Take(folder, *entries);
        }
    }

    // Keeps the listing and finishes what an interrupted publish left there:
    // a backup whose file is missing goes back in place, a temporary file
    // goes, and so does a backup whose file was already replaced.
    void Take(const std::string& folder, const std::vector<TRemoteEntry>& entries) {
        TListing& listing = listings_[folder];
        for (const TRemoteEntry& entry : entries) listing[entry.name] = entry;
        for (const TRemoteEntry& entry : entries) {
            if (entry.folder) continue;
            const std::string path = Join(folder, entry.name);
            if (EndsWith(entry.name, kTemporarySuffix)) {
                server_.Remove(ServerPath(base_, path));
                listing.erase(entry.name);
            } else if (EndsWith(entry.name, kBackupSuffix)) {
                const std::string original = entry.name.substr(0, entry.name.size() - kBackupSuffix.size());
                if (listing.count(original) == 0) {
                    server_.Rename(ServerPath(base_, path), ServerPath(base_, Join(folder, original)));
                    TRemoteEntry restored = entry;
                    restored.name = original;
                    listing[original] = restored;
                } else {
                    server_.Remove(ServerPath(base_, path));
                }
                listing.erase(entry.name);
            }
        }
    }

    static std::string Join(const std::string& folder, const std::string& name) {
        return folder.empty() ? name : folder + "/" + name;
    }

    const TRemoteEntry* OnServer(const std::string& file) const {
        const auto folder = listings_.find(FolderOf(file));
        if (folder == listings_.end()) return nullptr;
        const auto entry = folder->second.find(NameOf(file));
        return entry == folder->second.end() ? nullptr : &entry->second;
    }

    // Unchanged here since it was sent, and the server still reports what it
    // reported then: a file changed there by hand is sent again.
    bool IsUnchanged(const std::string& file, const TFileDigest& local) const {
        const TSentFile* sent = record_.Find(file);
        const TRemoteEntry* there = OnServer(file);
        return sent != nullptr && there != nullptr && !there->folder && sent->size == local.size &&
               sent->sha256 == local.sha256 && sent->serverSize == there->size &&
               sent->serverModified == there->modified;
    }

    void MakeFolders(const std::string& folder) {
        if (folder.empty() || listings_.count(folder) != 0) return;
        MakeFolders(FolderOf(folder));
        const TRemoteEntry* there = OnServer(folder);
        if (there == nullptr) {
            server_.MakeFolder(ServerPath(base_, folder));
            listings_[FolderOf(folder)][NameOf(folder)] = TRemoteEntry{NameOf(folder), true, 0, 0};
        } else if (!there->folder) {
            throw TTransferError("Auf dem Server ist „" + folder + "“ eine Datei, kein Ordner.");
        }
        listings_[folder];
    }

    // Under a temporary name first; then the old file becomes the backup,
    // the new one takes its name and the backup goes. A visitor never sees
    // a half file. Returns what the server reports for it then; nullopt when
    // cancelled, and the old file stays.
    std::optional<TRemoteEntry> Send(const std::string& file, int localFile, const TFileDigest& local) {
        MakeFolders(FolderOf(file));
        if (const TRemoteEntry* there = OnServer(file); there != nullptr && there->folder)
            throw TTransferError("Auf dem Server ist „" + file + "“ ein Ordner, keine Datei; er bleibt.");
        const std::string final = ServerPath(base_, file);
        const std::string temporary = final + kTemporarySuffix;
        progress_.Sending(file, 0, local.size);
        bool replacing = false;
        try {
            const bool complete = server_.Upload(localFile, file, temporary, [&](std::uint64_t sent) {
                progress_.Sending(file, sent, local.size);
                return !cancel_;
            });
            if (!complete) {
                server_.Remove(temporary);
                return std::nullopt;
            }
            const TRemoteEntry* there = OnServer(file);
            if (there != nullptr) {
                const std::string backup = final + kBackupSuffix;
                server_.Rename(final, backup);
                replacing = true;
                server_.Rename(temporary, final);
                server_.Remove(backup);
            } else {
                server_.Rename(temporary, final);
            }
        } catch (const TTransferError& error) {
            const char* const state = replacing ? "liegt auf dem Server unter einem Sicherungsnamen; „Veröffentlichen“ "
                                                  "bringt es wieder in Ordnung."
                                      : OnServer(file) != nullptr ? "ist auf dem Server geblieben, wie es war."
                                                                  : "wurde nicht übertragen.";
            throw TTransferError(std::string(error.what()) + " „" + file + "“ " + state);
        }
        TRemoteEntry now = server_.Stat(final);
        now.name = NameOf(file);
        listings_[FolderOf(file)][now.name] = now;
        return now;
    }

    const TPublishPlan& plan_;
    IRemoteServer& server_;
    const std::string& base_;
    TSentRecord& record_;
    IPublishProgress& progress_;
    const std::atomic<bool>& cancel_;
    TPublishResult& result_;
    std::map<std::string, TListing> listings_;
};

}  // namespace

std::string ServerPath(const std::string& base, const std::string& relative) {
    if (relative.empty()) return base.empty() ? "." : base;
    if (base.empty()) return relative;
    return base.back() == '/' ? base + relative : base + "/" + relative;
}

void RunPublishSteps(const TPublishPlan& plan, IRemoteServer& server, const std::string& base, TSentRecord& record,
                     IPublishProgress& progress, const std::atomic<bool>& cancel, TPublishResult& result) {
    TPublishRun(plan, server, base, record, progress, cancel, result).Run();
}

}  // namespace transfer
