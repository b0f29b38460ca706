#include "transfer/s3_server.h"

#include <sys/stat.h>

#include "transfer/http_session.h"
#include "transfer/s3_listing.h"

namespace transfer {
namespace {

// The SHA-256 of nothing: what requests without a body sign.
const char* const kEmptySha256 = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
// An upload is read as it goes, once: its bytes are not hashed first. TLS
// protects them on the way, as S3 allows.
const char* const kUnsignedPayload = "UNSIGNED-PAYLOAD";
constexpr std::size_t kMostPages = 1000;

// A query value as SigV4 wants it: every byte but the unreserved ones
// encoded, "/" too.
std::string QueryValue(const std::string& value) {
    std::string encoded = EncodedPath(value);
    std::string slashes;
    for (const char c : encoded) slashes += c == '/' ? std::string("%2F") : std::string(1, c);
    return slashes;
}

// "" for the bucket's top, "www" for a folder below it; "." is the top,
// and a leading "/" counts for nothing.
std::string KeyOf(const std::string& path) {
    std::string key = path == "." ? std::string() : path;
    while (!key.empty() && key.front() == '/') key.erase(0, 1);
    return key;
}

class TS3Server : public IRemoteServer {
public:
    TS3Server(const TServerLogin& login, IPublishQuestions& questions, const std::atomic<bool>& cancel)
        : login_(login), place_(S3Place(login)), http_(place_.endpoint, "S3", login.user, login.trustFolder, cancel) {
        std::string reply;
        const CURLcode code = http_.LogIn(questions, [&] {
            reply.clear();
            return ListPage(KeyOf(login.folder), {}, reply, 1);
        });
        if (code != CURLE_OK || http_.status() != 200) throw Refusal(TFault::LoginFailed, {}, code);
    }

    bool LoggedInByPassword() const override { return true; }
    bool ReplacesWhole() const override { return true; }

    // A "folder" is a prefix: one without keys is merely empty.
    std::optional<std::vector<TRemoteEntry>> List(const std::string& folder) override {
        const std::string key = KeyOf(folder);
        const std::string prefix = key.empty() ? key : key + "/";
        std::vector<TRemoteEntry> entries;
        std::string token;
        for (std::size_t page = 0; page < kMostPages; ++page) {
            std::string reply;
            const CURLcode code = ListPage(prefix, token, reply);
            if (code != CURLE_OK || http_.status() != 200) throw Refusal(TFault::FolderNotListed, folder, code);
            std::optional<TS3Page> read = ReadS3Page(reply, prefix);
            if (!read) throw TTransferError(TFault::FolderNotListed, folder, TCause::ReplyNotUnderstood);
            for (TRemoteEntry& entry : read->entries) entries.push_back(std::move(entry));
            if (read->nextToken.empty()) return entries;
            token = read->nextToken;
        }
        throw TTransferError(TFault::FolderNotListedWhole, folder);
    }

    void MakeFolder(const std::string&) override {}

    bool Upload(int local, const std::string& name, const std::string& remote,
                const std::function<bool(std::uint64_t)>& sent) override {
        TUpload upload;
        upload.in = local;
        upload.sent = &sent;
        const TObjectHeaders object = ObjectHeaders(remote);
        TCurlList headers;
        Append(headers, std::string("Content-Type: ") + object.contentType);
        Append(headers, std::string("Cache-Control: ") + object.cacheControl);
        Begin(KeyOf(remote), {}, kUnsignedPayload, headers);
        CURL* curl = http_.curl();
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        struct stat status {};
        if (fstat(local, &status) == 0)
            curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(status.st_size));
        ReadFrom(curl, upload);
        const CURLcode code = AsSent(http_.Perform(), upload);
        if (upload.failure) std::rethrow_exception(upload.failure);
        if (upload.unreadable) throw TTransferError(TFault::FileNotReadWhole, name);
        if (upload.stopped) return false;
        if (code != CURLE_OK || http_.status() != 200) throw Refusal(TFault::NotWritten, remote, code);
        return sent(upload.done);
    }

    // No server of this kind renames: the steps never ask it to, and a
    // leftover of another way stays.
    void Rename(const std::string& from, const std::string& to) override {
        throw TTransferError(TFault::NotRenamed, {from, to});
    }

    void Remove(const std::string& file) override {
        TCurlList headers;
        Begin(KeyOf(file), {}, kEmptySha256, headers);
        curl_easy_setopt(http_.curl(), CURLOPT_CUSTOMREQUEST, "DELETE");
        const CURLcode code = http_.Perform();
        if (code != CURLE_OK || (http_.status() != 204 && http_.status() != 200))
            throw Refusal(TFault::NotRemoved, file, code);
    }

    // The size and time a listing reports too: the time in whole seconds.
    TRemoteEntry Stat(const std::string& file) override {
        TCurlList headers;
        Begin(KeyOf(file), {}, kEmptySha256, headers);
        curl_easy_setopt(http_.curl(), CURLOPT_NOBODY, 1L);
        curl_easy_setopt(http_.curl(), CURLOPT_FILETIME, 1L);
        const CURLcode code = http_.Perform();
        if (code != CURLE_OK || http_.status() != 200) throw Refusal(TFault::NotQueried, file, code);
        curl_off_t size = 0, time = 0;
        curl_easy_getinfo(http_.curl(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
        curl_easy_getinfo(http_.curl(), CURLINFO_FILETIME_T, &time);
        return {file.substr(file.rfind('/') + 1), false, static_cast<std::uint64_t>(std::max<curl_off_t>(size, 0)),
                static_cast<std::int64_t>(std::max<curl_off_t>(time, 0))};
    }

    TDownloaded Download(const std::string& remote, int local, std::uint64_t most,
                         const std::function<bool(std::uint64_t)>& received) override {
        TDownload download;
        download.out = local;
        download.most = most;
        download.received = &received;
        TCurlList headers;
        Begin(KeyOf(remote), {}, kEmptySha256, headers);
        // An error's page never reaches the file.
        curl_easy_setopt(http_.curl(), CURLOPT_FAILONERROR, 1L);
        WriteTo(http_.curl(), download);
        const CURLcode code = http_.Perform(true);
        if (http_.status() == 200)
            if (const std::optional<TDownloaded> end = DownloadEnd(download, code, remote)) return *end;
        throw Refusal(TFault::NotFetched, remote, code == CURLE_FILESIZE_EXCEEDED ? CURLE_OK : code);
    }

private:
    // One page of the listing of `prefix`, its XML in `reply`.
    CURLcode ListPage(const std::string& prefix, const std::string& token, std::string& reply,
                      std::size_t most = 1000) {
        // In the canonical order of the signature: by name.
        std::string query;
        if (!token.empty()) query += "continuation-token=" + QueryValue(token) + "&";
        query += "delimiter=%2F&list-type=2&max-keys=" + std::to_string(most) + "&prefix=" + QueryValue(prefix);
        TCurlList headers;
        Begin("", query, kEmptySha256, headers);
        curl_easy_setopt(http_.curl(), CURLOPT_WRITEFUNCTION, AppendText);
        curl_easy_setopt(http_.curl(), CURLOPT_WRITEDATA, &reply);
        return http_.Perform(true);
    }

    // `headers` lives until the request is made.
    void Begin(const std::string& key, const std::string& query, const char* payloadSha256, TCurlList& headers) {
        Append(headers, std::string("x-amz-content-sha256: ") + payloadSha256);
        // The body goes at once: no wait for the server's "100 Continue".
        Append(headers, "Expect:");
        http_.Begin(S3Url(place_, key, query));
        SignS3(http_.curl(), place_, login_.user, login_.password);
        curl_easy_setopt(http_.curl(), CURLOPT_HTTPHEADER, headers.get());
    }

    // What the store's refusal means: the keys, the bucket, else the status.
    TTransferError Refusal(TFault fault, const TSubject& subject, CURLcode code) const {
        if (code == CURLE_OK && http_.status() == 403) return TTransferError(TFault::AccessKeyRefused, login_.user);
        if (code == CURLE_OK && http_.status() == 404 && fault != TFault::NotQueried && fault != TFault::NotFetched)
            return TTransferError(TFault::BucketMissing, {place_.bucket, login_.address});
        return http_.Error(fault, subject, code);
    }

    const TServerLogin& login_;
    const TS3Place place_;
    THttpSession http_;
};

}  // namespace

TS3Place S3Place(const TServerLogin& login) {
    TS3Place place;
    place.endpoint = WebAddress(login.address);
    place.region = login.region;
    place.bucket = login.bucket;
    if (place.bucket.empty()) throw TTransferError(TFault::NoBucketGiven);
    if (place.region.empty()) throw TTransferError(TFault::NoRegionGiven);
    place.bucketInHost = place.endpoint.host.rfind(place.bucket + ".", 0) == 0;
    return place;
}

std::string S3Url(const TS3Place& place, const std::string& key, const std::string& query) {
    std::string url = place.endpoint.origin + place.endpoint.path;
    if (!place.bucketInHost) url += EncodedPath(place.bucket) + "/";
    url += EncodedPath(key);
    if (!query.empty()) url += "?" + query;
    return url;
}

void SignS3(CURL* curl, const TS3Place& place, const std::string& accessKey, const std::string& secretKey) {
    const std::string sigv4 = "aws:amz:" + place.region + ":s3";
    curl_easy_setopt(curl, CURLOPT_AWS_SIGV4, sigv4.c_str());
    curl_easy_setopt(curl, CURLOPT_USERNAME, accessKey.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, secretKey.c_str());
}

std::unique_ptr<IRemoteServer> OpenS3Server(const TServerLogin& login, IPublishQuestions& questions,
                                            const std::atomic<bool>& cancel) {
    return std::make_unique<TS3Server>(login, questions, cancel);
}

}  // namespace transfer
