#include "transfer/server_address.h"

#include <curl/curl.h>

#include <memory>

#include "transfer/transfer_error.h"

namespace transfer {
namespace {

struct TFreeUrl {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct TFreeText {
    void operator()(char* text) const { curl_free(text); }
};

// The part, or "" when the address has none.
std::string Part(CURLU* url, CURLUPart part, unsigned int flags = 0) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK) return {};
    const std::unique_ptr<char, TFreeText> owned(text);
    return text;
}

}  // namespace

TWebAddress WebAddress(const std::string& address) {
    const std::unique_ptr<CURLU, TFreeUrl> url(curl_url());
    if (!url || address.empty() ||
        curl_url_set(url.get(), CURLUPART_URL, address.c_str(), CURLU_DEFAULT_SCHEME | CURLU_URLENCODE) != CURLUE_OK)
        throw TTransferError(TFault::AddressInvalid, address);
    TWebAddress web;
    web.scheme = Part(url.get(), CURLUPART_SCHEME);
    web.host = Part(url.get(), CURLUPART_HOST);
    if (web.scheme != "https" && web.scheme != "http") throw TTransferError(TFault::AddressInvalid, address);
    if (web.scheme == "http" && web.host != "127.0.0.1") throw TTransferError(TFault::NotHttps, address);
    if (web.host.empty() || !Part(url.get(), CURLUPART_USER).empty() || !Part(url.get(), CURLUPART_QUERY).empty() ||
        !Part(url.get(), CURLUPART_FRAGMENT).empty())
        throw TTransferError(TFault::AddressInvalid, address);
    web.port = std::stoi(Part(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT));
    const bool ownPort = web.port == (web.scheme == "https" ? 443 : 80);
    web.server = ownPort ? web.host : web.host + ":" + std::to_string(web.port);
    web.origin = web.scheme + "://" + web.host + ":" + std::to_string(web.port);
    web.path = Part(url.get(), CURLUPART_PATH);
    if (web.path.empty() || web.path.front() != '/') web.path.insert(0, "/");
    if (web.path.back() != '/') web.path += '/';
    return web;
}

std::string EncodedPath(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char byte : name) {
        const auto c = static_cast<unsigned char>(byte);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    return encoded;
}

}  // namespace transfer
