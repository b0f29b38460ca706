#include "transfer/webdav_server.h"

#include <sys/stat.h>

#include <algorithm>

#include "transfer/curl_handle.h"
#include "transfer/curl_transfer.h"
#include "transfer/propfind_reply.h"
#include "transfer/server_address.h"

namespace transfer {
namespace {

constexpr long kTimeoutSeconds = 20;

// Only what the steps read: the kind, the size and the time.
const char* const kPropfindBody =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<propfind xmlns=\"DAV:\"><prop><resourcetype/><getcontentlength/><getlastmodified/></prop></propfind>\n";

int StopWhenCancelled(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return cancel != nullptr && *static_cast<const std::atomic<bool>*>(cancel) ? 1 : 0;
}

// The last status line, for the messages ("HTTP/1.1 507 Insufficient Storage").
std::size_t KeepStatus(char* data, std::size_t size, std::size_t count, void* status) {
    const std::string_view line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) {
        const std::size_t end = line.find_first_of("\r\n");
        *static_cast<std::string*>(status) = std::string(line.substr(0, end));
    }
    return size * count;
}

std::size_t Discard(char*, std::size_t size, std::size_t count, void*) {
    return size * count;
}

// A listing as it arrives, read only when it is one (not an error's page);
// one that cannot be read stops the transfer.
struct TListingReply {
    CURL* curl = nullptr;
    TPropfindReader reader;
};

std::size_t FeedReader(char* data, std::size_t size, std::size_t count, void* target) {
    auto* reply = static_cast<TListingReply*>(target);
    long status = 0;
    curl_easy_getinfo(reply->curl, CURLINFO_RESPONSE_CODE, &status);
    if (status != 207) return size * count;
    return reply->reader.Feed({data, size * count}) ? size * count : 0;
}

// What an HTTP status says of a request that failed.
TCause CauseOfStatus(long status) {
    switch (status) {
        case 403:
            return TCause::NoPermission;
        case 404:
        case 409:
        case 410:
            return TCause::NotThere;
        case 413:
        case 507:
            return TCause::DiskFull;
        default:
            return TCause::ServerError;
    }
}

class TWebDavServer : public IRemoteServer {
public:
    TWebDavServer(const TServerLogin& login, IPublishQuestions& questions, const std::atomic<bool>& cancel)
        : login_(login), cancel_(cancel), curl_(NewCurl()), address_(WebAddress(login.address)) {
        place_ = {address_.host, address_.port, address_.server, "WebDAV", login.trustFolder};
        // Basic or Digest, whichever the server offers (Digest first); from
        // then on the same, sent with each request.
        auth_ = CURLAUTH_BASIC | CURLAUTH_DIGEST;
        const CURLcode code = LogInTrusted(trust_, place_, questions, [this] { return LogIn(); });
        if (code != CURLE_OK) throw Error(TFault::LoginFailed, {}, code);
        long offered = 0;
        curl_easy_getinfo(curl_.get(), CURLINFO_HTTPAUTH_AVAIL, &offered);
        auth_ = (offered & CURLAUTH_DIGEST) != 0 ? CURLAUTH_DIGEST : CURLAUTH_BASIC;
        if (status_ == 401) throw TTransferError(TFault::PasswordRefused, login_.user);
        // A folder that is not there yet is found missing by its listing.
        if (status_ != 207 && status_ != 404)
            throw TTransferError(TFault::NoWebDav, login.address, TCause::None, statusLine_);
    }

    bool LoggedInByPassword() const override { return !login_.password.empty(); }

    std::optional<std::vector<TRemoteEntry>> List(const std::string& folder) override {
        std::optional<TPropfindListing> listing = Propfind(folder, true);
        if (!listing || (listing->self && !listing->self->folder)) return std::nullopt;
        return std::move(listing->entries);
    }

    void MakeFolder(const std::string& folder) override {
        Begin(Url(folder, true));
        curl_easy_setopt(curl_.get(), CURLOPT_CUSTOMREQUEST, "MKCOL");
        Expect(Perform(), {201}, TFault::FolderNotCreated, folder);
    }

    bool Upload(int local, const std::string& name, const std::string& remote,
                const std::function<bool(std::uint64_t)>& sent) override {
        TUpload upload;
        upload.in = local;
        upload.sent = &sent;
        struct stat status {};
        Begin(Url(remote));
        CURL* curl = curl_.get();
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        if (fstat(local, &status) == 0)
            curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(status.st_size));
        ReadFrom(curl, upload);
        const CURLcode code = Perform();
        if (upload.failure) std::rethrow_exception(upload.failure);
        if (upload.unreadable) throw TTransferError(TFault::FileNotReadWhole, name);
        if (upload.stopped) return false;
        Expect(code, {200, 201, 204}, TFault::NotWritten, remote);
        return sent(upload.done);
    }

    void Rename(const std::string& from, const std::string& to) override {
        TCurlList headers;
        Append(headers, "Destination: " + address_.origin + Path(to));
        Append(headers, "Overwrite: T");
        Begin(Url(from));
        curl_easy_setopt(curl_.get(), CURLOPT_CUSTOMREQUEST, "MOVE");
        curl_easy_setopt(curl_.get(), CURLOPT_HTTPHEADER, headers.get());
        Expect(Perform(), {201, 204}, TFault::NotRenamed, {from, to});
    }

    // A file the server no longer has is as good as removed: a stopped
    // upload may have left nothing.
    void Remove(const std::string& file) override {
        Begin(Url(file));
        curl_easy_setopt(curl_.get(), CURLOPT_CUSTOMREQUEST, "DELETE");
        Expect(Perform(), {200, 204, 404}, TFault::NotRemoved, file);
    }

    TRemoteEntry Stat(const std::string& file) override {
        std::optional<TPropfindListing> listing = Propfind(file, false);
        if (!listing || !listing->self) throw TTransferError(TFault::NotQueried, file, TCause::NotThere);
        TRemoteEntry entry = *listing->self;
        entry.name = file.substr(file.rfind('/') + 1);
        return entry;
    }

    TDownloaded Download(const std::string& remote, int local, std::uint64_t most,
                         const std::function<bool(std::uint64_t)>& received) override {
        TDownload download;
        download.out = local;
        download.most = most;
        download.received = &received;
        Begin(Url(remote));
        // An error's page never reaches the file.
        curl_easy_setopt(curl_.get(), CURLOPT_FAILONERROR, 1L);
        WriteTo(curl_.get(), download);
        const CURLcode code = Perform(true);
        if (status_ == 200)
            if (const std::optional<TDownloaded> end = DownloadEnd(download, code, remote)) return *end;
        // An error's page larger than the bound is an error all the same.
        throw Error(TFault::NotFetched, remote, code == CURLE_FILESIZE_EXCEEDED ? CURLE_OK : code);
    }

private:
    // The server's path of a name the steps give: below the address, or
    // from the server's root when it starts with "/".
    std::string Path(const std::string& name) const {
        if (name == "." || name.empty()) return address_.path;
        if (name.front() == '/') return EncodedPath(name);
        return address_.path + EncodedPath(name);
    }

    std::string Url(const std::string& name, bool folder = false) const {
        std::string path = Path(name);
        if (folder && path.back() != '/') path += '/';
        return address_.origin + path;
    }

    // PROPFIND of a folder and what lies in it (Depth 1), or of the name
    // alone; nullopt when there is no such thing.
    std::optional<TPropfindListing> Propfind(const std::string& name, bool folder) {
        const std::string url = Url(name, folder);
        TListingReply reply{curl_.get(), TPropfindReader(url.substr(address_.origin.size()))};
        TCurlList headers;
        Append(headers, folder ? "Depth: 1" : "Depth: 0");
        Append(headers, "Content-Type: application/xml; charset=utf-8");
        Begin(url);
        CURL* curl = curl_.get();
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "PROPFIND");
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, kPropfindBody);
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, FeedReader);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
        const CURLcode code = Perform(true);
        const TFault fault = folder ? TFault::FolderNotListed : TFault::NotQueried;
        if (code == CURLE_WRITE_ERROR) throw TTransferError(fault, name, TCause::ReplyNotUnderstood);
        if (code == CURLE_OK && status_ == 404) return std::nullopt;
        Expect(code, {207}, fault, name);
        std::optional<TPropfindListing> listing = reply.reader.Finish();
        if (!listing) throw TTransferError(fault, name, TCause::ReplyNotUnderstood);
        return listing;
    }

    CURLcode LogIn() {
        const std::string url = address_.origin + address_.path;
        TCurlList headers;
        Append(headers, "Depth: 0");
        Append(headers, "Content-Type: application/xml; charset=utf-8");
        Begin(url);
        curl_easy_setopt(curl_.get(), CURLOPT_CUSTOMREQUEST, "PROPFIND");
        curl_easy_setopt(curl_.get(), CURLOPT_POSTFIELDS, kPropfindBody);
        curl_easy_setopt(curl_.get(), CURLOPT_HTTPHEADER, headers.get());
        const CURLcode code = Perform(true);
        if (code == CURLE_NOT_BUILT_IN) throw TTransferError(TFault::CurlWithoutOpenSsl);
        return code;
    }

    // Each request starts from the same settings; libcurl keeps the
    // connection between them.
    void Begin(const std::string& url) {
        CURL* curl = curl_.get();
        curl_easy_reset(curl);
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, address_.scheme.c_str());
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
        // The user name and password go with no redirect to elsewhere.
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
        if (!login_.user.empty()) {
            curl_easy_setopt(curl, CURLOPT_USERNAME, login_.user.c_str());
            curl_easy_setopt(curl, CURLOPT_PASSWORD, login_.password.c_str());
            curl_easy_setopt(curl, CURLOPT_HTTPAUTH, auth_);
        }
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        // The host name is checked with the chain, where a pinned
        // certificate may stand in for it.
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, SetUpTls);
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, &trust_);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kTimeoutSeconds);
        // A line that carries nothing for a minute is taken as lost.
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 3 * kTimeoutSeconds);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText_);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Discard);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, KeepStatus);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, &statusLine_);
    }

    // A cancellable request ends as soon as the publish is cancelled; the
    // others (an upload stops through its own callback) run to their end.
    CURLcode Perform(bool cancellable = false) {
        errorText_[0] = '\0';
        statusLine_.clear();
        status_ = 0;
        CURL* curl = curl_.get();
        if (cancellable) {
            curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
            curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, StopWhenCancelled);
            curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(&cancel_));
        }
        const CURLcode code = curl_easy_perform(curl);
        if (code == CURLE_ABORTED_BY_CALLBACK && cancellable && cancel_) throw TTransferError(TFault::Cancelled);
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status_);
        return code;
    }

    // Throws unless the request went through with one of the statuses.
    void Expect(CURLcode code, std::initializer_list<long> statuses, TFault fault, const TSubject& subject) const {
        if (code == CURLE_OK && std::find(statuses.begin(), statuses.end(), status_) != statuses.end()) return;
        throw Error(fault, subject, code);
    }

    // The cause as the user can act on it: trust, login, the line, the
    // rights, the space; with the server's status line, or else libcurl's
    // words.
    TTransferError Error(TFault fault, const TSubject& subject, CURLcode code) const {
        const std::string words = errorText_[0] != '\0' ? errorText_ : curl_easy_strerror(code);
        if (std::optional<TTransferError> reach = ReachError(curl_.get(), code, trust_, place_, words)) return *reach;
        if (IsCut(code)) return TTransferError(fault, subject, TCause::ConnectionCut, words);
        if (code != CURLE_OK && code != CURLE_HTTP_RETURNED_ERROR)
            return TTransferError(fault, subject, TCause::None, words);
        if (status_ == 401) return TTransferError(TFault::PasswordRefused, login_.user);
        return TTransferError(fault, subject, CauseOfStatus(status_), statusLine_);
    }

    const TServerLogin& login_;
    const std::atomic<bool>& cancel_;
    TCurl curl_;
    const TWebAddress address_;
    TServerPlace place_;
    TTrust trust_;
    long auth_ = CURLAUTH_BASIC;
    long status_ = 0;
    std::string statusLine_;
    char errorText_[CURL_ERROR_SIZE] = {};
};

}  // namespace

std::unique_ptr<IRemoteServer> OpenWebDavServer(const TServerLogin& login, IPublishQuestions& questions,
                                                const std::atomic<bool>& cancel) {
    return std::make_unique<TWebDavServer>(login, questions, cancel);
}

}  // namespace transfer
