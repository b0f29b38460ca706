#pragma once

// What the publish and fetch steps need of a server, whatever protocol
// reaches it.
// Paths are the server's, as the login folder joins them; every call throws
// TTransferError with the German message of what went wrong.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace transfer {

struct TRemoteEntry {
    std::string name;
    bool folder = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // seconds since the epoch, as the server reports it
    // A symbolic link. `folder` says whether it leads to a folder where the
    // server told; where it did not (FTP's listings), the steps list it to
    // find out.
    bool link = false;
};

// How a download ended.
enum class TDownloaded { Whole, TooLarge, Stopped };

class IRemoteServer {
public:
    virtual ~IRemoteServer() = default;
    // The password got the user in (not a key, the agent, or no login).
    virtual bool LoggedInByPassword() const = 0;
    // The folder's entries; nullopt when there is no such folder (also when
    // the name is a file, or a link that leads to none).
    virtual std::optional<std::vector<TRemoteEntry>> List(const std::string& folder) = 0;
    virtual void MakeFolder(const std::string& folder) = 0;
    // Writes the open local file, from its start, to `remote`, created or
    // emptied first; never opens a local file by name. `name` is the file's
    // for messages. `sent` hears the bytes sent so far after each piece; when
    // it returns false the upload stops and Upload returns false, leaving
    // `remote` partial.
    virtual bool Upload(int local, const std::string& name, const std::string& remote,
                        const std::function<bool(std::uint64_t)>& sent) = 0;
    // `to` must not exist: not every server replaces a file by renaming.
    virtual void Rename(const std::string& from, const std::string& to) = 0;
    virtual void Remove(const std::string& file) = 0;
    virtual TRemoteEntry Stat(const std::string& file) = 0;
    // Writes `remote` from its start into the open local file `local`, at its current position, never opening a
    // local file by name. Reads at most `most` bytes: a file larger than that is TooLarge, and no more of it is
    // read than `most` + 1 bytes. `received` hears the bytes so far after each piece; when it returns false the
    // download stops: Stopped. Throws TTransferError for what the server or the line does.
    virtual TDownloaded Download(const std::string& remote, int local, std::uint64_t most,
                                 const std::function<bool(std::uint64_t)>& received) = 0;
    // An upload replaces the file whole: readers see the old one or the new
    // one, never a part (object storage). The steps then send each file
    // under its own name; a stopped upload leaves the old one.
    virtual bool ReplacesWhole() const { return false; }
};

}  // namespace transfer
