#include "transfer/curl_handle.h"

#include "transfer/publish.h"

namespace transfer {

namespace {

// Once per process and before any thread's first handle: the set-up is not
// safe to run twice at the same time.
bool SetUp() {
    static const CURLcode setUp = curl_global_init(CURL_GLOBAL_DEFAULT);
    return setUp == CURLE_OK;
}

}  // namespace

TCurl NewCurl() {
    TCurl handle(SetUp() ? curl_easy_init() : nullptr);
    if (!handle) throw TTransferError(TFault::NoCurl);
    return handle;
}

TCurlMulti NewCurlMulti() {
    TCurlMulti handle(SetUp() ? curl_multi_init() : nullptr);
    if (!handle) throw TTransferError(TFault::NoCurl);
    return handle;
}

}  // namespace transfer
