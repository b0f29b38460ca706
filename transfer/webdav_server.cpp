#include "transfer/webdav_server.h"

#include <sys/stat.h>

#include "transfer/http_session.h"
#include "transfer/propfind_reply.h"

namespace transfer {
namespace {

// Only what the steps read: the kind, the size and the time.
const char* const kPropfindBody =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<propfind xmlns=\"DAV:\"><prop><resourcetype/><getcontentlength/><getlastmodified/></prop></propfind>\n";

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

class TWebDavServer : public IRemoteServer {
public:
    TWebDavServer(const TServerLogin& login, IPublishQuestions& questions, const std::atomic<bool>& cancel)
        : login_(login),
          http_(WebAddress(login.address), "WebDAV", login.user, login.trustFolder, cancel),
          address_(http_.address()) {
        // Basic or Digest, whichever the server offers (Digest first); from
        // then on the same, sent with each request.
        auth_ = CURLAUTH_BASIC | CURLAUTH_DIGEST;
        const CURLcode code = http_.LogIn(questions, [this] { return LogIn(); });
        if (code != CURLE_OK) throw http_.Error(TFault::LoginFailed, {}, code);
        long offered = 0;
        curl_easy_getinfo(http_.curl(), CURLINFO_HTTPAUTH_AVAIL, &offered);
        auth_ = (offered & CURLAUTH_DIGEST) != 0 ? CURLAUTH_DIGEST : CURLAUTH_BASIC;
        if (http_.status() == 401) throw TTransferError(TFault::PasswordRefused, login_.user);
        // A folder that is not there yet is found missing by its listing.
        if (http_.status() != 207 && http_.status() != 404)
            throw TTransferError(TFault::NoWebDav, login.address, TCause::None, http_.statusLine());
    }

    bool LoggedInByPassword() const override { return !login_.password.empty(); }

    std::optional<std::vector<TRemoteEntry>> List(const std::string& folder) override {
        std::optional<TPropfindListing> listing = Propfind(folder, true);
        if (!listing || (listing->self && !listing->self->folder)) return std::nullopt;
        return std::move(listing->entries);
    }

    void MakeFolder(const std::string& folder) override {
        Begin(Url(folder, true));
        curl_easy_setopt(http_.curl(), CURLOPT_CUSTOMREQUEST, "MKCOL");
        http_.Expect(http_.Perform(), {201}, TFault::FolderNotCreated, folder);
    }

    bool Upload(int local, const std::string& name, const std::string& remote,
                const std::function<bool(std::uint64_t)>& sent) override {
        TUpload upload;
        upload.in = local;
        upload.sent = &sent;
        struct stat status {};
        TCurlList headers;
        // The body goes at once: no wait for the server's "100 Continue".
        Append(headers, "Expect:");
        Begin(Url(remote));
        CURL* curl = http_.curl();
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        if (fstat(local, &status) == 0)
            curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(status.st_size));
        ReadFrom(curl, upload);
        const CURLcode code = AsSent(http_.Perform(), upload);
        if (upload.failure) std::rethrow_exception(upload.failure);
        if (upload.unreadable) throw TTransferError(TFault::FileNotReadWhole, name);
        if (upload.stopped) return false;
        http_.Expect(code, {200, 201, 204}, TFault::NotWritten, remote);
        return sent(upload.done);
    }

    void Rename(const std::string& from, const std::string& to) override {
        TCurlList headers;
        Append(headers, "Destination: " + address_.origin + Path(to));
        Append(headers, "Overwrite: T");
        Begin(Url(from));
        curl_easy_setopt(http_.curl(), CURLOPT_CUSTOMREQUEST, "MOVE");
        curl_easy_setopt(http_.curl(), CURLOPT_HTTPHEADER, headers.get());
        http_.Expect(http_.Perform(), {201, 204}, TFault::NotRenamed, {from, to});
    }

    // A file the server no longer has is as good as removed: a stopped
    // upload may have left nothing.
    void Remove(const std::string& file) override {
        Begin(Url(file));
        curl_easy_setopt(http_.curl(), CURLOPT_CUSTOMREQUEST, "DELETE");
        http_.Expect(http_.Perform(), {200, 204, 404}, TFault::NotRemoved, file);
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
        curl_easy_setopt(http_.curl(), CURLOPT_FAILONERROR, 1L);
        WriteTo(http_.curl(), download);
        const CURLcode code = http_.Perform(true);
        if (http_.status() == 200)
            if (const std::optional<TDownloaded> end = DownloadEnd(download, code, remote)) return *end;
        // An error's page larger than the bound is an error all the same.
        throw http_.Error(TFault::NotFetched, remote, code == CURLE_FILESIZE_EXCEEDED ? CURLE_OK : code);
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
        TListingReply reply{http_.curl(), TPropfindReader(url.substr(address_.origin.size()))};
        TCurlList headers;
        BeginPropfind(url, folder ? "Depth: 1" : "Depth: 0", headers);
        CURL* curl = http_.curl();
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, FeedReader);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
        const CURLcode code = http_.Perform(true);
        const TFault fault = folder ? TFault::FolderNotListed : TFault::NotQueried;
        if (code == CURLE_WRITE_ERROR) throw TTransferError(fault, name, TCause::ReplyNotUnderstood);
        if (code == CURLE_OK && http_.status() == 404) return std::nullopt;
        http_.Expect(code, {207}, fault, name);
        std::optional<TPropfindListing> listing = reply.reader.Finish();
        if (!listing) throw TTransferError(fault, name, TCause::ReplyNotUnderstood);
        return listing;
    }

    // The address itself, as the first request: it tells whether WebDAV
    // answers there and how it wants the login.
    CURLcode LogIn() {
        TCurlList headers;
        BeginPropfind(address_.origin + address_.path, "Depth: 0", headers);
        return http_.Perform(true);
    }

    // `headers` lives until the request is made.
    void BeginPropfind(const std::string& url, const char* depth, TCurlList& headers) {
        Append(headers, depth);
        Append(headers, "Content-Type: application/xml; charset=utf-8");
        Begin(url);
        curl_easy_setopt(http_.curl(), CURLOPT_CUSTOMREQUEST, "PROPFIND");
        curl_easy_setopt(http_.curl(), CURLOPT_POSTFIELDS, kPropfindBody);
        curl_easy_setopt(http_.curl(), CURLOPT_HTTPHEADER, headers.get());
    }

    // Each request starts from the same settings and the login.
    void Begin(const std::string& url) {
        http_.Begin(url);
        if (login_.user.empty()) return;
        CURL* curl = http_.curl();
        curl_easy_setopt(curl, CURLOPT_USERNAME, login_.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, login_.password.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, auth_);
    }

    const TServerLogin& login_;
    THttpSession http_;
    const TWebAddress& address_;
    long auth_ = CURLAUTH_BASIC;
};

}  // namespace

std::unique_ptr<IRemoteServer> OpenWebDavServer(const TServerLogin& login, IPublishQuestions& questions,
                                                const std::atomic<bool>& cancel) {
    return std::make_unique<TWebDavServer>(login, questions, cancel);
}

}  // namespace transfer
