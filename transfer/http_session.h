#pragma once

// One connection to a server over HTTPS, kept from request to request:
// what WebDAV and object storage share. Each request starts from the same
// settings; the certificate is checked (and pinned) as FTPS does, no
// redirect is followed, and a line that carries nothing for a minute is
// taken as lost.

#include <curl/curl.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>

#include "transfer/certificate_check.h"
#include "transfer/curl_handle.h"
#include "transfer/curl_transfer.h"
#include "transfer/server_address.h"

namespace transfer {

class THttpSession {
public:
    // `service` names what should answer ("WebDAV"); `user` is named when
    // the server refuses the login.
    THttpSession(const TWebAddress& address, const std::string& service, const std::string& user,
                 const std::filesystem::path& trustFolder, const std::atomic<bool>& cancel);

    CURL* curl() const { return curl_.get(); }
    const TWebAddress& address() const { return address_; }
    long status() const { return status_; }
    const std::string& statusLine() const { return statusLine_; }

    // Makes the first request through `logIn`, the certificate asked about
    // first where it does not verify (LogInTrusted).
    CURLcode LogIn(IPublishQuestions& questions, const std::function<CURLcode()>& logIn);
    // The settings every request starts from, for `url`.
    void Begin(const std::string& url);
    // A cancellable request ends as soon as the publish is cancelled; the
    // others (an upload stops through its own callback) run to their end.
    CURLcode Perform(bool cancellable = false);
    // Throws Error() unless the request went through with one of the
    // statuses.
    void Expect(CURLcode code, std::initializer_list<long> statuses, TFault fault, const TSubject& subject) const;
    // The cause as the user can act on it: trust, login, the line, the
    // rights, the space; with the server's status line, or else libcurl's
    // words.
    TTransferError Error(TFault fault, const TSubject& subject, CURLcode code) const;

private:
    const TWebAddress address_;
    const std::string user_;
    const std::atomic<bool>& cancel_;
    TCurl curl_;
    TServerPlace place_;
    TTrust trust_;
    long status_ = 0;
    std::string statusLine_;
    char errorText_[CURL_ERROR_SIZE] = {};
};

}  // namespace transfer
