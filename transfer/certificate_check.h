#pragma once

// The check of an FTPS server's certificate, hooked into libcurl's OpenSSL:
// verified against the system's store and the host name as a browser does,
// or else the certificate the user pinned for this server. Anything else
// ends the handshake, before the user name or password is sent.

#include <curl/curl.h>

#include <string>

namespace transfer {

// What the certificate check found on the connection last made.
struct TTrust {
    enum class TVerdict { Trusted, Unknown, Changed };
    std::string host;
    std::string pinned;  // the fingerprint the user accepted earlier, or empty
    TVerdict verdict = TVerdict::Trusted;
    std::string fingerprint;
    std::string reason;
};

// For CURLOPT_SSL_CTX_FUNCTION, with a TTrust as CURLOPT_SSL_CTX_DATA that
// outlives the request.
CURLcode SetUpTls(CURL*, void* context, void* trust);

}  // namespace transfer
