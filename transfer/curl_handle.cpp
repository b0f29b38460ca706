#include "transfer/curl_handle.h"

#include "transfer/publish.h"

namespace transfer {

namespace {

const char* const kNoCurl = "Die Bibliothek für FTPS und HTTP (libcurl) lässt sich nicht einrichten.";

// Once per process and before any thread's first handle: the set-up is not
// safe to run twice at the same time.
bool SetUp() {
    static const CURLcode setUp = curl_global_init(CURL_GLOBAL_DEFAULT);
    return setUp == CURLE_OK;
}

}  // namespace

TCurl NewCurl() {
    TCurl handle(SetUp() ? curl_easy_init() : nullptr);
    if (!handle) throw TTransferError(kNoCurl);
    return handle;
}

TCurlMulti NewCurlMulti() {
    TCurlMulti handle(SetUp() ? curl_multi_init() : nullptr);
    if (!handle) throw TTransferError(kNoCurl);
    return handle;
}

}  // namespace transfer
