#include "transfer/online_check.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "transfer/curl_handle.h"
#include "transfer/transfer_messages.h"

namespace transfer {
namespace {

constexpr long kTimeoutSeconds = 20;

// The page is written in Windows-1252; a server that calls it anything
// else (ISO-8859-1 is read as Windows-1252 by every browser) garbles its
// umlauts.
bool ShowsUmlautsRight(std::string charset) {
    std::transform(charset.begin(), charset.end(), charset.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* name : {"windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "iso8859-1", "iso_8859-1", "latin1"})
        if (charset == name) return true;
    return false;
}

// The charset of a Content-Type ("text/html; charset=UTF-8"); empty when
// it names none.
std::string CharsetOf(const std::string& contentType) {
    std::string lower = contentType;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::size_t at = lower.find("charset=");
    if (at == std::string::npos) return {};
    std::string charset = contentType.substr(at + 8);
    charset = charset.substr(0, charset.find_first_of("; \t"));
    charset.erase(std::remove(charset.begin(), charset.end(), '"'), charset.end());
    return charset;
}

struct TDownload {
    std::string bytes;
    std::size_t limit = 0;
    bool tooLong = false;
};

// Stops a page far longer than ours: it is not ours.
std::size_t Receive(char* data, std::size_t size, std::size_t count, void* target) {
    auto* download = static_cast<TDownload*>(target);
    if (download->bytes.size() + size * count > download->limit) {
        download->tooLong = true;
        return 0;
    }
    download->bytes.append(data, size * count);
    return size * count;
}

int StopWhenCancelled(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return cancel != nullptr && *static_cast<const std::atomic<bool>*>(cancel) ? 1 : 0;
}

TFault FaultOf(CURLcode code) {
    switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
            return TFault::NotAnAddress;
        case CURLE_COULDNT_RESOLVE_HOST:
            return TFault::OnlineHostUnknown;
        case CURLE_COULDNT_CONNECT:
            return TFault::OnlineUnreachable;
        case CURLE_OPERATION_TIMEDOUT:
            return TFault::OnlineNoAnswer;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CONNECT_ERROR:
            return TFault::CertificateInvalid;
        case CURLE_ABORTED_BY_CALLBACK:
            return TFault::CheckCancelled;
        case CURLE_TOO_MANY_REDIRECTS:
            return TFault::EndlessRedirects;
        default:
            return TFault::PageNotFetched;
    }
}

TOnlineCheck Failed(const TTransferError& error) {
    TOnlineCheck check;
    check.failure = error.fault();
    check.line = error.what();
    return check;
}

}  // namespace

TOnlineCheck CheckOnline(const std::string& typed, const std::filesystem::path& pageFile,
                         const std::atomic<bool>* cancel) {
    std::ifstream in(pageFile, std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) return Failed(TTransferError(TFault::PageHereUnreadable, pageFile.string()));
    const std::string address = typed.find("://") == std::string::npos ? "https://" + typed : typed;
    try {
        TCurl curl = NewCurl();
        TDownload download;
        download.limit = page.size() + (1 << 20);
        char errorText[CURL_ERROR_SIZE] = {};
        // What the server has now, not what a cache between kept.
        curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
        headers = curl_slist_append(headers, "Pragma: no-cache");
        CURL* handle = curl.get();
        curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
        curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kTimeoutSeconds);
        curl_easy_setopt(handle, CURLOPT_TIMEOUT, 3 * kTimeoutSeconds);
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(handle, CURLOPT_USERAGENT, "HTML Tavirel");
        curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Receive);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &download);
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, StopWhenCancelled);
        curl_easy_setopt(handle, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cancel));
        const CURLcode code = curl_easy_perform(handle);
        curl_slist_free_all(headers);
        long status = 0;
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
        if (code != CURLE_OK && !download.tooLong) {
            const TFault fault = FaultOf(code);
            const bool worded = fault == TFault::CertificateInvalid || fault == TFault::PageNotFetched;
            const std::string words = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
            return Failed(TTransferError(fault, address, TCause::None, worded ? words : std::string()));
        }
        if (status == 404) return Failed(TTransferError(TFault::PageNotFound, address));
        if (status >= 400) return Failed(TTransferError(TFault::ServerReportsError, {address, std::to_string(status)}));
        TOnlineCheck check;
        char* contentType = nullptr;
        curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &contentType);
        const std::string charset = CharsetOf(contentType != nullptr ? contentType : "");
        if (!charset.empty() && !ShowsUmlautsRight(charset)) check.warning = Text(TText::WrongCharset, {charset});
        const bool same = !download.tooLong && download.bytes == page;
        check.outcome = same ? TOnlineCheck::TOutcome::Same : TOnlineCheck::TOutcome::Different;
        check.line = Text(same ? TText::OnlineSame : TText::OnlineDifferent);
        return check;
    } catch (const TTransferError& error) {
        return Failed(error);
    }
}

}  // namespace transfer
