#include "transfer/sftp_server.h"

#include <fcntl.h>
#include <libssh/sftp.h>
#include <unistd.h>

#include <vector>

#include "core/system_calls.h"
#include "transfer/ssh_login.h"
#include "transfer/stall_guard.h"

namespace transfer {
namespace {

// Small enough for every server's packet limit (OpenSSH takes 256 KiB).
constexpr std::size_t kPieceBytes = 64 * 1024;

// Later versions of SFTP name a full disk; a server may send them also
// when it speaks version 3, as libssh does.
constexpr int kNoSpaceOnFilesystem = 14;
constexpr int kQuotaExceeded = 15;

// The cause as the user can act on it: the rights, the space. `writing` is
// set where a full disk is the likely cause of a plain failure: SFTP
// version 3 has no code for it, and OpenSSH reports it as a failure
// without more.
TCause CauseOf(int status, bool writing) {
    switch (status) {
        case SSH_FX_NO_SUCH_FILE:
        case SSH_FX_NO_SUCH_PATH:
            return TCause::NotThere;
        case SSH_FX_PERMISSION_DENIED:
        case SSH_FX_WRITE_PROTECT:
            return TCause::NoPermission;
        case kNoSpaceOnFilesystem:
        case kQuotaExceeded:
            return TCause::DiskFull;
        case SSH_FX_FAILURE:
            return writing ? TCause::ServerErrorWhileWriting : TCause::ServerError;
        default:
            return TCause::None;
    }
}

// A link is listed as itself; the steps list it to learn whether it leads
// to a folder (hosts link "bilder" to a shared folder).
TRemoteEntry EntryOf(sftp_attributes attributes) {
    return TRemoteEntry{attributes->name != nullptr ? attributes->name : "",
                        attributes->type == SSH_FILEXFER_TYPE_DIRECTORY, attributes->size,
                        static_cast<std::int64_t>(attributes->mtime), attributes->type == SSH_FILEXFER_TYPE_SYMLINK};
}

class TSftpServer : public IRemoteServer {
public:
    TSftpServer(const TServerLogin& login, IPublishQuestions& questions, const std::atomic<bool>& cancel)
        : ssh_(login, questions, cancel), guard_(ssh_.guard()) {
        const TStallGuard::TWaiting waiting(guard_);
        sftp_ = sftp_new(ssh_.session());
        if (sftp_ == nullptr) throw ssh_.Failure(TFault::NoSftp);
        if (sftp_init(sftp_) != SSH_OK) {
            const TTransferError error = Error(TFault::NoSftp, {});
            sftp_free(sftp_);
            throw error;
        }
    }
    ~TSftpServer() override { sftp_free(sftp_); }

    bool LoggedInByPassword() const override { return ssh_.byPassword(); }

    std::optional<std::vector<TRemoteEntry>> List(const std::string& folder) override {
        const TStallGuard::TWaiting waiting(guard_);
        sftp_dir dir = sftp_opendir(sftp_, folder.c_str());
        if (dir == nullptr) {
            if (sftp_get_error(sftp_) == SSH_FX_NO_SUCH_FILE) return std::nullopt;
            throw Error(TFault::FolderNotListed, folder);
        }
        std::vector<TRemoteEntry> entries;
        while (sftp_attributes attributes = sftp_readdir(sftp_, dir)) {
            TRemoteEntry entry = EntryOf(attributes);
            sftp_attributes_free(attributes);
            if (entry.name != "." && entry.name != "..") entries.push_back(std::move(entry));
        }
        const bool complete = sftp_dir_eof(dir) != 0;
        sftp_closedir(dir);
        if (!complete) throw Error(TFault::FolderNotListedWhole, folder);
        return entries;
    }

    void MakeFolder(const std::string& folder) override {
        const TStallGuard::TWaiting waiting(guard_);
        if (sftp_mkdir(sftp_, folder.c_str(), 0755) != SSH_OK) throw Error(TFault::FolderNotCreated, folder);
    }

    bool Upload(int local, const std::string& name, const std::string& remote,
                const std::function<bool(std::uint64_t)>& sent) override {
        sftp_file file = Waited([&] { return sftp_open(sftp_, remote.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644); });
        if (file == nullptr) throw Error(TFault::FileNotCreated, remote);
        std::vector<char> buffer(kPieceBytes);
        std::uint64_t done = 0;
        bool complete = true;
        for (;;) {
            const ssize_t got = core::RetryInterrupted(
                [&] { return pread(local, buffer.data(), buffer.size(), static_cast<off_t>(done)); });
            if (got < 0) {
                Waited([&] { return sftp_close(file); });
                throw TTransferError(TFault::FileNotReadWhole, name);
            }
            if (got == 0) break;
            const auto piece = static_cast<std::size_t>(got);
            if (Waited([&] { return sftp_write(file, buffer.data(), piece); }) != got) {
                const TTransferError error = Error(TFault::NotWritten, remote, true);
                Waited([&] { return sftp_close(file); });
                throw error;
            }
            done += piece;
            if (!sent(done)) {
                complete = false;
                break;
            }
        }
        // The server may report a full disk only when the file is closed.
        if (Waited([&] { return sftp_close(file); }) != SSH_OK) throw Error(TFault::NotWritten, remote, true);
        return complete;
    }

    void Rename(const std::string& from, const std::string& to) override {
        const TStallGuard::TWaiting waiting(guard_);
        if (sftp_rename(sftp_, from.c_str(), to.c_str()) != SSH_OK) throw Error(TFault::NotRenamed, {from, to});
    }

    void Remove(const std::string& file) override {
        const TStallGuard::TWaiting waiting(guard_);
        if (sftp_unlink(sftp_, file.c_str()) != SSH_OK) throw Error(TFault::NotRemoved, file);
    }

    TRemoteEntry Stat(const std::string& file) override {
        const TStallGuard::TWaiting waiting(guard_);
        sftp_attributes attributes = sftp_stat(sftp_, file.c_str());
        if (attributes == nullptr) throw Error(TFault::NotQueried, file);
        TRemoteEntry entry = EntryOf(attributes);
        sftp_attributes_free(attributes);
        return entry;
    }

    // Fetching a site back is not offered over this way yet.
    TDownloaded Download(const std::string& remote, int, std::uint64_t,
                         const std::function<bool(std::uint64_t)>&) override {
        throw TTransferError(TFault::NotFetched, remote);
    }

private:
    // Every call that waits for the server's answer goes through here.
    template <typename TCall>
    auto Waited(TCall call) -> decltype(call()) {
        const TStallGuard::TWaiting waiting(guard_);
        return call();
    }

    TTransferError Error(TFault fault, const TSubject& subject, bool writing = false) const {
        return ssh_.Failure(fault, subject, CauseOf(sftp_get_error(sftp_), writing));
    }

    TSshLogin ssh_;
    TStallGuard& guard_;
    sftp_session sftp_ = nullptr;
};

}  // namespace

std::unique_ptr<IRemoteServer> OpenSftpServer(const TServerLogin& login, IPublishQuestions& questions,
                                              const std::atomic<bool>& cancel) {
    return std::make_unique<TSftpServer>(login, questions, cancel);
}

}  // namespace transfer
