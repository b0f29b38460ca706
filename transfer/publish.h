#pragma once

// Publishing a written page and the local files it names onto a server.
// Plain C++ below the windows: the window gathers the login, answers the
// questions and shows the progress; the transfer runs on a thread of its
// own and calls back from there.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/folder_names.h"
#include "pictures/picture_words.h"
#include "transfer/transfer_error.h"

namespace transfer {

enum class TProtocol { Sftp, Ftps, WebDav, S3 };

// Where to publish and as whom; texts in UTF-8, as typed.
struct TServerLogin {
    TProtocol protocol = TProtocol::Sftp;
    // WebDAV: the https:// address of the folder the login leads to;
    // object storage: its endpoint. The host and port are then the
    // address's own.
    std::string address;
    // Object storage: its region and bucket. The user is the access key,
    // the password the secret key, the folder the prefix of the keys.
    std::string region;
    std::string bucket;
    std::string host;
    int port = 22;
    std::string user;
    std::string password;  // empty: keys (SFTP) only
    std::string keyFile;   // empty: the SSH agent and ~/.ssh's usual keys
    // Relative to the login folder unless it starts with "/"; empty is the
    // login folder itself.
    std::string folder;
    // FTPS, WebDAV, object storage: the folder of the program's settings, where a certificate the
    // user trusted although it does not verify is pinned for its server.
    std::filesystem::path trustFolder;
};

// A file the page names that is not sent, and why; core::FaultWords has
// the words for the reason, core::PrintableName prints the name.
struct TLeftOut {
    using TReason = core::TNameFault;
    std::string name;  // as the page names it ("../oben.png")
    TReason reason;
};

// What a publish of this page would send: the site it leads to. The page
// file first, then every page of its folder its links reach, and the pages
// those reach, in the order they are found; then every other local file
// those pages name, in the order first named. All as paths relative to the
// page's folder, each once. Inside as the file system resolves it: a name
// reached through a link that leads out of the folder is left out, and so
// is a hidden or an invalid one (folder_names.h), and a page that is missing.
struct TPublishPlan {
    std::filesystem::path folder;  // the page's folder, absolute
    std::vector<std::string> files;
    // How many of `files`, from the front, are pages.
    std::size_t pages = 1;
    std::vector<TLeftOut> leftOut;
};

// Reads the page file and every page reached and the references on them;
// opens each named file to judge it, and reads none but the pages. Throws
// TTransferError when the page itself cannot be read.
TPublishPlan PlanPublish(const std::filesystem::path& pageFile);

// The questions a publish asks the user while it runs. Called on the
// publishing thread; the caller answers them on its own.
class IPublishQuestions {
public:
    virtual ~IPublishQuestions() = default;
    // A host key not in ~/.ssh/known_hosts, fingerprint as `ssh` prints it
    // ("SHA256:…"); or a certificate that does not verify, its type the
    // reason ("TLS-Zertifikat, selbst signiert") and its SHA-256 fingerprint
    // as browsers show it ("AB:CD:…"). True trusts it and records it.
    virtual bool TrustUnknownHost(const std::string& host, const std::string& keyType,
                                  const std::string& fingerprint) = 0;
    // The passphrase of an encrypted key; nullopt skips that key.
    virtual std::optional<std::string> KeyPassphrase(const std::filesystem::path& keyFile) = 0;
    // Before anything goes up, once the pictures are rebuilt for the web and
    // there is something to say: what was done to them, and those that
    // cannot go (relative paths). False sends nothing.
    virtual bool MaySendPictures(const pictures::TPicturesDone& done, const std::vector<std::string>& notCleanable) = 0;
};

// Progress while it runs, called on the publishing thread.
class IPublishProgress {
public:
    virtual ~IPublishProgress() = default;
    // The file being sent (relative path), bytes sent of it, its size.
    virtual void Sending(const std::string& file, std::uint64_t sent, std::uint64_t size) = 0;
    // The picture being rebuilt for the web, before anything is sent.
    virtual void Preparing(const std::string& file) { (void)file; }
};

struct TPublishResult {
    std::vector<std::string> sent;       // relative paths, in the order sent
    std::vector<std::string> unchanged;  // skipped: the server has them
    // Files of the plan judged again when their turn came and not sent: one
    // swapped for a link to elsewhere after the plan was made.
    std::vector<TLeftOut> leftOut;
    // Pictures not sent because they cannot be rebuilt for the web, and
    // what the rebuilds of the pictures sent did.
    std::vector<std::string> notCleanable;
    pictures::TPicturesDone pictures;
    // None when everything went up; otherwise what stopped it, its what()
    // the German message. The files not yet sent are the plan's files in
    // none of the lists.
    std::optional<TTransferError> error;
    bool cancelled = false;
    // What the user should know although it stopped nothing, e.g. an old
    // file the server would not delete beside its new one.
    std::vector<TTransferError> notes;
    // The login went through with the password: only then is it worth
    // remembering.
    bool byPassword = false;
};

// Sends what the plan names, only what changed since the record says it was
// sent, each file under a temporary name first and then put in place. Each
// file is opened as the plan judged it once more when its turn comes, and
// what is sent is read from that open file; a picture (judged by its bytes)
// goes only as its web copy, rebuilt apart and scaled to `pictureSide`
// (pictures::kNoScaling: its own size), and not at all when it cannot be
// rebuilt.
// `recordFolder` holds the local records of what was sent (one per server
// and folder). Never throws for what happens on the server or the line: the
// result says it. `cancel` is read between and within files.
TPublishResult Publish(const TPublishPlan& plan, const TServerLogin& login, const std::filesystem::path& recordFolder,
                       IPublishQuestions& questions, IPublishProgress& progress, const std::atomic<bool>& cancel,
                       int pictureSide = pictures::kWebSide);

}  // namespace transfer
