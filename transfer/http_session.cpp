#include "transfer/http_session.h"

#include <algorithm>

namespace transfer {
namespace {

constexpr long kTimeoutSeconds = 20;

int StopWhenCancelled(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return cancel != nullptr && *static_cast<const std::atomic<bool>*>(cancel) ? 1 : 0;
}

// The last status line, for the messages ("HTTP/1.1 507 Insufficient Storage").
std::size_t KeepStatus(char* data, std::size_t size, std::size_t count, void* status) {
    const std::string_view line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) *static_cast<std::string*>(status) = line.substr(0, line.find_first_of("\r\n"));
    return size * count;
}

std::size_t Discard(char*, std::size_t size, std::size_t count, void*) {
    return size * count;
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

}  // namespace

THttpSession::THttpSession(const TWebAddress& address, const std::string& service, const std::string& user,
                           const std::filesystem::path& trustFolder, const std::atomic<bool>& cancel)
    : address_(address), user_(user), cancel_(cancel), curl_(NewCurl()) {
    place_ = {address.host, address.port, address.server, service, trustFolder};
}

CURLcode THttpSession::LogIn(IPublishQuestions& questions, const std::function<CURLcode()>& logIn) {
    const CURLcode code = LogInTrusted(trust_, place_, questions, logIn);
    if (code == CURLE_NOT_BUILT_IN) throw TTransferError(TFault::CurlWithoutOpenSsl);
    return code;
}

void THttpSession::Begin(const std::string& url) {
    CURL* curl = curl_.get();
    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, address_.scheme.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // "Abbrechen" during the name lookup does not wait for it.
    curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
    // What identifies the user goes with no redirect to elsewhere.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    // The host name is checked with the chain, where a pinned certificate
    // may stand in for it.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, SetUpTls);
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, &trust_);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 3 * kTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText_);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Discard);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, KeepStatus);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &statusLine_);
}

CURLcode THttpSession::Perform(bool cancellable) {
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

void THttpSession::Expect(CURLcode code, std::initializer_list<long> statuses, TFault fault,
                          const TSubject& subject) const {
    if (code == CURLE_OK && std::find(statuses.begin(), statuses.end(), status_) != statuses.end()) return;
    throw Error(fault, subject, code);
}

TTransferError THttpSession::Error(TFault fault, const TSubject& subject, CURLcode code) const {
    const std::string words = errorText_[0] != '\0' ? errorText_ : curl_easy_strerror(code);
    if (std::optional<TTransferError> reach = ReachError(curl_.get(), code, trust_, place_, words)) return *reach;
    if (IsCut(code)) return TTransferError(fault, subject, TCause::ConnectionCut, words);
    if (code != CURLE_OK && code != CURLE_HTTP_RETURNED_ERROR)
        return TTransferError(fault, subject, TCause::None, words);
    if (status_ == 401) return TTransferError(TFault::PasswordRefused, user_);
    return TTransferError(fault, subject, CauseOfStatus(status_), statusLine_);
}

}  // namespace transfer
