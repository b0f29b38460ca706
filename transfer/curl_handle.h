#pragma once

// One libcurl handle, made after libcurl's one-time set-up and freed with
// its owner. libcurl speaks FTPS and fetches the page for the check online.

#include <curl/curl.h>

#include <memory>

namespace transfer {

struct TFreeCurl {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using TCurl = std::unique_ptr<CURL, TFreeCurl>;

struct TFreeCurlMulti {
    void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
using TCurlMulti = std::unique_ptr<CURLM, TFreeCurlMulti>;

// Throw TTransferError when libcurl cannot make one.
TCurl NewCurl();
TCurlMulti NewCurlMulti();

}  // namespace transfer
