#include "transfer/curl_transfer.h"

#include <unistd.h>

#include <cerrno>

#include "core/system_calls.h"
#include "transfer/certificate_pins.h"
#include "transfer/fingerprint_text.h"
#include "transfer/transfer_messages.h"

namespace transfer {

void Append(TCurlList& list, const std::string& line) {
    curl_slist* longer = curl_slist_append(list.get(), line.c_str());
    if (longer == nullptr) throw TTransferError(TFault::NoMemoryForCommand);
    list.release();
    list.reset(longer);
}

std::size_t AppendText(char* data, std::size_t size, std::size_t count, void* text) {
    static_cast<std::string*>(text)->append(data, size * count);
    return size * count;
}

std::size_t ReadPiece(char* buffer, std::size_t size, std::size_t count, void* data) {
    auto* upload = static_cast<TUpload*>(data);
    try {
        if (upload->done > 0 && !(*upload->sent)(upload->done)) {
            upload->stopped = true;
            return CURL_READFUNC_ABORT;
        }
    } catch (...) {
        // Nothing may cross libcurl; it is thrown again once it returns.
        upload->failure = std::current_exception();
        return CURL_READFUNC_ABORT;
    }
    const ssize_t got = core::RetryInterrupted(
        [&] { return pread(upload->in, buffer, size * count, static_cast<off_t>(upload->done)); });
    if (got < 0) {
        upload->unreadable = true;
        return CURL_READFUNC_ABORT;
    }
    upload->done += static_cast<std::uint64_t>(got);
    return static_cast<std::size_t>(got);
}

int SeekPiece(void* data, curl_off_t offset, int origin) {
    if (origin != SEEK_SET || offset < 0) return CURL_SEEKFUNC_CANTSEEK;
    static_cast<TUpload*>(data)->done = static_cast<std::uint64_t>(offset);
    return CURL_SEEKFUNC_OK;
}

void ReadFrom(CURL* curl, TUpload& upload) {
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, ReadPiece);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_SEEKFUNCTION, SeekPiece);
    curl_easy_setopt(curl, CURLOPT_SEEKDATA, &upload);
}

CURLcode AsSent(CURLcode code, const TUpload& upload) {
    const bool reaching = code == CURLE_COULDNT_CONNECT || code == CURLE_SSL_CONNECT_ERROR;
    return upload.done > 0 && reaching ? CURLE_SEND_ERROR : code;
}

namespace {

std::size_t WritePiece(char* data, std::size_t size, std::size_t count, void* target) {
    auto* download = static_cast<TDownload*>(target);
    std::size_t bytes = size * count;
    // Past the bound nothing more is kept, and the transfer ends.
    if (download->done + bytes > download->most) {
        download->tooLarge = true;
        return 0;
    }
    for (std::size_t written = 0; written < bytes;) {
        const ssize_t wrote =
            core::RetryInterrupted([&] { return write(download->out, data + written, bytes - written); });
        if (wrote <= 0) {
            download->unwritable = true;
            return 0;
        }
        written += static_cast<std::size_t>(wrote);
    }
    download->done += bytes;
    try {
        if (!(*download->received)(download->done)) {
            download->stopped = true;
            return 0;
        }
    } catch (...) {
        download->failure = std::current_exception();
        return 0;
    }
    return bytes;
}

}  // namespace

void WriteTo(CURL* curl, TDownload& download) {
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WritePiece);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &download);
    // A server that says how large the file is refuses at once.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(download.most));
}

std::optional<TDownloaded> DownloadEnd(const TDownload& download, CURLcode code, const std::string& remote) {
    if (download.failure) std::rethrow_exception(download.failure);
    if (download.unwritable) throw TTransferError(TFault::NotFetched, remote, TCause::NotWritable, remote);
    if (download.tooLarge || code == CURLE_FILESIZE_EXCEEDED) return TDownloaded::TooLarge;
    if (download.stopped) return TDownloaded::Stopped;
    if (code == CURLE_OK) return TDownloaded::Whole;
    return std::nullopt;
}

CURLcode LogInTrusted(TTrust& trust, const TServerPlace& place, IPublishQuestions& questions,
                      const std::function<CURLcode()>& logIn) {
    trust.host = place.host;
    trust.pinned = PinnedCertificate(place.trustFolder, place.server);
    CURLcode code = logIn();
    if (trust.verdict != TTrust::TVerdict::Unknown) return code;
    if (!questions.TrustUnknownHost(place.server, Text(TText::CertificateKind, {trust.reason}), trust.fingerprint))
        throw TTransferError(TFault::CertificateNotTrusted, place.server);
    PinCertificate(place.trustFolder, place.server, trust.fingerprint);
    trust.pinned = trust.fingerprint;
    trust.verdict = TTrust::TVerdict::Trusted;
    return logIn();
}

std::optional<TTransferError> ReachError(CURL* curl, CURLcode code, const TTrust& trust, const TServerPlace& place,
                                         const std::string& words) {
    const TSubject where{place.host, std::to_string(place.port)};
    if (trust.verdict == TTrust::TVerdict::Changed)
        return TTransferError(TFault::CertificateChanged, {place.server, ShownFingerprint(trust.fingerprint),
                                                           (place.trustFolder / "trusted_certificates").string()});
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
            return TTransferError(TFault::UnknownHost, place.host);
        case CURLE_COULDNT_CONNECT: {
            long error = 0;
            curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &error);
            if (error == ECONNREFUSED)
                return TTransferError(TFault::ConnectionRefused,
                                      {place.host, std::to_string(place.port), place.service});
            return TTransferError(TFault::HostUnreachable, where);
        }
        case CURLE_OPERATION_TIMEDOUT:
            return TTransferError(TFault::NoAnswer, where);
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
            return TTransferError(TFault::TlsFailed, where, TCause::None, words);
        default:
            return std::nullopt;
    }
}

bool IsCut(CURLcode code) {
    switch (code) {
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_CANT_GET_HOST:
            return true;
        default:
            return false;
    }
}

}  // namespace transfer
