#pragma once

// The address of a server reached over HTTP (WebDAV, object storage), read
// by libcurl's own URL parser, and the paths that go into it.

#include <string>

namespace transfer {

struct TWebAddress {
    std::string scheme;  // "https", or "http" on 127.0.0.1
    std::string host;
    int port = 443;
    std::string server;  // as pins name it: "host", or "host:port" but for 443
    std::string origin;  // "https://host:port"
    std::string path;    // percent-encoded, from "/" to a final "/"
};

// Throws TTransferError: NotHttps for a plain http:// address but on
// 127.0.0.1, AddressInvalid for one that is no address or carries a user,
// a query or a fragment. An address without a scheme is https://.
TWebAddress WebAddress(const std::string& address);

// A name as a URL's path: every byte but letters, digits, "-._~" and "/"
// percent-encoded.
std::string EncodedPath(const std::string& name);

}  // namespace transfer
