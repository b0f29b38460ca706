#pragma once

// A server in memory for the publish and fetch steps, for what no real server does on
// cue: a refused rename, a file that cannot be deleted, a line lost at the
// N-th call of a kind. Paths are the steps' own ("." is the login folder,
// "bilder/a.jpg" a file below it).

#include <array>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "transfer/publish.h"
#include "transfer/remote_server.h"

namespace testsupport {

class TMemoryServer : public transfer::IRemoteServer {
public:
    enum class TCall { List, MakeFolder, Upload, Rename, Remove, Stat, Download };
    // The calls a publish makes.
    static constexpr TCall kCalls[] = {TCall::List,   TCall::MakeFolder, TCall::Upload,
                                       TCall::Rename, TCall::Remove,     TCall::Stat};

    // Calls `first` to `first + count - 1` of that kind fail, counted from 1
    // from now on;
    // with `cut` every call after the first of them fails too, as after a
    // lost line. A failed Upload leaves half the file.
    void FailAt(TCall call, int first, int count = 1, bool cut = false);
    void Heal();
    int Calls(TCall call) const { return calls_[static_cast<std::size_t>(call)]; }
    // "name" for a file, "name/" for a folder, sorted, as Tree() shows a
    // folder on disk.
    std::string Tree() const;
    // The file's bytes, or "<missing>".
    std::string Bytes(const std::string& file) const;

    bool LoggedInByPassword() const override { return true; }
    std::optional<std::vector<transfer::TRemoteEntry>> List(const std::string& folder) override;
    void MakeFolder(const std::string& folder) override;
    bool Upload(int local, const std::string& name, const std::string& remote,
                const std::function<bool(std::uint64_t)>& sent) override;
    void Rename(const std::string& from, const std::string& to) override;
    void Remove(const std::string& file) override;
    transfer::TRemoteEntry Stat(const std::string& file) override;
    transfer::TDownloaded Download(const std::string& remote, int local, std::uint64_t most,
                                   const std::function<bool(std::uint64_t)>& received) override;
    // As object storage: an upload replaces the file whole, and a failed one
    // leaves the old file.
    bool ReplacesWhole() const override { return replacesWhole; }
    bool replacesWhole = false;

    std::set<std::string> folders = {"."};
    struct TFile {
        std::string bytes;
        std::int64_t modified = 0;
    };
    std::map<std::string, TFile> files;

private:
    // Counts the call; throws `fault` when it is to fail, as a server that
    // refuses it, or as a lost line.
    void Call(TCall call, transfer::TFault fault, const transfer::TSubject& subject);

    std::array<int, static_cast<std::size_t>(TCall::Download) + 1> calls_{};
    TCall failing_ = TCall::List;
    int first_ = 0, last_ = -1;
    bool cut_ = false, lost_ = false;
    std::int64_t clock_ = 1000;
};

}  // namespace testsupport
